// A plain container that paints nothing, or a bitmap tiled from its top-left corner; children
// that leave their background unpainted show the bitmap.
#pragma once

#include <QImage>
#include <QPixmap>
#include <QWidget>

class TLMDPanelFill : public QWidget {
    Q_OBJECT
    Q_PROPERTY(TFillStyle FillStyle READ fillStyle WRITE setFillStyle)
    Q_PROPERTY(QImage Bitmap READ bitmap WRITE setBitmap)

public:
    enum TFillStyle { sfNone, sfBitmap };
    Q_ENUM(TFillStyle)

    explicit TLMDPanelFill(QWidget *parent = nullptr);

    TFillStyle fillStyle() const { return m_fillStyle; }
    void setFillStyle(TFillStyle style);
    QImage bitmap() const { return m_bitmap; }
    void setBitmap(const QImage &bitmap);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    TFillStyle m_fillStyle = sfNone;
    QImage m_bitmap;
    QPixmap m_tile;
};
