// Bitmaps whose pixel data is shorter than their headers say, by every layout the check reads.
#include <QBuffer>
#include <QtEndian>
#include <QtTest>

#include "bitmapfile.h"

namespace {

QByteArray bmpOf(const QImage &image)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "BMP");
    return bytes;
}

QByteArray colourBitmap()
{
    QImage image(252, 412, QImage::Format_RGB32);
    image.fill(Qt::darkCyan);
    return bmpOf(image);
}

// 13 pixels of one bit each: rows padded to four bytes.
QByteArray monoBitmap()
{
    QImage image(13, 7, QImage::Format_Mono);
    image.fill(1);
    return bmpOf(image);
}

void put32(QByteArray &bytes, int at, qint32 value)
{
    qToLittleEndian(value, bytes.data() + at);
}

QByteArray topDown(QByteArray bmp)
{
    put32(bmp, 22, -qFromLittleEndian<qint32>(bmp.constData() + 22));
    return bmp;
}

// Run-length coded: the data's size is stated in the header.
QByteArray rle8(int statedSize, int dataBytes)
{
    QByteArray bmp = colourBitmap().left(54);
    put32(bmp, 10, 54);
    put32(bmp, 30, 1);
    put32(bmp, 34, statedSize);
    return bmp + QByteArray(dataBytes, '\0');
}

// The old 12-byte header: 16-bit sizes, no compression.
QByteArray coreHeader(int width, int height, int dataBytes)
{
    QByteArray bmp(26, '\0');
    bmp[0] = 'B';
    bmp[1] = 'M';
    put32(bmp, 10, 26);
    put32(bmp, 14, 12);
    qToLittleEndian<quint16>(quint16(width), bmp.data() + 18);
    qToLittleEndian<quint16>(quint16(height), bmp.data() + 20);
    qToLittleEndian<quint16>(1, bmp.data() + 22);
    qToLittleEndian<quint16>(24, bmp.data() + 24);
    return bmp + QByteArray(dataBytes, '\0');
}

} // namespace

class tst_bitmapfile : public QObject {
    Q_OBJECT
private slots:
    void pixelDataMustBeComplete_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<bool>("complete");
        const QByteArray colour = colourBitmap();
        QTest::newRow("whole") << colour << true;
        QTest::newRow("with bytes after it") << colour + "tail" << true;
        QTest::newRow("cut to 1000 bytes") << colour.left(1000) << false;
        QTest::newRow("cut in half") << colour.left(colour.size() / 2) << false;
        QTest::newRow("one byte short") << colour.chopped(1) << false;
        QTest::newRow("headers only, cut") << colour.left(30) << false;
        QTest::newRow("signature only") << QByteArray("BM") << false;
        QTest::newRow("top-down, whole") << topDown(colour) << true;
        QTest::newRow("top-down, cut") << topDown(colour).chopped(4) << false;
        const QByteArray mono = monoBitmap();
        QTest::newRow("padded rows, whole") << mono << true;
        QTest::newRow("padded rows, last padding cut") << mono.chopped(1) << false;
        QTest::newRow("run-length, whole") << rle8(100, 100) << true;
        QTest::newRow("run-length, cut") << rle8(100, 99) << false;
        QTest::newRow("run-length, size unstated") << rle8(0, 10) << true;
        QTest::newRow("old header, whole") << coreHeader(3, 2, 2 * 12) << true;
        QTest::newRow("old header, cut") << coreHeader(3, 2, 2 * 12 - 1) << false;
        QByteArray huge = colour.left(54);
        put32(huge, 18, 0x7fffffff);
        put32(huge, 22, INT_MIN);
        QTest::newRow("huge sizes") << huge << false;
        QTest::newRow("not a bitmap") << QByteArray("GIF89a") << true;
    }
    void pixelDataMustBeComplete()
    {
        QFETCH(QByteArray, file);
        QFETCH(bool, complete);
        QCOMPARE(BitmapFile::holdsAllPixelData(file.left(BitmapFile::HeadSize), file.size()),
                 complete);
    }
};

QTEST_GUILESS_MAIN(tst_bitmapfile)
#include "tst_bitmapfile.moc"
