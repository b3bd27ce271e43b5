// The one owner of the equalizer in the program: what it is set to, the user's presets, the
// player it is sent to and the store it is kept in. The window and the start-up call it.
#pragma once

#include <QObject>
#include <QTimer>

#include "equalizerpresets.h"
#include "equalizersettings.h"

class RegistryStore;
class TElPlayer;

class EqualizerControl : public QObject {
    Q_OBJECT

public:
    // Reads what `store` keeps under `key`.
    EqualizerControl(RegistryStore &store, const QString &key, QObject *parent = nullptr);
    // Writes a change not yet written.
    ~EqualizerControl() override;

    // Sends everything to `player` when its library is loaded and has an equalizer; from then
    // on every change is sent as it is made.
    void setPlayer(TElPlayer *player);
    bool available() const;

    const Equalizer::Settings &settings() const { return m_settings; }
    const Equalizer::UserPresets &userPresets() const { return m_presets; }

    void setOn(bool on);
    void setPreamp(int gain);
    void setBand(int band, int gain);
    void setCurve(const Equalizer::Curve &curve);
    // Takes the curve of a built-in or user preset; false when there is none of that name.
    bool choosePreset(const QString &name);
    // The user's presets, written at once. False when the name cannot be used (see UserPresets).
    bool savePreset(const QString &name);
    bool deletePreset(const QString &name);

    // Writes the settings now; they are otherwise written shortly after the last change.
    void save();

signals:
    void settingsChanged();
    void presetsChanged();

private:
    void sendAll();
    void changed();
    void storePresets();

    RegistryStore &m_store;
    QString m_key;
    TElPlayer *m_player = nullptr;
    Equalizer::Settings m_settings;
    Equalizer::UserPresets m_presets;
    // A moving bar changes the settings many times a second; the store is written once it rests.
    QTimer m_saveDelay;
};
