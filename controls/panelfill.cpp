#include "panelfill.h"

#include <QPaintEvent>
#include <QPainter>

TLMDPanelFill::TLMDPanelFill(QWidget *parent) : QWidget(parent) {}

void TLMDPanelFill::setFillStyle(TFillStyle style)
{
    m_fillStyle = style;
    update();
}

void TLMDPanelFill::setBitmap(const QImage &bitmap)
{
    m_bitmap = bitmap;
    m_tile = QPixmap::fromImage(bitmap);
    update();
}

void TLMDPanelFill::paintEvent(QPaintEvent *event)
{
    if (m_fillStyle != sfBitmap || m_tile.isNull())
        return;
    QPainter painter(this);
    // Tiles keep their phase from the panel's corner, whatever part is repainted.
    painter.drawTiledPixmap(event->rect(), m_tile, event->rect().topLeft());
}
