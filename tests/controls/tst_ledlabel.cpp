#include <QPainter>
#include <QtTest>

#include "ledlabel.h"

namespace {

const QColor lit(0x00, 0xff, 0x00);
const QColor unlit(0x00, 0x80, 0x00);
const QColor behind(0x20, 0x30, 0x90); // the parent's background

QImage shot(QWidget &widget)
{
    return widget.grab().toImage().convertToFormat(QImage::Format_RGB32);
}

int countColour(const QImage &image, QColor colour)
{
    int count = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            count += image.pixelColor(x, y) == colour;
    return count;
}

// A parent that paints one flat colour.
class Backdrop : public QWidget {
public:
    Backdrop()
    {
        resize(100, 70);
        QPalette palette;
        palette.setColor(QPalette::Window, behind);
        setPalette(palette);
        setAutoFillBackground(true);
    }
};

// The main window's time display.
void configureTimeDisplay(TLMDLEDLabel &label)
{
    label.setGeometry(12, 24, 65, 31);
    label.Bevel()->SetMode(TLMDBevel::bmCustom);
    label.Bevel()->SetBorderWidth(1);
    label.Bevel()->SetBorderInnerWidth(1);
    label.Bevel()->SetStandardStyle(TLMDBevel::lsSingleLowered);
    label.LED()->SetHorzsize(6);
    label.LED()->SetVertsize(6);
    label.LED()->SetThickness(1);
    label.SetTransparent(true);
    label.SetCaption("00:00");
}

// An opaque black label sized to its text, without a frame.
QImage render(const QString &text, int horz = 9, int vert = 7, int thickness = 2,
              bool enabled = true)
{
    TLMDLEDLabel label;
    label.SetAutosize(true);
    label.LED()->SetHorzsize(horz);
    label.LED()->SetVertsize(vert);
    label.LED()->SetThickness(thickness);
    label.SetCaption(text);
    label.setEnabled(enabled);
    return shot(label);
}

class PaintCounter : public QObject {
public:
    int paints = 0;
    bool eventFilter(QObject *, QEvent *event) override
    {
        paints += event->type() == QEvent::Paint;
        return false;
    }
};

} // namespace

class tst_ledlabel : public QObject {
    Q_OBJECT
private slots:
    // "00:00": five 11 x 19 cells inside the two-pixel frame allowance; a transparent label
    // draws no frame and shows no unlit bars, so only segments and the parent are seen.
    void timeDisplay()
    {
        Backdrop parent;
        TLMDLEDLabel label(&parent);
        configureTimeDisplay(label);
        const QImage image = shot(parent).copy(label.geometry());
        const QRect cells(2, 2, 55, 19);
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                if (!cells.contains(x, y))
                    QCOMPARE(image.pixelColor(x, y), behind);

        QList<QPoint> zeroLit, zeroDark = {{5, 9}, {5, 3}, {5, 12}, {7, 8}, {5, 11}, {3, 16}};
        for (int i = 0; i < 7; ++i)
            zeroLit << QPoint(2 + i, 1) << QPoint(2 + i, 17) << QPoint(1, 2 + i) << QPoint(9, 2 + i)
                    << QPoint(1, 10 + i) << QPoint(9, 10 + i);
        zeroLit << QPoint(3, 3) << QPoint(5, 8) << QPoint(7, 11) << QPoint(9, 16);
        const QImage first = image.copy(2, 2, 11, 19);
        for (int k = 0; k < 5; ++k) {
            const QImage cell = image.copy(2 + 11 * k, 2, 11, 19);
            if (k == 2) { // the colon: two 2 x 2 dots
                QCOMPARE(countColour(cell, lit), 8);
                for (QPoint p : {QPoint(4, 8), QPoint(5, 9), QPoint(4, 16), QPoint(5, 17)})
                    QCOMPARE(cell.pixelColor(p), lit);
                continue;
            }
            QCOMPARE(cell, first);
            // Six 7-pixel bars and two 6-pixel diagonals, the lower one ending on the right
            // upright.
            QCOMPARE(countColour(cell, lit), 52);
            for (QPoint p : zeroLit)
                QVERIFY2(cell.pixelColor(p) == lit,
                         qPrintable(QString("%1,%2").arg(p.x()).arg(p.y())));
            for (QPoint p : zeroDark)
                QVERIFY(cell.pixelColor(p) != lit);
            QCOMPARE(countColour(cell, lit) + countColour(cell, unlit) + countColour(cell, behind),
                     11 * 19);
        }
    }

    // On a transparent label only the background lets the parent through: a lit colour equal to
    // the label's own Color still shows.
    void litSegmentsShowInTheLabelsOwnColour_data()
    {
        QTest::addColumn<QColor>("colour");
        QTest::newRow("black") << QColor(Qt::black);
        QTest::newRow("red") << QColor(Qt::red);
    }
    void litSegmentsShowInTheLabelsOwnColour()
    {
        QFETCH(QColor, colour);
        Backdrop parent;
        TLMDLEDLabel label(&parent);
        configureTimeDisplay(label);
        label.SetColor(colour);
        label.LED()->SetActiveColor(colour);
        const QImage cell = shot(parent).copy(label.geometry()).copy(2, 2, 11, 19);
        QCOMPARE(countColour(cell, colour), 52);
        QCOMPARE(countColour(cell, colour) + countColour(cell, unlit) + countColour(cell, behind),
                 cell.width() * cell.height());
    }

    void onlyCoreSegmentsInSmallCells_data()
    {
        QTest::addColumn<int>("horz");
        QTest::addColumn<int>("vert");
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("anyLit");
        QTest::newRow("narrow 8") << 3 << 7 << "8" << true;
        QTest::newRow("narrow 1") << 3 << 7 << "1" << false;
        QTest::newRow("narrow :") << 3 << 7 << ":" << false;
        QTest::newRow("narrow .") << 3 << 7 << "." << false;
        QTest::newRow("narrow X") << 3 << 7 << "X" << false;
        QTest::newRow("low 1") << 9 << 3 << "1" << false;
        QTest::newRow("4 x 4 1") << 4 << 4 << "1" << true;
        QTest::newRow("4 x 4 :") << 4 << 4 << ":" << true;
    }
    void onlyCoreSegmentsInSmallCells()
    {
        QFETCH(int, horz);
        QFETCH(int, vert);
        QFETCH(QString, text);
        QFETCH(bool, anyLit);
        const QImage image = render(text, horz, vert);
        QCOMPARE(countColour(image, lit) > 0, anyLit);
        QVERIFY(countColour(image, unlit) > 0); // the unlit pattern is drawn all the same
    }

    void zeroLosesItsDiagonalWhenNarrow()
    {
        QCOMPARE(render("0", 3, 7), render("O", 3, 7));
        QVERIFY(render("0") != render("O"));
    }

    // Thickness 1: every lit segment is a one-pixel line; unlit bars and uprights vanish.
    void thinSegments_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QPoint>("start");
        QTest::addColumn<QPoint>("step");
        QTest::newRow("top") << "8" << QPoint(2, 1) << QPoint(1, 0);
        QTest::newRow("middle") << "8" << QPoint(2, 9) << QPoint(1, 0);
        QTest::newRow("bottom") << "8" << QPoint(2, 17) << QPoint(1, 0);
        QTest::newRow("upper left") << "8" << QPoint(1, 2) << QPoint(0, 1);
        QTest::newRow("upper right") << "8" << QPoint(9, 2) << QPoint(0, 1);
        QTest::newRow("lower left") << "8" << QPoint(1, 10) << QPoint(0, 1);
        QTest::newRow("lower right") << "8" << QPoint(9, 10) << QPoint(0, 1);
        QTest::newRow("upper centre") << "1" << QPoint(5, 2) << QPoint(0, 1);
        QTest::newRow("lower centre") << "1" << QPoint(5, 10) << QPoint(0, 1);
    }
    void thinSegments()
    {
        QFETCH(QString, text);
        QFETCH(QPoint, start);
        QFETCH(QPoint, step);
        const QImage image = render(text, 6, 6, 1);
        const QPoint across(step.y(), step.x());
        for (int i = 0; i < 7; ++i) {
            const QPoint p = start + i * step;
            QCOMPARE(image.pixelColor(p), lit);
            QVERIFY(image.pixelColor(p - across) != lit);
            QVERIFY(image.pixelColor(p + across) != lit);
        }
    }

    void thinUnlitBarsVanish()
    {
        const QImage blank = render(" ", 6, 6, 1);
        // Only the three one-pixel dots keep an area.
        QCOMPARE(countColour(blank, unlit), 3);
        QCOMPARE(countColour(blank, Qt::black), blank.width() * blank.height() - 3);
    }

    void dither_data()
    {
        QTest::addColumn<int>("horz");
        QTest::addColumn<int>("thickness");
        QTest::addColumn<QColor>("back");
        QTest::addColumn<QColor>("inactive");
        QTest::newRow("default") << 9 << 2 << QColor(Qt::black) << unlit;
        QTest::newRow("other colours") << 9 << 2 << QColor(0, 0, 0x80) << QColor(0xff, 0xff, 0);
        QTest::newRow("thick") << 10 << 3 << QColor(Qt::black) << unlit;
    }
    void dither()
    {
        QFETCH(int, horz);
        QFETCH(int, thickness);
        QFETCH(QColor, back);
        QFETCH(QColor, inactive);
        TLMDLEDLabel label;
        label.SetAutosize(true);
        label.SetColor(back);
        label.LED()->SetInActiveColor(inactive);
        label.LED()->SetHorzsize(horz);
        label.LED()->SetThickness(thickness);
        label.SetCaption("  ");
        const QImage image = shot(label);
        const QSize cell = label.LED()->CellSize();
        QVERIFY(cell.width() % 2 == 1); // so the second cell starts on the other parity
        const QImage first = image.copy(QRect(QPoint(0, 0), cell));
        QCOMPARE(image.copy(QRect(QPoint(cell.width(), 0), cell)), first);
        int dots = 0;
        for (int y = 0; y < cell.height(); ++y)
            for (int x = 0; x < cell.width(); ++x) {
                const QColor colour = first.pixelColor(x, y);
                QVERIFY(colour == back || colour == inactive);
                if (colour == inactive) {
                    QVERIFY((x + y) % 2 == 0);
                    ++dots;
                }
            }
        QVERIFY(dots > 20);
    }

    void disabled_data()
    {
        QTest::addColumn<bool>("disabledDigits");
        QTest::addColumn<bool>("enabled");
        QTest::addColumn<bool>("shown");
        QTest::newRow("disabled, digits off") << true << false << false;
        QTest::newRow("enabled") << true << true << true;
        QTest::newRow("disabled, digits kept") << false << false << true;
    }
    void disabled()
    {
        QFETCH(bool, disabledDigits);
        QFETCH(bool, enabled);
        QFETCH(bool, shown);
        TLMDLEDLabel label;
        label.SetAutosize(true);
        label.LED()->SetDisabledDigits(disabledDigits);
        label.SetCaption("88");
        label.setEnabled(enabled);
        const QImage image = shot(label);
        QCOMPARE(countColour(image, lit) > 0, shown);
        if (!shown)
            QCOMPARE(image, render("  "));
    }

    void textLayout_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("sameAs");
        QTest::newRow("line feed") << "8\n8"
                                   << "88";
        QTest::newRow("tab and control") << "A\tB\x01"
                                         << "AB";
    }
    void textLayout()
    {
        QFETCH(QString, text);
        QFETCH(QString, sameAs);
        QCOMPARE(render(text), render(sameAs));
    }

    void carriageReturnStartsALineBelow()
    {
        const QImage one = render("8");
        const QImage two = render("8\r8");
        QCOMPARE(two.size(), QSize(one.width(), 2 * one.height()));
        QCOMPARE(two.copy(0, 0, one.width(), one.height()), one);
        QCOMPARE(two.copy(0, one.height(), one.width(), one.height()), one);
    }

    // 1.5 million cells 1530 pixels wide reach far past the range of int; only the first shows.
    void longTextInBigCells()
    {
        TLMDLEDLabel label;
        label.LED()->SetHorzsize(255);
        label.LED()->SetVertsize(255);
        label.LED()->SetThickness(255);
        label.SetCaption(QString(1500000, '8'));
        QCOMPARE(shot(label).pixelColor(29, 29), QColor(Qt::black));
    }

    void autosizeFollowsChanges()
    {
        TLMDLEDLabel label;
        QCOMPARE(label.size(), QSize(30, 30));
        label.SetAutosize(true);
        QCOMPARE(label.size(), QSize(20, 28)); // an empty text is one cell
        label.SetCaption("00:00");
        QCOMPARE(label.size(), QSize(96, 28));
        label.Bevel()->SetMode(TLMDBevel::bmCustom);
        label.Bevel()->SetBorderWidth(1);
        label.Bevel()->SetBorderInnerWidth(1);
        QCOMPARE(label.size(), QSize(100, 32));
        label.LED()->SetHorzsize(6);
        label.LED()->SetVertsize(6);
        label.LED()->SetThickness(1);
        QCOMPARE(label.size(), QSize(60, 23));
        label.SetCaption("0\r0");
        QCOMPARE(label.size(), QSize(16, 42));
        label.SetStyle(TLMDLEDLabel::lsInteger);
        label.SetDigits(4);
        QCOMPARE(label.size(), QSize(49, 23));
    }

    void integerStyle_data()
    {
        QTest::addColumn<int>("value");
        QTest::addColumn<int>("digits");
        QTest::addColumn<QString>("shown");
        QTest::newRow("padded") << 7 << 2 << "07";
        QTest::newRow("too wide") << 123 << 2 << "--";
        QTest::newRow("negative") << -7 << 3 << "-07";
        QTest::newRow("digits 0 refused") << 7 << 0 << "07";
        QTest::newRow("digits 256 refused") << 7 << 256 << "07";
    }
    void integerStyle()
    {
        QFETCH(int, value);
        QFETCH(int, digits);
        QFETCH(QString, shown);
        TLMDLEDLabel label;
        label.SetAutosize(true);
        label.SetCaption("ignored");
        label.SetStyle(TLMDLEDLabel::lsInteger);
        label.SetDigits(digits);
        label.SetValue(value);
        QCOMPARE(label.DisplayText(), shown);
        QCOMPARE(shot(label), render(shown));
    }

    void ledNotifications()
    {
        TLMDLED led;
        QSignalSpy changed(&led, &TLMDLED::Changed);
        led.SetHorzsize(9);
        led.SetActiveColor(QColor(0, 255, 0));
        led.SetDisabledDigits(true);
        QCOMPARE(changed.count(), 0); // equal values do nothing
        led.SetThickness(3);
        led.SetBackColor(Qt::blue);
        led.SetDisabledDigits(false);
        QCOMPARE(changed.count(), 3);
        led.SetVertsize(300);
        QCOMPARE(led.Vertsize(), 255);

        changed.clear();
        led.BeginUpdate();
        led.BeginUpdate();
        led.SetHorzsize(5);
        led.SetInActiveColor(Qt::red);
        led.EndUpdate();
        QCOMPARE(changed.count(), 0);
        led.EndUpdate();
        QCOMPARE(changed.count(), 1);
        led.BeginUpdate();
        led.EndUpdate();
        led.EndUpdate(); // unbalanced: ignored
        QCOMPARE(changed.count(), 1);

        TLMDLED copy;
        QSignalSpy copied(&copy, &TLMDLED::Changed);
        copy.Assign(led);
        QCOMPARE(copied.count(), 1);
        QCOMPARE(copy.Sizes().horz, 5);
        QCOMPARE(copy.Sizes().thickness, 3);
        QCOMPARE(copy.InActiveColor(), QColor(Qt::red));
        QCOMPARE(copy.DisabledDigits(), false);
        QCOMPARE(copy.BackColor(), QColor(Qt::black)); // not copied
    }

    void cellImageRebuiltOnlyOnChange()
    {
        TLMDLED led;
        QImage canvas(100, 40, QImage::Format_RGB32);
        QPainter painter(&canvas);
        led.DrawText(&painter, canvas.rect(), "12", true, true);
        const qint64 built = led.CellImage().cacheKey();
        led.DrawText(&painter, canvas.rect(), "34", false, true);
        led.SetInActiveColor(led.InActiveColor());
        led.SetDisabledDigits(false);
        QCOMPARE(led.CellImage().cacheKey(), built);
        led.SetInActiveColor(Qt::red);
        QVERIFY(led.CellImage().cacheKey() != built);
        QCOMPARE(led.CellImage().pixelColor(5, 3), QColor(Qt::red)); // inside the top bar
    }

    void blinking()
    {
        TLMDLED led;
        led.SetBlinking(true);
        QList<int> litPixels;
        for (int i = 0; i < 3; ++i) {
            QImage canvas(led.CellSize(), QImage::Format_RGB32);
            canvas.fill(Qt::black);
            QPainter painter(&canvas);
            led.DrawText(&painter, canvas.rect(), "8", true, true);
            litPixels << countColour(canvas, lit);
        }
        QVERIFY(litPixels[0] > 0);
        QCOMPARE(litPixels[1], 0);
        QCOMPARE(litPixels[2], litPixels[0]);
    }

    // An opaque label shows a change at once; a transparent one waits for its parent.
    void repaintTiming_data()
    {
        QTest::addColumn<bool>("transparent");
        QTest::addColumn<bool>("integer");
        QTest::addColumn<bool>("setValue");
        QTest::addColumn<bool>("atOnce");
        QTest::addColumn<bool>("later");
        QTest::newRow("opaque caption") << false << false << false << true << true;
        QTest::newRow("transparent caption") << true << false << false << false << true;
        QTest::newRow("opaque value") << false << true << true << true << true;
        QTest::newRow("value not shown") << false << false << true << false << false;
    }
    void repaintTiming()
    {
        QFETCH(bool, transparent);
        QFETCH(bool, integer);
        QFETCH(bool, setValue);
        QFETCH(bool, atOnce);
        QFETCH(bool, later);
        Backdrop parent;
        TLMDLEDLabel label(&parent);
        label.SetTransparent(transparent);
        label.SetStyle(integer ? TLMDLEDLabel::lsInteger : TLMDLEDLabel::lsString);
        parent.show();
        QVERIFY(QTest::qWaitForWindowExposed(&parent));
        QTest::qWait(20);
        PaintCounter counter;
        label.installEventFilter(&counter);
        if (setValue)
            label.SetValue(42);
        else
            label.SetCaption("12:34");
        QCOMPARE(counter.paints > 0, atOnce);
        QTest::qWait(50);
        QCOMPARE(counter.paints > 0, later);
    }

    void bevelWidth_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<int>("standard");
        QTest::addColumn<int>("outer");
        QTest::addColumn<int>("inner");
        QTest::addColumn<int>("borders");
        QTest::addColumn<int>("width");
        QTest::newRow("new") << int(TLMDBevel::bmStandard) << 0 << 0 << 0 << 0 << 0;
        QTest::newRow("custom frames") << int(TLMDBevel::bmCustom) << 0 << 0 << 0 << 1 << 2;
        QTest::newRow("custom cuts") << int(TLMDBevel::bmCustom) << 0 << 1 << 2 << 3 << 8;
        QTest::newRow("single lowered") << int(TLMDBevel::bmStandard) << 2 << 0 << 0 << 0 << 1;
        QTest::newRow("raised") << int(TLMDBevel::bmStandard) << 5 << 0 << 0 << 0 << 2;
    }
    void bevelWidth()
    {
        QFETCH(int, mode);
        QFETCH(int, standard);
        QFETCH(int, outer);
        QFETCH(int, inner);
        QFETCH(int, borders);
        QFETCH(int, width);
        TLMDBevel bevel;
        bevel.SetMode(TLMDBevel::TLMDBevelMode(mode));
        bevel.SetStandardStyle(TLMDBevel::TLMDStandardStyle(standard));
        bevel.SetStyleOuter(TLMDBevel::TBevelCut(outer));
        bevel.SetStyleInner(TLMDBevel::TBevelCut(inner));
        bevel.SetBorderWidth(borders);
        bevel.SetBorderInnerWidth(borders);
        QCOMPARE(bevel.TotalWidth(), width);
        QImage canvas(20, 20, QImage::Format_RGB32);
        QPainter painter(&canvas);
        QCOMPARE(bevel.Paint(painter, canvas.rect(), false),
                 canvas.rect().adjusted(width, width, -width, -width));
    }

    // Frames are drawn on an opaque label and left out on a transparent one.
    void customFrame_data()
    {
        QTest::addColumn<bool>("transparent");
        QTest::addColumn<QColor>("frame");
        QTest::newRow("opaque") << false << QColor(Qt::red);
        QTest::newRow("transparent") << true << behind;
    }
    void customFrame()
    {
        QFETCH(bool, transparent);
        QFETCH(QColor, frame);
        Backdrop parent;
        TLMDLEDLabel label(&parent);
        label.SetTransparent(transparent);
        label.SetColor(Qt::blue);
        label.Bevel()->SetMode(TLMDBevel::bmCustom);
        label.Bevel()->SetBorderColor(Qt::red);
        label.Bevel()->SetBorderWidth(1);
        label.Bevel()->SetBorderInnerWidth(1);
        label.SetCaption(" ");
        const QImage image = shot(parent).copy(label.geometry());
        for (QPoint p : {QPoint(0, 0), QPoint(1, 1), QPoint(29, 29), QPoint(28, 15)})
            QCOMPARE(image.pixelColor(p), frame);
        QCOMPARE(image.pixelColor(2, 2), transparent ? behind : QColor(Qt::blue));

        label.resize(4, 4); // the frame leaves nothing inside
        label.SetCaption("8");
        const QImage tiny = shot(parent).copy(label.geometry());
        QCOMPARE(countColour(tiny, Qt::blue) + countColour(tiny, lit), 0);
    }
};

QTEST_MAIN(tst_ledlabel)
#include "tst_ledlabel.moc"
