#include "bevel.h"

#include <QPainter>
#include <algorithm>

namespace {

const QColor highlight{0xff, 0xff, 0xff};
const QColor light{0xe0, 0xe0, 0xe0};
const QColor shadow{0x80, 0x80, 0x80};
const QColor darkShadow{0x40, 0x40, 0x40};

// One-pixel ring along the edge of `rect`, then the rectangle inside it.
QRect ring(QPainter &painter, const QRect &rect, QColor topLeft, QColor bottomRight)
{
    if (rect.isEmpty())
        return {};
    painter.fillRect(QRect(rect.left(), rect.top(), rect.width(), 1), topLeft);
    painter.fillRect(QRect(rect.left(), rect.top(), 1, rect.height()), topLeft);
    painter.fillRect(QRect(rect.left(), rect.bottom(), rect.width(), 1), bottomRight);
    painter.fillRect(QRect(rect.right(), rect.top(), 1, rect.height()), bottomRight);
    return rect.adjusted(1, 1, -1, -1);
}

QRect cut(QPainter &painter, const QRect &rect, TLMDBevel::TBevelCut style)
{
    switch (style) {
    case TLMDBevel::bvLowered:
        return ring(painter, rect, shadow, highlight);
    case TLMDBevel::bvRaised:
        return ring(painter, rect, highlight, shadow);
    case TLMDBevel::bvNone:
        break;
    }
    return rect;
}

QRect frames(QPainter &painter, QRect rect, int count, QColor color, bool transparent)
{
    for (int i = 0; i < count && !rect.isEmpty(); ++i)
        rect = transparent ? rect.adjusted(1, 1, -1, -1) : ring(painter, rect, color, color);
    return rect;
}

} // namespace

TLMDBevel::TLMDBevel(QObject *parent) : QObject(parent) {}

template <typename T> void TLMDBevel::Set(T &field, T value)
{
    if (field == value)
        return;
    field = value;
    emit Changed();
}

void TLMDBevel::SetMode(TLMDBevelMode value)
{
    Set(m_mode, value);
}

void TLMDBevel::SetStandardStyle(TLMDStandardStyle value)
{
    Set(m_standardStyle, value);
}

void TLMDBevel::SetStyleOuter(TBevelCut value)
{
    Set(m_styleOuter, value);
}

void TLMDBevel::SetStyleInner(TBevelCut value)
{
    Set(m_styleInner, value);
}

void TLMDBevel::SetBorderWidth(int value)
{
    Set(m_borderWidth, std::max(value, 0));
}

void TLMDBevel::SetBorderInnerWidth(int value)
{
    Set(m_borderInnerWidth, std::max(value, 0));
}

void TLMDBevel::SetBorderColor(QColor value)
{
    Set(m_borderColor, value);
}

int TLMDBevel::TotalWidth() const
{
    if (m_mode == bmCustom)
        return (m_styleOuter != bvNone) + m_borderWidth + (m_styleInner != bvNone) +
               m_borderInnerWidth;
    switch (m_standardStyle) {
    case lsNone:
        return 0;
    case lsSingle:
    case lsSingleLowered:
    case lsSingleRaised:
        return 1;
    case lsLowered:
    case lsRaised:
        return 2;
    }
    return 0;
}

QRect TLMDBevel::InnerRect(const QRect &rect) const
{
    const int width = TotalWidth();
    const QRect inner = rect.adjusted(width, width, -width, -width);
    return inner.isEmpty() ? QRect() : inner;
}

QRect TLMDBevel::Paint(QPainter &painter, const QRect &rect, bool transparent) const
{
    QRect inner = rect;
    if (m_mode == bmCustom) {
        inner = cut(painter, inner, m_styleOuter);
        inner = frames(painter, inner, m_borderWidth, m_borderColor, transparent);
        inner = cut(painter, inner, m_styleInner);
        inner = frames(painter, inner, m_borderInnerWidth, m_borderColor, transparent);
    } else {
        switch (m_standardStyle) {
        case lsNone:
            break;
        case lsSingle:
            inner = ring(painter, inner, darkShadow, darkShadow);
            break;
        case lsSingleLowered:
            inner = ring(painter, inner, shadow, highlight);
            break;
        case lsSingleRaised:
            inner = ring(painter, inner, highlight, shadow);
            break;
        case lsLowered:
            inner = ring(painter, ring(painter, inner, shadow, highlight), darkShadow, light);
            break;
        case lsRaised:
            inner = ring(painter, ring(painter, inner, highlight, darkShadow), light, shadow);
            break;
        }
    }
    return inner.isEmpty() ? QRect() : inner;
}
