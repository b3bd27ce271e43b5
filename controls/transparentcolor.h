// Bitmaps of the old kind mark their transparent parts with one colour, that of the bottom-left
// pixel: thumbs, button glyphs and skin pictures are drawn with that colour left out.
#pragma once

#include <QColor>
#include <QImage>

// The colour of the bottom-left pixel; invalid for an empty image.
QColor bottomLeftColor(const QImage &image);
// A copy with every pixel of `key` (alpha included) fully transparent, in ARGB32 premultiplied
// form.
QImage withTransparentColor(const QImage &image, QColor key);
