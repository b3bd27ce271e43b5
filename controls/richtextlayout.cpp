#include "richtextlayout.h"

#include <algorithm>
#include <limits>

namespace {
std::int32_t clampToInt(std::int64_t value)
{
    return std::int32_t(std::clamp<std::int64_t>(value, std::numeric_limits<std::int32_t>::min(),
                                                 std::numeric_limits<std::int32_t>::max()));
}

std::int64_t floorDiv(std::int64_t a, std::int64_t b)
{
    const std::int64_t q = a / b;
    return (a % b != 0 && (a < 0) != (b < 0)) ? q - 1 : q;
}

bool isBlank(QChar c)
{
    return c == u' ' || c == RichCode::Tab;
}

// One pass over the caption with the accelerator already taken out. Positions are those of that
// copy until `finish` maps them back onto the caption.
class LayoutPass {
public:
    LayoutPass(const QString &text, const RichTextMetrics &metrics, const RichTextOptions &options)
        : m_text(text), m_metrics(metrics), m_options(options),
          m_wrapWidth(options.wordWrap ? std::max(options.wrapWidth, 1)
                                       : std::numeric_limits<std::int64_t>::max() / 4),
          m_style(options.startStyle), m_lineStyle(options.startStyle)
    {
        m_spaceWidth = m_metrics.advance(QStringLiteral(" "), m_style);
    }

    void run(TLL &lines)
    {
        const qsizetype length = m_text.size();
        while (m_pos < length) {
            const std::int64_t blankSpaces = takeBlanks();
            const qsizetype wordStart = m_pos;
            const quint8 wordStyle = m_style;
            bool printable = false;
            const std::int64_t wordWidth = takeWord(&printable);
            const bool atReturn = m_pos < length && m_text[m_pos] == RichCode::Return;

            if (printable && m_x + wordWidth > m_wrapWidth && wordStart != m_lineStart) {
                // The word moves down; the blanks before it stay behind, unstretched.
                record(lines, wordStart, m_spaces - blankSpaces);
                startLine(wordStart, wordStyle);
            }
            m_x += wordWidth;
            if (printable)
                m_contentWidth = m_x;
            if (atReturn) {
                record(lines, m_pos, 0);
                ++m_pos;
                if (m_pos < length && m_text[m_pos] == RichCode::LineFeed)
                    ++m_pos;
                startLine(m_pos, m_style);
            }
        }
        record(lines, length, 0);
    }

    int widest() const { return m_widest; }

private:
    // Blanks before a word; returns how many of the line's stretchable spaces they added.
    std::int64_t takeBlanks()
    {
        std::int64_t added = 0;
        for (; m_pos < m_text.size() && isBlank(m_text[m_pos]); ++m_pos) {
            if (m_text[m_pos] == u' ') {
                m_x += m_spaceWidth;
                ++m_spaces;
                ++added;
            } else {
                m_x = RichTextGeometry::nextTabStop(m_x, std::int64_t(m_options.tabStops) *
                                                             m_spaceWidth);
                m_spaces = 0;
                added = 0;
                m_justifyFrom = m_pos;
            }
        }
        return added;
    }

    // A word up to the next blank or carriage return; its control characters switch the style.
    std::int64_t takeWord(bool *printable)
    {
        std::int64_t width = 0;
        const qsizetype length = m_text.size();
        while (m_pos < length && !isBlank(m_text[m_pos]) && m_text[m_pos] != RichCode::Return) {
            const qsizetype runStart = m_pos;
            if (RichCode::isControl(m_text[m_pos])) {
                const quint8 before = m_style;
                for (; m_pos < length && RichCode::isControl(m_text[m_pos]) &&
                       !isBlank(m_text[m_pos]) && m_text[m_pos] != RichCode::Return;
                     ++m_pos)
                    m_style = RichStyle::toggled(m_style, m_text[m_pos].unicode());
                if ((before ^ m_style) & RichStyle::FontBits)
                    m_spaceWidth = m_metrics.advance(QStringLiteral(" "), m_style);
            } else {
                while (m_pos < length && !isBlank(m_text[m_pos]) &&
                       !RichCode::isControl(m_text[m_pos]))
                    ++m_pos;
                width += m_metrics.advance(m_text.mid(runStart, m_pos - runStart), m_style);
                *printable = true;
            }
        }
        return width;
    }

    void record(TLL &lines, qsizetype end, std::int64_t spaces)
    {
        LineRecord line;
        line.start = std::int32_t(m_lineStart);
        line.end = std::int32_t(end);
        line.width = clampToInt(m_contentWidth);
        line.spaces = clampToInt(std::max<std::int64_t>(spaces, 0));
        line.justifyFrom = std::int32_t(m_justifyFrom);
        line.style = m_lineStyle;
        lines.add(line);
        m_widest = std::max(m_widest, line.width);
    }

    void startLine(qsizetype start, quint8 style)
    {
        m_lineStart = start;
        m_justifyFrom = start;
        m_lineStyle = style;
        m_x = 0;
        m_contentWidth = 0;
        m_spaces = 0;
    }

    const QString &m_text;
    const RichTextMetrics &m_metrics;
    const RichTextOptions &m_options;
    const std::int64_t m_wrapWidth;
    quint8 m_style;
    std::int64_t m_spaceWidth = 0;
    qsizetype m_pos = 0;

    // The line being built.
    qsizetype m_lineStart = 0;
    qsizetype m_justifyFrom = 0;
    quint8 m_lineStyle;
    std::int64_t m_x = 0;
    std::int64_t m_contentWidth = 0; // x at the end of the last word with something to draw
    std::int64_t m_spaces = 0;

    int m_widest = 0;
};
} // namespace

quint8 RichStyle::fromFont(const QFont &font)
{
    return quint8((font.bold() ? Bold : 0) | (font.italic() ? Italic : 0) |
                  (font.underline() ? Underline : 0) | (font.strikeOut() ? StrikeOut : 0));
}

quint8 RichStyle::toggled(quint8 style, char16_t code)
{
    switch (code) {
    case RichCode::Italic:
        return style ^ Italic;
    case RichCode::Bold:
        return style ^ Bold;
    case RichCode::Highlight:
        return style ^ Highlight;
    case RichCode::AltFont:
        return style ^ AltFont;
    case RichCode::Underline:
        return style ^ Underline;
    default:
        return style;
    }
}

RichTextFonts::RichTextFonts(const QFont &font, const QFont &altFont)
    : m_font(font), m_altFont(altFont)
{
}

QFont RichTextFonts::font(quint8 style) const
{
    QFont result = (style & RichStyle::AltFont) ? m_altFont : m_font;
    result.setBold(style & RichStyle::Bold);
    result.setItalic(style & RichStyle::Italic);
    result.setUnderline(style & RichStyle::Underline);
    result.setStrikeOut(style & RichStyle::StrikeOut);
    return result;
}

const QFontMetrics &RichTextFonts::metrics(quint8 style) const
{
    std::optional<QFontMetrics> &slot = m_metrics[style & RichStyle::FontBits];
    if (!slot)
        slot.emplace(font(style));
    return *slot;
}

int RichTextFonts::advance(const QString &text, quint8 style) const
{
    return metrics(style).horizontalAdvance(text);
}

RichTextLayout layOutRichText(const QString &caption, const RichTextMetrics &metrics,
                              const RichTextOptions &options)
{
    RichTextLayout result;
    QString text = caption;
    result.accelIndex = int(caption.size()) + 1;
    if (options.showAccelChar) {
        const qsizetype amp = caption.indexOf(u'&');
        if (amp >= 0) {
            result.accelIndex = int(amp);
            text.remove(amp, 1);
        }
    }

    LayoutPass pass(text, metrics, options);
    pass.run(result.lines);
    result.widest = pass.widest();

    // Back to caption positions. A line that starts at the accelerated character starts at its
    // "&", so that painting sees the "&" on the same line as the character it marks.
    const auto toCaption = [accel = result.accelIndex](std::int32_t pos) {
        return pos > accel ? pos + 1 : pos;
    };
    for (int i = 0; i < result.lines.count(); ++i) {
        LineRecord line = result.lines.get(i);
        line.start = toCaption(line.start);
        line.end = toCaption(line.end);
        line.justifyFrom = toCaption(line.justifyFrom);
        result.lines.put(i, line);
    }
    return result;
}

std::int64_t RichTextGeometry::nextTabStop(std::int64_t x, std::int64_t step)
{
    if (step <= 0)
        return x;
    return (floorDiv(x, step) + 1) * step;
}

int RichTextGeometry::wrapWidth(int areaWidth, int leftMargin, int rightMargin, int lineHeight)
{
    const std::int64_t width = std::int64_t(areaWidth) - leftMargin - rightMargin;
    return clampToInt(std::max<std::int64_t>(width, lineHeight));
}

int RichTextGeometry::blockOffset(VerticalLayout layout, int areaHeight, int lineCount,
                                  int lineHeight)
{
    const std::int64_t free = std::int64_t(areaHeight) - std::int64_t(lineCount) * lineHeight;
    switch (layout) {
    case VerticalLayout::Top:
        return 0;
    case VerticalLayout::Center:
        return clampToInt(free / 2);
    case VerticalLayout::Bottom:
        return clampToInt(free);
    }
    return 0;
}

RichTextGeometry::LineSpan RichTextGeometry::linesToPaint(int top, int bottom, int topOrigin,
                                                          int offset, int lineHeight, int lineCount)
{
    LineSpan span;
    if (lineHeight <= 0 || lineCount <= 0 || bottom < top)
        return span;
    const std::int64_t shift = std::int64_t(topOrigin) - offset;
    const std::int64_t first = floorDiv(shift + top, lineHeight);
    const std::int64_t last = floorDiv(shift + bottom, lineHeight) + 1;
    span.first = int(std::clamp<std::int64_t>(first, 0, lineCount));
    span.last = int(std::clamp<std::int64_t>(last, -1, lineCount - 1));
    return span;
}

std::int64_t RichTextGeometry::lineLeft(const HorizontalPlacement &place, const LineRecord &line)
{
    const bool toLeft =
        place.align == Align::Left || (place.justified && line.justifyFrom < line.end);
    if (toLeft)
        return std::int64_t(place.leftMargin) - place.leftOrigin;
    if (place.align == Align::Right)
        return std::int64_t(place.areaWidth) - line.width - place.rightMargin - place.leftOrigin;
    return (std::int64_t(place.areaWidth) + place.leftMargin - place.rightMargin - line.width) / 2 -
           place.leftOrigin;
}

int RichTextGeometry::justifyExtra(const HorizontalPlacement &place, const LineRecord &line)
{
    if (!place.justified || line.spaces <= 0)
        return 0;
    const std::int64_t extra =
        std::int64_t(place.areaWidth) - place.leftMargin - place.rightMargin - line.width;
    return clampToInt(std::max<std::int64_t>(extra, 0));
}

int RichTextGeometry::stretchOf(int extra, int spaces, int k)
{
    if (spaces <= 0 || extra <= 0 || k < 0 || k >= spaces)
        return 0;
    return extra / spaces + (k < extra % spaces ? 1 : 0);
}
