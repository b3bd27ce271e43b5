// The equalizer's settings and the user's presets in the settings store, beside the program's
// other settings under `key`. What was never stored, or was damaged, reads as something usable:
// the equalizer off and flat, no presets, gains clamped to their range.
#pragma once

#include <QString>

#include "equalizerpresets.h"
#include "equalizersettings.h"

class RegistryStore;

namespace Equalizer {

Settings readSettings(RegistryStore &store, const QString &key);
UserPresets readPresets(RegistryStore &store, const QString &key);
// False when the store cannot be written.
bool writeSettings(RegistryStore &store, const QString &key, const Settings &settings);
bool writePresets(RegistryStore &store, const QString &key, const UserPresets &presets);

} // namespace Equalizer
