// Drawing helpers for skin backgrounds: sunken and raised panels, brushed metal, screws.
#pragma once

#include <QColor>
#include <QImage>
#include <QPainter>
#include <QRect>

// A panel sunk into the body: a lip shaded dark above and light below around `face`, and a soft
// shadow inside under the top edge.
void drawRecess(QPainter &painter, const QRectF &rect, qreal radius, QColor face);
// A panel standing out of the body: light lip above, dark below, the face shaded top to bottom.
void drawPlate(QPainter &painter, const QRectF &rect, qreal radius, QColor top, QColor bottom);
// Faint light band over the upper half of a screen, as from glass.
void drawGlassSheen(QPainter &painter, const QRectF &rect, qreal radius);
// Horizontal streaks in `grain` over `area` of the image, the same for the same seed.
void brushMetal(QImage &image, const QRect &area, QColor grain, quint32 seed);
// Wavy lengthwise grain in `grain` over `area`, the same for the same seed.
void woodGrain(QImage &image, const QRect &area, QColor grain, quint32 seed);
// Fine pinstripes in `grain` and a broad diagonal highlight, as on lacquer.
void drawGloss(QPainter &painter, const QRect &area, QColor grain);
// A small slotted screw head centred on `centre`.
void drawScrew(QPainter &painter, QPointF centre, qreal radius, QColor metal);
// Text cut into the surface: a dark line above the glyphs, a light one below.
void drawEngraved(QPainter &painter, QPointF baseline, const QString &text, QColor colour);

// `colour` moved towards `towards` by `amount` (0..1).
QColor mixed(QColor colour, QColor towards, qreal amount);
// `colour` with the given alpha (0..255).
QColor withAlpha(QColor colour, int alpha);
