#include "skinpainting.h"

#include <QPainterPath>
#include <algorithm>
#include <cmath>

namespace {

// xorshift32: the same streaks on every platform and library, so regenerated files only change
// when the drawing does.
class Noise {
public:
    explicit Noise(quint32 seed) : m_state(seed == 0 ? 0x9E3779B9u : seed) {}
    quint32 next()
    {
        m_state ^= m_state << 13;
        m_state ^= m_state >> 17;
        m_state ^= m_state << 5;
        return m_state;
    }
    // 0 <= value < limit
    int below(int limit) { return int(next() % quint32(limit)); }

private:
    quint32 m_state;
};

void blendPixel(QImage &image, int x, int y, QColor over, int alpha)
{
    const QRgb under = image.pixel(x, y);
    const auto channel = [alpha](int a, int b) { return (a * (255 - alpha) + b * alpha) / 255; };
    image.setPixel(x, y,
                   qRgb(channel(qRed(under), over.red()), channel(qGreen(under), over.green()),
                        channel(qBlue(under), over.blue())));
}

QPainterPath rounded(const QRectF &rect, qreal radius)
{
    QPainterPath path;
    path.addRoundedRect(rect, radius, radius);
    return path;
}

} // namespace

QColor mixed(QColor colour, QColor towards, qreal amount)
{
    const auto channel = [amount](int a, int b) { return int(a + (b - a) * amount + 0.5); };
    return QColor(channel(colour.red(), towards.red()), channel(colour.green(), towards.green()),
                  channel(colour.blue(), towards.blue()));
}

QColor withAlpha(QColor colour, int alpha)
{
    colour.setAlpha(alpha);
    return colour;
}

void drawRecess(QPainter &painter, const QRectF &rect, qreal radius, QColor face)
{
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    QLinearGradient lip(rect.topLeft(), rect.bottomLeft());
    lip.setColorAt(0, withAlpha(Qt::black, 150));
    lip.setColorAt(0.5, withAlpha(Qt::black, 40));
    lip.setColorAt(1, withAlpha(QColor(254, 254, 254), 70));
    painter.setBrush(lip);
    painter.drawPath(rounded(rect.adjusted(-1, -1, 1, 1), radius + 1));
    painter.setBrush(face);
    painter.drawPath(rounded(rect, radius));
    // Shadow cast by the upper edge onto the face.
    painter.setClipPath(rounded(rect, radius));
    QLinearGradient shadow(rect.topLeft(), rect.topLeft() + QPointF(0, 4));
    shadow.setColorAt(0, withAlpha(Qt::black, 110));
    shadow.setColorAt(1, withAlpha(Qt::black, 0));
    painter.setBrush(shadow);
    painter.drawRect(rect);
    painter.restore();
}

void drawPlate(QPainter &painter, const QRectF &rect, qreal radius, QColor top, QColor bottom)
{
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    QLinearGradient lip(rect.topLeft(), rect.bottomLeft());
    lip.setColorAt(0, withAlpha(QColor(254, 254, 254), 90));
    lip.setColorAt(0.5, withAlpha(Qt::black, 30));
    lip.setColorAt(1, withAlpha(Qt::black, 140));
    painter.setBrush(lip);
    painter.drawPath(rounded(rect.adjusted(-1, -1, 1, 1), radius + 1));
    QLinearGradient shade(rect.topLeft(), rect.bottomLeft());
    shade.setColorAt(0, top);
    shade.setColorAt(1, bottom);
    painter.setBrush(shade);
    painter.drawPath(rounded(rect, radius));
    painter.restore();
}

void drawGlassSheen(QPainter &painter, const QRectF &rect, qreal radius)
{
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setClipPath(rounded(rect, radius));
    painter.setPen(Qt::NoPen);
    const QRectF upper(rect.left(), rect.top(), rect.width(), rect.height() * 0.45);
    QLinearGradient sheen(upper.topLeft(), upper.bottomLeft());
    sheen.setColorAt(0, withAlpha(QColor(254, 254, 254), 22));
    sheen.setColorAt(1, withAlpha(QColor(254, 254, 254), 6));
    painter.setBrush(sheen);
    painter.drawRect(upper);
    painter.restore();
}

void brushMetal(QImage &image, const QRect &area, QColor grain, quint32 seed)
{
    Noise noise(seed);
    const QRect inside = area & image.rect();
    // Every row a little lighter or darker than its neighbours.
    for (int y = inside.top(); y <= inside.bottom(); ++y) {
        const int alpha = 4 + noise.below(14);
        for (int x = inside.left(); x <= inside.right(); ++x)
            blendPixel(image, x, y, grain, alpha);
    }
    // Longer scratches along the brushing.
    const int scratches = inside.width() * inside.height() / 90;
    for (int i = 0; i < scratches; ++i) {
        const int y = inside.top() + noise.below(std::max(1, inside.height()));
        const int length = 6 + noise.below(40);
        const int start = inside.left() - length / 2 + noise.below(std::max(1, inside.width()));
        const int alpha = 10 + noise.below(26);
        for (int x = std::max(start, inside.left()); x < std::min(start + length, inside.right());
             ++x)
            blendPixel(image, x, y, grain, alpha);
    }
}

void woodGrain(QImage &image, const QRect &area, QColor grain, quint32 seed)
{
    Noise noise(seed);
    const double phase1 = noise.below(628) / 100.0, phase2 = noise.below(628) / 100.0;
    const QRect inside = area & image.rect();
    for (int y = inside.top(); y <= inside.bottom(); ++y) {
        for (int x = inside.left(); x <= inside.right(); ++x) {
            // Rings bent by two slow waves; the third term breaks up their regularity.
            const double bent = y + 3.0 * std::sin(x * 0.019 + phase1 + y * 0.011) +
                                1.4 * std::sin(x * 0.071 + phase2);
            const double ring = 0.5 + 0.5 * std::sin(bent * 0.55 + 2.0 * std::sin(bent * 0.045));
            blendPixel(image, x, y, grain, int(6 + 30 * ring * ring * ring));
        }
    }
    brushMetal(image, inside, grain.darker(160), seed ^ 0x5bd1e995u);
}

void drawGloss(QPainter &painter, const QRect &area, QColor grain)
{
    painter.save();
    painter.setPen(withAlpha(grain, 22));
    for (int y = area.top(); y <= area.bottom(); y += 3)
        painter.drawLine(area.left(), y, area.right(), y);
    QLinearGradient sheen(area.topLeft(), area.topLeft() + QPoint(area.width(), area.width()));
    sheen.setColorAt(0, withAlpha(QColor(254, 254, 254), 0));
    sheen.setColorAt(0.3, withAlpha(QColor(254, 254, 254), 26));
    sheen.setColorAt(0.55, withAlpha(QColor(254, 254, 254), 0));
    painter.fillRect(area, sheen);
    painter.restore();
}

void drawScrew(QPainter &painter, QPointF centre, qreal radius, QColor metal)
{
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(withAlpha(Qt::black, 120));
    painter.drawEllipse(centre + QPointF(0.4, 0.6), radius + 0.8, radius + 0.8);
    QRadialGradient head(centre - QPointF(radius / 3, radius / 3), radius * 1.6);
    head.setColorAt(0, metal.lighter(150));
    head.setColorAt(1, metal.darker(170));
    painter.setBrush(head);
    painter.drawEllipse(centre, radius, radius);
    painter.setPen(QPen(metal.darker(260), 1.0));
    painter.drawLine(centre + QPointF(-radius * 0.6, radius * 0.6),
                     centre + QPointF(radius * 0.6, -radius * 0.6));
    painter.restore();
}

void drawEngraved(QPainter &painter, QPointF baseline, const QString &text, QColor colour)
{
    painter.save();
    painter.setRenderHint(QPainter::TextAntialiasing);
    painter.setPen(withAlpha(Qt::black, 170));
    painter.drawText(baseline + QPointF(0, -1), text);
    painter.setPen(withAlpha(QColor(254, 254, 254), 40));
    painter.drawText(baseline + QPointF(0, 1), text);
    painter.setPen(colour);
    painter.drawText(baseline, text);
    painter.restore();
}
