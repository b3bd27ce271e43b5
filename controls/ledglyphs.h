// The geometry of a sixteen-segment LED character cell and the text rules of the LED label:
// which segments each character lights, how a text is laid out in cells, how big it measures
// and how a number is written. Plain code, usable without a screen.
//
// Segments: 0 top, 1 upper left, 2 upper right, 3 middle, 4 lower left, 5 lower right,
// 6 bottom, 7 upper centre, 8 lower centre, 9-12 the four diagonals (upper left, upper right,
// lower left, lower right), 13-15 the middle, top and bottom dots.
#pragma once

#include <QColor>
#include <QPolygon>
#include <QRect>
#include <QSize>
#include <QString>
#include <array>
#include <cstdint>
#include <vector>

namespace LedGlyphs {

constexpr int SegmentCount = 16;
// Segments 0-6 form the seven-segment core; the rest light only in cells big enough for them.
constexpr int CoreSegmentCount = 7;
constexpr std::uint16_t CoreSegments = (1u << CoreSegmentCount) - 1;

struct Sizes {
    int horz = 9;      // length of the horizontal bars
    int vert = 7;      // length of each upright
    int thickness = 2; // stroke width
};

using SegmentPolygons = std::array<QPolygon, SegmentCount>;

// Width horz + 5 thickness, height 2 vert + 7 thickness.
QSize cellSize(const Sizes &sizes);
// Six points per segment, from the cell's top-left corner. A diagonal that has no extent in x or
// y is left empty, so nothing is drawn for it.
SegmentPolygons segmentPolygons(const Sizes &sizes);
// n / 2 rounded to the nearest whole number, halves to the even neighbour.
int halfRoundedToEven(int n);

// Bit n set: segment n lights. Letters light the same segments in either case; every other
// character lights nothing.
std::uint16_t characterMask(char32_t character);
// The cells are too small for the centre uprights, diagonals and dots when either length is 3
// or less; then only the core segments light.
bool showsAllSegments(const Sizes &sizes);
std::uint16_t visibleSegments(std::uint16_t mask, const Sizes &sizes);

// Unlit segments are dotted: `inactive` where x + y (from the cell's corner) is even, `back`
// where it is odd.
QColor unlitPixelColor(int x, int y, QColor back, QColor inactive);

// A character placed in the grid of cells.
struct PlacedCharacter {
    int line = 0;
    int column = 0;
    char32_t character = 0;
};

// Carriage return starts a new line; other control characters take no cell. A text always
// counts at least one line and one column, so an empty text measures as one cell.
struct TextLayout {
    int lines = 1;
    int columns = 1;
    std::vector<PlacedCharacter> characters;
};
TextLayout layoutText(const QString &text);

// Cell width x columns + 2 bevelWidth + 1 wide, cell height x lines + 2 bevelWidth high, at (0, 0).
QRect measureText(const QString &text, int bevelWidth, const Sizes &sizes);

// The decimal text of `value`, `digits` characters wide: zero-filled on the left (after the
// minus sign of a negative number), or `digits` dashes when it does not fit.
QString formatValue(int value, int digits);

} // namespace LedGlyphs
