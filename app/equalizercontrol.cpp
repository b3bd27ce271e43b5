#include "equalizercontrol.h"

#include "equalizerstore.h"
#include "player.h"

EqualizerControl::EqualizerControl(RegistryStore &store, const QString &key, QObject *parent)
    : QObject(parent), m_store(store), m_key(key), m_settings(Equalizer::readSettings(store, key)),
      m_presets(Equalizer::readPresets(store, key))
{
    m_saveDelay.setSingleShot(true);
    m_saveDelay.setInterval(500);
    connect(&m_saveDelay, &QTimer::timeout, this, &EqualizerControl::save);
}

EqualizerControl::~EqualizerControl()
{
    if (m_saveDelay.isActive())
        save();
}

void EqualizerControl::setPlayer(TElPlayer *player)
{
    m_player = player;
    if (available())
        sendAll();
}

bool EqualizerControl::available() const
{
    return m_player && m_player->Initialized() && m_player->HasEqualizer();
}

void EqualizerControl::sendAll()
{
    m_player->SetEqualizerGain(-1, m_settings.curve.preamp);
    for (int band = 0; band < Equalizer::BandCount; ++band)
        m_player->SetEqualizerGain(band, m_settings.curve.bands[size_t(band)]);
    m_player->SetUseEqualizer(m_settings.on);
}

void EqualizerControl::setOn(bool on)
{
    if (on == m_settings.on)
        return;
    m_settings.on = on;
    if (available())
        m_player->SetUseEqualizer(on);
    changed();
}

void EqualizerControl::setPreamp(int gain)
{
    gain = Equalizer::clampedGain(gain);
    if (gain == m_settings.curve.preamp)
        return;
    m_settings.curve.preamp = gain;
    if (available())
        m_player->SetEqualizerGain(-1, gain);
    changed();
}

void EqualizerControl::setBand(int band, int gain)
{
    if (band < 0 || band >= Equalizer::BandCount)
        return;
    gain = Equalizer::clampedGain(gain);
    if (gain == m_settings.curve.bands[size_t(band)])
        return;
    m_settings.curve.bands[size_t(band)] = gain;
    if (available())
        m_player->SetEqualizerGain(band, gain);
    changed();
}

void EqualizerControl::setCurve(const Equalizer::Curve &curve)
{
    const Equalizer::Curve clamped = Equalizer::clampedCurve(curve);
    if (clamped == m_settings.curve)
        return;
    m_settings.curve = clamped;
    if (available())
        sendAll();
    changed();
}

bool EqualizerControl::choosePreset(const QString &name)
{
    const std::optional<Equalizer::Curve> curve = Equalizer::findPreset(m_presets, name);
    if (!curve)
        return false;
    setCurve(*curve);
    return true;
}

bool EqualizerControl::savePreset(const QString &name)
{
    if (!m_presets.save(name, m_settings.curve))
        return false;
    storePresets();
    emit presetsChanged();
    return true;
}

bool EqualizerControl::deletePreset(const QString &name)
{
    if (!m_presets.remove(name))
        return false;
    storePresets();
    emit presetsChanged();
    return true;
}

void EqualizerControl::save()
{
    m_saveDelay.stop();
    if (!Equalizer::writeSettings(m_store, m_key, m_settings))
        qWarning("The equalizer's settings could not be stored");
}

void EqualizerControl::storePresets()
{
    if (!Equalizer::writePresets(m_store, m_key, m_presets))
        qWarning("The equalizer's presets could not be stored");
}

void EqualizerControl::changed()
{
    m_saveDelay.start();
    emit settingsChanged();
}
