// The skin's button glyph strips and track bar thumbs.
#pragma once

#include <QImage>

#include "skinlayout.h"
#include "skintheme.h"

// Frame widths of the transport glyphs; all are 16 pixels high.
int glyphFrameWidth(SkinLayout::Transport button);
constexpr int GlyphHeight = 16;

// Four frames side by side (normal, disabled, mouse over, down) on the theme's strip colour,
// which is also the strip's transparent colour (its bottom-left pixel).
QImage transportGlyphStrip(const SkinTheme &theme, SkinLayout::Transport button);

enum class ThumbKind { Progress, Volume, Priority };

// A thumb's two frames side by side (normal; pressed or disabled), split at width / 2, on the
// key colour in the bottom-left pixel. Each bar's thumb has its own grip.
QImage thumbStrip(const SkinTheme &theme, ThumbKind kind);

// The thumbs' transparent colour; it never occurs inside a thumb.
inline constexpr QRgb ThumbKey = 0xFFFF00FF;
