// The skin's background picture: the body of the window around the controls, with everything
// outside the window's outline in the key colour, pure white.
#pragma once

#include <QColor>
#include <QImage>
#include <QPainterPath>

#include "skintheme.h"

// Background pixels of this colour are cut out of the window.
inline constexpr QRgb KeyColour = 0xFFFFFFFF;
// Where a drawing would land on the key colour inside the window, this is used instead.
inline constexpr QRgb NearWhite = 0xFFFEFEFE;

// The window's outline in client coordinates; column 0 and the last column lie outside.
QPainterPath windowOutline(const SkinTheme &theme);
// Which pixels are inside the outline: Format_Grayscale8, 255 inside and 0 outside. Pixels are
// counted by their centres, without antialiasing, so the edge is exactly the cut.
QImage windowMask(const QPainterPath &outline, QSize size);
// Paints the key colour outside the mask and moves any key-coloured pixel inside it off the key.
void cutOutside(QImage &picture, const QImage &mask);

// The 252 x 412 background, 24-bit.
QImage paintBackground(const SkinTheme &theme);
