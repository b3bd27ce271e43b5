#include "polygonpixels.h"

#include <QRect>
#include <algorithm>
#include <cstdlib>

namespace {

// A bitmap over the polygon's bounding rectangle.
class Grid {
public:
    explicit Grid(const QRect &bounds)
        : m_bounds(bounds), m_bits(size_t(bounds.width()) * size_t(bounds.height()), false)
    {
    }

    void set(int x, int y)
    {
        if (m_bounds.contains(x, y))
            m_bits[index(x, y)] = true;
    }

    PixelRuns runs() const
    {
        PixelRuns result;
        for (int y = m_bounds.top(); y <= m_bounds.bottom(); ++y) {
            int x = m_bounds.left();
            while (x <= m_bounds.right()) {
                if (!m_bits[index(x, y)]) {
                    ++x;
                    continue;
                }
                const int start = x;
                while (x <= m_bounds.right() && m_bits[index(x, y)])
                    ++x;
                result.push_back({y, start, x - start});
            }
        }
        return result;
    }

private:
    size_t index(int x, int y) const
    {
        return size_t(y - m_bounds.top()) * size_t(m_bounds.width()) + size_t(x - m_bounds.left());
    }

    QRect m_bounds;
    std::vector<bool> m_bits;
};

int ceilDiv(int numerator, int denominator)
{
    if (denominator < 0) {
        numerator = -numerator;
        denominator = -denominator;
    }
    const int quotient = numerator / denominator;
    return quotient + (numerator % denominator > 0 ? 1 : 0);
}

// Pixel (x, y) stands for the point (x, y). Each row keeps the half-open spans between edge
// crossings, so a shape's top and left edges belong to it and its bottom and right edges do not.
void fill(Grid &grid, const QPolygon &polygon)
{
    const QRect bounds = polygon.boundingRect();
    const int count = int(polygon.size());
    std::vector<int> firstPixels;
    for (int y = bounds.top(); y < bounds.bottom(); ++y) {
        firstPixels.clear();
        for (int i = 0; i < count; ++i) {
            const QPoint p = polygon[i];
            const QPoint q = polygon[(i + 1) % count];
            if (std::min(p.y(), q.y()) > y || std::max(p.y(), q.y()) <= y)
                continue;
            firstPixels.push_back(p.x() + ceilDiv((y - p.y()) * (q.x() - p.x()), q.y() - p.y()));
        }
        std::sort(firstPixels.begin(), firstPixels.end());
        for (size_t i = 0; i + 1 < firstPixels.size(); i += 2)
            for (int x = firstPixels[i]; x < firstPixels[i + 1]; ++x)
                grid.set(x, y);
    }
}

void line(Grid &grid, QPoint from, QPoint to)
{
    const int dx = std::abs(to.x() - from.x());
    const int dy = -std::abs(to.y() - from.y());
    const int stepX = from.x() < to.x() ? 1 : -1;
    const int stepY = from.y() < to.y() ? 1 : -1;
    int error = dx + dy;
    QPoint at = from;
    for (;;) {
        grid.set(at.x(), at.y());
        if (at == to)
            break;
        const int twice = 2 * error;
        if (twice >= dy) {
            error += dy;
            at.rx() += stepX;
        }
        if (twice <= dx) {
            error += dx;
            at.ry() += stepY;
        }
    }
}

void outline(Grid &grid, const QPolygon &polygon)
{
    const int count = int(polygon.size());
    for (int i = 0; i < count; ++i)
        line(grid, polygon[i], polygon[(i + 1) % count]);
}

PixelRuns cover(const QPolygon &polygon, bool filled, bool outlined)
{
    if (polygon.isEmpty())
        return {};
    Grid grid(polygon.boundingRect());
    if (filled)
        fill(grid, polygon);
    if (outlined)
        outline(grid, polygon);
    return grid.runs();
}

} // namespace

PixelRuns filledPixels(const QPolygon &polygon)
{
    return cover(polygon, true, false);
}

PixelRuns outlinedPixels(const QPolygon &polygon)
{
    return cover(polygon, false, true);
}

PixelRuns paintedPixels(const QPolygon &polygon)
{
    return cover(polygon, true, true);
}

int pixelCount(const PixelRuns &runs)
{
    int count = 0;
    for (const PixelRun &run : runs)
        count += run.length;
    return count;
}
