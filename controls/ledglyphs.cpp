#include "ledglyphs.h"

#include <algorithm>
#include <initializer_list>
#include <limits>

namespace LedGlyphs {

namespace {

int sign(int n)
{
    return (n > 0) - (n < 0);
}

QPolygon horizontalBar(int x, int y, int length, int h)
{
    return QPolygon({{x, y + h},
                     {x + h, y},
                     {x + h + length, y},
                     {x + length + 2 * h, y + h},
                     {x + h + length, y + 2 * h},
                     {x + h, y + 2 * h}});
}

QPolygon upright(int x, int y, int length, int h)
{
    return QPolygon({{x + h, y},
                     {x + 2 * h, y + h},
                     {x + 2 * h, y + h + length},
                     {x + h, y + 2 * h + length},
                     {x, y + h + length},
                     {x, y + h}});
}

QPolygon diagonal(int x, int y, int dx, int dy, int thickness)
{
    if (dx == 0 || dy == 0)
        return {};
    const int ex = halfRoundedToEven(sign(dx) * thickness);
    const int ey = halfRoundedToEven(sign(dy) * thickness);
    return QPolygon({{x, y},
                     {x + ex, y},
                     {x + dx, y + dy - ey},
                     {x + dx, y + dy},
                     {x + dx - ex, y + dy},
                     {x, y + ey}});
}

// Drawn one pixel above its origin; the last corner repeats to make six points.
QPolygon dot(int x, int y, int side)
{
    return QPolygon({{x + side, y - 1},
                     {x + side, y + side - 1},
                     {x, y + side - 1},
                     {x, y - 1},
                     {x, y - 1},
                     {x, y - 1}});
}

constexpr std::uint16_t segments(std::initializer_list<int> lit)
{
    std::uint16_t mask = 0;
    for (int n : lit)
        mask |= std::uint16_t(1u << n);
    return mask;
}

} // namespace

int halfRoundedToEven(int n)
{
    const int floorHalf = n >= 0 ? n / 2 : -((-n + 1) / 2);
    if (n - 2 * floorHalf == 0)
        return floorHalf;
    return floorHalf % 2 == 0 ? floorHalf : floorHalf + 1;
}

QSize cellSize(const Sizes &sizes)
{
    const int t = sizes.thickness;
    return {sizes.horz + 5 * t, 2 * sizes.vert + 7 * t};
}

SegmentPolygons segmentPolygons(const Sizes &sizes)
{
    const int t = sizes.thickness;
    const int hz = sizes.horz;
    const int v = sizes.vert;
    const int h = t / 2;
    const int middle = (4 * t + hz) / 2;
    const int rightOfMiddle = middle + halfRoundedToEven(3 * t);
    const int leftOfMiddle = middle - h;
    const int halfBar = hz / 2;

    return {horizontalBar(2 * t, t, hz, h),
            upright(t, 2 * t, v, h),
            upright(3 * t + hz, 2 * t, v, h),
            horizontalBar(2 * t, 3 * t + v, hz, h),
            upright(t, 4 * t + v, v, h),
            upright(3 * t + hz, 4 * t + v, v, h),
            horizontalBar(2 * t, 5 * t + 2 * v, hz, h),
            upright(middle, 2 * t, v, h),
            upright(middle, 4 * t + v, v, h),
            diagonal(leftOfMiddle, 2 * t + v, t - halfBar, t - v, t),
            diagonal(rightOfMiddle, 2 * t + v, halfBar - t, t - v, t),
            diagonal(leftOfMiddle, 5 * t + v, t - halfBar, v - t, t),
            diagonal(rightOfMiddle, 5 * t + v, halfBar - t, v - t, t),
            dot(middle - 1, 3 * t + v, t),
            dot(middle - 1, t, t),
            dot(middle - 1, 5 * t + 2 * v, t)};
}

std::uint16_t characterMask(char32_t character)
{
    if (character >= 'a' && character <= 'z')
        character -= 'a' - 'A';
    switch (character) {
    case '0':
        return segments({0, 1, 2, 4, 5, 6, 9, 12});
    case '1':
    case 'I':
        return segments({7, 8});
    case '2':
        return segments({0, 2, 3, 4, 6});
    case '3':
        return segments({0, 2, 3, 5, 6});
    case '4':
        return segments({1, 2, 3, 5});
    case '5':
    case 'S':
        return segments({0, 1, 3, 5, 6});
    case '6':
    case 'G':
        return segments({0, 1, 3, 4, 5, 6});
    case '7':
        return segments({0, 2, 5});
    case '8':
        return segments({0, 1, 2, 3, 4, 5, 6});
    case '9':
        return segments({0, 1, 2, 3, 5, 6});
    case 'A':
        return segments({0, 1, 2, 3, 4, 5});
    case 'B':
        return segments({0, 2, 3, 5, 6, 7, 8});
    case 'C':
    case '[':
        return segments({0, 1, 4, 6});
    case 'D':
        return segments({0, 2, 5, 6, 7, 8});
    case 'E':
        return segments({0, 1, 3, 4, 6});
    case 'F':
        return segments({0, 1, 3, 4});
    case 'H':
        return segments({1, 2, 3, 4, 5});
    case 'J':
        return segments({2, 4, 5, 6});
    case 'K':
        return segments({1, 3, 4, 10, 12});
    case 'L':
        return segments({1, 4, 6});
    case 'M':
        return segments({1, 2, 4, 5, 9, 10});
    case 'N':
        return segments({1, 2, 4, 5, 9, 12});
    case 'O':
        return segments({0, 1, 2, 4, 5, 6});
    case 'P':
        return segments({0, 1, 2, 3, 4});
    case 'Q':
        return segments({0, 1, 2, 4, 5, 6, 12});
    case 'R':
        return segments({0, 1, 2, 3, 4, 12});
    case 'T':
        return segments({0, 7, 8});
    case 'U':
        return segments({1, 2, 4, 5, 6});
    case 'V':
        return segments({1, 4, 10, 11});
    case 'W':
        return segments({1, 2, 4, 5, 11, 12});
    case 'X':
        return segments({9, 10, 11, 12});
    case 'Y':
        return segments({8, 9, 10});
    case 'Z':
        return segments({0, 6, 10, 11});
    case '(':
        return segments({10, 12});
    case ')':
        return segments({9, 11});
    case '*':
        return segments({7, 8, 9, 10, 11, 12});
    case '+':
        return segments({3, 7, 8});
    case '-':
        return segments({3});
    case '.':
        return segments({15});
    case ':':
        return segments({13, 15});
    case '\\':
        return segments({9, 12});
    case ']':
        return segments({0, 2, 5, 6});
    case '_':
        return segments({6});
    default:
        return 0;
    }
}

bool showsAllSegments(const Sizes &sizes)
{
    return sizes.vert > 3 && sizes.horz > 3;
}

std::uint16_t visibleSegments(std::uint16_t mask, const Sizes &sizes)
{
    return showsAllSegments(sizes) ? mask : std::uint16_t(mask & CoreSegments);
}

QColor unlitPixelColor(int x, int y, QColor back, QColor inactive)
{
    return (x + y) % 2 == 0 ? inactive : back;
}

TextLayout layoutText(const QString &text)
{
    TextLayout layout;
    int column = 0;
    for (char32_t character : text.toUcs4()) {
        if (character == '\r') {
            ++layout.lines;
            column = 0;
        } else if (character >= ' ') {
            layout.characters.push_back({layout.lines - 1, column, character});
            ++column;
            layout.columns = std::max(layout.columns, column);
        }
    }
    return layout;
}

QRect measureText(const QString &text, int bevelWidth, const Sizes &sizes)
{
    const TextLayout layout = layoutText(text);
    const QSize cell = cellSize(sizes);
    const qint64 width = qint64(cell.width()) * layout.columns + 2 * qint64(bevelWidth) + 1;
    const qint64 height = qint64(cell.height()) * layout.lines + 2 * qint64(bevelWidth);
    constexpr qint64 largest = std::numeric_limits<int>::max();
    return QRect(0, 0, int(std::clamp<qint64>(width, 0, largest)),
                 int(std::clamp<qint64>(height, 0, largest)));
}

QString formatValue(int value, int digits)
{
    const QString text = QString::number(value);
    if (text.size() > digits)
        return QString(qMax(digits, 0), QLatin1Char('-'));
    const int sign = value < 0 ? 1 : 0;
    return text.left(sign) + QString(digits - text.size(), QLatin1Char('0')) + text.mid(sign);
}

} // namespace LedGlyphs
