#include "equalizerstore.h"

#include "registrystore.h"

namespace Equalizer {

namespace {

const QString OnName = QStringLiteral("EqualizerOn");
const QString CurveName = QStringLiteral("Equalizer");
const QString PresetsName = QStringLiteral("EqualizerPresets");

QString readText(RegistryStore &store, const QString &key, const QString &name)
{
    const std::optional<RegistryValue> value =
        store.readValue(RegistryRoot::LocalMachine, key, name);
    return value ? value->data : QString();
}

bool writeText(RegistryStore &store, const QString &key, const QString &name, const QString &text)
{
    return store.createKey(RegistryRoot::LocalMachine, key) &&
           store.writeValue(RegistryRoot::LocalMachine, key, name,
                            {RegistryValueType::String, text});
}

} // namespace

Settings readSettings(RegistryStore &store, const QString &key)
{
    Settings settings;
    settings.on = readText(store, key, OnName)
                      .trimmed()
                      .compare(QStringLiteral("True"), Qt::CaseInsensitive) == 0;
    settings.curve = curveFromText(readText(store, key, CurveName));
    return settings;
}

UserPresets readPresets(RegistryStore &store, const QString &key)
{
    return UserPresets::fromText(readText(store, key, PresetsName));
}

bool writeSettings(RegistryStore &store, const QString &key, const Settings &settings)
{
    return writeText(store, key, OnName,
                     settings.on ? QStringLiteral("True") : QStringLiteral("False")) &&
           writeText(store, key, CurveName, curveText(settings.curve));
}

bool writePresets(RegistryStore &store, const QString &key, const UserPresets &presets)
{
    return writeText(store, key, PresetsName, presets.text());
}

} // namespace Equalizer
