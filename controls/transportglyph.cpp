#include "transportglyph.h"

#include <QPainter>
#include <cstdlib>

namespace {

void drawSymbol(QPainter &painter, TransportSymbol symbol, QRect box)
{
    const int mid = box.top() + box.height() / 2;
    const int top = mid - 4;
    auto triangle = [&](int tip, int base) {
        const int half = std::abs(tip - base);
        painter.drawPolygon(
            QPolygon({QPoint(base, mid - half), QPoint(tip, mid), QPoint(base, mid + half)}));
    };
    const int x = box.left() + (box.width() - 12) / 2; // symbols are about 12 pixels wide
    switch (symbol) {
    case TransportSymbol::Play:
        triangle(x + 10, x + 4);
        break;
    case TransportSymbol::Pause:
        painter.drawRect(x + 3, top + 1, 2, 6);
        painter.drawRect(x + 8, top + 1, 2, 6);
        break;
    case TransportSymbol::Stop:
        painter.drawRect(x + 3, top + 1, 6, 6);
        break;
    case TransportSymbol::Previous:
        painter.drawRect(x + 1, top + 1, 1, 6);
        triangle(x + 4, x + 8);
        triangle(x + 8, x + 12);
        break;
    case TransportSymbol::Next:
        triangle(x + 4, x);
        triangle(x + 8, x + 4);
        painter.drawRect(x + 10, top + 1, 1, 6);
        break;
    case TransportSymbol::Hide:
        painter.drawLine(box.left() + 2, box.bottom() - 2, box.right() - 2, box.bottom() - 2);
        break;
    case TransportSymbol::Quit:
        painter.drawLine(box.left() + 2, box.top() + 2, box.right() - 2, box.bottom() - 2);
        painter.drawLine(box.right() - 2, box.top() + 2, box.left() + 2, box.bottom() - 2);
        break;
    }
}

} // namespace

QImage transportGlyph(TransportSymbol symbol, int frameWidth, int height,
                      const GlyphColours &colours)
{
    QImage strip(frameWidth * 4, height, QImage::Format_ARGB32_Premultiplied);
    strip.fill(colours.background);
    QPainter painter(&strip);
    for (int frame = 0; frame < 4; ++frame) {
        painter.setPen(colours.frames[size_t(frame)]);
        painter.setBrush(colours.frames[size_t(frame)]);
        drawSymbol(painter, symbol, QRect(frame * frameWidth, 0, frameWidth, height));
    }
    return strip;
}

QImage thumbPicture(QSize size, QColor normal, QColor pressed, QColor background)
{
    QImage picture(size, QImage::Format_RGB32);
    picture.fill(background);
    QPainter painter(&picture);
    const int frame = size.width() / 2;
    const QRect frames[] = {{0, 0, frame, size.height()},
                            {frame, 0, size.width() - frame, size.height()}};
    const QColor faces[] = {normal, pressed};
    for (int i = 0; i < 2; ++i) {
        const QRect pill = frames[i].adjusted(1, 0, -1, -1);
        painter.fillRect(pill.adjusted(1, 0, -1, 0), faces[i]);
        painter.fillRect(pill.adjusted(0, 1, 0, -1), faces[i]);
        painter.setPen(faces[i].lighter(140));
        painter.drawLine(pill.left() + 1, pill.top(), pill.right() - 1, pill.top());
        painter.setPen(faces[i].darker(170));
        painter.drawLine(pill.left() + 1, pill.bottom(), pill.right() - 1, pill.bottom());
        painter.drawLine(pill.center().x(), pill.top() + 2, pill.center().x(), pill.bottom() - 2);
    }
    // The bottom-left pixel is the transparent colour.
    picture.setPixelColor(0, size.height() - 1, background);
    return picture;
}
