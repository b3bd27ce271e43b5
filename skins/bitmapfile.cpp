#include "bitmapfile.h"

#include <QtEndian>
#include <algorithm>
#include <cstdlib>

namespace BitmapFile {

namespace {

constexpr int FileHeaderSize = 14;
constexpr int CoreHeaderSize = 12;
constexpr int InfoHeaderSize = 40;

enum Compression : quint32 { Rgb = 0, Rle8 = 1, Rle4 = 2, BitFields = 3, AlphaBitFields = 6 };

template <typename T> T read(const QByteArray &bytes, int at)
{
    return qFromLittleEndian<T>(bytes.constData() + at);
}

// What the headers promise: the pixel data's start and its size in bytes; 0 when unknown.
struct Promise {
    qint64 start = 0;
    qint64 rowBytes = 0;
    qint64 rows = 0;
    qint64 total = 0; // compressed data: its stated size
};

bool fits(const Promise &promise, qint64 fileSize)
{
    const qint64 available = fileSize - promise.start;
    if (available < 0)
        return false;
    if (promise.total > 0)
        return promise.total <= available;
    // rowBytes * rows <= available, without overflowing.
    return promise.rows == 0 || promise.rowBytes <= available / promise.rows;
}

qint64 rowBytes(qint64 width, int bitCount)
{
    return (width * bitCount + 31) / 32 * 4;
}

} // namespace

bool holdsAllPixelData(const QByteArray &head, qint64 fileSize)
{
    if (head.size() < 2 || head[0] != 'B' || head[1] != 'M')
        return true;
    if (head.size() < FileHeaderSize + 4)
        return false;
    const quint32 dataOffset = read<quint32>(head, 10);
    const quint32 headerSize = read<quint32>(head, FileHeaderSize);
    if (headerSize != CoreHeaderSize && headerSize < InfoHeaderSize)
        return true;
    const int needed = FileHeaderSize + (headerSize == CoreHeaderSize ? CoreHeaderSize : 24);
    if (head.size() < needed)
        return false;

    Promise promise;
    // A data offset inside the headers is not believed; the data cannot start before their end.
    promise.start = std::max<qint64>(dataOffset, FileHeaderSize + qint64(headerSize));
    qint64 width = 0;
    int bitCount = 0;
    quint32 compression = Rgb;
    if (headerSize == CoreHeaderSize) {
        width = read<quint16>(head, 18);
        promise.rows = read<quint16>(head, 20);
        bitCount = read<quint16>(head, 24);
    } else {
        width = read<qint32>(head, 18);
        promise.rows = std::abs(qint64(read<qint32>(head, 22))); // negative: top-down
        bitCount = read<quint16>(head, 28);
        compression = read<quint32>(head, 30);
    }
    switch (compression) {
    case Rgb:
    case BitFields:
    case AlphaBitFields:
        if (width <= 0 || bitCount == 0)
            return true;
        promise.rowBytes = rowBytes(width, bitCount);
        break;
    case Rle8:
    case Rle4:
        promise.total = read<quint32>(head, 34);
        if (promise.total == 0)
            return true;
        break;
    default:
        return true;
    }
    return fits(promise, fileSize);
}

} // namespace BitmapFile
