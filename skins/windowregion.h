// The window's shape from the skin background, and the region file that carries it: the byte
// layout of a rectangle region (length, 32-byte header, rectangles in band order).
#pragma once

#include <QByteArray>
#include <QImage>
#include <QRegion>
#include <optional>
#include <vector>

namespace WindowRegion {

struct Rect {
    int left, top, right, bottom; // right and bottom exclusive
    friend bool operator==(const Rect &, const Rect &) = default;
};

// The pixels of `bitmap` whose colour is not `key` (alpha ignored), in normalised band order:
// rows with identical spans that touch vertically form one band. Column 0 is always outside;
// a row whose last pixel is inside also covers x = width, one past the bitmap's edge.
std::vector<Rect> shapeOf(const QImage &bitmap, QRgb key);

// The region file's bytes: N, then N bytes of region data.
QByteArray fileBytes(const std::vector<Rect> &rects);
// The rectangles of a region file; nothing when the file is damaged: a length that disagrees
// with the file or with the header's own counts, a foreign header, an empty rectangle, a
// coordinate beyond +-2^27, or rectangles out of band order. A length of 0 gives no rectangles.
std::optional<std::vector<Rect>> parseFile(const QByteArray &file);

QRegion toRegion(const std::vector<Rect> &rects);

// `image` with every pixel outside `shape` fully transparent, for a window system that shapes a
// window by its alpha channel alone.
QImage clearedOutside(const QImage &image, const QRegion &shape);

} // namespace WindowRegion
