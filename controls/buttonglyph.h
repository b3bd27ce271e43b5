// A speed button's state and its glyph strip: frames of equal width side by side, left to right
// normal, disabled, mouse over (these buttons never show it), down.
#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>

enum class SpeedButtonLook {
    Up,       // resting
    Pressed,  // the mouse holds it down; shows the normal frame, sunk
    Latched,  // stays down as a member of a group
    Disabled, // not enabled, whatever else is true
};

namespace ButtonGlyph {

constexpr int NormalFrame = 0;
constexpr int DisabledFrame = 1;
constexpr int DownFrame = 3;

SpeedButtonLook look(bool enabled, bool down, bool pressed);
bool isSunk(SpeedButtonLook look);
// The frame to show; frame 0 when the strip has fewer frames than the look asks for.
int frameIndex(SpeedButtonLook look, int frameCount);
// Frame `index` of a strip of `frameCount` frames; empty when the strip is too narrow for them.
QRect frameRect(QSize strip, int frameCount, int index);
// Where the frame goes: centred, one pixel right and down while the button is sunk.
QPoint frameOrigin(QSize button, QSize frame, bool sunk);
// Whether a click leaves the button down: only grouped buttons latch, and a latched one lets
// go only when the group allows all buttons up.
bool downAfterClick(bool down, int groupIndex, bool allowAllUp);

} // namespace ButtonGlyph
