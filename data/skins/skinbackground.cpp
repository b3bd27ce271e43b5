#include "skinbackground.h"

#include <QFont>
#include <QPainter>
#include <algorithm>
#include <cmath>

#include "skinlayout.h"
#include "skinpainting.h"

using namespace SkinLayout;

namespace {

// The body ends here when the footer is narrower than the body.
constexpr int BodyBottom = 384;
constexpr int FooterTop = 360;

QPainterPath cornered(const QRectF &rect, CornerStyle style, qreal size, bool topCorners)
{
    QPainterPath path;
    if (style == CornerStyle::Round) {
        path.addRoundedRect(rect, size, size);
        if (!topCorners) {
            QPainterPath square;
            square.addRect(rect.adjusted(0, 0, 0, -rect.height() / 2));
            path = path.united(square);
        }
        return path;
    }
    const qreal top = topCorners ? size : 0;
    path.moveTo(rect.left() + top, rect.top());
    path.lineTo(rect.right() - top, rect.top());
    path.lineTo(rect.right(), rect.top() + top);
    path.lineTo(rect.right(), rect.bottom() - size);
    path.lineTo(rect.right() - size, rect.bottom());
    path.lineTo(rect.left() + size, rect.bottom());
    path.lineTo(rect.left(), rect.bottom() - size);
    path.lineTo(rect.left(), rect.top() + top);
    path.closeSubpath();
    return path;
}

// A seed for the grain that stays the same from run to run.
quint32 seedOf(const QString &name)
{
    quint32 seed = 2166136261u;
    for (QChar c : name)
        seed = (seed ^ c.unicode()) * 16777619u;
    return seed;
}

// Vertical shading and brushed grain over the whole picture; the cut comes later.
void paintBody(QImage &picture, const SkinTheme &theme)
{
    {
        QPainter painter(&picture);
        QLinearGradient shade(0, 0, 0, picture.height());
        shade.setColorAt(0, theme.bodyTop);
        shade.setColorAt(0.35, mixed(theme.bodyTop, theme.bodyBottom, 0.45));
        shade.setColorAt(1, theme.bodyBottom);
        painter.fillRect(picture.rect(), shade);
        if (theme.surface == Surface::Gloss)
            drawGloss(painter, picture.rect(), theme.grain);
    }
    if (theme.surface == Surface::Brushed)
        brushMetal(picture, picture.rect(), theme.grain, seedOf(theme.name));
    else if (theme.surface == Surface::Wood)
        woodGrain(picture, picture.rect(), theme.grain, seedOf(theme.name));
}

// The outermost ring of the window is dark; the next one catches the light where the edge faces
// up or left and falls into shade where it faces down or right.
void paintRim(QImage &picture, const QImage &mask, const SkinTheme &theme)
{
    constexpr int Reach = 2;
    const auto inside = [&mask](int x, int y) {
        return mask.rect().contains(x, y) && mask.constScanLine(y)[x] != 0;
    };
    QImage source = picture.copy();
    for (int y = 0; y < picture.height(); ++y) {
        for (int x = 0; x < picture.width(); ++x) {
            if (!inside(x, y))
                continue;
            int distance = Reach + 1;
            int towardsX = 0, towardsY = 0; // sum of the directions to the outside
            for (int dy = -Reach; dy <= Reach; ++dy) {
                for (int dx = -Reach; dx <= Reach; ++dx) {
                    if (inside(x + dx, y + dy))
                        continue;
                    distance = std::min(distance, std::max(std::abs(dx), std::abs(dy)));
                    towardsX += dx;
                    towardsY += dy;
                }
            }
            if (distance == 1) {
                picture.setPixelColor(x, y, theme.rimDark);
            } else if (distance == 2) {
                const double length = std::hypot(towardsX, towardsY);
                const double facing = length > 0 ? -(towardsX + towardsY) / length : 0;
                const QColor under = source.pixelColor(x, y);
                picture.setPixelColor(x, y,
                                      facing > 0 ? mixed(under, theme.rimLight, 0.25 + 0.5 * facing)
                                                 : mixed(under, theme.rimDark, 0.3 - 0.4 * facing));
            }
        }
    }
}

void paintHeader(QPainter &painter, const SkinTheme &theme)
{
    QFont font(theme.fontFamily);
    font.setPixelSize(12);
    font.setBold(true);
    painter.setFont(font);
    drawEngraved(painter, QPointF(16, 17), QStringLiteral("NorlPlayer"), theme.trim);
    const int lineStart =
        18 + painter.fontMetrics().horizontalAdvance(QStringLiteral("NorlPlayer"));
    // A groove from the name towards the window buttons, which keep the corner to themselves.
    painter.setPen(withAlpha(Qt::black, 140));
    painter.drawLine(lineStart + 4, 12, WindowButtons.left() - 8, 12);
    painter.setPen(withAlpha(theme.rimLight, 90));
    painter.drawLine(lineStart + 4, 13, WindowButtons.left() - 8, 13);
}

// One glass screen behind the time display and the song text, divided between the two.
void paintScreen(QPainter &painter, const SkinTheme &theme)
{
    const QRectF screen(10, 23, 226, 34);
    drawRecess(painter, screen, 4, theme.screen);
    const qreal divider = (TimeDisplay.right() + SongText.left()) / 2.0 + 0.5;
    painter.setPen(withAlpha(Qt::black, 160));
    painter.drawLine(QPointF(divider, screen.top() + 3), QPointF(divider, screen.bottom() - 3));
    painter.setPen(withAlpha(theme.text, 40));
    painter.drawLine(QPointF(divider + 1, screen.top() + 3),
                     QPointF(divider + 1, screen.bottom() - 3));
    // Under the digits (drawn 2 pixels in from the display's corner, 19 high): what they count.
    QFont small(theme.fontFamily);
    small.setPixelSize(7);
    painter.setFont(small);
    painter.setPen(mixed(theme.screen, theme.text, 0.45));
    const int cell = 11;
    const int left = TimeDisplay.left() + 2;
    const int labelTop = TimeDisplay.top() + 2 + 19 + 2;
    painter.drawText(QRect(left, labelTop, 2 * cell, 8), Qt::AlignCenter, QStringLiteral("MIN"));
    painter.drawText(QRect(left + 3 * cell, labelTop, 2 * cell, 8), Qt::AlignCenter,
                     QStringLiteral("SEC"));
    drawGlassSheen(painter, screen, 4);
}

// Ticks every `step` pixels under a bar's groove, as far as the thumb's centre travels.
void paintScale(QPainter &painter, const QRect &bar, QSize thumb, int step, QColor colour)
{
    const int half = thumb.width() / 4;     // half of one frame
    const int grooveBottom = bar.top() + 8; // the groove: 5 high, 4 below the bar's top
    painter.setPen(colour);
    for (int x = bar.left() + 1 + half; x <= bar.right() - half; x += step)
        painter.drawLine(x, grooveBottom + 4, x, grooveBottom + 5);
}

void paintProgressChannel(QPainter &painter, const SkinTheme &theme)
{
    const QRectF channel(8, 63, 236, 22);
    drawRecess(painter, channel, 5, theme.panelFace);
    paintScale(painter, ProgressBar, ProgressThumb, 17, withAlpha(theme.trim, 90));
}

// The transport buttons fill their strip with its colour; the Previous Song button is drawn
// transparently, so the strip must be exactly that colour, flat, under it too.
void paintTransportBay(QPainter &painter, const SkinTheme &theme)
{
    const QRectF bezel = QRectF(TransportStrip).adjusted(-4, -3, 4, 3);
    drawPlate(painter, bezel, 5, theme.bodyTop.lighter(115), theme.bodyBottom);
    painter.fillRect(TransportStrip.adjusted(-1, -1, 1, 1), theme.rimDark);
    painter.fillRect(TransportStrip, theme.strip);
    // Grilles either side of the bay.
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    for (int side = 0; side < 2; ++side) {
        const int left = side == 0 ? 14 : int(bezel.right()) + 8;
        for (int row = 0; row < 4; ++row) {
            for (int column = 0; column < 5; ++column) {
                const QPointF centre(left + column * 5 + (row % 2) * 2.5, 91.5 + row * 4.5);
                painter.setBrush(withAlpha(Qt::black, 150));
                painter.drawEllipse(centre, 1.4, 1.4);
                painter.setBrush(withAlpha(theme.rimLight, 60));
                painter.drawEllipse(centre + QPointF(0.5, 0.8), 0.7, 0.7);
            }
        }
    }
    painter.setRenderHint(QPainter::Antialiasing, false);
}

// Behind the labels, the volume and priority bars and the status line.
void paintControlPanel(QPainter &painter, const SkinTheme &theme)
{
    drawRecess(painter, QRectF(5, 111, 242, 46), 5, theme.panelFace);
    paintScale(painter, VolumeBar, SmallThumb, 11, withAlpha(theme.trim, 80));
    paintScale(painter, PriorityBar, SmallThumb, 7, withAlpha(theme.trim, 80));
    const QRectF status = QRectF(StatusLine).adjusted(-2, -1, 2, 1);
    drawRecess(painter, status, 3, theme.screen);
    drawGlassSheen(painter, status, 3);
}

// The playlist's well, its rows faintly striped at the list's item height.
void paintListWell(QPainter &painter, const SkinTheme &theme)
{
    const QRectF well = QRectF(SongList).adjusted(-2, -2, 2, 2);
    drawRecess(painter, well, 5, theme.listFace);
    painter.save();
    painter.setClipRect(SongList.adjusted(0, 3, 0, -1));
    constexpr int ItemHeight = 16;
    for (int y = SongList.top() + ItemHeight; y < SongList.bottom(); y += 2 * ItemHeight)
        painter.fillRect(QRect(SongList.left(), y, SongList.width(), ItemHeight),
                         withAlpha(theme.text, 7));
    painter.restore();
}

void paintFooter(QPainter &painter, const SkinTheme &theme)
{
    const QRect first = MenuButtons.front();
    const QRect last = MenuButtons.back();
    const QRectF tray(first.left() - 4, first.top() - 2, last.right() - first.left() + 9,
                      first.height() + 4);
    drawRecess(painter, tray, 4, theme.bodyBottom.darker(140));
    if (theme.footerInset == 0) {
        drawScrew(painter, QPointF(12.5, tray.center().y()), 3, theme.trim.darker(130));
        drawScrew(painter, QPointF(Window.width() - 12.5, tray.center().y()), 3,
                  theme.trim.darker(130));
    }
}

} // namespace

QPainterPath windowOutline(const SkinTheme &theme)
{
    const qreal left = 1, right = Window.width() - 1; // columns 1 to W - 2
    const qreal bodyBottom = theme.footerInset > 0 ? BodyBottom : Window.height();
    QPainterPath shape = cornered(QRectF(left, theme.dome, right - left, bodyBottom - theme.dome),
                                  theme.corners, theme.cornerSize, true);
    if (theme.footerInset > 0) {
        const QRectF footer(left + theme.footerInset, FooterTop,
                            right - left - 2 * theme.footerInset, Window.height() - FooterTop);
        shape = shape.united(cornered(footer, theme.corners, theme.cornerSize, false));
    }
    if (theme.dome > 0) {
        // A shallow arch between the top corners, highest in the middle.
        QPainterPath arch;
        arch.moveTo(left + theme.cornerSize, theme.dome + 1);
        arch.quadTo(Window.width() / 2.0, -theme.dome, right - theme.cornerSize, theme.dome + 1);
        arch.closeSubpath();
        shape = shape.united(arch);
    }
    if (theme.notchDepth > 0) {
        const qreal depth = theme.notchDepth, top = TransportStrip.top() + 2,
                    bottom = TransportStrip.bottom() - 2;
        for (qreal edge : {left, right}) {
            const qreal inwards = edge == left ? depth : -depth;
            const qreal outwards = edge == left ? -1 : 1;
            QPainterPath notch;
            notch.addPolygon(QPolygonF(
                {QPointF(edge + outwards, top - depth), QPointF(edge + inwards, top),
                 QPointF(edge + inwards, bottom), QPointF(edge + outwards, bottom + depth)}));
            shape = shape.subtracted(notch);
        }
    }
    return shape;
}

QImage windowMask(const QPainterPath &outline, QSize size)
{
    QImage mask(size, QImage::Format_Grayscale8);
    mask.fill(0);
    QPainter painter(&mask);
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.fillPath(outline, Qt::white);
    return mask;
}

void cutOutside(QImage &picture, const QImage &mask)
{
    for (int y = 0; y < picture.height(); ++y) {
        for (int x = 0; x < picture.width(); ++x) {
            const bool inside = mask.constScanLine(y)[x] != 0;
            if (!inside)
                picture.setPixel(x, y, KeyColour);
            else if (picture.pixel(x, y) == KeyColour)
                picture.setPixel(x, y, NearWhite);
        }
    }
}

QImage paintBackground(const SkinTheme &theme)
{
    const QImage mask = windowMask(windowOutline(theme), Window);
    QImage picture(Window, QImage::Format_RGB32);
    paintBody(picture, theme);
    {
        QPainter painter(&picture);
        paintHeader(painter, theme);
        paintScreen(painter, theme);
        paintProgressChannel(painter, theme);
        paintTransportBay(painter, theme);
        paintControlPanel(painter, theme);
        paintListWell(painter, theme);
        paintFooter(painter, theme);
    }
    paintRim(picture, mask, theme);
    cutOutside(picture, mask);
    return picture;
}
