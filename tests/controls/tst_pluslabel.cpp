#include <QFontDatabase>
#include <QtTest>
#include <climits>

#include "pluslabel.h"

namespace {
QFont labelFont()
{
    QFont font(QStringLiteral("Liberation Sans"));
    font.setPixelSize(11);
    return font;
}

int w(const QString &text, bool bold = false)
{
    QFont font = labelFont();
    font.setBold(bold);
    return QFontMetrics(font).horizontalAdvance(text);
}

int lineHeight()
{
    return QFontMetrics(labelFont()).height();
}

std::unique_ptr<TPlusLabel> makeLabel(const QString &caption, int width, int height = 40)
{
    auto label = std::make_unique<TPlusLabel>();
    label->setAutoSize(false);
    label->setFont(labelFont());
    label->setAltFont(labelFont());
    label->setColor(Qt::white);
    label->setFontColor(Qt::black);
    label->resize(width, height);
    label->setCaption(caption);
    return label;
}

QImage render(TPlusLabel &label)
{
    return label.grab().toImage().convertToFormat(QImage::Format_RGB32);
}

bool near(QRgb pixel, QColor colour, int tolerance = 40)
{
    return std::abs(qRed(pixel) - colour.red()) <= tolerance &&
           std::abs(qGreen(pixel) - colour.green()) <= tolerance &&
           std::abs(qBlue(pixel) - colour.blue()) <= tolerance;
}

// Pixels near `colour` in the rectangle.
int count(const QImage &image, QRect area, QColor colour, int tolerance = 40)
{
    int found = 0;
    area &= image.rect();
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            found += near(image.pixel(x, y), colour, tolerance);
    return found;
}

// Columns of the first and last pixel in rows [top, bottom] that are not white.
std::pair<int, int> inkColumns(const QImage &image, int top, int bottom)
{
    int first = image.width(), last = -1;
    for (int y = top; y <= bottom; ++y)
        for (int x = 0; x < image.width(); ++x)
            if (!near(image.pixel(x, y), Qt::white, 60)) {
                first = std::min(first, x);
                last = std::max(last, x);
            }
    return {first, last};
}
} // namespace

class tst_pluslabel : public QObject {
    Q_OBJECT
private slots:
    void initTestCase()
    {
        for (const char *file : {"Regular", "Bold"})
            QVERIFY(QFontDatabase::addApplicationFont(QStringLiteral(NORL_TEST_FONT_DIR) +
                                                      "/LiberationSans-" + file + ".ttf") >= 0);
    }

    void highlight_data()
    {
        QTest::addColumn<QColor>("backgnd");
        QTest::addColumn<bool>("filled");
        QTest::newRow("yellow background") << QColor(Qt::yellow) << true;
        QTest::newRow("black means none") << QColor(Qt::black) << false;
    }
    // Highlighted text takes the highlight colour, never the font's, on its own background
    // unless that is black.
    void highlight()
    {
        QFETCH(QColor, backgnd);
        QFETCH(bool, filled);
        auto label = makeLabel(QStringLiteral("ab \x03HIGH\x03 cd"), 120);
        label->setHighlightColor(Qt::red);
        label->setHighlightBackgnd(backgnd);
        const QImage image = render(*label);
        const QRect high(w("ab ") + 1, 0, w("HIGH") - 2, lineHeight() - 1);
        QVERIFY(count(image, high, Qt::red, 80) > 10);
        QCOMPARE(count(image, high, Qt::black, 80), 0);
        QCOMPARE(count(image, high, Qt::yellow, 10) > 10, filled);
        QCOMPARE(count(image, high, Qt::white, 10) > 10, !filled);
        QCOMPARE(count(image, QRect(0, 0, w("ab"), lineHeight()), Qt::yellow, 10), 0);
    }

    // While highlighting, a tab's gap is filled with the highlight colour from the line's top
    // for one pixel less than the line height.
    void tabGapWhileHighlighting()
    {
        auto label = makeLabel(QStringLiteral("\x03"
                                              "a\tb\x03\r\nc"),
                               120);
        label->setHighlightColor(Qt::blue);
        const QImage image = render(*label);
        const int gapLeft = w("a"), gapRight = 8 * w(" ");
        const QRect gap(gapLeft, 0, gapRight - gapLeft, lineHeight() - 1);
        QCOMPARE(count(image, gap, Qt::blue, 0), gap.width() * gap.height());
        QCOMPARE(count(image, QRect(gapLeft, lineHeight() - 1, gap.width(), 1), Qt::blue, 0), 0);
    }

    // Code 16 rules the rest of the line to the right edge and hides the text after it.
    void rule()
    {
        auto label = makeLabel(QStringLiteral("ab\x10hidden\r\nnext"), 100);
        const QImage ruled = render(*label);
        label->setCaption(QStringLiteral("ab\x10\r\nnext"));
        QCOMPARE(render(*label), ruled);
        const auto [first, last] = inkColumns(ruled, 0, lineHeight() - 1);
        QCOMPARE(first, inkColumns(render(*makeLabel("ab", 100)), 0, lineHeight() - 1).first);
        QVERIFY2(last >= 97, qPrintable(QString::number(last)));
    }

    void border_data()
    {
        QTest::addColumn<bool>("transparent");
        QTest::newRow("opaque") << false;
        QTest::newRow("transparent") << true;
    }
    // A single border is a one-pixel frame; the text moves inside it.
    void border()
    {
        QFETCH(bool, transparent);
        auto plain = makeLabel(QStringLiteral("Text"), 60, 20);
        auto framed = makeLabel(QStringLiteral("Text"), 60, 20);
        framed->setBorderStyle(TPlusLabel::bsSingle);
        framed->setTransparent(transparent);
        QImage image(60, 20, QImage::Format_RGB32);
        image.fill(Qt::white);
        framed->render(&image, QPoint(), QRegion(), QWidget::DrawChildren);
        for (int x = 0; x < 60; ++x) {
            QVERIFY(near(image.pixel(x, 0), Qt::black, 0));
            QVERIFY(near(image.pixel(x, 19), Qt::black, 0));
        }
        for (int y = 0; y < 20; ++y) {
            QVERIFY(near(image.pixel(0, y), Qt::black, 0));
            QVERIFY(near(image.pixel(59, y), Qt::black, 0));
        }
        QVERIFY(near(image.pixel(1, 1), Qt::white, 0));
        const QImage without = render(*plain);
        QCOMPARE(image.copy(1, 1, 58, 18), without.copy(0, 0, 58, 18));
    }

    // Repainting only a lower line of a bold question that wraps starts that line from its stored
    // style: it comes out bold, exactly as in a full paint.
    void partialRepaintKeepsStyle()
    {
        const QString question = QStringLiteral("\x02"
                                                "Associate NorlPlayer with MP3 files now?\x02");
        auto label = makeLabel("Intro.\r\n" + question, 120, 60);
        label->setWordWrap(true);
        QVERIFY(label->lines().count() >= 3);
        const QImage full = render(*label);
        const QRect band(0, 2 * lineHeight(), 120, lineHeight());

        QImage partial(full.size(), QImage::Format_RGB32);
        partial.fill(Qt::magenta);
        label->render(&partial, band.topLeft(), QRegion(band)); // the region lands at the offset
        QCOMPARE(partial.copy(band), full.copy(band));
        QCOMPARE(count(partial, QRect(0, 0, 120, band.top()), Qt::magenta, 0), 120 * band.top());

        QString plain = question;
        plain.remove(QChar(2));
        auto unbold = makeLabel("Intro.\r\n" + plain, 120, 60);
        unbold->setWordWrap(true);
        QVERIFY(render(*unbold).copy(band) != full.copy(band));
    }

    // "&Yes" underlines the Y and nothing else.
    void accelerator()
    {
        auto marked = makeLabel(QStringLiteral("&Yes"), 60, 20);
        auto plain = makeLabel(QStringLiteral("Yes"), 60, 20);
        const QImage a = render(*marked), b = render(*plain);
        int differing = 0;
        for (int y = 0; y < 20; ++y)
            for (int x = 0; x < 60; ++x)
                if (a.pixel(x, y) != b.pixel(x, y)) {
                    ++differing;
                    QVERIFY2(x < w("Y") + 1, qPrintable(QStringLiteral("x %1").arg(x)));
                }
        QVERIFY(differing > 0);
        marked->setShowAccelChar(false);
        QCOMPARE(marked->lines().get(0).width, w("&Yes"));
    }

    // Justified: wrapped lines reach the right margin, the paragraph's last line does not move.
    void justified()
    {
        const QString text = QStringLiteral("aa bb cc dd ee ff gg hh ii\r\nend");
        const int width = w("aa bb cc dd") + w("ee") / 2 + 3;
        auto ragged = makeLabel(text, width, 80);
        ragged->setWordWrap(true);
        auto even = makeLabel(text, width, 80);
        even->setWordWrap(true);
        even->setJustified(true);
        even->setRightMargin(3);
        ragged->setRightMargin(3);
        const int lines = even->lines().count();
        QVERIFY(lines >= 3);
        const QImage raggedImage = render(*ragged), evenImage = render(*even);
        const int h = lineHeight();
        const auto [raggedFirst, raggedLast] = inkColumns(raggedImage, 0, h - 1);
        const auto [evenFirst, evenLast] = inkColumns(evenImage, 0, h - 1);
        QCOMPARE(evenFirst, raggedFirst);
        QVERIFY(evenLast >= width - 3 - 2);
        QVERIFY(raggedLast < evenLast - 2);
        for (int line = lines - 2; line < lines; ++line) {
            const QRect band(0, line * h, width, h);
            QCOMPARE(evenImage.copy(band), raggedImage.copy(band));
        }
    }

    void alignment_data()
    {
        QTest::addColumn<int>("alignment");
        QTest::addColumn<int>("left");
        const int ink = w("Mid");
        QTest::newRow("left") << int(TPlusLabel::taLeftJustify) << 5;
        QTest::newRow("right") << int(TPlusLabel::taRightJustify) << 100 - 7 - ink;
        QTest::newRow("center") << int(TPlusLabel::taCenter) << (100 + 5 - 7 - ink) / 2;
    }
    void alignment()
    {
        QFETCH(int, alignment);
        QFETCH(int, left);
        auto label = makeLabel(QStringLiteral("Mid"), 100, 20);
        label->setAlignment(TPlusLabel::TAlignment(alignment));
        label->setLeftMargin(5);
        label->setRightMargin(7);
        const auto [first, last] = inkColumns(render(*label), 0, 19);
        QVERIFY2(std::abs(first - left) <= 1, qPrintable(QString::number(first)));
        QVERIFY(last < left + w("Mid") + 1);
    }

    void autoSize_data()
    {
        QTest::addColumn<bool>("wrap");
        QTest::addColumn<bool>("border");
        QTest::newRow("one line per break") << false << false;
        QTest::newRow("with border") << false << true;
        QTest::newRow("word wrap keeps the width") << true << false;
        QTest::newRow("word wrap with border") << true << true;
    }
    void autoSize()
    {
        QFETCH(bool, wrap);
        QFETCH(bool, border);
        auto label = makeLabel(QString(), 70, 10);
        label->setWordWrap(wrap);
        label->setLeftMargin(4);
        label->setRightMargin(6);
        label->setBorderStyle(border ? TPlusLabel::bsSingle : TPlusLabel::bsNone);
        label->setLineHeight(15);
        label->setAutoSize(true);
        label->setCaption(QStringLiteral("a short first line\r\nand a second one"));
        const int frame = border ? 2 : 0;
        const int lines = wrap ? label->lines().count() : 2;
        QVERIFY(!wrap || lines > 2);
        const int width = wrap ? 70 : label->widestLine() + 10 + frame;
        QVERIFY(wrap || label->widestLine() >= w("a short first line") - 2);
        QCOMPARE(label->size(), QSize(width, lines * 15 + frame));
    }

    void hostileCaptions_data()
    {
        QTest::addColumn<QString>("caption");
        QTest::addColumn<int>("tabStops");
        QTest::addColumn<int>("leftOrigin");
        QString allCodes;
        for (char16_t code = 0; code < 32; ++code)
            allCodes += QChar(code) + QStringLiteral("x ");
        QTest::newRow("lone &") << "&" << 8 << 0;
        QTest::newRow("& at the end") << "ab&" << 8 << 0;
        QTest::newRow("& before a code") << "&\x02x&&" << 8 << 0;
        QTest::newRow("& before a break") << "a&\r\nb" << 8 << 0;
        QTest::newRow("& before a blank") << "a& b" << 8 << 0;
        QTest::newRow("surrogates") << QStringLiteral("\U0001F600&\U0001F600 \U0001F600") << 8 << 0;
        QTest::newRow("breaks only") << "\r\r\n\n\r\n\r" << 8 << 0;
        QTest::newRow("every code") << allCodes << 8 << 0;
        QTest::newRow("tab stops 0") << "a\tb\t\tc" << 0 << 0;
        QTest::newRow("negative tab stops") << "a\tb\t\tc" << -3 << 0;
        QTest::newRow("huge tab stops") << "a\tb\t\tc" << INT_MAX << 0;
        QTest::newRow("rule far right") << "ab\x10" << 8 << INT_MIN;
        QTest::newRow("rule far left") << "ab\x10" << 8 << INT_MAX;
        QTest::newRow("long word") << QString(3000, u'w') + " a" << 8 << 0;
    }
    // Whatever the caption, the lines run through it in order and painting ends.
    void hostileCaptions()
    {
        QFETCH(QString, caption);
        QFETCH(int, tabStops);
        QFETCH(int, leftOrigin);
        for (const bool wrap : {false, true}) {
            auto label = makeLabel(caption, 50, 60);
            label->setWordWrap(wrap);
            label->setJustified(true);
            label->setTabStops(tabStops);
            label->setLeftOrigin(leftOrigin);
            label->setHighlightBackgnd(Qt::yellow);
            const TLL &lines = label->lines();
            int previousEnd = 0;
            for (int i = 0; i < lines.count(); ++i) {
                const LineRecord line = lines.get(i);
                QVERIFY(line.start >= previousEnd);
                QVERIFY(line.start <= line.end && line.end <= caption.size());
                QVERIFY(line.justifyFrom >= line.start && line.justifyFrom <= line.end);
                QVERIFY(line.width >= 0 && line.spaces >= 0);
                previousEnd = line.end;
            }
            QVERIFY(!render(*label).isNull());
        }
    }

    // The layout follows the width under word wrap, even while the label is hidden; the line
    // height returns to the font's when set to 0.
    void layoutFollowsWidthAndLineHeight()
    {
        auto label = makeLabel(QStringLiteral("one two three four"), 300);
        label->setWordWrap(true);
        QCOMPARE(label->lines().count(), 1);
        label->resize(w("one two three") + 2, 40);
        QCOMPARE(label->lines().count(), 2);
        label->setWordWrap(false);
        QCOMPARE(label->lines().count(), 1);
        label->setLineHeight(30);
        QCOMPARE(label->lineHeight(), 30);
        label->setLineHeight(0);
        QCOMPARE(label->lineHeight(), lineHeight());
        QVERIFY(label->isLineHeightAutomatic());
    }
};

QTEST_MAIN(tst_pluslabel)
#include "tst_pluslabel.moc"
