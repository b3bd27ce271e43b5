#include "skinglyphs.h"

#include <QPainter>
#include <QPainterPath>
#include <array>

#include "skinpainting.h"

using SkinLayout::Transport;

namespace {

// The symbol of a button, centred in a frame of the given width and GlyphHeight.
QPainterPath symbolPath(Transport button, int frameWidth)
{
    const qreal middle = frameWidth / 2.0;
    const qreal top = 3, bottom = 13, centre = 8;
    QPainterPath path;
    const auto triangle = [&](qreal base, qreal tip) {
        path.moveTo(base, top);
        path.lineTo(tip, centre);
        path.lineTo(base, bottom);
        path.closeSubpath();
    };
    switch (button) {
    case Transport::Play:
        triangle(middle - 4, middle + 5);
        break;
    case Transport::Pause:
        path.addRect(QRectF(middle - 4, top, 3, bottom - top));
        path.addRect(QRectF(middle + 1, top, 3, bottom - top));
        break;
    case Transport::Stop:
        path.addRoundedRect(QRectF(middle - 4.5, top + 0.5, 9, 9), 1, 1);
        break;
    case Transport::Previous:
        path.addRect(QRectF(middle - 7, top, 2, bottom - top));
        triangle(middle + 1, middle - 5);
        triangle(middle + 7, middle + 1);
        break;
    case Transport::Next:
        triangle(middle - 7, middle - 1);
        triangle(middle - 1, middle + 5);
        path.addRect(QRectF(middle + 5, top, 2, bottom - top));
        break;
    }
    return path.simplified();
}

enum Frame { Normal, Disabled, Hover, Down };

void drawSymbol(QPainter &painter, const QPainterPath &symbol, QColor colour, Frame frame)
{
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    if (frame == Disabled) {
        // Greyed: flat and pressed into the face.
        painter.setBrush(withAlpha(QColor(254, 254, 254), 22));
        painter.drawPath(symbol.translated(0, 1));
        painter.setBrush(colour);
        painter.drawPath(symbol);
        painter.restore();
        return;
    }
    if (frame == Down) {
        painter.setPen(QPen(withAlpha(colour, 70), 3, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        painter.drawPath(symbol);
        painter.setPen(Qt::NoPen);
    } else {
        painter.setBrush(withAlpha(Qt::black, 130));
        painter.drawPath(symbol.translated(0.5, 1));
    }
    const QRectF box = symbol.boundingRect();
    QLinearGradient shade(box.topLeft(), box.bottomLeft());
    shade.setColorAt(0, mixed(colour, QColor(254, 254, 254), 0.35));
    shade.setColorAt(1, colour.darker(118));
    painter.setBrush(shade);
    painter.drawPath(symbol);
    painter.restore();
}

bool insideRounded(int x, int y, QSize size, int radius)
{
    const int nearestX = std::clamp(x, radius, size.width() - 1 - radius);
    const int nearestY = std::clamp(y, radius, size.height() - 1 - radius);
    const int dx = x - nearestX, dy = y - nearestY;
    return dx * dx + dy * dy <= radius * radius;
}

// One thumb frame with hard edges, so nothing blends into the key colour.
QImage thumbFrame(QSize size, QColor face, QColor accent, ThumbKind kind, bool pressed)
{
    QImage frame(size, QImage::Format_RGB32);
    frame.fill(ThumbKey);
    const QSize body(size.width() - 2, size.height()); // a column of key on either side
    const int radius = size.height() >= 10 ? 3 : 2;
    const QColor outline = face.darker(330);
    const QColor top = pressed ? mixed(face, accent, 0.35) : face.lighter(112);
    const QColor bottom = pressed ? mixed(face, accent, 0.2).darker(150) : face.darker(140);
    const auto inside = [&](int x, int y) {
        return x >= 0 && y >= 0 && x < body.width() && y < body.height() &&
               insideRounded(x, y, body, radius);
    };
    for (int y = 0; y < body.height(); ++y) {
        for (int x = 0; x < body.width(); ++x) {
            if (!inside(x, y))
                continue;
            QColor colour = mixed(top, bottom, qreal(y) / (body.height() - 1));
            if (!inside(x - 1, y) || !inside(x + 1, y) || !inside(x, y - 1) || !inside(x, y + 1))
                colour = outline;
            else if (!inside(x, y - 2))
                colour = mixed(colour, QColor(254, 254, 254), 0.45);
            frame.setPixelColor(x + 1, y, colour);
        }
    }
    // The grip in the middle: ridges on the progress thumb, a single mark on the others.
    const int middle = size.width() / 2;
    const QColor groove = pressed ? accent : face.darker(200);
    const QColor ridge = face.lighter(125);
    const auto line = [&](int x, QColor colour) {
        for (int y = 2; y < size.height() - 2; ++y)
            frame.setPixelColor(x, y, colour);
    };
    switch (kind) {
    case ThumbKind::Progress:
        for (int x : {middle - 3, middle, middle + 3}) {
            line(x - 1, groove);
            line(x, pressed ? accent.lighter(130) : ridge);
        }
        break;
    case ThumbKind::Volume:
        line(middle - 3, groove);
        line(middle - 1, groove);
        line(middle + 1, groove);
        break;
    case ThumbKind::Priority:
        line(middle - 1, groove);
        line(middle, pressed ? accent.lighter(130) : ridge);
        break;
    }
    return frame;
}

} // namespace

int glyphFrameWidth(Transport button)
{
    static constexpr std::array<int, 5> widths{20, 17, 13, 17, 21};
    return widths[size_t(button)];
}

QImage transportGlyphStrip(const SkinTheme &theme, Transport button)
{
    const int width = glyphFrameWidth(button);
    QImage strip(width * 4, GlyphHeight, QImage::Format_RGB32);
    strip.fill(theme.strip);
    QPainter painter(&strip);
    const QPainterPath symbol = symbolPath(button, width);
    const QColor colours[] = {theme.symbol, theme.symbolDisabled, theme.symbolHover,
                              theme.symbolDown};
    for (int frame = Normal; frame <= Down; ++frame)
        drawSymbol(painter, symbol.translated(frame * width, 0), colours[frame], Frame(frame));
    return strip;
}

QImage thumbStrip(const SkinTheme &theme, ThumbKind kind)
{
    const QSize size =
        kind == ThumbKind::Progress ? SkinLayout::ProgressThumb : SkinLayout::SmallThumb;
    const QSize frameSize(size.width() / 2, size.height());
    QImage strip(size, QImage::Format_RGB32);
    QPainter painter(&strip);
    painter.drawImage(0, 0, thumbFrame(frameSize, theme.thumbFace, theme.thumbLit, kind, false));
    painter.drawImage(frameSize.width(), 0,
                      thumbFrame(frameSize, theme.thumbFace, theme.thumbLit, kind, true));
    return strip;
}
