#include <QtTest>

#include "ledglyphs.h"
#include "polygonpixels.h"

using LedGlyphs::Sizes;

Q_DECLARE_METATYPE(Sizes)

namespace {

const Sizes defaultSizes{9, 7, 2};
const Sizes ledDisplaySizes{6, 6, 1}; // the main window's time display

std::uint16_t bits(const QList<int> &segments)
{
    std::uint16_t mask = 0;
    for (int n : segments)
        mask |= std::uint16_t(1u << n);
    return mask;
}

} // namespace

class tst_ledglyphs : public QObject {
    Q_OBJECT
private slots:
    void cellSize_data()
    {
        QTest::addColumn<Sizes>("sizes");
        QTest::addColumn<QSize>("expected");
        QTest::newRow("default") << defaultSizes << QSize(19, 28);
        QTest::newRow("time display") << ledDisplaySizes << QSize(11, 19);
        QTest::newRow("nothing") << Sizes{0, 0, 0} << QSize(0, 0);
        QTest::newRow("largest bytes") << Sizes{255, 255, 255} << QSize(1530, 2295);
    }
    void cellSize()
    {
        QFETCH(Sizes, sizes);
        QFETCH(QSize, expected);
        QCOMPARE(LedGlyphs::cellSize(sizes), expected);
    }

    void halfRoundedToEven_data()
    {
        QTest::addColumn<int>("n");
        QTest::addColumn<int>("expected");
        const int table[][2] = {{-5, -2}, {-4, -2}, {-3, -2}, {-1, 0}, {0, 0},
                                {1, 0},   {3, 2},   {4, 2},   {5, 2},  {7, 4}};
        for (const auto &row : table)
            QTest::addRow("%d", row[0]) << row[0] << row[1];
    }
    void halfRoundedToEven()
    {
        QFETCH(int, n);
        QFETCH(int, expected);
        QCOMPARE(LedGlyphs::halfRoundedToEven(n), expected);
    }

    // Expected points worked out by hand from the segment table.
    void polygons_data()
    {
        QTest::addColumn<Sizes>("sizes");
        QTest::addColumn<int>("segment");
        QTest::addColumn<QPolygon>("expected");
        auto row = [](const char *name, Sizes sizes, int segment, QList<QPoint> points) {
            QTest::newRow(name) << sizes << segment << QPolygon(points);
        };
        const Sizes d = defaultSizes;
        row("0 top", d, 0, {{4, 3}, {5, 2}, {14, 2}, {15, 3}, {14, 4}, {5, 4}});
        row("1 upper left", d, 1, {{3, 4}, {4, 5}, {4, 12}, {3, 13}, {2, 12}, {2, 5}});
        row("2 upper right", d, 2, {{16, 4}, {17, 5}, {17, 12}, {16, 13}, {15, 12}, {15, 5}});
        row("3 middle", d, 3, {{4, 14}, {5, 13}, {14, 13}, {15, 14}, {14, 15}, {5, 15}});
        row("4 lower left", d, 4, {{3, 15}, {4, 16}, {4, 23}, {3, 24}, {2, 23}, {2, 16}});
        row("5 lower right", d, 5, {{16, 15}, {17, 16}, {17, 23}, {16, 24}, {15, 23}, {15, 16}});
        row("6 bottom", d, 6, {{4, 25}, {5, 24}, {14, 24}, {15, 25}, {14, 26}, {5, 26}});
        row("7 upper centre", d, 7, {{9, 4}, {10, 5}, {10, 12}, {9, 13}, {8, 12}, {8, 5}});
        row("8 lower centre", d, 8, {{9, 15}, {10, 16}, {10, 23}, {9, 24}, {8, 23}, {8, 16}});
        row("9 diagonal", d, 9, {{7, 11}, {6, 11}, {5, 7}, {5, 6}, {6, 6}, {7, 10}});
        row("10 diagonal", d, 10, {{11, 11}, {12, 11}, {13, 7}, {13, 6}, {12, 6}, {11, 10}});
        row("11 diagonal", d, 11, {{7, 17}, {6, 17}, {5, 21}, {5, 22}, {6, 22}, {7, 18}});
        row("12 diagonal", d, 12, {{11, 17}, {12, 17}, {13, 21}, {13, 22}, {12, 22}, {11, 18}});
        row("13 middle dot", d, 13, {{9, 12}, {9, 14}, {7, 14}, {7, 12}, {7, 12}, {7, 12}});
        row("14 top dot", d, 14, {{9, 1}, {9, 3}, {7, 3}, {7, 1}, {7, 1}, {7, 1}});
        row("15 bottom dot", d, 15, {{9, 23}, {9, 25}, {7, 25}, {7, 23}, {7, 23}, {7, 23}});
        // Thickness 1: bars and uprights collapse to lines.
        const Sizes t = ledDisplaySizes;
        row("thin top", t, 0, {{2, 1}, {2, 1}, {8, 1}, {8, 1}, {8, 1}, {2, 1}});
        row("thin upper right", t, 2, {{9, 2}, {9, 2}, {9, 8}, {9, 8}, {9, 8}, {9, 2}});
        row("thin 9", t, 9, {{5, 8}, {5, 8}, {3, 3}, {3, 3}, {3, 3}, {5, 8}});
        row("thin 12", t, 12, {{7, 11}, {7, 11}, {9, 16}, {9, 16}, {9, 16}, {7, 11}});
        row("thin middle dot", t, 13, {{5, 8}, {5, 9}, {4, 9}, {4, 8}, {4, 8}, {4, 8}});
        // 1.5 x 3 = 4.5 rounds to 4 and 3 / 2 to 2; -2.5 rounds to -2.
        row("halves to even", Sizes{10, 8, 3}, 10,
            {{15, 14}, {17, 14}, {17, 11}, {17, 9}, {15, 9}, {15, 12}});
        row("negative half", Sizes{9, 10, 5}, 12,
            {{22, 35}, {20, 35}, {21, 38}, {21, 40}, {23, 40}, {22, 37}});
        row("no extent", Sizes{8, 7, 4}, 10, {});
    }
    void polygons()
    {
        QFETCH(Sizes, sizes);
        QFETCH(int, segment);
        QFETCH(QPolygon, expected);
        QCOMPARE(LedGlyphs::segmentPolygons(sizes)[size_t(segment)], expected);
    }

    void pixels_data()
    {
        QTest::addColumn<QPolygon>("polygon");
        QTest::addColumn<int>("filled");
        QTest::addColumn<int>("painted");
        QTest::newRow("square") << QPolygon({{0, 0}, {10, 0}, {10, 10}, {0, 10}}) << 100 << 121;
        QTest::newRow("no area") << QPolygon({{2, 1}, {2, 1}, {8, 1}, {8, 1}, {8, 1}, {2, 1}}) << 0
                                 << 7;
        QTest::newRow("diagonal line") << QPolygon({{5, 8}, {3, 3}, {5, 8}}) << 0 << 6;
        QTest::newRow("thin dot") << LedGlyphs::segmentPolygons(ledDisplaySizes)[13] << 1 << 4;
        QTest::newRow("empty") << QPolygon() << 0 << 0;
    }
    void pixels()
    {
        QFETCH(QPolygon, polygon);
        QFETCH(int, filled);
        QFETCH(int, painted);
        QCOMPARE(pixelCount(filledPixels(polygon)), filled);
        QCOMPARE(pixelCount(paintedPixels(polygon)), painted);
    }

    // A bar's lit shape is a hexagon three rows high; unlit it keeps its top and left edges only.
    void barPixels()
    {
        const QPolygon top = LedGlyphs::segmentPolygons(defaultSizes)[0];
        QCOMPARE(paintedPixels(top), PixelRuns({{2, 5, 10}, {3, 4, 12}, {4, 5, 10}}));
        QCOMPARE(filledPixels(top), PixelRuns({{2, 5, 9}, {3, 4, 11}}));
    }

    void masks_data()
    {
        QTest::addColumn<QString>("characters");
        QTest::addColumn<QList<int>>("segments");
        auto row = [](const QString &characters, QList<int> segments) {
            QTest::newRow(qPrintable(characters)) << characters << segments;
        };
        row("0", {0, 1, 2, 4, 5, 6, 9, 12});
        row("1Ii", {7, 8});
        row("2", {0, 2, 3, 4, 6});
        row("3", {0, 2, 3, 5, 6});
        row("4", {1, 2, 3, 5});
        row("5Ss", {0, 1, 3, 5, 6});
        row("6Gg", {0, 1, 3, 4, 5, 6});
        row("7", {0, 2, 5});
        row("8", {0, 1, 2, 3, 4, 5, 6});
        row("9", {0, 1, 2, 3, 5, 6});
        row("Aa", {0, 1, 2, 3, 4, 5});
        row("Bb", {0, 2, 3, 5, 6, 7, 8});
        row("Cc[", {0, 1, 4, 6});
        row("Dd", {0, 2, 5, 6, 7, 8});
        row("Ee", {0, 1, 3, 4, 6});
        row("Ff", {0, 1, 3, 4});
        row("Hh", {1, 2, 3, 4, 5});
        row("Jj", {2, 4, 5, 6});
        row("Kk", {1, 3, 4, 10, 12});
        row("Ll", {1, 4, 6});
        row("Mm", {1, 2, 4, 5, 9, 10});
        row("Nn", {1, 2, 4, 5, 9, 12});
        row("Oo", {0, 1, 2, 4, 5, 6});
        row("Pp", {0, 1, 2, 3, 4});
        row("Qq", {0, 1, 2, 4, 5, 6, 12});
        row("Rr", {0, 1, 2, 3, 4, 12});
        row("Tt", {0, 7, 8});
        row("Uu", {1, 2, 4, 5, 6});
        row("Vv", {1, 4, 10, 11});
        row("Ww", {1, 2, 4, 5, 11, 12});
        row("Xx", {9, 10, 11, 12});
        row("Yy", {8, 9, 10});
        row("Zz", {0, 6, 10, 11});
        row("(", {10, 12});
        row(")", {9, 11});
        row("*", {7, 8, 9, 10, 11, 12});
        row("+", {3, 7, 8});
        row("-", {3});
        row(".", {15});
        row(":", {13, 15});
        row("\\", {9, 12});
        row("]", {0, 2, 5, 6});
        row("_", {6});
        row(QString::fromUtf8(" ,/;<=>?^!\"#$%&'@`{|}~\u00e9\u0130\u20ac"), {});
    }
    void masks()
    {
        QFETCH(QString, characters);
        QFETCH(QList<int>, segments);
        for (char32_t character : characters.toUcs4())
            QCOMPARE(LedGlyphs::characterMask(character), bits(segments));
    }

    void visibleSegments_data()
    {
        QTest::addColumn<Sizes>("sizes");
        QTest::addColumn<QChar>("character");
        QTest::addColumn<QList<int>>("lit");
        const Sizes narrow{3, 7, 2};
        const Sizes low{9, 3, 2};
        QTest::newRow("narrow 8") << narrow << QChar(u'8') << QList<int>{0, 1, 2, 3, 4, 5, 6};
        QTest::newRow("narrow 0") << narrow << QChar(u'0') << QList<int>{0, 1, 2, 4, 5, 6};
        QTest::newRow("narrow 1") << narrow << QChar(u'1') << QList<int>{};
        QTest::newRow("narrow :") << narrow << QChar(u':') << QList<int>{};
        QTest::newRow("narrow X") << narrow << QChar(u'X') << QList<int>{};
        QTest::newRow("low .") << low << QChar(u'.') << QList<int>{};
        QTest::newRow("low T") << low << QChar(u'T') << QList<int>{0};
        QTest::newRow("4 x 4 :") << Sizes{4, 4, 2} << QChar(u':') << QList<int>{13, 15};
    }
    void visibleSegments()
    {
        QFETCH(Sizes, sizes);
        QFETCH(QChar, character);
        QFETCH(QList<int>, lit);
        QCOMPARE(LedGlyphs::visibleSegments(LedGlyphs::characterMask(character.unicode()), sizes),
                 bits(lit));
    }

    void layout_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("lines");
        QTest::addColumn<int>("columns");
        QTest::addColumn<QPoint>("lastCell"); // column, line; (-1, -1) when no cell
        QTest::newRow("empty is one cell") << QString() << 1 << 1 << QPoint(-1, -1);
        QTest::newRow("time") << "00:00" << 1 << 5 << QPoint(4, 0);
        QTest::newRow("second line") << "ab\rcde" << 2 << 3 << QPoint(2, 1);
        QTest::newRow("line feed ignored") << "ab\r\ncd" << 2 << 2 << QPoint(1, 1);
        QTest::newRow("control characters take no cell") << "\tA\x01"
                                                            "B\x1f"
                                                         << 1 << 2 << QPoint(1, 0);
        QTest::newRow("only returns") << "\r\r" << 3 << 1 << QPoint(-1, -1);
        QTest::newRow("trailing return") << "12\r" << 2 << 2 << QPoint(1, 0);
        QTest::newRow("one cell per character")
            << QString::fromUtf8("a\U0001F600b") << 1 << 3 << QPoint(2, 0);
    }
    void layout()
    {
        QFETCH(QString, text);
        QFETCH(int, lines);
        QFETCH(int, columns);
        QFETCH(QPoint, lastCell);
        const LedGlyphs::TextLayout layout = LedGlyphs::layoutText(text);
        QCOMPARE(layout.lines, lines);
        QCOMPARE(layout.columns, columns);
        const QPoint last = layout.characters.empty() ? QPoint(-1, -1)
                                                      : QPoint(layout.characters.back().column,
                                                               layout.characters.back().line);
        QCOMPARE(last, lastCell);
    }

    void measureText_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("bevelWidth");
        QTest::addColumn<Sizes>("sizes");
        QTest::addColumn<QSize>("expected");
        QTest::newRow("time in its frame") << "00:00" << 2 << ledDisplaySizes << QSize(60, 23);
        QTest::newRow("empty") << "" << 0 << defaultSizes << QSize(20, 28);
        QTest::newRow("two lines") << "ab\rc" << 1 << ledDisplaySizes << QSize(25, 40);
        QTest::newRow("beyond int") << QString(1500000, 'x') << 0 << Sizes{255, 255, 255}
                                    << QSize(std::numeric_limits<int>::max(), 2295);
    }
    void measureText()
    {
        QFETCH(QString, text);
        QFETCH(int, bevelWidth);
        QFETCH(Sizes, sizes);
        QFETCH(QSize, expected);
        const QRect measured = LedGlyphs::measureText(text, bevelWidth, sizes);
        QCOMPARE(measured.topLeft(), QPoint(0, 0));
        QCOMPARE(measured.size(), expected);
    }

    void formatValue_data()
    {
        QTest::addColumn<int>("value");
        QTest::addColumn<int>("digits");
        QTest::addColumn<QString>("expected");
        QTest::newRow("padded") << 7 << 2 << "07";
        QTest::newRow("too long") << 123 << 2 << "--";
        QTest::newRow("exact") << 12 << 2 << "12";
        QTest::newRow("zero") << 0 << 3 << "000";
        QTest::newRow("sign before zeros") << -7 << 3 << "-07";
        QTest::newRow("sign fills") << -7 << 2 << "-7";
        QTest::newRow("negative too long") << -17 << 2 << "--";
        QTest::newRow("one digit") << 10 << 1 << "-";
        QTest::newRow("smallest") << std::numeric_limits<int>::min() << 12 << "-02147483648";
    }
    void formatValue()
    {
        QFETCH(int, value);
        QFETCH(int, digits);
        QFETCH(QString, expected);
        QCOMPARE(LedGlyphs::formatValue(value, digits), expected);
    }
};

QTEST_GUILESS_MAIN(tst_ledglyphs)
#include "tst_ledglyphs.moc"
