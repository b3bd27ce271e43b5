#include "led.h"

#include <QPainter>
#include <algorithm>
#include <climits>

namespace {

// Colours are compared and drawn as plain opaque RGB.
QColor opaque(QColor color)
{
    return QColor::fromRgb(color.rgb());
}

} // namespace

TLMDLED::TLMDLED(QObject *parent) : QObject(parent)
{
    Rebuild();
}

void TLMDLED::Assign(const TLMDLED &source)
{
    m_activeColor = source.m_activeColor;
    m_inActiveColor = source.m_inActiveColor;
    m_sizes = source.m_sizes;
    m_disabledDigits = source.m_disabledDigits;
    Rebuild();
    Notify();
}

void TLMDLED::SetActiveColor(QColor value)
{
    SetColour(m_activeColor, opaque(value));
}

void TLMDLED::SetInActiveColor(QColor value)
{
    SetColour(m_inActiveColor, opaque(value));
}

void TLMDLED::SetBackColor(QColor value)
{
    // Keeps its alpha: a transparent label draws its cells on a see-through background.
    SetColour(m_backColor, QColor::fromRgba(value.rgba()));
}

void TLMDLED::SetColour(QColor &colour, QColor value)
{
    if (value == colour)
        return;
    colour = value;
    Rebuild();
    Notify();
}

void TLMDLED::SetHorzsize(int value)
{
    SetSize(m_sizes.horz, value);
}

void TLMDLED::SetVertsize(int value)
{
    SetSize(m_sizes.vert, value);
}

void TLMDLED::SetThickness(int value)
{
    SetSize(m_sizes.thickness, value);
}

void TLMDLED::SetSize(int &size, int value)
{
    value = std::clamp(value, 0, 255);
    if (value == size)
        return;
    size = value;
    Rebuild();
    Notify();
}

void TLMDLED::SetDisabledDigits(bool value)
{
    if (value == m_disabledDigits)
        return;
    m_disabledDigits = value;
    Notify();
}

void TLMDLED::BeginUpdate()
{
    ++m_updateDepth;
}

void TLMDLED::EndUpdate()
{
    if (m_updateDepth == 0)
        return;
    --m_updateDepth;
    if (m_updateDepth == 0 && m_changePending) {
        m_changePending = false;
        emit Changed();
    }
}

void TLMDLED::Notify()
{
    if (m_updateDepth > 0) {
        m_changePending = true;
        return;
    }
    emit Changed();
}

// The polygons follow the sizes at once; the image waits until it is drawn, so a burst of
// changes paints it once.
void TLMDLED::Rebuild()
{
    m_polygons = LedGlyphs::segmentPolygons(m_sizes);
    for (size_t n = 0; n < m_polygons.size(); ++n) {
        m_litPixels[n] = paintedPixels(m_polygons[n]);
        m_unlitPixels[n] = filledPixels(m_polygons[n]);
    }
    m_cellImageStale = true;
}

QImage TLMDLED::CellImage()
{
    if (m_cellImageStale)
        BuildCellImage();
    return m_cellImage;
}

void TLMDLED::BuildCellImage()
{
    m_cellImage = QImage(CellSize(), QImage::Format_ARGB32_Premultiplied);
    m_cellImageStale = false;
    if (m_cellImage.isNull())
        return;
    m_cellImage.fill(m_backColor);
    const QRect cell = m_cellImage.rect();
    for (const PixelRuns &segment : m_unlitPixels)
        for (const PixelRun &run : segment)
            for (int x = run.x; x < run.x + run.length; ++x)
                if (cell.contains(x, run.y))
                    m_cellImage.setPixelColor(
                        x, run.y,
                        LedGlyphs::unlitPixelColor(x, run.y, m_backColor, m_inActiveColor));
}

void TLMDLED::DrawText(QPainter *canvas, const QRect &rect, const QString &text, bool enabled,
                       bool draw)
{
    m_lastText = text;
    const LedGlyphs::TextLayout layout = LedGlyphs::layoutText(text);
    m_lineCount = layout.lines;
    m_columnCount = layout.columns;

    if (draw && canvas != nullptr) {
        const QImage cell = CellImage();
        const QSize size = CellSize();
        const bool lit = !m_disabledDigits || enabled;
        const bool hidden = m_blinking && !m_blinkPhaseLit;
        // Cells outside the clip are skipped: a long text in a small label costs nothing, and
        // what is left has coordinates that fit in an int.
        const QRectF reachable(INT_MIN / 2, INT_MIN / 2, INT_MAX, INT_MAX);
        const QRectF visible =
            canvas->hasClipping() ? canvas->clipBoundingRect().intersected(reachable) : reachable;
        for (const LedGlyphs::PlacedCharacter &placed : layout.characters) {
            // 64-bit, because a long text in big cells reaches past the range of int.
            const qint64 x = rect.left() + qint64(placed.column) * size.width();
            const qint64 y = rect.top() + qint64(placed.line) * size.height();
            if (!visible.intersects(QRectF(x, y, size.width(), size.height())))
                continue;
            const QPoint origin{int(x), int(y)};
            canvas->drawImage(origin, cell);
            if (!lit || hidden)
                continue;
            const std::uint16_t mask =
                LedGlyphs::visibleSegments(LedGlyphs::characterMask(placed.character), m_sizes);
            for (int n = 0; n < LedGlyphs::SegmentCount; ++n)
                if (mask & (1u << n))
                    for (const PixelRun &run : m_litPixels[size_t(n)])
                        canvas->fillRect(origin.x() + run.x, origin.y() + run.y, run.length, 1,
                                         m_activeColor);
        }
    }

    if (m_blinking)
        m_blinkPhaseLit = !m_blinkPhaseLit;
}

QRect TLMDLED::MeasureText(const QString &text, int bevelWidth) const
{
    return LedGlyphs::measureText(text, bevelWidth, m_sizes);
}

void TLMDLED::SetBlinking(bool value)
{
    if (value == m_blinking)
        return;
    m_blinking = value;
    m_blinkPhaseLit = true;
    Notify();
}
