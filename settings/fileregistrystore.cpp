// The registry store on Linux: one JSON file per root, e.g.
//   {"format": "NorlPlayer registry 1",
//    "keys": {"SOFTWARE\\Vellacort\\Vorov3": {"Top": {"type": "string", "data": "20"}}}}
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSaveFile>
#include <QStandardPaths>
#include <cstdio>
#include <map>
#include <utility>

#include "leftoversavefiles.h"
#include "registrystore.h"

namespace {

const QString FormatTag = QStringLiteral("NorlPlayer registry 1");
constexpr qint64 MaxFileBytes = 4 * 1024 * 1024;

QString rootFileName(RegistryRoot root)
{
    static const char *const names[] = {
        "HKEY_CLASSES_ROOT",     "HKEY_CURRENT_USER",   "HKEY_LOCAL_MACHINE", "HKEY_USERS",
        "HKEY_PERFORMANCE_DATA", "HKEY_CURRENT_CONFIG", "HKEY_DYN_DATA"};
    return QString::fromLatin1(names[int(root)]) + QStringLiteral(".json");
}

QString typeName(RegistryValueType type)
{
    switch (type) {
    case RegistryValueType::String:
        return QStringLiteral("string");
    case RegistryValueType::ExpandableString:
        return QStringLiteral("expandable string");
    default:
        return QStringLiteral("other");
    }
}

RegistryValueType typeFromName(const QString &name)
{
    if (name == QLatin1String("string"))
        return RegistryValueType::String;
    if (name == QLatin1String("expandable string"))
        return RegistryValueType::ExpandableString;
    return RegistryValueType::Other;
}

// Registry paths ignore case and stray separators at either end.
QString normalizedPath(const QString &path)
{
    QString trimmed = path;
    while (trimmed.startsWith(QLatin1Char('\\')))
        trimmed.remove(0, 1);
    while (trimmed.endsWith(QLatin1Char('\\')))
        trimmed.chop(1);
    return trimmed;
}

// The name as stored in `object` that equals `name` without regard to case.
QString storedName(const QJsonObject &object, const QString &name)
{
    for (auto it = object.begin(); it != object.end(); ++it)
        if (it.key().compare(name, Qt::CaseInsensitive) == 0)
            return it.key();
    return QString();
}

class FileRegistryStore final : public RegistryStore {
public:
    explicit FileRegistryStore(const QString &folder) : m_folder(folder) {}

    bool keyExists(RegistryRoot root, const QString &keyPath) override
    {
        return !storedName(load(root).value_or(QJsonObject()), normalizedPath(keyPath)).isEmpty();
    }

    bool createKey(RegistryRoot root, const QString &keyPath) override
    {
        const QString path = normalizedPath(keyPath);
        if (path.isEmpty())
            return false;
        std::optional<QJsonObject> loaded = load(root);
        if (!loaded)
            return false;
        QJsonObject keys = *loaded;
        bool changed = false;
        // Every key on the way exists too, as it would in a registry.
        const QStringList parts = path.split(QLatin1Char('\\'), Qt::SkipEmptyParts);
        QString prefix;
        for (const QString &part : parts) {
            prefix = prefix.isEmpty() ? part : prefix + QLatin1Char('\\') + part;
            if (storedName(keys, prefix).isEmpty()) {
                keys.insert(prefix, QJsonObject());
                changed = true;
            }
        }
        return !changed || save(root, keys);
    }

    std::optional<RegistryValue> readValue(RegistryRoot root, const QString &keyPath,
                                           const QString &name) override
    {
        QJsonObject keys = load(root).value_or(QJsonObject());
        QString key = storedName(keys, normalizedPath(keyPath));
        if (key.isEmpty())
            return std::nullopt;
        QJsonObject values = keys.value(key).toObject();
        QString stored = storedName(values, name);
        if (stored.isNull() || !values.contains(stored))
            return std::nullopt;
        QJsonObject value = values.value(stored).toObject();
        return RegistryValue{typeFromName(value.value(QStringLiteral("type")).toString()),
                             value.value(QStringLiteral("data")).toString()};
    }

    bool writeValue(RegistryRoot root, const QString &keyPath, const QString &name,
                    const RegistryValue &value) override
    {
        std::optional<QJsonObject> loaded = load(root);
        QString key = loaded ? storedName(*loaded, normalizedPath(keyPath)) : QString();
        if (key.isEmpty())
            return false;
        QJsonObject keys = *loaded;
        QJsonObject values = keys.value(key).toObject();
        QString stored = storedName(values, name);
        values.insert(stored.isNull() ? name : stored,
                      QJsonObject{{QStringLiteral("type"), typeName(value.type)},
                                  {QStringLiteral("data"), value.data}});
        keys.insert(key, values);
        return save(root, keys);
    }

    void beginBatch() override { ++m_batchDepth; }

    bool endBatch() override
    {
        if (m_batchDepth == 0 || --m_batchDepth > 0)
            return true;
        bool saved = true;
        for (const auto &[root, keys] : std::exchange(m_held, {}))
            saved = write(root, keys) && saved;
        return saved;
    }

private:
    QString filePath(RegistryRoot root) const
    {
        return QDir(m_folder).filePath(rootFileName(root));
    }

    // The root's keys; a file that is not ours reads as empty and is moved aside, so that the
    // next write cannot lose what it held. Nothing when the file is there but unreadable: it
    // must not be overwritten either.
    std::optional<QJsonObject> load(RegistryRoot root)
    {
        if (auto held = m_held.find(root); held != m_held.end())
            return held->second;
        QFile file(filePath(root));
        if (!file.exists())
            return QJsonObject();
        if (!file.open(QIODevice::ReadOnly))
            return std::nullopt;
        QJsonParseError error{};
        // Settings are a few hundred bytes: a huge file is not one of ours.
        QJsonDocument document = file.size() <= MaxFileBytes
                                     ? QJsonDocument::fromJson(file.readAll(), &error)
                                     : QJsonDocument();
        file.close();
        QJsonObject top = document.object();
        if (error.error == QJsonParseError::NoError && document.isObject() &&
            top.value(QStringLiteral("format")).toString() == FormatTag &&
            top.value(QStringLiteral("keys")).isObject())
            return top.value(QStringLiteral("keys")).toObject();
        QString aside =
            file.fileName() + QStringLiteral(".damaged-") +
            QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-hhmmss-zzz"));
        bool moved = QFile::rename(file.fileName(), aside);
        std::fprintf(stderr, "NorlPlayer: the settings file %s is damaged; %s\n",
                     qPrintable(file.fileName()),
                     moved ? qPrintable(QStringLiteral("it was kept as ") + aside)
                           : "it was left as it is");
        if (!moved) // a file that cannot be moved aside is not overwritten either
            return std::nullopt;
        return QJsonObject();
    }

    bool save(RegistryRoot root, const QJsonObject &keys)
    {
        if (m_batchDepth > 0) {
            m_held[root] = keys;
            return true;
        }
        return write(root, keys);
    }

    bool write(RegistryRoot root, const QJsonObject &keys)
    {
        if (!QDir().mkpath(m_folder))
            return false;
        removeLeftoverSaveFiles(filePath(root));
        QSaveFile file(filePath(root));
        if (!file.open(QIODevice::WriteOnly))
            return false;
        QJsonObject top{{QStringLiteral("format"), FormatTag}, {QStringLiteral("keys"), keys}};
        file.write(QJsonDocument(top).toJson());
        return file.commit();
    }

    QString m_folder;
    int m_batchDepth = 0;
    std::map<RegistryRoot, QJsonObject> m_held; // changed during the batch
};

} // namespace

std::unique_ptr<RegistryStore> makeFileRegistryStore(const QString &folder)
{
    return std::make_unique<FileRegistryStore>(folder);
}

QString defaultRegistryFolder()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
           QStringLiteral("/NorlPlayer/registry");
}
