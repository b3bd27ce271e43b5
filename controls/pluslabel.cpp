#include "pluslabel.h"

#include "richtextpainter.h"

#include <QEvent>
#include <QPaintEvent>
#include <QPainter>
#include <algorithm>
#include <limits>

using namespace RichTextGeometry;

static_assert(int(VerticalLayout::Top) == TPlusLabel::tlTop &&
              int(VerticalLayout::Center) == TPlusLabel::tlCenter &&
              int(VerticalLayout::Bottom) == TPlusLabel::tlBottom);

namespace {
bool isBlack(const QColor &color)
{
    return !color.isValid() || (color.rgb() & 0xffffff) == 0;
}

int clampToInt(std::int64_t value)
{
    return int(std::clamp<std::int64_t>(value, std::numeric_limits<int>::min(),
                                        std::numeric_limits<int>::max()));
}
} // namespace

TPlusLabel::TPlusLabel(QWidget *parent) : QWidget(parent)
{
    measureFont();
    relayout();
}

TPlusLabel::~TPlusLabel() = default;

void TPlusLabel::setCaption(const QString &caption)
{
    if (caption == m_caption)
        return;
    m_caption = caption;
    relayout();
    adjustToContents();
    update();
}

void TPlusLabel::setAlignment(TAlignment alignment)
{
    m_alignment = alignment;
    update();
}

void TPlusLabel::setAutoSize(bool autoSize)
{
    m_autoSize = autoSize;
    adjustToContents();
}

QColor TPlusLabel::color() const
{
    return m_color.isValid() ? m_color : palette().color(QPalette::Window);
}

void TPlusLabel::setColor(const QColor &color)
{
    m_color = color;
    update();
}

QColor TPlusLabel::fontColor() const
{
    return palette().color(QPalette::WindowText);
}

void TPlusLabel::setFontColor(const QColor &color)
{
    // The disabled group keeps its grey.
    QPalette changed = palette();
    changed.setColor(QPalette::Active, QPalette::WindowText, color);
    changed.setColor(QPalette::Inactive, QPalette::WindowText, color);
    setPalette(changed);
}

void TPlusLabel::setShowAccelChar(bool show)
{
    if (show == m_showAccelChar)
        return;
    m_showAccelChar = show;
    relayout();
    adjustToContents();
    update();
}

void TPlusLabel::setTransparent(bool transparent)
{
    m_transparent = transparent;
    update();
}

void TPlusLabel::setWordWrap(bool wrap)
{
    if (wrap == m_wordWrap)
        return;
    m_wordWrap = wrap;
    relayout();
    adjustToContents();
    update();
}

void TPlusLabel::setTextLayout(TTextLayout layout)
{
    m_textLayout = layout;
    update();
}

void TPlusLabel::setAltFont(const QFont &font)
{
    m_altFont = font;
    measureFont();
    relayout();
    adjustToContents();
    update();
}

void TPlusLabel::setBorderStyle(TBorderStyle style)
{
    m_borderStyle = style;
    relayoutIfWrapping();
}

void TPlusLabel::setHighlightColor(const QColor &color)
{
    m_highlightColor = color;
    update();
}

void TPlusLabel::setHighlightBackgnd(const QColor &color)
{
    m_highlightBackgnd = color;
    update();
}

void TPlusLabel::setJustified(bool justified)
{
    m_justified = justified;
    update();
}

void TPlusLabel::setLeftMargin(int margin)
{
    m_leftMargin = margin;
    relayoutIfWrapping();
}

void TPlusLabel::setRightMargin(int margin)
{
    m_rightMargin = margin;
    relayoutIfWrapping();
}

void TPlusLabel::setLeftOrigin(int origin)
{
    m_leftOrigin = origin;
    update();
}

void TPlusLabel::setTopOrigin(int origin)
{
    m_topOrigin = origin;
    update();
}

int TPlusLabel::lineHeight() const
{
    return m_fixedLineHeight > 0 ? m_fixedLineHeight : m_fontLineHeight;
}

void TPlusLabel::setLineHeight(int height)
{
    m_fixedLineHeight = std::max(height, 0);
    relayoutIfWrapping(); // the wrap width is never less than a line
}

void TPlusLabel::setTabStops(int stops)
{
    m_tabStops = stops;
    relayout();
    adjustToContents();
    update();
}

const TLL &TPlusLabel::lines() const
{
    ensureLayout();
    return m_laidOut.lines;
}

int TPlusLabel::widestLine() const
{
    ensureLayout();
    return m_laidOut.widest;
}

int TPlusLabel::accelIndex() const
{
    ensureLayout();
    return m_laidOut.accelIndex;
}

QSize TPlusLabel::sizeHint() const
{
    ensureLayout();
    const int frame = m_borderStyle == bsSingle ? 2 : 0;
    const int height = clampToInt(std::int64_t(m_laidOut.lines.count()) * lineHeight() + frame);
    if (m_wordWrap)
        return {width(), height};
    return {clampToInt(std::int64_t(m_laidOut.widest) + m_leftMargin + m_rightMargin + frame),
            height};
}

void TPlusLabel::measureFont()
{
    const QFontMetrics metrics(font());
    m_fontLineHeight = std::max(metrics.height(), 1);
    m_fontDescent = metrics.descent();
    m_tabUnit = metrics.horizontalAdvance(u' ');
    m_fonts = std::make_unique<RichTextFonts>(font(), m_altFont);
}

void TPlusLabel::relayout() const
{
    const int areaWidth = textArea().width();
    RichTextOptions options;
    options.wordWrap = m_wordWrap;
    options.wrapWidth = wrapWidth(areaWidth, m_leftMargin, m_rightMargin, lineHeight());
    options.tabStops = m_tabStops;
    options.showAccelChar = m_showAccelChar;
    options.startStyle = RichStyle::fromFont(font());
    m_laidOut = layOutRichText(m_caption, *m_fonts, options);
    m_layoutAreaWidth = areaWidth;
}

void TPlusLabel::ensureLayout() const
{
    if (m_wordWrap && textArea().width() != m_layoutAreaWidth)
        relayout();
}

void TPlusLabel::relayoutIfWrapping()
{
    if (m_wordWrap)
        relayout();
    adjustToContents();
    update();
}

void TPlusLabel::adjustToContents()
{
    updateGeometry();
    if (m_autoSize)
        resize(sizeHint());
}

QRect TPlusLabel::textArea() const
{
    return m_borderStyle == bsSingle ? rect().adjusted(1, 1, -1, -1) : rect();
}

HorizontalPlacement TPlusLabel::placement() const
{
    HorizontalPlacement place;
    place.align = m_alignment == taRightJustify ? Align::Right
                  : m_alignment == taCenter     ? Align::Center
                                                : Align::Left;
    place.justified = m_justified;
    place.areaWidth = textArea().width();
    place.leftMargin = m_leftMargin;
    place.rightMargin = m_rightMargin;
    place.leftOrigin = m_leftOrigin;
    return place;
}

void TPlusLabel::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    if (m_wordWrap && textArea().width() != m_layoutAreaWidth) {
        relayout();
        adjustToContents();
    }
}

void TPlusLabel::changeEvent(QEvent *event)
{
    QWidget::changeEvent(event);
    if (event->type() == QEvent::FontChange || event->type() == QEvent::ParentChange) {
        measureFont();
        relayout();
        adjustToContents();
        update();
    }
}

void TPlusLabel::paintEvent(QPaintEvent *event)
{
    ensureLayout();
    QPainter painter(this);
    if (!m_transparent)
        painter.fillRect(event->rect(), color());
    const QRect area = textArea();
    if (m_borderStyle == bsSingle) {
        painter.setPen(Qt::black);
        painter.drawRect(rect().adjusted(0, 0, -1, -1));
    }
    painter.setClipRect(area, Qt::IntersectClip);
    painter.translate(area.topLeft());

    const int height = lineHeight();
    const TLL &records = m_laidOut.lines;
    const int offset =
        blockOffset(VerticalLayout(m_textLayout), area.height(), records.count(), height);
    const QRect dirty = event->rect().translated(-area.topLeft());
    const LineSpan span =
        linesToPaint(dirty.top(), dirty.bottom(), m_topOrigin, offset, height, records.count());

    RichTextPaintSettings settings;
    settings.caption = m_caption;
    settings.accelIndex = m_laidOut.accelIndex;
    settings.place = placement();
    settings.lineHeight = height;
    settings.baselineOffset = height - m_fontDescent - 1;
    settings.tabOrigin = std::int64_t(m_leftMargin) - m_leftOrigin;
    settings.tabStep = std::int64_t(m_tabStops) * m_tabUnit;
    settings.enabled = isEnabled();
    settings.text = palette().color(settings.enabled ? QPalette::Active : QPalette::Disabled,
                                    QPalette::WindowText);
    settings.highlight = m_highlightColor;
    if (!isBlack(m_highlightBackgnd))
        settings.highlightBackgnd = m_highlightBackgnd;
    for (int index = span.first; index <= span.last; ++index) {
        const int top = clampToInt(std::int64_t(index) * height + offset - m_topOrigin);
        paintRichTextLine(painter, *m_fonts, settings, records.get(index), top);
    }
}
