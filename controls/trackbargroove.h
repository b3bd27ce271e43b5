// The track bar's groove: its frame and what fills it.
#pragma once

#include <QBrush>
#include <QColor>
#include <QImage>
#include <QObject>
#include <QRect>

class QPainter;
class QPalette;

namespace TrackGroove {
Q_NAMESPACE

enum BorderStyle { lsNone, lsSingle, lsLowered, lsRaised, lsLoweredExt, lsRaisedExt };
Q_ENUM_NS(BorderStyle)
enum FillStyle { sfNone, sfBrush, sfBitmap, sfGradient };
Q_ENUM_NS(FillStyle)

// How many pixels of each side the frame takes.
int frameWidth(BorderStyle style);
// What lies inside the frame, inset by `border` more.
QRect inside(QRect groove, BorderStyle style, int border);

} // namespace TrackGroove

// The groove's fill when it is not a plain colour: a brush, a picture tiled from the top left of
// the groove's inside, or a gradient along the bar.
struct TrackFill {
    TrackGroove::FillStyle style = TrackGroove::sfNone;
    QBrush brush;
    QImage bitmap;
    QColor gradientStart;
    QColor gradientEnd;
    bool operator==(const TrackFill &) const = default;
};

namespace TrackGroove {
void paintFrame(QPainter &painter, QRect groove, BorderStyle style, const QPalette &palette);
// Paints `fill` over `area`; the gradient runs along the bar.
void paintFill(QPainter &painter, QRect area, const TrackFill &fill, bool horizontal);
} // namespace TrackGroove
