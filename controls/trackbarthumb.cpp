#include "trackbarthumb.h"

#include <QPainter>
#include <QPolygon>

#include "transparentcolor.h"

ThumbFrames thumbFramesFromPicture(const QImage &picture)
{
    const int frameWidth = picture.width() / 2;
    if (frameWidth < 1 || picture.height() < 1)
        return {};
    const QImage keyed = withTransparentColor(picture, bottomLeftColor(picture));
    ThumbFrames frames;
    frames.normal = keyed.copy(0, 0, frameWidth, picture.height());
    frames.pressed = keyed.copy(frameWidth, 0, picture.width() - frameWidth, picture.height());
    if (frames.pressed.width() != frameWidth)
        frames.pressed = frames.pressed.scaled(frameWidth, picture.height(), Qt::IgnoreAspectRatio,
                                               Qt::FastTransformation);
    return frames;
}

namespace {
// Drawn lying along a horizontal bar; a vertical bar gets the picture mirrored on its diagonal,
// which keeps the light edges at the top and left.
constexpr int Along = 11;
constexpr int Across = 20;
constexpr int Point = Along / 2;

QPolygon outline(TrackBar::TickMarks marks)
{
    const int right = Along - 1;
    const int bottom = Across - 1;
    switch (marks) {
    case TrackBar::tmBottomRight:
        return QPolygon(
            {{0, 0}, {right, 0}, {right, bottom - Point}, {Point, bottom}, {0, bottom - Point}});
    case TrackBar::tmTopLeft:
        return QPolygon({{Point, 0}, {right, Point}, {right, bottom}, {0, bottom}, {0, Point}});
    case TrackBar::tmBoth:
        break;
    }
    return QPolygon({{0, 0}, {right, 0}, {right, bottom}, {0, bottom}});
}

QImage drawThumb(QColor color, TrackBar::TickMarks marks, bool pressed)
{
    QImage image(Along, Across, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    const QPolygon shape = outline(marks);
    QPainter painter(&image);
    painter.setPen(color);
    painter.setBrush(color);
    painter.drawPolygon(shape);
    if (pressed) {
        painter.setPen(Qt::NoPen);
        painter.setBrush(QBrush(color.lighter(160), Qt::Dense4Pattern));
        painter.drawPolygon(shape);
    }
    // Light from the top left: edges facing up or left are light, the others dark.
    for (int i = 0; i < shape.size(); ++i) {
        const QPoint from = shape[i];
        const QPoint to = shape[(i + 1) % shape.size()];
        const int normalX = to.y() - from.y(); // outward, the outline running clockwise
        const int normalY = from.x() - to.x();
        const bool light = normalX + normalY < 0 || (normalX + normalY == 0 && normalX < 0);
        painter.setPen(light ? QColor(Qt::white) : QColor(Qt::black));
        painter.drawLine(from, to);
    }
    return image;
}

QImage transposed(const QImage &image)
{
    QImage result(image.height(), image.width(), image.format());
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            result.setPixel(y, x, image.pixel(x, y));
    return result;
}
} // namespace

ThumbFrames standardThumbFrames(QColor color, TrackBar::Orientation orientation,
                                TrackBar::TickMarks marks)
{
    ThumbFrames frames{drawThumb(color, marks, false), drawThumb(color, marks, true)};
    if (orientation == TrackBar::toVertical)
        frames = {transposed(frames.normal), transposed(frames.pressed)};
    return frames;
}
