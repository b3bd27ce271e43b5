// Colours written the Windows way, as skins store them: 0x00BBGGRR, or a negative number naming
// a system colour.
#pragma once

#include <QColor>

QColor colorFromWindowsValue(int value);
