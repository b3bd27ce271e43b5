#include "richtextpainter.h"

#include <algorithm>

using namespace RichTextGeometry;

namespace {
// Draws the pieces of one line from a pen on the baseline that moves on after each piece, in the
// font and colours of the current style. Pieces wholly outside the area are only measured.
class LinePainter {
public:
    LinePainter(QPainter &painter, const RichTextFonts &fonts,
                const RichTextPaintSettings &settings)
        : m_painter(painter), m_fonts(fonts), m_settings(settings),
          m_areaWidth(settings.place.areaWidth)
    {
    }

    std::int64_t pen = 0;
    int baseline = 0;

    quint8 style() const { return m_style; }
    void setStyle(quint8 style)
    {
        m_style = style;
        m_painter.setFont(m_fonts.font(style));
        const bool highlight = style & RichStyle::Highlight;
        m_painter.setPen(highlight && m_settings.enabled ? m_settings.highlight : m_settings.text);
    }

    int advance(const QString &text) const { return m_fonts.advance(text, m_style); }

    // Draws `text` and underlines its characters [underlineFrom, underlineTo) on their own, so
    // that the text keeps its kerning.
    void draw(const QString &text, qsizetype underlineFrom = 0, qsizetype underlineTo = 0)
    {
        const int width = advance(text);
        if (isVisible(width)) {
            fillBackground(width);
            m_painter.drawText(int(pen), baseline, text);
            if (underlineTo > underlineFrom) {
                const QFontMetrics &metrics = m_fonts.metrics(m_style);
                const int left = int(pen) + advance(text.left(underlineFrom));
                const int right = int(pen) + advance(text.left(underlineTo));
                m_painter.fillRect(QRect(left, baseline + metrics.underlinePos(), right - left,
                                         std::max(metrics.lineWidth(), 1)),
                                   m_painter.pen().color());
            }
        }
        pen += width;
    }

    // A stretched gap between words.
    void skip(int width)
    {
        if (isVisible(width))
            fillBackground(width);
        pen += width;
    }

    void tabTo(std::int64_t x, int lineTop, int lineHeight)
    {
        if ((m_style & RichStyle::Highlight) && x > pen && isVisible(x - pen)) {
            const std::int64_t left = std::max<std::int64_t>(pen, -1);
            const std::int64_t right = std::min<std::int64_t>(x, m_areaWidth + 1);
            m_painter.fillRect(QRect(int(left), lineTop, int(right - left), lineHeight - 1),
                               m_settings.highlight);
        }
        pen = std::max(pen, x);
    }

    // Dashes from the pen until it passes the right edge of the area.
    void rule()
    {
        const QString dash = QStringLiteral("-");
        const int width = advance(dash);
        if (width <= 0)
            return;
        if (pen < -width)
            pen += (-pen / width - 1) * width; // dashes left of the area would not show
        while (pen < m_areaWidth)
            draw(dash);
    }

private:
    bool isVisible(std::int64_t width) const { return pen + width >= 0 && pen <= m_areaWidth; }

    void fillBackground(std::int64_t width)
    {
        if (!(m_style & RichStyle::Highlight) || !m_settings.highlightBackgnd.isValid())
            return;
        const QFontMetrics &metrics = m_fonts.metrics(m_style);
        const std::int64_t left = std::max<std::int64_t>(pen, -1);
        const std::int64_t right = std::min<std::int64_t>(pen + width, m_areaWidth + 1);
        m_painter.fillRect(QRect(int(left), baseline - metrics.ascent(), int(right - left),
                                 metrics.ascent() + metrics.descent()),
                           m_settings.highlightBackgnd);
    }

    QPainter &m_painter;
    const RichTextFonts &m_fonts;
    const RichTextPaintSettings &m_settings;
    const int m_areaWidth;
    quint8 m_style = 0;
};

// Draws the printable run at `pos` (up to a blank or a control character) and returns where it
// ends. The accelerator "&" is left out and the character after it underlined.
qsizetype drawWord(LinePainter &out, const RichTextPaintSettings &settings, qsizetype pos,
                   qsizetype end)
{
    QString word;
    qsizetype underlineFrom = 0, underlineTo = 0;
    for (; pos < end; ++pos) {
        const QChar c = settings.caption[pos];
        if (pos == settings.accelIndex) {
            if (pos + 1 < end && settings.caption[pos + 1] != u' ' &&
                !RichCode::isControl(settings.caption[pos + 1])) {
                underlineFrom = word.size();
                underlineTo = underlineFrom + (settings.caption[pos + 1].isHighSurrogate() ? 2 : 1);
            }
            continue;
        }
        if (c == u' ' || RichCode::isControl(c))
            break;
        word += c;
    }
    out.draw(word, underlineFrom, underlineTo);
    return pos;
}

void paintLine(LinePainter &out, const RichTextPaintSettings &settings, const LineRecord &line,
               int top)
{
    const int extra = justifyExtra(settings.place, line);
    int stretched = 0;
    for (qsizetype pos = line.start; pos < line.end;) {
        const QChar c = settings.caption[pos];
        if (c == RichCode::Tab) {
            out.tabTo(settings.tabOrigin +
                          nextTabStop(out.pen - settings.tabOrigin, settings.tabStep),
                      top, settings.lineHeight);
            ++pos;
        } else if (c == RichCode::Rule) {
            out.rule();
            return;
        } else if (RichCode::isControl(c)) {
            out.setStyle(RichStyle::toggled(out.style(), c.unicode()));
            ++pos;
        } else if (c == u' ') {
            out.draw(QStringLiteral(" "));
            if (extra > 0 && pos >= line.justifyFrom && stretched < line.spaces)
                out.skip(stretchOf(extra, line.spaces, stretched++));
            ++pos;
        } else {
            pos = drawWord(out, settings, pos, line.end);
        }
    }
}
} // namespace

void paintRichTextLine(QPainter &painter, const RichTextFonts &fonts,
                       const RichTextPaintSettings &settings, const LineRecord &line, int top)
{
    LinePainter out(painter, fonts, settings);
    out.setStyle(quint8(line.style));
    out.pen = lineLeft(settings.place, line);
    out.baseline = top + settings.baselineOffset;
    paintLine(out, settings, line, top);
}
