// TLMDTrackBar: a slider with a groove and a thumb picture of two frames (normal, and pressed for
// dragging and the disabled look). Paints over its parent's background when Transparent.
#pragma once

#include <QColor>
#include <QImage>
#include <QPainter>
#include <QTimer>
#include <QWidget>

#include "trackbargeometry.h"
#include "trackbargroove.h"
#include "trackbarthumb.h"

class TLMDTrackBar : public QWidget {
    Q_OBJECT
    Q_PROPERTY(int MinValue READ minValue WRITE setMinValue)
    Q_PROPERTY(int MaxValue READ maxValue WRITE setMaxValue)
    Q_PROPERTY(int Position READ position WRITE setPosition NOTIFY OnChange)
    Q_PROPERTY(int LineSize READ lineSize WRITE setLineSize)
    Q_PROPERTY(int PageSize READ pageSize WRITE setPageSize)
    Q_PROPERTY(TrackBar::Orientation Orientation READ orientation WRITE setOrientation)
    Q_PROPERTY(int Margin READ margin WRITE setMargin)
    Q_PROPERTY(int TrackWidth READ trackWidth WRITE setTrackWidth)
    Q_PROPERTY(int TrackBorder READ trackBorder WRITE setTrackBorder)
    Q_PROPERTY(
        TrackGroove::BorderStyle TrackBorderStyle READ trackBorderStyle WRITE setTrackBorderStyle)
    Q_PROPERTY(QColor TrackColor READ trackColor WRITE setTrackColor)
    Q_PROPERTY(TrackFill TrackFillObject READ trackFillObject WRITE setTrackFillObject)
    Q_PROPERTY(bool TrackTransparent READ trackTransparent WRITE setTrackTransparent)
    Q_PROPERTY(QImage Thumb READ thumb WRITE setThumb)
    Q_PROPERTY(TrackBar::ThumbStyle ThumbStyle READ thumbStyle WRITE setThumbStyle)
    Q_PROPERTY(QColor ThumbColor READ thumbColor WRITE setThumbColor)
    Q_PROPERTY(TrackBar::TickStyle TickStyle READ tickStyle WRITE setTickStyle)
    Q_PROPERTY(TrackBar::TickMarks TickMarks READ tickMarks WRITE setTickMarks)
    Q_PROPERTY(int TickGap READ tickGap WRITE setTickGap)
    Q_PROPERTY(int TickLength READ tickLength WRITE setTickLength)
    Q_PROPERTY(QColor TickColor READ tickColor WRITE setTickColor)
    Q_PROPERTY(TrackBar::FocusStyle FocusStyle READ focusStyle WRITE setFocusStyle)
    Q_PROPERTY(bool UseFocusColor READ useFocusColor WRITE setUseFocusColor)
    Q_PROPERTY(QColor FocusColor READ focusColor WRITE setFocusColor)
    Q_PROPERTY(bool Transparent READ transparent WRITE setTransparent)
    Q_PROPERTY(QColor Color READ color WRITE setColor)
    Q_PROPERTY(bool TabStop READ tabStop WRITE setTabStop)

public:
    explicit TLMDTrackBar(QWidget *parent = nullptr);

    int minValue() const { return m_minValue; }
    // Taken only below MaxValue; a position below the new minimum is raised to it.
    void setMinValue(int value);
    int maxValue() const { return m_maxValue; }
    // Taken only above MinValue; a position above the new maximum is lowered to it.
    void setMaxValue(int value);
    int position() const { return m_position; }
    // Whether the key moves a focused bar (arrows and Page keys, no modifier).
    static bool movesWithKey(const QKeyEvent &key);
    // Clamped to the range; OnChange follows every change, from whatever source.
    void setPosition(int value);
    int lineSize() const { return m_lineSize; }
    void setLineSize(int size) { m_lineSize = size; }
    int pageSize() const { return m_pageSize; }
    void setPageSize(int size) { m_pageSize = size; }
    TrackBar::Orientation orientation() const { return m_orientation; }
    void setOrientation(TrackBar::Orientation orientation);
    int margin() const { return m_margin; }
    void setMargin(int margin); // taken only above 0
    int trackWidth() const { return m_trackWidth; }
    void setTrackWidth(int width); // taken only from 3 up
    int trackBorder() const { return m_trackBorder; }
    void setTrackBorder(int border) { repaintWith(m_trackBorder, border); }
    TrackGroove::BorderStyle trackBorderStyle() const { return m_trackBorderStyle; }
    void setTrackBorderStyle(TrackGroove::BorderStyle style)
    {
        repaintWith(m_trackBorderStyle, style);
    }
    QColor trackColor() const { return m_trackColor; }
    void setTrackColor(QColor color) { repaintWith(m_trackColor, color); }
    TrackFill trackFillObject() const { return m_trackFill; }
    void setTrackFillObject(const TrackFill &fill) { repaintWith(m_trackFill, fill); }
    bool trackTransparent() const { return m_trackTransparent; }
    void setTrackTransparent(bool transparent) { repaintWith(m_trackTransparent, transparent); }
    QImage thumb() const { return m_thumb; }
    // An empty picture switches ThumbStyle back to tsStandard.
    void setThumb(const QImage &picture);
    TrackBar::ThumbStyle thumbStyle() const { return m_thumbStyle; }
    void setThumbStyle(TrackBar::ThumbStyle style);
    QColor thumbColor() const { return m_thumbColor; }
    void setThumbColor(QColor color);
    TrackBar::TickStyle tickStyle() const { return m_tickStyle; }
    void setTickStyle(TrackBar::TickStyle style) { repaintWith(m_tickStyle, style); }
    TrackBar::TickMarks tickMarks() const { return m_tickMarks; }
    void setTickMarks(TrackBar::TickMarks marks);
    int tickGap() const { return m_tickGap; }
    void setTickGap(int gap); // taken only from -1 up
    int tickLength() const { return m_tickLength; }
    void setTickLength(int length) { repaintWith(m_tickLength, length); }
    QColor tickColor() const { return m_tickColor; }
    void setTickColor(QColor color) { repaintWith(m_tickColor, color); }
    TrackBar::FocusStyle focusStyle() const { return m_focusStyle; }
    // tbNoFocus also takes the bar out of the tab order.
    void setFocusStyle(TrackBar::FocusStyle style);
    bool useFocusColor() const { return m_useFocusColor; }
    void setUseFocusColor(bool use) { repaintWith(m_useFocusColor, use); }
    QColor focusColor() const { return m_focusColor; }
    void setFocusColor(QColor color) { repaintWith(m_focusColor, color); }
    bool transparent() const { return m_transparent; }
    void setTransparent(bool transparent) { repaintWith(m_transparent, transparent); }
    QColor color() const { return m_color; }
    void setColor(QColor color) { repaintWith(m_color, color); }
    bool tabStop() const { return m_tabStop; }
    void setTabStop(bool tabStop);

    // The layout as it stands now: where the groove and the thumb are.
    TrackBarGeometry layoutNow() const;
    bool isDragging() const { return m_dragging; }
    bool isPaging() const { return m_repeat.isActive(); }
    // Paging repeats at this interval (300 ms) while the button is held on the groove.
    int repeatInterval() const { return m_repeat.interval(); }
    void setRepeatInterval(int milliseconds) { m_repeat.setInterval(milliseconds); }

    QSize sizeHint() const override { return {220, 35}; }

signals:
    void OnChange(QObject *Sender);
    // With TickStyle tsOwnerDraw: draw the tick for aValue whose line would start at pos.
    void OnDrawTick(QObject *Sender, QPainter *aCanvas, int aValue, QPoint pos);
    // Mouse events, sent before the bar handles the event itself.
    void OnMouseDown(QObject *Sender, Qt::MouseButton Button, Qt::KeyboardModifiers Shift, int X,
                     int Y);
    void OnMouseMove(QObject *Sender, Qt::KeyboardModifiers Shift, int X, int Y);
    void OnMouseUp(QObject *Sender, Qt::MouseButton Button, Qt::KeyboardModifiers Shift, int X,
                   int Y);
    void OnMouseWheel(QObject *Sender, Qt::KeyboardModifiers Shift, int WheelDelta,
                      QPoint MousePos);
    void OnClick(QObject *Sender);

protected:
    bool event(QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void wheelEvent(QWheelEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    void stepBy(long long delta);
    void repeatPage();
    // Whether the left button still holds this bar: it is down and no modal window has taken
    // the mouse from us.
    bool holdsMouse() const;
    // Ends dragging and paging, for a release we got or one that went elsewhere.
    void releaseMouseHold();
    void rebuildThumb();
    void updateFocusPolicy();
    // For properties that only change the look.
    template <typename T> void repaintWith(T &member, const T &value)
    {
        member = value;
        update();
    }
    void paintTicks(QPainter &painter, const TrackBarGeometry &layout);
    void paintFocusFrame(QPainter &painter);

    int m_minValue = 0;
    int m_maxValue = 10;
    int m_position = 0;
    int m_lineSize = 1;
    int m_pageSize = 2;
    TrackBar::Orientation m_orientation = TrackBar::toHorizontal;
    int m_margin = 1;
    int m_trackWidth = 10;
    int m_trackBorder = 0;
    TrackGroove::BorderStyle m_trackBorderStyle = TrackGroove::lsLoweredExt;
    QColor m_trackColor = Qt::white;
    TrackFill m_trackFill;
    bool m_trackTransparent = false;
    QImage m_thumb;
    TrackBar::ThumbStyle m_thumbStyle = TrackBar::tsStandard;
    QColor m_thumbColor;
    TrackBar::TickStyle m_tickStyle = TrackBar::tsAuto;
    TrackBar::TickMarks m_tickMarks = TrackBar::tmBottomRight;
    int m_tickGap = -1;
    int m_tickLength = 6;
    QColor m_tickColor = Qt::black;
    TrackBar::FocusStyle m_focusStyle = TrackBar::tbFocus;
    bool m_useFocusColor = false;
    QColor m_focusColor = QColor(0x80, 0x80, 0x80);
    bool m_transparent = false;
    QColor m_color;
    bool m_tabStop = true;

    ThumbFrames m_frames; // what is drawn: the custom picture's frames or the standard ones
    bool m_dragging = false;
    bool m_leftHeld = false;
    int m_pageDirection = 1;
    QPoint m_lastPoint;
    int m_wheelRemainder = 0;
    QTimer m_repeat;
};
