// Where the main window's skinned controls sit on its 252 x 412 client area, so that a
// background can be drawn around them.
#pragma once

#include <QRect>
#include <array>

namespace SkinLayout {

constexpr QSize Window(252, 412);

constexpr QRect TimeDisplay(12, 24, 65, 31);
constexpr QRect SongText(82, 24, 152, 31);
constexpr QRect ProgressBar(10, 66, 235, 17);
constexpr QRect VolumeLabel(8, 114, 40, 15);
constexpr QRect VolumeBar(46, 114, 75, 19);
constexpr QRect PriorityLabel(134, 114, 36, 15);
constexpr QRect PriorityBar(168, 114, 75, 17);
constexpr QRect StatusLine(10, 138, 229, 15);
constexpr QRect SongList(10, 162, 231, 217);
// The minimise and close buttons; they are not skinned.
constexpr QRect WindowButtons(212, 8, 29, 15);

enum Transport { Previous, Play, Pause, Stop, Next };
constexpr QSize TransportButtonSize(32, 20);
constexpr QRect transportButton(int index)
{
    return {48 + 32 * index, 88, TransportButtonSize.width(), TransportButtonSize.height()};
}
// All five buttons side by side.
constexpr QRect TransportStrip(48, 88, 160, 20);

constexpr std::array<QRect, 3> MenuButtons{QRect(26, 385, 60, 19), QRect(96, 385, 60, 19),
                                           QRect(166, 385, 60, 19)};

// The track bars' thumbs: two frames side by side.
constexpr QSize ProgressThumb(56, 10);
constexpr QSize SmallThumb(44, 8);

} // namespace SkinLayout
