#include "ledlabel.h"

#include "controlaccessibility.h"

#include <QImage>
#include <QPainter>

TLMDLEDCustomLabel::TLMDLEDCustomLabel(QWidget *parent)
    : QWidget(parent), m_led(new TLMDLED(this)), m_bevel(new TLMDBevel(this))
{
    resize(30, 30);
    m_led->SetBackColor(m_color);
    connect(m_led, &TLMDLED::Changed, this, &TLMDLEDCustomLabel::Change);
    // A new frame changes the inner rectangle and, with Autosize, the size.
    connect(m_bevel, &TLMDBevel::Changed, this, &TLMDLEDCustomLabel::Change);
}

void TLMDLEDCustomLabel::SetAutosize(bool value)
{
    if (value == m_autosize)
        return;
    m_autosize = value;
    Change();
}

void TLMDLEDCustomLabel::SetColor(QColor value)
{
    value = QColor::fromRgb(value.rgb());
    if (value == m_color)
        return;
    m_color = value;
    m_led->SetBackColor(value);
    // The LED stays silent when it already had this background, yet the picture changed.
    update();
}

void TLMDLEDCustomLabel::SetDigits(int value)
{
    if (value < 1 || value > 255 || value == m_digits)
        return;
    m_digits = value;
    Change();
}

void TLMDLEDCustomLabel::SetStyle(TLMDLEDStyle value)
{
    if (value == m_style)
        return;
    m_style = value;
    Change();
}

void TLMDLEDCustomLabel::SetTransparent(bool value)
{
    if (value == m_transparent)
        return;
    m_transparent = value;
    update();
}

void TLMDLEDCustomLabel::SetCaption(const QString &value)
{
    if (value == m_caption)
        return;
    m_caption = value;
    Change();
    notifyAccessibleText(this);
}

void TLMDLEDCustomLabel::SetValue(int value)
{
    if (value == m_value)
        return;
    m_value = value;
    // Always exactly Digits characters wide, so the size cannot change.
    if (m_style == lsInteger)
        repaint();
}

QString TLMDLEDCustomLabel::DisplayText() const
{
    return m_style == lsInteger ? LedGlyphs::formatValue(m_value, m_digits) : m_caption;
}

void TLMDLEDCustomLabel::AdjustSize()
{
    resize(m_led->MeasureText(DisplayText(), m_bevel->TotalWidth()).size());
}

void TLMDLEDCustomLabel::Change()
{
    // Painting sets the LED's background, which reports a change of its own.
    if (m_painting)
        return;
    if (m_autosize)
        AdjustSize();
    // A transparent label needs its parent painted first; an opaque one can show the change now.
    if (m_transparent)
        update();
    else
        repaint();
}

void TLMDLEDCustomLabel::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    const QRect inner = m_bevel->Paint(painter, rect(), m_transparent);
    if (inner.isEmpty())
        return;

    // Real alpha rather than a colour key: lit segments show whatever their colour.
    const QColor back = m_transparent ? QColor(Qt::transparent) : m_color;
    QImage bitmap(inner.size(), QImage::Format_ARGB32_Premultiplied);
    bitmap.fill(back);
    m_painting = true;
    m_led->SetBackColor(back);
    {
        QPainter canvas(&bitmap);
        canvas.setClipRect(bitmap.rect());
        m_led->DrawText(&canvas, bitmap.rect(), DisplayText(), isEnabled(), true);
    }
    m_painting = false;
    painter.drawImage(inner.topLeft(), bitmap);
}

TLMDLEDLabel::TLMDLEDLabel(QWidget *parent) : TLMDLEDCustomLabel(parent) {}
