#include "label.h"

#include <QEvent>

#include "widgetlook.h"

TLMDLabel::TLMDLabel(QWidget *parent) : QLabel(parent)
{
    setTextFormat(Qt::PlainText);
    setAlignment(Qt::AlignLeft | Qt::AlignTop);
    setAutoFillBackground(false);
}

void TLMDLabel::setCaption(const QString &caption)
{
    setText(caption);
    fitIfAutoSize();
}

QColor TLMDLabel::fontColor() const
{
    return palette().color(QPalette::WindowText);
}

void TLMDLabel::setFontColor(const QColor &color)
{
    setPaletteColor(*this, QPalette::WindowText, color);
}

void TLMDLabel::setFontName(const QString &family)
{
    setFontFamily(*this, family);
}

void TLMDLabel::setTransparent(bool transparent)
{
    setAutoFillBackground(!transparent);
    update();
}

QColor TLMDLabel::color() const
{
    return palette().color(QPalette::Window);
}

void TLMDLabel::setColor(const QColor &color)
{
    setPaletteColor(*this, QPalette::Window, color);
}

void TLMDLabel::setMultiLine(bool multiLine)
{
    setWordWrap(multiLine);
    fitIfAutoSize();
}

void TLMDLabel::setAutoSize(bool autoSize)
{
    m_autoSize = autoSize;
    fitIfAutoSize();
}

void TLMDLabel::changeEvent(QEvent *event)
{
    QLabel::changeEvent(event);
    if (event->type() == QEvent::FontChange)
        fitIfAutoSize();
}

void TLMDLabel::fitIfAutoSize()
{
    if (m_autoSize)
        adjustSize();
}
