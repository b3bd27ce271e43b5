// The main window's three track bars over a stand-in skin: progress (235 x 17, 0..300), volume
// (75 x 19, 0..65535) and priority (75 x 17, 0..6), with two-frame thumbs made here until a skin
// brings real ones; plus a new bar with its standard thumb and ticks.
#include <QApplication>
#include <QMouseEvent>
#include <QPainter>

#include "gallery.h"
#include "trackbar.h"
#include "transportglyph.h"

namespace {

const QColor Key(255, 0, 255);

// Steel for the normal frame, amber for the pressed, on the key colour.
QImage twoFrameThumb(int width, int height)
{
    return thumbPicture({width, height}, QColor(176, 190, 210), QColor(240, 170, 60), Key);
}

// The part of the main window around the bars, in a dark skin with stripes.
class SkinStrip : public QWidget {
public:
    SkinStrip() { resize(252, 80); }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        QLinearGradient shade(0, 0, 0, height());
        shade.setColorAt(0, QColor(20, 44, 90));
        shade.setColorAt(1, QColor(8, 16, 40));
        painter.fillRect(rect(), shade);
        painter.setPen(QColor(36, 70, 120));
        for (int x = -height(); x < width(); x += 6)
            painter.drawLine(x, height(), x + height(), 0);
    }
};

TLMDTrackBar *mainWindowBar(QWidget *parent, QRect place, int maxValue, int position, QSize thumb)
{
    auto *bar = new TLMDTrackBar(parent);
    bar->setGeometry(place);
    bar->setMaxValue(maxValue);
    bar->setPosition(position);
    bar->setThumb(twoFrameThumb(thumb.width(), thumb.height()));
    bar->setThumbStyle(TrackBar::tsCustom);
    bar->setTrackWidth(5);
    bar->setTickStyle(TrackBar::tsNone);
    bar->setFocusStyle(TrackBar::tbInvisibleFocus);
    bar->setTransparent(true);
    return bar;
}

enum class Look { Enabled, Disabled, Dragging };

QImage renderMainWindowBars(Look look)
{
    SkinStrip skin;
    // Main-window places, moved up by 60.
    auto *progress = mainWindowBar(&skin, {10, 6, 235, 17}, 300, 120, {56, 10});
    auto *volume = mainWindowBar(&skin, {46, 54, 75, 19}, 65535, 40000, {45, 8});
    auto *priority = mainWindowBar(&skin, {168, 54, 75, 17}, 6, 3, {45, 8});
    volume->setTickGap(5000);
    priority->setTickColor(Qt::green);
    if (look == Look::Disabled) {
        for (TLMDTrackBar *bar : {progress, volume, priority})
            bar->setEnabled(false);
    } else if (look == Look::Dragging) {
        const QPointF from = progress->layoutNow().thumbRect(progress->position()).center();
        const QPointF to = from + QPointF(60, 3);
        QMouseEvent press(QEvent::MouseButtonPress, from, progress->mapToGlobal(from),
                          Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
        QMouseEvent move(QEvent::MouseMove, to, progress->mapToGlobal(to), Qt::NoButton,
                         Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(progress, &press);
        QApplication::sendEvent(progress, &move);
    }
    return skin.grab().toImage();
}

// A new bar as it comes: 220 x 35, standard thumb, ticks below; and one with ticks on both sides
// standing upright, with the focus frame in its own colour.
QImage renderStandardBars()
{
    QWidget panel;
    panel.resize(300, 240);
    panel.setAutoFillBackground(true);
    auto *plain = new TLMDTrackBar(&panel);
    plain->move(10, 10);
    plain->setPosition(3);
    auto *both = new TLMDTrackBar(&panel);
    both->setGeometry(10, 60, 220, 35);
    both->setTickMarks(TrackBar::tmBoth);
    both->setTickGap(2);
    both->setPosition(7);
    auto *upright = new TLMDTrackBar(&panel);
    upright->setGeometry(250, 10, 40, 220);
    upright->setOrientation(TrackBar::toVertical);
    upright->setTickMarks(TrackBar::tmTopLeft);
    upright->setPosition(8);
    auto *filled = new TLMDTrackBar(&panel);
    filled->setGeometry(10, 110, 220, 35);
    filled->setTickStyle(TrackBar::tsNone);
    filled->setTrackFillObject({TrackGroove::sfGradient, {}, {}, Qt::blue, Qt::cyan});
    filled->setPosition(5);
    auto *disabled = new TLMDTrackBar(&panel);
    disabled->setGeometry(10, 160, 220, 35);
    disabled->setEnabled(false);
    disabled->setPosition(10);
    return panel.grab().toImage();
}

GalleryRegistration registration({
    {"trackbar-main", [] { return renderMainWindowBars(Look::Enabled); }},
    {"trackbar-main-disabled", [] { return renderMainWindowBars(Look::Disabled); }},
    {"trackbar-main-dragging", [] { return renderMainWindowBars(Look::Dragging); }},
    {"trackbar-standard", renderStandardBars},
});

} // namespace
