// The LED label: the main window's time display over a skin-like background, and a few other
// configurations.
#include <QLinearGradient>
#include <QPainter>

#include "gallery.h"
#include "ledlabel.h"

namespace {

// The top of the main window: a panel with a shaded background standing in for a skin.
class SkinPanel : public QWidget {
public:
    SkinPanel() { resize(252, 70); }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        QLinearGradient shade(0, 0, 0, height());
        shade.setColorAt(0, QColor(0x1c, 0x2c, 0x5c));
        shade.setColorAt(1, QColor(0x08, 0x10, 0x28));
        painter.fillRect(rect(), shade);
        painter.setPen(QColor(0x40, 0x60, 0xa0));
        for (int x = 0; x < width(); x += 6)
            painter.drawLine(x, 0, x + height(), height());
    }
};

QImage timeDisplay(const QString &caption)
{
    SkinPanel panel;
    TLMDLEDLabel led(&panel);
    led.setGeometry(12, 24, 65, 31);
    led.Bevel()->SetMode(TLMDBevel::bmCustom);
    led.Bevel()->SetBorderWidth(1);
    led.Bevel()->SetBorderInnerWidth(1);
    led.Bevel()->SetStandardStyle(TLMDBevel::lsSingleLowered);
    led.LED()->SetHorzsize(6);
    led.LED()->SetVertsize(6);
    led.LED()->SetThickness(1);
    led.SetTransparent(true);
    led.SetCaption(caption);
    return panel.grab().toImage();
}

QImage standalone(const QString &caption, bool enabled)
{
    TLMDLEDLabel label;
    label.SetAutosize(true);
    label.Bevel()->SetStandardStyle(TLMDBevel::lsLowered);
    label.SetCaption(caption);
    label.setEnabled(enabled);
    return label.grab().toImage();
}

QImage number(int value)
{
    TLMDLEDLabel label;
    label.SetAutosize(true);
    label.SetColor(QColor(0x10, 0x10, 0x10));
    label.LED()->SetActiveColor(QColor(0xff, 0x30, 0x20));
    label.LED()->SetInActiveColor(QColor(0x50, 0x10, 0x10));
    label.SetStyle(TLMDLEDLabel::lsInteger);
    label.SetDigits(3);
    label.SetValue(value);
    return label.grab().toImage();
}

const GalleryRegistration registration({
    {"ledlabel-time-00-00", [] { return timeDisplay("00:00"); }},
    {"ledlabel-time-12-34", [] { return timeDisplay("12:34"); }},
    {"ledlabel-time-100-07", [] { return timeDisplay("100:07"); }},
    {"ledlabel-alphabet",
     [] { return standalone("ABCDEFGHIJKLM\rNOPQRSTUVWXYZ\r0123456789()*+-.:\\[]_", true); }},
    {"ledlabel-disabled", [] { return standalone("PAUSE", false); }},
    {"ledlabel-integer-7", [] { return number(7); }},
    {"ledlabel-integer-1234", [] { return number(1234); }},
});

} // namespace
