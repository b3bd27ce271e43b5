// The window's shape from a background, the region file's bytes, reading region files back,
// and the region the window is given.
#include <QtTest>
#include <climits>

#include "windowregion.h"

using WindowRegion::Rect;
using Rects = std::vector<Rect>;

namespace WindowRegion {
// Readable failure messages for QCOMPARE.
char *toString(const Rects &rects)
{
    QByteArray text = "{";
    for (const Rect &r : rects)
        text += QByteArray(" [") + QByteArray::number(r.left) + ',' + QByteArray::number(r.top) +
                ',' + QByteArray::number(r.right) + ',' + QByteArray::number(r.bottom) + ']';
    return qstrdup(text + " }");
}
char *toString(const std::optional<Rects> &rects)
{
    return rects ? toString(*rects) : qstrdup("rejected");
}
} // namespace WindowRegion

namespace {

const QRgb White = 0xffffffff;

// A bitmap drawn in text: '.' is white (the key colour), '#' is dark blue, 'o' is a white
// one step off in blue.
QImage bitmapOf(const QStringList &rows)
{
    QImage image(int(rows.value(0).size()), int(rows.size()), QImage::Format_RGB32);
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QChar c = rows[y][x];
            image.setPixel(x, y,
                           c == QLatin1Char('.')   ? White
                           : c == QLatin1Char('o') ? qRgb(255, 255, 254)
                                                   : qRgb(20, 40, 80));
        }
    return image;
}

QByteArray fromHex(const char *hex)
{
    return QByteArray::fromHex(QByteArray(hex).replace(' ', ""));
}

// A region file of two rectangles; the tests below spoil one field at a time.
const char *const ValidFile = "40000000"                              // N = 64
                              " 20000000 01000000 02000000 20000000"  // header 32, kind, R, 16R
                              " 01000000 00000000 05000000 03000000"  // bounds
                              " 01000000 00000000 05000000 01000000"  // [1,0,5,1]
                              " 02000000 01000000 03000000 03000000"; // [2,1,3,3]

} // namespace

Q_DECLARE_METATYPE(Rects)

class tst_windowregion : public QObject {
    Q_OBJECT

private slots:
    void shape_data()
    {
        QTest::addColumn<QStringList>("rows");
        QTest::addColumn<Rects>("rects");

        QTest::newRow("column 0 outside, last pixel inside covers x = width")
            << QStringList{"####"} << Rects{{1, 0, 5, 1}};
        QTest::newRow("white in column 0 changes nothing")
            << QStringList{".###"} << Rects{{1, 0, 5, 1}};
        QTest::newRow("white last pixel ends the row there")
            << QStringList{"###."} << Rects{{1, 0, 3, 1}};
        QTest::newRow("two white pixels at the end") << QStringList{"###.."} << Rects{{1, 0, 3, 1}};
        QTest::newRow("white after column 0") << QStringList{"#.##."} << Rects{{2, 0, 4, 1}};
        QTest::newRow("runs split by white")
            << QStringList{"#.#.#"} << Rects{{2, 0, 3, 1}, {4, 0, 6, 1}};
        QTest::newRow("only exact white is outside") << QStringList{"oooo"} << Rects{{1, 0, 5, 1}};
        QTest::newRow("identical rows merge into one band")
            << QStringList{"#.##", "#.##", "#.##"} << Rects{{2, 0, 5, 3}};
        QTest::newRow("column 0 does not split a band")
            << QStringList{"##", ".#", "##"} << Rects{{1, 0, 3, 3}};
        QTest::newRow("differing row starts a new band")
            << QStringList{"####", "##.#", "##.#"}
            << Rects{{1, 0, 5, 1}, {1, 1, 2, 3}, {3, 1, 5, 3}};
        QTest::newRow("fewer runs is a differing row")
            << QStringList{"#.#.#", "#.#.."} << Rects{{2, 0, 3, 1}, {4, 0, 6, 1}, {2, 1, 3, 2}};
        QTest::newRow("white row breaks bands")
            << QStringList{"###.", "....", "###."} << Rects{{1, 0, 3, 1}, {1, 2, 3, 3}};
        QTest::newRow("band returns after a different row")
            << QStringList{"#.#", "###", "#.#"} << Rects{{2, 0, 4, 1}, {1, 1, 4, 2}, {2, 2, 4, 3}};
        QTest::newRow("all white") << QStringList{"....", "....", "...."} << Rects{};
        QTest::newRow("one pixel wide") << QStringList{"#", "#", "#"} << Rects{{1, 0, 2, 3}};
        QTest::newRow("two pixels wide, last white") << QStringList{"#.", "#."} << Rects{};
    }
    void shape()
    {
        QFETCH(QStringList, rows);
        QFETCH(Rects, rects);
        QCOMPARE(WindowRegion::shapeOf(bitmapOf(rows), White), rects);
    }

    void windowSizedBackground()
    {
        // The default test skin: a window-sized background with white corners.
        QImage background(252, 412, QImage::Format_RGB32);
        background.fill(qRgb(20, 40, 80));
        for (QPoint corner : {QPoint(0, 0), QPoint(251, 0), QPoint(0, 411), QPoint(251, 411)})
            background.setPixel(corner, White);
        QCOMPARE(WindowRegion::shapeOf(background, White),
                 (Rects{{1, 0, 251, 1}, {1, 1, 253, 411}, {1, 411, 251, 412}}));
    }

    void shapeIgnoresFormatAndAlpha()
    {
        QImage indexed = bitmapOf({"#.##"}).convertToFormat(QImage::Format_Indexed8);
        QCOMPARE(WindowRegion::shapeOf(indexed, White), (Rects{{2, 0, 5, 1}}));
        // The key is matched on its colour: an opaque or a transparent key is the same key.
        QCOMPARE(WindowRegion::shapeOf(bitmapOf({"#.##"}), 0x00ffffff), (Rects{{2, 0, 5, 1}}));
        QCOMPARE(WindowRegion::shapeOf(QImage(), White), Rects{});
    }

    void fileLayout()
    {
        const QByteArray expected = fromHex("40000000"
                                            " 20000000 01000000 02000000 20000000"
                                            " ffffffff 00000000 2c010000 03000000"
                                            " ffffffff 00000000 2c010000 01000000"
                                            " 02000000 01000000 03000000 03000000");
        QCOMPARE(WindowRegion::fileBytes({{-1, 0, 300, 1}, {2, 1, 3, 3}}), expected);
    }

    void emptyRegionFile()
    {
        const QByteArray expected = fromHex("20000000"
                                            " 20000000 01000000 00000000 00000000"
                                            " 00000000 00000000 00000000 00000000");
        QCOMPARE(WindowRegion::fileBytes({}), expected);
        QCOMPARE(WindowRegion::parseFile(expected), std::optional(Rects{}));
    }

    void roundTrip_data()
    {
        QTest::addColumn<Rects>("rects");
        QTest::newRow("one") << Rects{{1, 0, 5, 1}};
        QTest::newRow("bands") << Rects{{2, 0, 3, 1}, {4, 0, 6, 1}, {1, 1, 2, 3}, {3, 1, 5, 3}};
        QTest::newRow("window sized")
            << Rects{{1, 0, 251, 1}, {1, 1, 253, 411}, {1, 411, 251, 412}};
        QTest::newRow("negative coordinates") << Rects{{-5, -7, -1, -2}};
        QTest::newRow("widest coordinates")
            << Rects{{-(1 << 27), -(1 << 27), 1 << 27, 1 - (1 << 27)}, {0, 1 << 26, 1, 1 << 27}};
    }
    void roundTrip()
    {
        QFETCH(Rects, rects);
        QCOMPARE(WindowRegion::parseFile(WindowRegion::fileBytes(rects)), std::optional(rects));
    }

    void validFileReads()
    {
        QCOMPARE(WindowRegion::parseFile(fromHex(ValidFile)),
                 std::optional(Rects{{1, 0, 5, 1}, {2, 1, 3, 3}}));
        // Bytes after the region data are not part of it.
        QCOMPARE(WindowRegion::parseFile(fromHex(ValidFile) + "trailing"),
                 std::optional(Rects{{1, 0, 5, 1}, {2, 1, 3, 3}}));
    }

    void lengthZeroMeansNoShape()
    {
        QCOMPARE(WindowRegion::parseFile(fromHex("00000000")), std::optional(Rects{}));
    }

    void damagedFilesRejected_data()
    {
        QTest::addColumn<int>("offset"); // of the 32-bit field replaced, -1 for none
        QTest::addColumn<qint64>("value");
        QTest::addColumn<int>("cut"); // bytes cut off the end

        QTest::newRow("length larger than the file") << 0 << qint64(65) << 0;
        QTest::newRow("file cut short") << -1 << qint64(0) << 1;
        QTest::newRow("shorter than the length field") << -1 << qint64(0) << 65;
        QTest::newRow("negative length") << 0 << qint64(-64) << 0;
        QTest::newRow("length below the header") << 0 << qint64(16) << 0;
        QTest::newRow("header size 40") << 4 << qint64(40) << 0;
        QTest::newRow("kind 2") << 8 << qint64(2) << 0;
        QTest::newRow("count beyond the length") << 12 << qint64(3) << 0;
        QTest::newRow("negative count") << 12 << qint64(-1) << 0;
        QTest::newRow("huge count") << 12 << qint64(0x7fffffff) << 0;
        QTest::newRow("empty rectangle") << 44 << qint64(1) << 0;      // [1,0,1,1]
        QTest::newRow("inside-out rectangle") << 44 << qint64(0) << 0; // [1,0,0,1]
        QTest::newRow("no height") << 48 << qint64(0) << 0;            // [1,0,5,0]
        QTest::newRow("right beyond 2^27") << 44 << qint64(0x8000001) << 0;
        QTest::newRow("top at the smallest integer") << 40 << qint64(INT_MIN) << 0;
        QTest::newRow("band above the last band") << 56 << qint64(-1) << 0; // [2,-1,3,3]
        QTest::newRow("bands overlap") << 56 << qint64(0) << 0;             // [2,0,3,3]
    }
    void damagedFilesRejected()
    {
        QFETCH(int, offset);
        QFETCH(qint64, value);
        QFETCH(int, cut);
        QByteArray file = fromHex(ValidFile);
        if (offset >= 0)
            qToLittleEndian(qint32(value), file.data() + offset);
        file.chop(cut);
        QCOMPARE(WindowRegion::parseFile(file), std::optional<Rects>());
    }

    void rectanglesOutOfOrderRejected_data()
    {
        QTest::addColumn<Rects>("rects");
        QTest::newRow("right to left in a band") << Rects{{4, 0, 6, 1}, {1, 0, 2, 1}};
        QTest::newRow("overlapping in a band") << Rects{{1, 0, 4, 1}, {3, 0, 6, 1}};
        QTest::newRow("bands bottom to top") << Rects{{1, 2, 3, 3}, {1, 0, 3, 1}};
        QTest::newRow("same top, other height") << Rects{{1, 0, 3, 2}, {4, 0, 6, 1}};
    }
    void rectanglesOutOfOrderRejected()
    {
        QFETCH(Rects, rects);
        QCOMPARE(WindowRegion::parseFile(WindowRegion::fileBytes(rects)), std::optional<Rects>());
    }

    void regionCoversExactlyTheRectangles()
    {
        const QRegion region = WindowRegion::toRegion({{1, 0, 5, 1}, {2, 1, 3, 3}});
        const QStringList inside = {".####.", "..#...", "..#...", "......"};
        for (int y = -1; y <= 4; ++y)
            for (int x = -1; x <= 6; ++x) {
                const bool expected =
                    y >= 0 && y < 4 && x >= 0 && x < 6 && inside[y][x] == QLatin1Char('#');
                QVERIFY2(region.contains(QPoint(x, y)) == expected,
                         qPrintable(QStringLiteral("pixel %1,%2").arg(x).arg(y)));
            }
        QVERIFY(WindowRegion::toRegion({}).isEmpty());
    }

    // The shape made from a background, cut back out of it: what lies outside is see-through,
    // what lies inside keeps its colour exactly, also where it is the key colour's near twin.
    void backgroundClearedOutsideItsShape()
    {
        const QImage background = bitmapOf({"..##..", ".#o##.", "######", "......"});
        const QRegion shape = WindowRegion::toRegion(WindowRegion::shapeOf(background, White));
        const QImage cut = WindowRegion::clearedOutside(background, shape);
        QCOMPARE(cut.size(), background.size());
        QVERIFY(cut.hasAlphaChannel());
        for (int y = 0; y < cut.height(); ++y)
            for (int x = 0; x < cut.width(); ++x) {
                const QString at = QStringLiteral("pixel %1,%2").arg(x).arg(y);
                const QRgb pixel = cut.pixel(x, y);
                if (shape.contains(QPoint(x, y)))
                    QVERIFY2(pixel == background.pixel(x, y), qPrintable(at));
                else
                    QVERIFY2(qAlpha(pixel) == 0, qPrintable(at));
            }
        // No shape leaves nothing to show.
        const QImage none = WindowRegion::clearedOutside(background, QRegion());
        QCOMPARE(qAlpha(none.pixel(3, 2)), 0);
    }
};

QTEST_MAIN(tst_windowregion)
#include "tst_windowregion.moc"
