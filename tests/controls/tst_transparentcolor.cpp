#include <QtTest>

#include "transparentcolor.h"

class tst_transparentcolor : public QObject {
    Q_OBJECT
private slots:
    void keyColourBecomesTransparent()
    {
        QImage image(3, 2, QImage::Format_RGB32);
        image.fill(Qt::red);
        image.setPixelColor(0, 1, Qt::magenta); // bottom left
        image.setPixelColor(2, 0, Qt::magenta);
        QCOMPARE(bottomLeftColor(image), QColor(Qt::magenta));
        QImage out = withTransparentColor(image, bottomLeftColor(image));
        QCOMPARE(qAlpha(out.pixel(0, 1)), 0);
        QCOMPARE(qAlpha(out.pixel(2, 0)), 0);
        QCOMPARE(out.pixelColor(1, 1), QColor(Qt::red));
        QVERIFY(!bottomLeftColor(QImage()).isValid());
    }

    // A picture that carries its own alpha: only its see-through pixels stay see-through, and
    // opaque black (the same RGB as a transparent pixel) is kept.
    void seeThroughCornerKeysNothingOpaque()
    {
        QImage image(2, 2, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        image.setPixelColor(1, 0, Qt::black);
        const QImage out = withTransparentColor(image, bottomLeftColor(image));
        QCOMPARE(out.pixelColor(1, 0), QColor(Qt::black));
        QCOMPARE(qAlpha(out.pixel(0, 0)), 0);
    }
};

QTEST_GUILESS_MAIN(tst_transparentcolor)
#include "tst_transparentcolor.moc"
