// Where the parts of a track bar lie and which value a point stands for. Plain arithmetic, no
// widget: the control asks this at every paint and every mouse event.
#pragma once

#include <QObject>
#include <QPoint>
#include <QRect>
#include <QSize>
#include <cstdint>
#include <vector>

namespace TrackBar {
Q_NAMESPACE

enum Orientation { toHorizontal, toVertical };
Q_ENUM_NS(Orientation)
enum ThumbStyle { tsStandard, tsCustom };
Q_ENUM_NS(ThumbStyle)
enum TickStyle { tsAuto, tsOwnerDraw, tsNone };
Q_ENUM_NS(TickStyle)
enum TickMarks { tmBoth, tmBottomRight, tmTopLeft };
Q_ENUM_NS(TickMarks)
enum FocusStyle { tbFocus, tbInvisibleFocus, tbNoFocus };
Q_ENUM_NS(FocusStyle)

// Rounds to the nearest integer, halves to the even neighbour (2.5 -> 2, 3.5 -> 4).
double roundHalfEven(double value);

} // namespace TrackBar

// Everything the layout depends on. The range is assumed valid (minValue < maxValue); the control
// never lets it become anything else.
struct TrackBarLayout {
    QSize client;
    int margin = 1;
    TrackBar::Orientation orientation = TrackBar::toHorizontal;
    QSize thumb;         // one frame of the thumb picture, as drawn
    int trackWidth = 10; // thickness of the groove
    TrackBar::TickStyle tickStyle = TrackBar::tsAuto;
    TrackBar::TickMarks tickMarks = TrackBar::tmBottomRight;
    int minValue = 0;
    int maxValue = 10;
};

// One tick line: the value it marks, the pixel it starts from and the pixel it ends on (both
// included); the line runs away from the edge of the working area it starts at.
struct TrackBarTick {
    int value = 0;
    QPoint from;
    QPoint to;
    bool operator==(const TrackBarTick &) const = default;
};

class TrackBarGeometry {
public:
    explicit TrackBarGeometry(const TrackBarLayout &layout);

    // The client area inset by the margin on every side.
    QRect workingArea() const { return m_working; }
    QRect groove() const { return m_groove; }
    // Where the thumb stands for `value` (any value; the caller clamps).
    QRect thumbRect(int value) const;
    // The value whose thumb is centred on `point` along the bar, rounded half to even and held
    // within the range.
    int valueAt(QPoint point) const;
    // +1 when a click at `point` pages towards higher values, -1 towards lower ones: lower when
    // the point lies before the thumb drawn for `position`.
    int pageDirection(QPoint point, int position) const;
    // The tick lines for values from the minimum up in steps of `gap` (every value when the gap
    // is 1 or less). Values that would land on a pixel already marked are left out, so a huge
    // range costs no more than one tick per pixel.
    std::vector<TrackBarTick> ticks(int gap, int length) const;

private:
    bool horizontal() const { return m_layout.orientation == TrackBar::toHorizontal; }
    int alongLength() const; // of the working area
    int thumbAlong() const;  // thumb extent along the bar
    int thumbAcross() const;
    std::int64_t range() const;
    // Thumb offset from the working area's start (left, or top when vertical) for a value.
    int thumbOffset(int value) const;
    // Offset of a tick for the value, from where the thumb's centre is at the minimum (vertical:
    // at the maximum), in floating point and then truncated.
    int tickOffset(std::int64_t fromMin) const;

    TrackBarLayout m_layout;
    QRect m_working;
    QRect m_groove;
};
