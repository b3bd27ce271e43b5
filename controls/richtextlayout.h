// Rich text: a caption whose control characters switch bold, italic, underline, a highlight and an
// alternate font on and off. This is the screen-free part: the style state, the measuring
// interface, the layout pass that breaks a caption into line records, and the arithmetic that
// places those lines in a text area.
#pragma once

#include <QFont>
#include <QFontMetrics>
#include <QString>
#include <array>
#include <cstdint>
#include <optional>

#include "richtextlines.h"

// The style state: the font style bits in font order, then the label's own two switches.
namespace RichStyle {
constexpr quint8 Bold = 0x01;
constexpr quint8 Italic = 0x02;
constexpr quint8 Underline = 0x04;
constexpr quint8 StrikeOut = 0x08;
constexpr quint8 Highlight = 0x10;
constexpr quint8 AltFont = 0x20;
constexpr quint8 FontBits = Bold | Italic | Underline | StrikeOut | AltFont;

// The style a caption starts with: the font's own style bits.
quint8 fromFont(const QFont &font);
// The style after control character `code`; a code without a meaning changes nothing.
quint8 toggled(quint8 style, char16_t code);
} // namespace RichStyle

namespace RichCode {
constexpr char16_t Italic = 1;
constexpr char16_t Bold = 2;
constexpr char16_t Highlight = 3;
constexpr char16_t AltFont = 4;
constexpr char16_t Tab = 9;
constexpr char16_t LineFeed = 10;
constexpr char16_t Return = 13;
constexpr char16_t Rule = 16;
constexpr char16_t Underline = 21;

// Every code below a blank is a control character: it has no width and is never drawn.
inline bool isControl(QChar c)
{
    return c.unicode() < 32;
}
} // namespace RichCode

// How wide text is in the font that a style selects.
class RichTextMetrics {
public:
    virtual ~RichTextMetrics() = default;
    virtual int advance(const QString &text, quint8 style) const = 0;
};

// The label's two fonts: `Font`, and `AltFont` while the alternate-font bit is on; either one
// takes bold, italic, underline and strike-out from the style.
class RichTextFonts final : public RichTextMetrics {
public:
    RichTextFonts(const QFont &font, const QFont &altFont);

    QFont font(quint8 style) const;
    const QFontMetrics &metrics(quint8 style) const;
    int advance(const QString &text, quint8 style) const override;

private:
    QFont m_font;
    QFont m_altFont;
    mutable std::array<std::optional<QFontMetrics>, 64> m_metrics;
};

struct RichTextOptions {
    bool wordWrap = false;
    int wrapWidth = 0; // only with wordWrap
    int tabStops = 8;  // tab spacing in blank widths
    bool showAccelChar = true;
    quint8 startStyle = 0;
};

struct RichTextLayout {
    TLL lines;
    int widest = 0;
    // Caption index of the accelerator "&", or the caption's length + 1 when there is none.
    int accelIndex = 0;
};

// Breaks `caption` into lines: at carriage returns (a line feed right after one is skipped) and,
// with word wrap, before a word that would pass the wrap width. Control characters never split a
// word, and a word wider than the wrap width stays whole on its own line.
RichTextLayout layOutRichText(const QString &caption, const RichTextMetrics &metrics,
                              const RichTextOptions &options);

// Placing the lines in the text area.
namespace RichTextGeometry {
enum class Align { Left, Right, Center };
enum class VerticalLayout { Top, Center, Bottom };

// The first tab stop after `x`, stops every `step` pixels from 0; no move when `step` <= 0.
std::int64_t nextTabStop(std::int64_t x, std::int64_t step);
// The wrap width: what the margins leave of the text area, but never less than a line height.
int wrapWidth(int areaWidth, int leftMargin, int rightMargin, int lineHeight);
// The block's vertical offset in a text area `areaHeight` high.
int blockOffset(VerticalLayout layout, int areaHeight, int lineCount, int lineHeight);

// Lines [first, last] to paint for the rows [top, bottom] (inclusive) of the text area. One more
// line below is included because its glyphs can reach up into the rows above it.
struct LineSpan {
    int first = 0;
    int last = -1;
};
LineSpan linesToPaint(int top, int bottom, int topOrigin, int offset, int lineHeight,
                      int lineCount);

struct HorizontalPlacement {
    Align align = Align::Left;
    bool justified = false;
    int areaWidth = 0;
    int leftMargin = 0;
    int rightMargin = 0;
    int leftOrigin = 0;
};
// The x of a line's left end.
std::int64_t lineLeft(const HorizontalPlacement &place, const LineRecord &line);
// The pixels justification adds to the line in all.
int justifyExtra(const HorizontalPlacement &place, const LineRecord &line);
// The pixels added to stretchable blank `k` (0-based) when `extra` is spread over `spaces`.
int stretchOf(int extra, int spaces, int k);
} // namespace RichTextGeometry
