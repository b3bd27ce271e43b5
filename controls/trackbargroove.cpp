#include "trackbargroove.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPalette>
#include <QPixmap>

int TrackGroove::frameWidth(BorderStyle style)
{
    switch (style) {
    case lsNone:
        return 0;
    case lsSingle:
    case lsLowered:
    case lsRaised:
        return 1;
    case lsLoweredExt:
    case lsRaisedExt:
        return 2;
    }
    return 0;
}

QRect TrackGroove::inside(QRect groove, BorderStyle style, int border)
{
    const int inset = frameWidth(style) + border;
    return groove.adjusted(inset, inset, -inset, -inset);
}

namespace {
// One ring of a frame: the top and left sides in one colour, the bottom and right in another.
void ring(QPainter &painter, QRect rect, QColor topLeft, QColor bottomRight)
{
    if (rect.width() < 1 || rect.height() < 1)
        return;
    painter.setPen(topLeft);
    painter.drawLine(rect.left(), rect.top(), rect.right(), rect.top());
    painter.drawLine(rect.left(), rect.top(), rect.left(), rect.bottom());
    painter.setPen(bottomRight);
    painter.drawLine(rect.left() + 1, rect.bottom(), rect.right(), rect.bottom());
    painter.drawLine(rect.right(), rect.top() + 1, rect.right(), rect.bottom());
}
} // namespace

void TrackGroove::paintFrame(QPainter &painter, QRect groove, BorderStyle style,
                             const QPalette &palette)
{
    const QColor shadow = palette.color(QPalette::Dark);
    const QColor darkShadow = palette.color(QPalette::Shadow);
    const QColor light = palette.color(QPalette::Light);
    const QColor midlight = palette.color(QPalette::Midlight);
    const QRect inner = groove.adjusted(1, 1, -1, -1);
    painter.save();
    switch (style) {
    case lsNone:
        break;
    case lsSingle:
        ring(painter, groove, darkShadow, darkShadow);
        break;
    case lsLowered:
        ring(painter, groove, shadow, light);
        break;
    case lsRaised:
        ring(painter, groove, light, shadow);
        break;
    case lsLoweredExt:
        ring(painter, groove, shadow, light);
        ring(painter, inner, darkShadow, midlight);
        break;
    case lsRaisedExt:
        ring(painter, groove, midlight, darkShadow);
        ring(painter, inner, light, shadow);
        break;
    }
    painter.restore();
}

void TrackGroove::paintFill(QPainter &painter, QRect area, const TrackFill &fill, bool horizontal)
{
    if (area.isEmpty())
        return;
    switch (fill.style) {
    case sfNone:
        break;
    case sfBrush:
        painter.fillRect(area, fill.brush);
        break;
    case sfBitmap:
        if (!fill.bitmap.isNull())
            painter.drawTiledPixmap(area, QPixmap::fromImage(fill.bitmap));
        break;
    case sfGradient: {
        QLinearGradient gradient(area.topLeft(), horizontal ? area.topRight() : area.bottomLeft());
        gradient.setColorAt(0, fill.gradientStart);
        gradient.setColorAt(1, fill.gradientEnd);
        painter.fillRect(area, gradient);
        break;
    }
    }
}
