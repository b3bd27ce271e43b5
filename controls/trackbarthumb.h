// The pictures a track bar's thumb is drawn from: one for the normal look and one shown while the
// thumb is dragged or the control is disabled. Transparent pixels carry alpha 0.
#pragma once

#include <QColor>
#include <QImage>

#include "trackbargeometry.h"

struct ThumbFrames {
    QImage normal;
    QImage pressed;
    QSize size() const { return normal.size(); }
    bool isNull() const { return normal.isNull() || pressed.isNull(); }
};

// Splits a two-frame thumb picture at width div 2. The right frame, one pixel wider when the width
// is odd, is scaled to the left one's size. The colour of the picture's bottom-left pixel is
// transparent in both. Null for a picture too small to hold two frames.
ThumbFrames thumbFramesFromPicture(const QImage &picture);

// The built-in thumb in `color`: a bevelled block pointing at the ticks when they are on one side
// only; the pressed frame is hatched.
ThumbFrames standardThumbFrames(QColor color, TrackBar::Orientation orientation,
                                TrackBar::TickMarks marks);
