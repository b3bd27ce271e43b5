// Glyph strips for the transport buttons and the window's two small buttons, drawn rather than
// loaded: the main window's built-in pictures, and the stand-ins of tools and galleries. Each
// strip holds the four frames of a speed button (normal, disabled, mouse over, down) on a
// background that is also the transparent colour (the bottom-left pixel); a fully transparent
// background keeps every symbol colour visible.
#pragma once

#include <QColor>
#include <QImage>
#include <array>

enum class TransportSymbol { Previous, Play, Pause, Stop, Next, Hide, Quit };

struct GlyphColours {
    QColor background;
    std::array<QColor, 4> frames; // the symbol's colour in each frame
};

// A strip of four frames of `frameWidth` x `height` pixels.
QImage transportGlyph(TransportSymbol symbol, int frameWidth, int height,
                      const GlyphColours &colours);
// A two-frame track bar thumb (normal, pressed) of the given size in the given colours, with a
// transparent background.
QImage thumbPicture(QSize size, QColor normal, QColor pressed, QColor background);
