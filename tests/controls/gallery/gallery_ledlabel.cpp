// The LED label: the main window's time display over a skin-like background, and a few other
// configurations.
#include <QBrush>
#include <QPalette>

#include "gallery.h"
#include "ledlabel.h"

namespace {

// A skin-like tile: dark blue with a lighter grain, so that what the label lets through shows.
QImage skinTile()
{
    QImage tile(8, 8, QImage::Format_RGB32);
    for (int y = 0; y < tile.height(); ++y)
        for (int x = 0; x < tile.width(); ++x)
            tile.setPixelColor(x, y,
                               (x * 3 + y * 5) % 8 < 2 ? QColor(0x38, 0x58, 0x98)
                                                       : QColor(0x14, 0x20, 0x48));
    return tile;
}

QImage timeDisplay(const QString &caption)
{
    // The top of the main window.
    QWidget panel;
    panel.resize(252, 70);
    QPalette palette;
    palette.setBrush(QPalette::Window, QBrush(skinTile()));
    panel.setPalette(palette);
    panel.setAutoFillBackground(true);
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
