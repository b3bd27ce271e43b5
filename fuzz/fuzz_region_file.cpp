// The region file is read back from the skin folder at start-up, so any bytes may be there: they
// must give either nothing or rectangles that survive being written again and make a window
// region covering exactly them. The same bytes also draw a small bitmap, whose shape must read
// back from its region file and cover the pixels the shape rules say.
#include <QImage>
#include <QRegion>
#include <algorithm>
#include <climits>

#include "fuzzinput.h"
#include "windowregion.h"

namespace {

constexpr const char *Target = "fuzz_region_file";
constexpr QRgb White = 0xffffffff;

void readRegionFile(const QByteArray &bytes)
{
    const auto rects = WindowRegion::parseFile(bytes);
    if (!rects)
        return;
    check(WindowRegion::parseFile(WindowRegion::fileBytes(*rects)) == rects, Target,
          "an accepted file reads differently once written again");

    const QRegion region = WindowRegion::toRegion(*rects);
    check(region.isEmpty() == rects->empty(), Target, "the region's emptiness differs");
    int left = INT_MAX, top = INT_MAX, right = INT_MIN, bottom = INT_MIN;
    for (const WindowRegion::Rect &r : *rects) {
        check(region.contains(QPoint(r.left, r.top)) &&
                  region.contains(QPoint(r.right - 1, r.bottom - 1)),
              Target, "a rectangle's corner is outside the region");
        left = std::min(left, r.left);
        top = std::min(top, r.top);
        right = std::max(right, r.right);
        bottom = std::max(bottom, r.bottom);
    }
    if (!rects->empty())
        check(region.boundingRect() == QRect(QPoint(left, top), QPoint(right - 1, bottom - 1)),
              Target, "the region's bounds differ from the rectangles'");
    // What the window does with its mask.
    const QRegion visible = region.intersected(QRect(0, 0, 252, 412));
    check(visible.boundingRect().isEmpty() ||
              QRect(0, 0, 252, 412).contains(visible.boundingRect()),
          Target, "the visible part reaches outside the window");
}

// The first byte picks the width (1 to 24), each following bit is one pixel, set for white.
QImage bitmapOf(const QByteArray &bytes)
{
    if (bytes.size() < 2)
        return QImage();
    const int width = 1 + uchar(bytes[0]) % 24;
    const int height = std::min(int(bytes.size() - 1) * 8 / width, 64);
    if (height == 0)
        return QImage();
    QImage image(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const int bit = y * width + x;
            const bool white = (uchar(bytes[1 + bit / 8]) >> (bit % 8)) & 1;
            image.setPixel(x, y, white ? White : qRgb(20, 40, 80));
        }
    return image;
}

void shapeOfBitmap(const QImage &image)
{
    if (image.isNull())
        return;
    const std::vector<WindowRegion::Rect> rects = WindowRegion::shapeOf(image, White);
    check(WindowRegion::parseFile(WindowRegion::fileBytes(rects)) == rects, Target,
          "a computed shape does not read back from its region file");
    // Column 0 is outside, and a row whose last pixel is inside also covers x = width. A
    // bitmap one pixel wide has only the pixel past its edge.
    const int width = image.width();
    if (width < 2)
        return;
    const QRegion region = WindowRegion::toRegion(rects);
    for (int y = 0; y < image.height(); ++y)
        for (int x = -1; x <= width + 1; ++x) {
            const bool inside = (x >= 1 && x < width && image.pixel(x, y) != White) ||
                                (x == width && image.pixel(width - 1, y) != White);
            check(region.contains(QPoint(x, y)) == inside, Target,
                  "the shape differs from the bitmap's pixels");
        }
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes = inputBytes(data, size);
    readRegionFile(bytes);
    shapeOfBitmap(bitmapOf(bytes));
    return 0;
}
