#include <QtTest>

#include "trackbarthumb.h"

using namespace TrackBar;

namespace {
const QRgb Key = qRgb(255, 0, 255);

// Every column a colour of its own, so that a frame tells which columns it came from; the key
// colour at the bottom left and once inside the right frame.
QImage numberedColumns(int width, int height)
{
    QImage picture(width, height, QImage::Format_RGB32);
    for (int x = 0; x < width; ++x)
        for (int y = 0; y < height; ++y)
            picture.setPixel(x, y, qRgb(x, 100, 0));
    picture.setPixel(0, height - 1, Key);
    picture.setPixel(width - 1, 0, Key);
    return picture;
}
int sourceColumn(const QImage &frame, int x, int y = 1)
{
    return qRed(frame.pixel(x, y));
}
} // namespace

class tst_trackbarthumb : public QObject {
    Q_OBJECT
private slots:
    void oddWidthScalesTheWiderRightFrame()
    {
        const ThumbFrames frames = thumbFramesFromPicture(numberedColumns(45, 8));
        QCOMPARE(frames.normal.size(), QSize(22, 8));
        QCOMPARE(frames.pressed.size(), QSize(22, 8));
        for (int x = 0; x < 22; ++x)
            QCOMPARE(sourceColumn(frames.normal, x), x);
        // Columns 22..44 squeezed into 22: in order, from the first to the last, one left out.
        QCOMPARE(sourceColumn(frames.pressed, 0), 22);
        QCOMPARE(sourceColumn(frames.pressed, 21, 7), 44);
        for (int x = 1; x < 22; ++x) {
            const int step =
                sourceColumn(frames.pressed, x, 7) - sourceColumn(frames.pressed, x - 1, 7);
            QVERIFY2(step == 1 || step == 2, qPrintable(QString::number(x)));
        }
        // The key colour is transparent in both frames.
        QCOMPARE(qAlpha(frames.normal.pixel(0, 7)), 0);
        QCOMPARE(qAlpha(frames.pressed.pixel(21, 0)), 0);
        QCOMPARE(qAlpha(frames.normal.pixel(1, 7)), 255);
    }

    void evenWidthSplitsInHalves()
    {
        const QImage picture = numberedColumns(56, 10);
        const ThumbFrames frames = thumbFramesFromPicture(picture);
        QCOMPARE(frames.size(), QSize(28, 10));
        for (int x = 0; x < 28; ++x) {
            QCOMPARE(sourceColumn(frames.normal, x), x);
            QCOMPARE(sourceColumn(frames.pressed, x), 28 + x);
        }
    }

    void tooSmallPicturesGiveNoFrames_data()
    {
        QTest::addColumn<QImage>("picture");
        QTest::newRow("empty") << QImage();
        QTest::newRow("one column") << numberedColumns(1, 8);
    }
    void tooSmallPicturesGiveNoFrames()
    {
        QFETCH(QImage, picture);
        QVERIFY(thumbFramesFromPicture(picture).isNull());
    }

    // The standard thumb points at one-sided ticks: the corners on that side are see-through.
    void standardThumb_data()
    {
        QTest::addColumn<Orientation>("orientation");
        QTest::addColumn<TickMarks>("marks");
        QTest::addColumn<QSize>("size");
        QTest::addColumn<QPoint>("clearCorner"); // transparent, or (-1, -1) for none
        QTest::addColumn<QPoint>("solidCorner");
        QTest::newRow("below") << toHorizontal << tmBottomRight << QSize(11, 20) << QPoint(0, 19)
                               << QPoint(0, 0);
        QTest::newRow("above") << toHorizontal << tmTopLeft << QSize(11, 20) << QPoint(0, 0)
                               << QPoint(0, 19);
        QTest::newRow("both") << toHorizontal << tmBoth << QSize(11, 20) << QPoint(-1, -1)
                              << QPoint(10, 19);
        QTest::newRow("right") << toVertical << tmBottomRight << QSize(20, 11) << QPoint(19, 0)
                               << QPoint(0, 0);
        QTest::newRow("left") << toVertical << tmTopLeft << QSize(20, 11) << QPoint(0, 10)
                              << QPoint(19, 10);
    }
    void standardThumb()
    {
        QFETCH(Orientation, orientation);
        QFETCH(TickMarks, marks);
        QFETCH(QPoint, clearCorner);
        QFETCH(QPoint, solidCorner);
        const QColor face(200, 180, 40);
        const ThumbFrames frames = standardThumbFrames(face, orientation, marks);
        QTEST(frames.normal.size(), "size");
        QTEST(frames.pressed.size(), "size");
        const QPoint centre(frames.size().width() / 2, frames.size().height() / 2);
        QCOMPARE(frames.normal.pixelColor(centre), face);
        QVERIFY(frames.pressed != frames.normal); // hatched
        QCOMPARE(qAlpha(frames.normal.pixel(solidCorner)), 255);
        if (clearCorner.x() >= 0) {
            QCOMPARE(qAlpha(frames.normal.pixel(clearCorner)), 0);
            QCOMPARE(qAlpha(frames.pressed.pixel(clearCorner)), 0);
        } else {
            for (int y = 0; y < frames.size().height(); ++y)
                for (int x = 0; x < frames.size().width(); ++x)
                    QCOMPARE(qAlpha(frames.normal.pixel(x, y)), 255);
        }
    }
};

QTEST_GUILESS_MAIN(tst_trackbarthumb)
#include "tst_trackbarthumb.moc"
