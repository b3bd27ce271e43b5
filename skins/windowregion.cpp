#include "windowregion.h"

#include <QPainter>
#include <QtEndian>
#include <algorithm>
#include <climits>

namespace WindowRegion {

namespace {

constexpr int HeaderSize = 32;
constexpr int RectSize = 16;
constexpr int RectanglesKind = 1;
// The coordinates a platform region holds. Within them every width and height, also that of
// the bounds, fits in an int, which Qt's rectangles need.
constexpr qint32 CoordinateLimit = 1 << 27;

struct Span {
    int left, right;
    friend bool operator==(const Span &, const Span &) = default;
};

// The inside runs of one row: after each outside pixel (and after column 0) up to the next
// outside pixel; past the bitmap's edge counts as inside, so a run that reaches it ends at
// width + 1.
std::vector<Span> rowSpans(const QRgb *row, int width, QRgb key)
{
    std::vector<Span> spans;
    int start = 0;
    while (true) {
        int x = start + 1;
        while (x <= width && (x >= width || (row[x] & 0xffffff) != key))
            ++x;
        if (start != width && x > start + 1)
            spans.push_back({start + 1, x});
        if (x >= width - 1)
            break;
        start = x;
    }
    return spans;
}

void put32(QByteArray &bytes, qint32 value)
{
    char raw[4];
    qToLittleEndian(value, raw);
    bytes.append(raw, 4);
}

qint32 get32(const char *data)
{
    return qFromLittleEndian<qint32>(data);
}

} // namespace

std::vector<Rect> shapeOf(const QImage &bitmap, QRgb key)
{
    const QImage image = bitmap.convertToFormat(QImage::Format_RGB32);
    key &= 0xffffff;
    std::vector<Rect> rects;
    std::vector<Span> band;
    size_t bandStart = 0; // where the open band's rectangles begin in `rects`
    for (int y = 0; y < image.height(); ++y) {
        const auto *row = reinterpret_cast<const QRgb *>(image.constScanLine(y));
        std::vector<Span> spans = rowSpans(row, image.width(), key);
        const bool continuesBand =
            !spans.empty() && spans == band && bandStart < rects.size() && rects.back().bottom == y;
        if (continuesBand) {
            for (size_t i = bandStart; i < rects.size(); ++i)
                rects[i].bottom = y + 1;
            continue;
        }
        bandStart = rects.size();
        for (const Span &span : spans)
            rects.push_back({span.left, y, span.right, y + 1});
        band = std::move(spans);
    }
    return rects;
}

QByteArray fileBytes(const std::vector<Rect> &rects)
{
    Rect bounds{0, 0, 0, 0};
    if (!rects.empty()) {
        bounds = {INT_MAX, INT_MAX, INT_MIN, INT_MIN};
        for (const Rect &r : rects)
            bounds = {std::min(bounds.left, r.left), std::min(bounds.top, r.top),
                      std::max(bounds.right, r.right), std::max(bounds.bottom, r.bottom)};
    }
    const auto count = qint32(rects.size());
    QByteArray bytes;
    put32(bytes, HeaderSize + RectSize * count);
    for (qint32 field : {HeaderSize, RectanglesKind, count, RectSize * count, bounds.left,
                         bounds.top, bounds.right, bounds.bottom})
        put32(bytes, field);
    for (const Rect &r : rects)
        for (qint32 field : {r.left, r.top, r.right, r.bottom})
            put32(bytes, field);
    return bytes;
}

std::optional<std::vector<Rect>> parseFile(const QByteArray &file)
{
    if (file.size() < 4)
        return std::nullopt;
    const qint32 length = get32(file.constData());
    if (length == 0)
        return std::vector<Rect>();
    // The claimed length is checked against what the file holds before anything is read.
    if (length < HeaderSize || length > file.size() - 4)
        return std::nullopt;
    const char *data = file.constData() + 4;
    const qint32 count = get32(data + 8);
    if (get32(data) != HeaderSize || get32(data + 4) != RectanglesKind || count < 0 ||
        count > (length - HeaderSize) / RectSize)
        return std::nullopt;
    std::vector<Rect> rects;
    rects.reserve(size_t(count));
    for (qint32 i = 0; i < count; ++i) {
        const char *r = data + HeaderSize + RectSize * i;
        const Rect rect{get32(r), get32(r + 4), get32(r + 8), get32(r + 12)};
        if (rect.left >= rect.right || rect.top >= rect.bottom)
            return std::nullopt;
        for (qint32 coordinate : {rect.left, rect.top, rect.right, rect.bottom})
            if (coordinate < -CoordinateLimit || coordinate > CoordinateLimit)
                return std::nullopt;
        // Bands from top to bottom, left to right within a band, nothing overlapping.
        if (!rects.empty()) {
            const Rect &last = rects.back();
            const bool sameBand = rect.top == last.top && rect.bottom == last.bottom;
            if (sameBand ? rect.left < last.right : rect.top < last.bottom)
                return std::nullopt;
        }
        rects.push_back(rect);
    }
    return rects;
}

QRegion toRegion(const std::vector<Rect> &rects)
{
    QList<QRect> list;
    list.reserve(qsizetype(rects.size()));
    for (const Rect &r : rects)
        if (r.right > r.left && r.bottom > r.top)
            list << QRect(QPoint(r.left, r.top), QPoint(r.right - 1, r.bottom - 1));
    QRegion region;
    region.setRects(list.constData(), int(list.size()));
    return region;
}

QImage clearedOutside(const QImage &image, const QRegion &shape)
{
    QImage cut = image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    QPainter painter(&cut);
    painter.setCompositionMode(QPainter::CompositionMode_Clear);
    painter.setClipRegion(QRegion(cut.rect()).subtracted(shape));
    painter.fillRect(cut.rect(), Qt::transparent);
    return cut;
}

} // namespace WindowRegion
