#include "windowscolor.h"

#include <QGuiApplication>
#include <QPalette>

namespace {

// The system colours a skin may name, by their index, as the desktop's palette has them.
QPalette::ColorRole roleOfSystemColor(int index)
{
    switch (index) {
    case 5: // window
        return QPalette::Base;
    case 13: // highlight
        return QPalette::Highlight;
    case 14: // highlighted text
        return QPalette::HighlightedText;
    case 15: // button face
        return QPalette::Button;
    case 18: // button text
        return QPalette::ButtonText;
    default: // window text and the rest
        return QPalette::WindowText;
    }
}

} // namespace

QColor colorFromWindowsValue(int value)
{
    if (value < 0)
        return QGuiApplication::palette().color(roleOfSystemColor(value & 0xff));
    return QColor(value & 0xff, (value >> 8) & 0xff, (value >> 16) & 0xff);
}
