#include "buttonglyph.h"

namespace ButtonGlyph {

SpeedButtonLook look(bool enabled, bool down, bool pressed)
{
    if (!enabled)
        return SpeedButtonLook::Disabled;
    if (down)
        return SpeedButtonLook::Latched;
    return pressed ? SpeedButtonLook::Pressed : SpeedButtonLook::Up;
}

bool isSunk(SpeedButtonLook look)
{
    return look == SpeedButtonLook::Pressed || look == SpeedButtonLook::Latched;
}

int frameIndex(SpeedButtonLook look, int frameCount)
{
    int index = NormalFrame;
    if (look == SpeedButtonLook::Disabled)
        index = DisabledFrame;
    else if (look == SpeedButtonLook::Latched)
        index = DownFrame;
    return index < frameCount ? index : NormalFrame;
}

QRect frameRect(QSize strip, int frameCount, int index)
{
    if (frameCount < 1 || index < 0 || index >= frameCount)
        return {};
    const int width = strip.width() / frameCount;
    if (width < 1 || strip.height() < 1)
        return {};
    return {index * width, 0, width, strip.height()};
}

QPoint frameOrigin(QSize button, QSize frame, bool sunk)
{
    const int shift = sunk ? 1 : 0;
    return {(button.width() - frame.width()) / 2 + shift,
            (button.height() - frame.height()) / 2 + shift};
}

bool downAfterClick(bool down, int groupIndex, bool allowAllUp)
{
    if (groupIndex == 0)
        return false;
    return !down || !allowAllUp;
}

} // namespace ButtonGlyph
