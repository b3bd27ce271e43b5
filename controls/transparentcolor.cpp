#include "transparentcolor.h"

QColor bottomLeftColor(const QImage &image)
{
    if (image.isNull())
        return {};
    return image.pixelColor(0, image.height() - 1);
}

QImage withTransparentColor(const QImage &image, QColor key)
{
    QImage result = image.convertToFormat(QImage::Format_ARGB32);
    // Alpha counts: a picture whose corner is already see-through keys out nothing opaque.
    const QRgb keyRgba = key.rgba();
    for (int y = 0; y < result.height(); ++y) {
        auto *line = reinterpret_cast<QRgb *>(result.scanLine(y));
        for (int x = 0; x < result.width(); ++x)
            if (line[x] == keyRgba)
                line[x] = 0;
    }
    return result.convertToFormat(QImage::Format_ARGB32_Premultiplied);
}
