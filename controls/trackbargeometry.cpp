#include "trackbargeometry.h"

#include <algorithm>
#include <cmath>

double TrackBar::roundHalfEven(double value)
{
    const double below = std::floor(value);
    const double fraction = value - below;
    if (fraction > 0.5)
        return below + 1;
    if (fraction < 0.5)
        return below;
    return std::fmod(below, 2.0) == 0 ? below : below + 1;
}

namespace {
// No widget is larger than this; holding every length below it keeps the products of lengths and
// 32-bit values inside 64 bits.
constexpr int LargestLength = 16777215;

int limited(int length, int lowest)
{
    return std::clamp(length, lowest, LargestLength);
}
} // namespace

TrackBarGeometry::TrackBarGeometry(const TrackBarLayout &layout) : m_layout(layout)
{
    m_layout.client = QSize(limited(layout.client.width(), 0), limited(layout.client.height(), 0));
    m_layout.thumb = QSize(limited(layout.thumb.width(), 0), limited(layout.thumb.height(), 0));
    m_layout.margin = limited(layout.margin, 0);
    m_layout.trackWidth = limited(layout.trackWidth, 0);

    const int margin = m_layout.margin;
    m_working = QRect(margin, margin, m_layout.client.width() - 2 * margin,
                      m_layout.client.height() - 2 * margin);

    const int width = m_layout.trackWidth;
    const int half = thumbAlong() / 2;
    const int length = std::max(0, alongLength() - 2 * half);
    // Ticks on one side push the groove towards the other; with ticks on both sides it is centred.
    const int acrossStart = horizontal() ? m_working.top() : m_working.left();
    const int acrossSize = horizontal() ? m_working.height() : m_working.width();
    int across = acrossStart + (acrossSize - width) / 2;
    if (m_layout.tickStyle == TrackBar::tsNone || m_layout.tickMarks == TrackBar::tmBottomRight)
        across = acrossStart + width / 2 + 1;
    else if (m_layout.tickMarks == TrackBar::tmTopLeft)
        across = acrossStart + acrossSize - width - width / 2;

    if (horizontal())
        m_groove = QRect(m_working.left() + half, across, length, width);
    else
        m_groove = QRect(across, m_working.top() + half, width, length);
}

int TrackBarGeometry::alongLength() const
{
    return horizontal() ? m_working.width() : m_working.height();
}

int TrackBarGeometry::thumbAlong() const
{
    return horizontal() ? m_layout.thumb.width() : m_layout.thumb.height();
}

int TrackBarGeometry::thumbAcross() const
{
    return horizontal() ? m_layout.thumb.height() : m_layout.thumb.width();
}

std::int64_t TrackBarGeometry::range() const
{
    return std::max<std::int64_t>(1, std::int64_t(m_layout.maxValue) - m_layout.minValue);
}

int TrackBarGeometry::thumbOffset(int value) const
{
    const std::int64_t clamped = std::clamp(value, m_layout.minValue, m_layout.maxValue);
    const std::int64_t fromStart =
        horizontal() ? clamped - m_layout.minValue : m_layout.maxValue - clamped;
    const std::int64_t span = alongLength() - thumbAlong();
    return int(span * fromStart / range());
}

QRect TrackBarGeometry::thumbRect(int value) const
{
    const int offset = thumbOffset(value);
    const int grooveAcross = horizontal() ? m_groove.top() : m_groove.left();
    const int across = grooveAcross - (thumbAcross() - m_layout.trackWidth) / 2;
    if (horizontal())
        return {QPoint(m_working.left() + offset, across), m_layout.thumb};
    return {QPoint(across, m_working.top() + offset), m_layout.thumb};
}

int TrackBarGeometry::valueAt(QPoint point) const
{
    const int half = thumbAlong() / 2;
    const int span = std::max(1, alongLength() - thumbAlong());
    // Distance of the point from where the thumb's centre stands at the minimum.
    const double distance = horizontal() ? double(point.x()) - m_working.left() - half
                                         : double(m_working.top()) + half + span - point.y();
    const double value =
        TrackBar::roundHalfEven(distance / span * double(range()) + m_layout.minValue);
    return int(std::clamp(value, double(m_layout.minValue), double(m_layout.maxValue)));
}

int TrackBarGeometry::pageDirection(QPoint point, int position) const
{
    const QRect thumb = thumbRect(position);
    const bool before = horizontal() ? point.x() < thumb.left() : point.y() > thumb.bottom();
    return before ? -1 : 1;
}

int TrackBarGeometry::tickOffset(std::int64_t fromMin) const
{
    const double ratio = double(alongLength() - thumbAlong()) / double(range());
    const double fromStart = horizontal() ? double(fromMin) : double(range() - fromMin);
    return int(std::trunc(fromStart * ratio));
}

std::vector<TrackBarTick> TrackBarGeometry::ticks(int gap, int length) const
{
    std::vector<TrackBarTick> result;
    const std::int64_t step = gap > 1 ? gap : 1;
    const std::int64_t last = range() / step;                         // index of the last tick
    const bool first = m_layout.tickMarks != TrackBar::tmBottomRight; // top or left side
    const bool second = m_layout.tickMarks != TrackBar::tmTopLeft;    // bottom or right side
    const int reach = std::max(length, 1) - 1;
    const int start = (horizontal() ? m_working.left() : m_working.top()) + thumbAlong() / 2;
    const QPoint nearCorner = m_working.topLeft();
    const QPoint farCorner(m_working.left() + m_working.width() - 1,
                           m_working.top() + m_working.height() - 1);

    for (std::int64_t index = 0; index <= last;) {
        const int offset = tickOffset(index * step);
        const int value = int(m_layout.minValue + index * step);
        const int along = start + offset;
        if (horizontal()) {
            if (first)
                result.push_back({value, {along, nearCorner.y()}, {along, nearCorner.y() + reach}});
            if (second)
                result.push_back({value, {along, farCorner.y()}, {along, farCorner.y() - reach}});
        } else {
            if (first)
                result.push_back({value, {nearCorner.x(), along}, {nearCorner.x() + reach, along}});
            if (second)
                result.push_back({value, {farCorner.x(), along}, {farCorner.x() - reach, along}});
        }
        // Offsets change monotonically with the index: find the first index past this pixel.
        std::int64_t low = index + 1;
        std::int64_t high = last + 1;
        if (low <= last && tickOffset(low * step) == offset) {
            while (low < high) {
                const std::int64_t middle = low + (high - low) / 2;
                if (tickOffset(middle * step) == offset)
                    low = middle + 1;
                else
                    high = middle;
            }
        }
        index = low;
    }
    return result;
}
