#include "speedbutton.h"

#include <QMouseEvent>
#include <QPainter>
#include <QPointer>
#include <qdrawutil.h>

#include "transparentcolor.h"

TLMDSpeedButton::TLMDSpeedButton(QWidget *parent)
    : QWidget(parent), m_color(palette().color(QPalette::Button))
{
    setFocusPolicy(Qt::NoFocus);
}

void TLMDSpeedButton::setGlyph(const QImage &glyph)
{
    m_glyph = glyph;
    m_shownGlyph = glyph.isNull() ? QImage() : withTransparentColor(glyph, bottomLeftColor(glyph));
    update();
}

void TLMDSpeedButton::setNumGlyphs(int count)
{
    m_numGlyphs = std::clamp(count, 1, 4);
    update();
}

void TLMDSpeedButton::setFlat(bool flat)
{
    m_flat = flat;
    update();
}

void TLMDSpeedButton::setGroupIndex(int index)
{
    m_groupIndex = index;
    if (index == 0)
        changeDown(false);
    else
        updateGroup();
}

void TLMDSpeedButton::setAllowAllUp(bool allow)
{
    m_allowAllUp = allow;
    updateGroup();
}

void TLMDSpeedButton::setDown(bool down)
{
    if (m_groupIndex == 0 || down == m_down)
        return;
    if (!down && !m_allowAllUp)
        return;
    changeDown(down);
    updateGroup();
}

void TLMDSpeedButton::setTransparent(bool transparent)
{
    m_transparent = transparent;
    update();
}

void TLMDSpeedButton::setColor(const QColor &color)
{
    m_color = color;
    update();
}

void TLMDSpeedButton::changeDown(bool down)
{
    if (down == m_down)
        return;
    m_down = down;
    update();
    emit downChanged(down);
}

QList<TLMDSpeedButton *> TLMDSpeedButton::groupMembers() const
{
    QList<TLMDSpeedButton *> members;
    if (m_groupIndex == 0 || parent() == nullptr)
        return members;
    for (TLMDSpeedButton *button :
         parent()->findChildren<TLMDSpeedButton *>(Qt::FindDirectChildrenOnly))
        if (button != this && button->m_groupIndex == m_groupIndex)
            members.append(button);
    return members;
}

// A group shares AllowAllUp, and at most one of its buttons is down.
void TLMDSpeedButton::updateGroup()
{
    for (TLMDSpeedButton *member : groupMembers()) {
        member->m_allowAllUp = m_allowAllUp;
        if (m_down)
            member->changeDown(false);
    }
}

SpeedButtonLook TLMDSpeedButton::look() const
{
    return ButtonGlyph::look(isEnabled(), m_down, m_pressed && m_pointerInside);
}

QSize TLMDSpeedButton::sizeHint() const
{
    const QRect frame = ButtonGlyph::frameRect(m_glyph.size(), m_numGlyphs, 0);
    return frame.size().expandedTo(QSize(16, 16)) + QSize(6, 6);
}

void TLMDSpeedButton::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    if (!m_transparent)
        painter.fillRect(rect(), m_color);
    const SpeedButtonLook current = look();
    const bool sunk = ButtonGlyph::isSunk(current);
    // Edges shaded from the face colour, so that a skin's dark buttons get dark edges.
    const QPalette shades(m_color);
    if (!m_flat)
        qDrawWinButton(&painter, rect(), shades, sunk, nullptr);
    else if (sunk)
        qDrawShadePanel(&painter, rect(), shades, true, 1, nullptr);
    const QRect frame = ButtonGlyph::frameRect(m_shownGlyph.size(), m_numGlyphs,
                                               ButtonGlyph::frameIndex(current, m_numGlyphs));
    if (!frame.isEmpty())
        painter.drawImage(ButtonGlyph::frameOrigin(size(), frame.size(), sunk), m_shownGlyph,
                          frame);
}

void TLMDSpeedButton::mousePressEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton) {
        event->ignore();
        return;
    }
    m_pressed = true;
    m_pointerInside = true;
    update();
}

void TLMDSpeedButton::mouseMoveEvent(QMouseEvent *event)
{
    if (!m_pressed)
        return;
    const bool inside = rect().contains(event->position().toPoint());
    if (inside != m_pointerInside) {
        m_pointerInside = inside;
        update();
    }
}

void TLMDSpeedButton::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton || !m_pressed)
        return;
    const bool clickedHere = rect().contains(event->position().toPoint());
    m_pressed = false;
    m_pointerInside = false;
    update();
    if (clickedHere)
        click();
}

void TLMDSpeedButton::click()
{
    if (!isEnabled())
        return;
    if (m_groupIndex != 0) {
        changeDown(ButtonGlyph::downAfterClick(m_down, m_groupIndex, m_allowAllUp));
        updateGroup();
    }
    emit clicked();
}

void TLMDSpeedButton::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::EnabledChange) {
        m_pressed = false;
        update();
    }
    QWidget::changeEvent(event);
}
