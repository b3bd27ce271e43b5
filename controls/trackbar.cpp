#include "trackbar.h"

#include "controlaccessibility.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPolygon>
#include <QStyle>
#include <QStyleOptionFocusRect>
#include <QWheelEvent>
#include <algorithm>
#include <climits>

namespace {
constexpr int RepeatMilliseconds = 300;
constexpr int WheelNotch = 120;

} // namespace

bool TLMDTrackBar::movesWithKey(const QKeyEvent &key)
{
    if ((key.modifiers() & ~Qt::KeypadModifier) != Qt::NoModifier)
        return false;
    switch (key.key()) {
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
    case Qt::Key_Left:
    case Qt::Key_Right:
    case Qt::Key_Up:
    case Qt::Key_Down:
        return true;
    default:
        return false;
    }
}

TLMDTrackBar::TLMDTrackBar(QWidget *parent) : QWidget(parent)
{
    m_thumbColor = palette().color(QPalette::Button);
    m_color = m_thumbColor;
    m_repeat.setInterval(RepeatMilliseconds);
    connect(&m_repeat, &QTimer::timeout, this, &TLMDTrackBar::repeatPage);
    updateFocusPolicy();
    rebuildThumb();
    resize(sizeHint());
}

void TLMDTrackBar::setMinValue(int value)
{
    if (value >= m_maxValue || value == m_minValue)
        return;
    m_minValue = value;
    update();
    if (m_position < value)
        setPosition(value);
}

void TLMDTrackBar::setMaxValue(int value)
{
    if (value <= m_minValue || value == m_maxValue)
        return;
    m_maxValue = value;
    update();
    if (m_position > value)
        setPosition(value);
}

void TLMDTrackBar::setPosition(int value)
{
    const int clamped = std::clamp(value, m_minValue, m_maxValue);
    if (clamped == m_position)
        return;
    const int old = m_position;
    m_position = clamped;
    // Only the thumb moves: repaint where it was and where it is now, not the whole groove at
    // every tick of a playing song.
    const TrackBarGeometry layout = layoutNow();
    update(layout.thumbRect(old));
    update(layout.thumbRect(clamped));
    notifyAccessibleValue(this, clamped);
    emit OnChange(this);
}

void TLMDTrackBar::stepBy(long long delta)
{
    setPosition(int(std::clamp<long long>(m_position + delta, INT_MIN, INT_MAX)));
}

void TLMDTrackBar::setOrientation(TrackBar::Orientation orientation)
{
    m_orientation = orientation;
    rebuildThumb();
    update();
}

void TLMDTrackBar::setMargin(int margin)
{
    if (margin <= 0)
        return;
    m_margin = margin;
    update();
}

void TLMDTrackBar::setTrackWidth(int width)
{
    if (width < 3)
        return;
    m_trackWidth = width;
    update();
}

void TLMDTrackBar::setThumb(const QImage &picture)
{
    m_thumb = picture;
    if (picture.isNull())
        m_thumbStyle = TrackBar::tsStandard;
    rebuildThumb();
    update();
}

void TLMDTrackBar::setThumbStyle(TrackBar::ThumbStyle style)
{
    m_thumbStyle = style;
    rebuildThumb();
    update();
}

void TLMDTrackBar::setThumbColor(QColor color)
{
    m_thumbColor = color;
    rebuildThumb();
    update();
}

void TLMDTrackBar::setTickMarks(TrackBar::TickMarks marks)
{
    m_tickMarks = marks;
    rebuildThumb(); // the standard thumb points at the ticks
    update();
}

void TLMDTrackBar::setTickGap(int gap)
{
    if (gap < -1)
        return;
    m_tickGap = gap;
    update();
}

void TLMDTrackBar::setFocusStyle(TrackBar::FocusStyle style)
{
    m_focusStyle = style;
    if (style == TrackBar::tbNoFocus)
        m_tabStop = false;
    updateFocusPolicy();
    update();
}

void TLMDTrackBar::setTabStop(bool tabStop)
{
    m_tabStop = tabStop;
    updateFocusPolicy();
}

void TLMDTrackBar::updateFocusPolicy()
{
    if (m_focusStyle == TrackBar::tbNoFocus)
        setFocusPolicy(Qt::NoFocus);
    else
        setFocusPolicy(m_tabStop ? Qt::StrongFocus : Qt::ClickFocus);
}

void TLMDTrackBar::rebuildThumb()
{
    if (m_thumbStyle == TrackBar::tsCustom)
        m_frames = thumbFramesFromPicture(m_thumb);
    // A custom style without a usable picture still needs a thumb to show and to grab.
    if (m_thumbStyle != TrackBar::tsCustom || m_frames.isNull())
        m_frames = standardThumbFrames(m_thumbColor, m_orientation, m_tickMarks);
}

TrackBarGeometry TLMDTrackBar::layoutNow() const
{
    TrackBarLayout layout;
    layout.client = size();
    layout.margin = m_margin;
    layout.orientation = m_orientation;
    layout.thumb = m_frames.size();
    layout.trackWidth = m_trackWidth;
    layout.tickStyle = m_tickStyle;
    layout.tickMarks = m_tickMarks;
    layout.minValue = m_minValue;
    layout.maxValue = m_maxValue;
    return TrackBarGeometry(layout);
}

void TLMDTrackBar::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    const TrackBarGeometry layout = layoutNow();
    const QRect inside = TrackGroove::inside(layout.groove(), m_trackBorderStyle, m_trackBorder);

    if (!m_transparent) {
        // A transparent groove keeps showing the parent even on an opaque bar.
        QRegion background(rect());
        if (m_trackTransparent)
            background -= inside;
        painter.save();
        painter.setClipRegion(background, Qt::IntersectClip);
        painter.fillRect(rect(), m_color);
        painter.restore();
    }
    TrackGroove::paintFrame(painter, layout.groove(), m_trackBorderStyle, palette());
    if (!m_trackTransparent && inside.isValid()) {
        if (m_trackFill.style != TrackGroove::sfNone)
            TrackGroove::paintFill(painter, inside, m_trackFill,
                                   m_orientation == TrackBar::toHorizontal);
        else
            painter.fillRect(inside, m_trackColor);
    }
    paintTicks(painter, layout);

    const bool pressedLook = m_dragging || !isEnabled();
    painter.drawImage(layout.thumbRect(m_position).topLeft(),
                      pressedLook ? m_frames.pressed : m_frames.normal);
    paintFocusFrame(painter);
}

void TLMDTrackBar::paintTicks(QPainter &painter, const TrackBarGeometry &layout)
{
    if (m_tickStyle == TrackBar::tsNone)
        return;
    painter.save();
    painter.setPen(m_tickColor);
    for (const TrackBarTick &tick : layout.ticks(m_tickGap, m_tickLength)) {
        if (m_tickStyle == TrackBar::tsOwnerDraw) {
            painter.save();
            emit OnDrawTick(this, &painter, tick.value, tick.from);
            painter.restore();
        } else if (m_tickLength > 0) {
            painter.drawLine(tick.from, tick.to);
        }
    }
    painter.restore();
}

void TLMDTrackBar::paintFocusFrame(QPainter &painter)
{
    if (!hasFocus() || m_focusStyle != TrackBar::tbFocus)
        return;
    if (!m_useFocusColor) {
        QStyleOptionFocusRect option;
        option.initFrom(this);
        option.rect = rect();
        // The bar shows its focus however it got it, not only after keyboard navigation.
        option.state |= QStyle::State_KeyboardFocusChange;
        style()->drawPrimitive(QStyle::PE_FrameFocusRect, &option, &painter, this);
        return;
    }
    // Every other pixel of the outermost ring.
    QPolygon dots;
    const int right = width() - 1;
    const int bottom = height() - 1;
    for (int x = 0; x <= right; ++x)
        for (int y : {0, bottom})
            if ((x + y) % 2 == 0)
                dots << QPoint(x, y);
    for (int y = 1; y < bottom; ++y)
        for (int x : {0, right})
            if ((x + y) % 2 == 0)
                dots << QPoint(x, y);
    painter.setPen(m_focusColor);
    painter.drawPoints(dots);
}

void TLMDTrackBar::mousePressEvent(QMouseEvent *event)
{
    const QPoint point = event->position().toPoint();
    emit OnMouseDown(this, event->button(), event->modifiers(), point.x(), point.y());
    if (m_focusStyle != TrackBar::tbNoFocus)
        setFocus(Qt::MouseFocusReason);
    m_lastPoint = point;
    if (event->button() != Qt::LeftButton)
        return;
    m_leftHeld = true;
    const TrackBarGeometry layout = layoutNow();
    const QRect thumb = layout.thumbRect(m_position);
    if (thumb.contains(point)) {
        m_dragging = true;
        update(thumb);
        return;
    }
    if (layout.groove().contains(point)) {
        m_pageDirection = layout.pageDirection(point, m_position);
        m_repeat.start();
        stepBy(static_cast<long long>(m_pageDirection) * m_pageSize);
    }
}

void TLMDTrackBar::mouseMoveEvent(QMouseEvent *event)
{
    const QPoint point = event->position().toPoint();
    emit OnMouseMove(this, event->modifiers(), point.x(), point.y());
    m_lastPoint = point;
    if (m_dragging)
        setPosition(layoutNow().valueAt(point));
}

void TLMDTrackBar::mouseReleaseEvent(QMouseEvent *event)
{
    const QPoint point = event->position().toPoint();
    emit OnMouseUp(this, event->button(), event->modifiers(), point.x(), point.y());
    if (event->button() != Qt::LeftButton) {
        m_repeat.stop();
        return;
    }
    const bool held = m_leftHeld;
    releaseMouseHold();
    if (held && rect().contains(point))
        emit OnClick(this);
}

void TLMDTrackBar::repeatPage()
{
    if (!holdsMouse()) {
        releaseMouseHold();
        return;
    }
    const TrackBarGeometry layout = layoutNow();
    if (!layout.groove().contains(m_lastPoint))
        return;
    // Keep paging until the thumb has passed the pointer.
    if (layout.pageDirection(m_lastPoint, m_position) == m_pageDirection)
        stepBy(static_cast<long long>(m_pageDirection) * m_pageSize);
    else
        m_repeat.stop();
}

void TLMDTrackBar::wheelEvent(QWheelEvent *event)
{
    const int delta = event->angleDelta().y();
    emit OnMouseWheel(this, event->modifiers(), delta, event->position().toPoint());
    // A notch towards the user moves up by one, whatever LineSize; smooth wheels add up to notches.
    m_wheelRemainder += delta;
    const int notches = m_wheelRemainder / WheelNotch;
    m_wheelRemainder -= notches * WheelNotch;
    stepBy(-static_cast<long long>(notches));
    event->accept();
}

void TLMDTrackBar::keyPressEvent(QKeyEvent *event)
{
    switch (event->key()) {
    case Qt::Key_PageUp:
        stepBy(m_pageSize);
        break;
    case Qt::Key_PageDown:
        stepBy(-static_cast<long long>(m_pageSize));
        break;
    case Qt::Key_Left:
    case Qt::Key_Down:
        stepBy(-static_cast<long long>(m_lineSize));
        break;
    case Qt::Key_Right:
    case Qt::Key_Up:
        stepBy(m_lineSize);
        break;
    default:
        QWidget::keyPressEvent(event);
        return;
    }
    event->accept();
}

bool TLMDTrackBar::event(QEvent *event)
{
    // The bar's own keys must reach it before any shortcut of the form or dialog around it.
    if (event->type() == QEvent::ShortcutOverride) {
        if (movesWithKey(*static_cast<QKeyEvent *>(event))) {
            event->accept();
            return true;
        }
    }
    return QWidget::event(event);
}

void TLMDTrackBar::focusInEvent(QFocusEvent *)
{
    if (m_focusStyle == TrackBar::tbFocus)
        update();
}

void TLMDTrackBar::focusOutEvent(QFocusEvent *)
{
    // The release may never come back to us: a box or another window has taken the focus.
    releaseMouseHold();
    if (m_focusStyle == TrackBar::tbFocus)
        update();
}

void TLMDTrackBar::changeEvent(QEvent *event)
{
    // A disabled bar gets no release.
    if (event->type() == QEvent::EnabledChange && !isEnabled())
        releaseMouseHold();
    QWidget::changeEvent(event);
}

bool TLMDTrackBar::holdsMouse() const
{
    const QWidget *modal = QApplication::activeModalWidget();
    const bool blocked = modal != nullptr && modal != window();
    return !blocked && (QGuiApplication::mouseButtons() & Qt::LeftButton);
}

void TLMDTrackBar::releaseMouseHold()
{
    m_repeat.stop();
    m_leftHeld = false;
    if (m_dragging) {
        m_dragging = false;
        update(layoutNow().thumbRect(m_position));
    }
}
