#include <QFontDatabase>
#include <QtTest>
#include <climits>

#include "richtextlayout.h"

using namespace RichTextGeometry;

using Lines = QList<LineRecord>;
Q_DECLARE_METATYPE(LineRecord)
Q_DECLARE_METATYPE(RichTextOptions)

char *toString(const LineRecord &line)
{
    return qstrdup(QByteArray("{start %1, end %2, width %3, spaces %4, from %5, style %6}")
                       .replace("%1", QByteArray::number(line.start))
                       .replace("%2", QByteArray::number(line.end))
                       .replace("%3", QByteArray::number(line.width))
                       .replace("%4", QByteArray::number(line.spaces))
                       .replace("%5", QByteArray::number(line.justifyFrom))
                       .replace("%6", QByteArray::number(line.style))
                       .constData());
}

namespace {
const QString family = QStringLiteral("Liberation Sans");

QFont baseFont()
{
    QFont font(family);
    font.setPixelSize(11);
    return font;
}

QFont altFont()
{
    QFont font(family);
    font.setPixelSize(16);
    return font;
}

// Widths straight from QFontMetrics, built here rather than through the fonts under test.
int w(const QString &text, quint8 style = 0)
{
    QFont font = (style & RichStyle::AltFont) ? altFont() : baseFont();
    font.setBold(style & RichStyle::Bold);
    font.setItalic(style & RichStyle::Italic);
    font.setUnderline(style & RichStyle::Underline);
    return QFontMetrics(font).horizontalAdvance(text);
}

int space()
{
    return w(QStringLiteral(" "));
}

RichTextOptions wrapAt(int width)
{
    RichTextOptions options;
    options.wordWrap = true;
    options.wrapWidth = width;
    return options;
}

RichTextOptions unwrapped(int tabStops = 8, bool accel = true)
{
    RichTextOptions options;
    options.tabStops = tabStops;
    options.showAccelChar = accel;
    return options;
}

LineRecord line(int start, int end, int width, int spaces = 0, int from = -1, int style = 0)
{
    return {start, end, width, spaces, from < 0 ? start : from, style};
}

Lines linesOf(const TLL &list)
{
    Lines result;
    for (int i = 0; i < list.count(); ++i)
        result.append(list.get(i));
    return result;
}
} // namespace

class tst_richtextlayout : public QObject {
    Q_OBJECT
private slots:
    void initTestCase()
    {
        for (const char *file : {"Regular", "Bold", "Italic", "BoldItalic"})
            QVERIFY(QFontDatabase::addApplicationFont(QStringLiteral(NORL_TEST_FONT_DIR) +
                                                      "/LiberationSans-" + file + ".ttf") >= 0);
        QCOMPARE(QFontInfo(baseFont()).family(), family);
    }

    void layout_data()
    {
        QTest::addColumn<QString>("caption");
        QTest::addColumn<RichTextOptions>("options");
        QTest::addColumn<Lines>("expected");

        const int sp = space();
        const int bold = RichStyle::Bold;
        const QString word = QStringLiteral("un\x02"
                                            "bold\x02"
                                            "ed\x15line\x15"
                                            "d");
        const int wordWidth =
            w("un") + w("bold", bold) + w("ed") + w("line", RichStyle::Underline) + w("d");
        QTest::newRow("plain") << "Hello world" << unwrapped()
                               << Lines{line(0, 11, w("Hello") + sp + w("world"))};
        QTest::newRow("codes inside a word")
            << word << unwrapped() << Lines{line(0, 17, wordWidth)};
        QTest::newRow("word with codes fits exactly")
            << "ab " + word << wrapAt(w("ab") + sp + wordWidth)
            << Lines{line(0, 20, w("ab") + sp + wordWidth)};
        QTest::newRow("word with codes moves down whole")
            << "ab " + word << wrapAt(w("ab") + sp + wordWidth - 1)
            << Lines{line(0, 3, w("ab")), line(3, 20, wordWidth)};
        QTest::newRow("alternate font")
            << "x\x04"
               "alt\x04y"
            << unwrapped() << Lines{line(0, 7, w("x") + w("alt", RichStyle::AltFont) + w("y"))};
        QTest::newRow("meaningless codes have no width")
            << "a\x05\x10\x1f"
               "b\nc"
            << unwrapped() << Lines{line(0, 7, w("a") + w("b") + w("c"))};

        QTest::newRow("CR LF") << "one\r\ntwo" << unwrapped()
                               << Lines{line(0, 3, w("one")), line(5, 8, w("two"))};
        QTest::newRow("double CR LF leaves one empty line")
            << "one\r\n\r\ntwo" << unwrapped()
            << Lines{line(0, 3, w("one")), line(5, 5, 0), line(7, 10, w("two"))};
        QTest::newRow("lone CR") << "one\rtwo" << unwrapped()
                                 << Lines{line(0, 3, w("one")), line(4, 7, w("two"))};
        QTest::newRow("closing CR LF") << "end\r\n"
                                       << unwrapped() << Lines{line(0, 3, w("end")), line(5, 5, 0)};
        QTest::newRow("trailing blanks") << "abc  " << unwrapped() << Lines{line(0, 5, w("abc"))};
        QTest::newRow("empty") << "" << unwrapped() << Lines{line(0, 0, 0)};

        const int tab8 = 8 * sp * (w("a") / (8 * sp) + 1);
        QTest::newRow("tab") << "a\tb" << unwrapped() << Lines{line(0, 3, tab8 + w("b"), 0, 1)};
        const int tab2 = 2 * sp * (w("aaaa") / (2 * sp) + 2);
        QTest::newRow("two tabs of 2")
            << "aaaa\t\tb" << unwrapped(2) << Lines{line(0, 7, tab2 + w("b"), 0, 5)};
        QTest::newRow("wrap after a tab keeps its spaces from the tab on")
            << "a\tb c d" << wrapAt(tab8 + w("b") + sp + w("c"))
            << Lines{line(0, 6, tab8 + w("b") + sp + w("c"), 1, 1), line(6, 7, w("d"))};

        const int three = w("aa") + sp + w("bb") + sp + w("cc");
        QTest::newRow("exact fit")
            << "aa bb cc dd" << wrapAt(three) << Lines{line(0, 9, three, 2), line(9, 11, w("dd"))};
        QTest::newRow("one pixel short")
            << "aa bb cc dd" << wrapAt(three - 1)
            << Lines{line(0, 6, w("aa") + sp + w("bb"), 1), line(6, 11, w("cc") + sp + w("dd"))};
        QTest::newRow("blanks before a moved word are not stretched")
            << "aa   bb" << wrapAt(w("aa") + 3 * sp)
            << Lines{line(0, 5, w("aa"), 0), line(5, 7, w("bb"))};
        QTest::newRow("moved word before a CR")
            << "aa bb\r\ncc" << wrapAt(w("aa") + sp + w("bb") - 1)
            << Lines{line(0, 3, w("aa")), line(3, 5, w("bb")), line(7, 9, w("cc"))};

        const int longWidth = w("verylongword");
        QTest::newRow("over-wide word in the middle")
            << "a verylongword b" << wrapAt(longWidth - 1)
            << Lines{line(0, 2, w("a")), line(2, 15, longWidth), line(15, 16, w("b"))};
        QTest::newRow("over-wide first word")
            << "verylongword next" << wrapAt(longWidth - 1)
            << Lines{line(0, 13, longWidth), line(13, 17, w("next"))};

        QTest::newRow("bold carried to the next line")
            << "\x02"
               "Bold text\x02"
            << wrapAt(w("Bold", bold) + w(" ", bold) + w("text", bold) - 1)
            << Lines{line(0, 6, w("Bold", bold)), line(6, 11, w("text", bold), 0, 6, bold)};
        RichTextOptions boldStart = unwrapped();
        boldStart.startStyle = RichStyle::Bold;
        QTest::newRow("start style")
            << "x\x02y" << boldStart << Lines{line(0, 3, w("x", bold) + w("y"), 0, 0, bold)};

        QTest::newRow("accelerator") << "&Yes" << unwrapped() << Lines{line(0, 4, w("Yes"))};
        QTest::newRow("accelerator off")
            << "&Yes" << unwrapped(8, false) << Lines{line(0, 4, w("&Yes"))};
        QTest::newRow("only the first & is taken")
            << "a&b&c" << unwrapped() << Lines{line(0, 5, w("ab&c"))};
        QTest::newRow("accelerated word moves down with its &")
            << "Save &as" << wrapAt(w("Save") + sp)
            << Lines{line(0, 5, w("Save")), line(5, 8, w("as"))};
        QTest::newRow("positions after the & are shifted")
            << "a&b cd" << wrapAt(w("ab") + sp) << Lines{line(0, 4, w("ab")), line(4, 6, w("cd"))};
    }

    void layout()
    {
        QFETCH(QString, caption);
        QFETCH(RichTextOptions, options);
        QFETCH(Lines, expected);
        const RichTextFonts fonts(baseFont(), altFont());
        const RichTextLayout result = layOutRichText(caption, fonts, options);
        QCOMPARE(linesOf(result.lines), expected);
        int widest = 0;
        for (const LineRecord &record : expected)
            widest = std::max(widest, record.width);
        QCOMPARE(result.widest, widest);
    }

    void accelIndex_data()
    {
        QTest::addColumn<QString>("caption");
        QTest::addColumn<bool>("show");
        QTest::addColumn<int>("index");
        QTest::newRow("first character") << "&Yes" << true << 0;
        QTest::newRow("inside") << "Save &as" << true << 5;
        QTest::newRow("none") << "Yes" << true << 4;
        QTest::newRow("not shown") << "&Yes" << false << 5;
    }
    void accelIndex()
    {
        QFETCH(QString, caption);
        QFETCH(bool, show);
        const RichTextFonts fonts(baseFont(), altFont());
        QTEST(layOutRichText(caption, fonts, unwrapped(8, show)).accelIndex, "index");
    }

    void growth_data()
    {
        QTest::addColumn<int>("count");
        QTest::addColumn<int>("capacity");
        QTest::newRow("0") << 0 << 4;
        QTest::newRow("4") << 4 << 4;
        QTest::newRow("5") << 5 << 8;
        QTest::newRow("7") << 7 << 12;
        QTest::newRow("31") << 31 << 36;
        QTest::newRow("32") << 32 << 38;
        QTest::newRow("64") << 64 << 72;
        QTest::newRow("1000") << 1000 << 1066;
    }
    void growth()
    {
        QFETCH(int, count);
        TLL list;
        QCOMPARE(list.capacity(), 4);
        list.setCount(count);
        QCOMPARE(list.count(), count);
        QTEST(list.capacity(), "capacity");
    }

    void lineListKeepsRecords()
    {
        TLL list;
        for (int i = 0; i < 40; ++i)
            QCOMPARE(list.add(line(i, i + 1, i * 3, 0, i, i & 0x3f)), i);
        QCOMPARE(list.capacity(), 46); // 4, 8, ... 32, then 38 at 33 records and 46 at 39
        for (int i = 0; i < 40; ++i)
            QCOMPARE(list.get(i), line(i, i + 1, i * 3, 0, i, i & 0x3f));
        list.put(3, line(7, 8, 9));
        QCOMPARE(list.get(3), line(7, 8, 9));
        // Shrinking and growing again within the capacity gives zero records, not stale ones.
        list.setCount(2);
        list.setCount(5);
        QCOMPARE(list.get(4), LineRecord{});
    }

    void lineListRefusesBadUse()
    {
        TLL list;
        list.add({});
        QVERIFY_THROWS_EXCEPTION(std::out_of_range, list.get(1));
        QVERIFY_THROWS_EXCEPTION(std::out_of_range, list.get(-1));
        QVERIFY_THROWS_EXCEPTION(std::out_of_range, list.put(1, {}));
        QVERIFY_THROWS_EXCEPTION(std::out_of_range, list.setCount(-1));
        QVERIFY_THROWS_EXCEPTION(std::bad_alloc, list.setCount(INT_MAX));
        QCOMPARE(list.count(), 1);
        QCOMPARE(list.capacity(), 4);
    }

    void tabStops_data()
    {
        QTest::addColumn<qint64>("x");
        QTest::addColumn<qint64>("step");
        QTest::addColumn<qint64>("stop");
        QTest::newRow("from 0") << qint64(0) << qint64(40) << qint64(40);
        QTest::newRow("just before") << qint64(39) << qint64(40) << qint64(40);
        QTest::newRow("on a stop") << qint64(40) << qint64(40) << qint64(80);
        QTest::newRow("left of the origin") << qint64(-5) << qint64(40) << qint64(0);
        QTest::newRow("no spacing") << qint64(10) << qint64(0) << qint64(10);
        QTest::newRow("negative spacing") << qint64(10) << qint64(-24) << qint64(10);
        QTest::newRow("huge spacing") << qint64(10) << qint64(INT_MAX) * 30 << qint64(INT_MAX) * 30;
    }
    void tabStops()
    {
        QFETCH(qint64, x);
        QFETCH(qint64, step);
        QTEST(qint64(nextTabStop(x, step)), "stop");
    }

    void verticalPlacement_data()
    {
        QTest::addColumn<int>("layout");
        QTest::addColumn<int>("lines");
        QTest::addColumn<int>("offset");
        QTest::newRow("top") << int(VerticalLayout::Top) << 3 << 0;
        QTest::newRow("center") << int(VerticalLayout::Center) << 3 << 18;
        QTest::newRow("bottom") << int(VerticalLayout::Bottom) << 3 << 36;
        QTest::newRow("center, too many lines") << int(VerticalLayout::Center) << 8 << -14;
        QTest::newRow("bottom, too many lines") << int(VerticalLayout::Bottom) << 8 << -29;
    }
    void verticalPlacement()
    {
        QFETCH(int, layout);
        QFETCH(int, lines);
        QTEST(blockOffset(VerticalLayout(layout), 75, lines, 13), "offset");
    }

    void linesToPaint_data()
    {
        QTest::addColumn<int>("top");
        QTest::addColumn<int>("bottom");
        QTest::addColumn<int>("topOrigin");
        QTest::addColumn<int>("offset");
        QTest::addColumn<int>("lineHeight");
        QTest::addColumn<int>("first");
        QTest::addColumn<int>("last");
        // Five lines of 13 pixels; the line below the area is painted too.
        QTest::newRow("all") << 0 << 74 << 0 << 0 << 13 << 0 << 4;
        QTest::newRow("second line only") << 13 << 25 << 0 << 0 << 13 << 1 << 2;
        QTest::newRow("last line") << 52 << 64 << 0 << 0 << 13 << 4 << 4;
        QTest::newRow("below the block") << 70 << 80 << 0 << 0 << 13 << 5 << 4;
        QTest::newRow("scrolled") << 0 << 12 << 26 << 0 << 13 << 2 << 3;
        QTest::newRow("centred block") << 0 << 12 << 0 << 10 << 13 << 0 << 1;
        QTest::newRow("above a centred block") << 0 << 5 << 0 << 10 << 13 << 0 << 0;
        QTest::newRow("no line height") << 0 << 74 << 0 << 0 << 0 << 0 << -1;
        QTest::newRow("extreme origin") << 0 << 74 << INT_MIN << INT_MAX << 13 << 0 << -1;
    }
    void linesToPaint()
    {
        QFETCH(int, top);
        QFETCH(int, bottom);
        QFETCH(int, topOrigin);
        QFETCH(int, offset);
        QFETCH(int, lineHeight);
        const LineSpan span =
            RichTextGeometry::linesToPaint(top, bottom, topOrigin, offset, lineHeight, 5);
        QTEST(span.first, "first");
        QTEST(span.last, "last");
    }

    void horizontalPlacement_data()
    {
        QTest::addColumn<int>("align");
        QTest::addColumn<bool>("justified");
        QTest::addColumn<LineRecord>("line");
        QTest::addColumn<int>("left");
        QTest::addColumn<int>("extra");
        // Area 200 wide, margins 10 and 20, scrolled 5 to the right.
        const LineRecord wrapped = line(0, 10, 100, 2);
        const LineRecord last = line(10, 20, 100, 0);
        const int right = int(Align::Right), center = int(Align::Center);
        QTest::newRow("left") << int(Align::Left) << false << wrapped << 5 << 0;
        QTest::newRow("right") << right << false << wrapped << 75 << 0;
        QTest::newRow("center") << center << false << wrapped << 40 << 0;
        QTest::newRow("justified goes left") << right << true << wrapped << 5 << 70;
        QTest::newRow("justified, unstretched") << center << true << last << 5 << 0;
        QTest::newRow("justified, empty line") << right << true << line(5, 5, 0) << 175 << 0;
        QTest::newRow("wider than the area")
            << int(Align::Left) << true << line(0, 9, 400, 1) << 5 << 0;
    }
    void horizontalPlacement()
    {
        QFETCH(int, align);
        QFETCH(bool, justified);
        QFETCH(LineRecord, line);
        const HorizontalPlacement place{Align(align), justified, 200, 10, 20, 5};
        QTEST(int(lineLeft(place, line)), "left");
        QTEST(justifyExtra(place, line), "extra");
    }

    void stretch_data()
    {
        QTest::addColumn<int>("extra");
        QTest::addColumn<int>("spaces");
        QTest::newRow("even") << 12 << 4;
        QTest::newRow("remainder") << 14 << 4;
        QTest::newRow("fewer pixels than blanks") << 3 << 7;
        QTest::newRow("no blanks") << 9 << 0;
        QTest::newRow("nothing to add") << 0 << 3;
    }
    // The whole extra goes out, no blank gets more than one pixel over another, and no blanks
    // (an empty range) is no division.
    void stretch()
    {
        QFETCH(int, extra);
        QFETCH(int, spaces);
        int total = 0, least = INT_MAX, most = 0;
        for (int k = 0; k < spaces; ++k) {
            const int add = stretchOf(extra, spaces, k);
            total += add;
            least = std::min(least, add);
            most = std::max(most, add);
        }
        QCOMPARE(total, spaces > 0 ? extra : 0);
        QVERIFY(spaces == 0 || most - least <= 1);
        QCOMPARE(stretchOf(extra, spaces, spaces), 0);
    }

    void wrapWidth_data()
    {
        QTest::addColumn<int>("area");
        QTest::addColumn<int>("left");
        QTest::addColumn<int>("right");
        QTest::addColumn<int>("width");
        QTest::newRow("prompt") << 275 << 0 << 0 << 275;
        QTest::newRow("margins") << 100 << 10 << 20 << 70;
        QTest::newRow("margins eat the area") << 30 << 10 << 20 << 13;
        QTest::newRow("extreme margins") << 30 << INT_MIN << INT_MIN << INT_MAX;
    }
    void wrapWidth()
    {
        QFETCH(int, area);
        QFETCH(int, left);
        QFETCH(int, right);
        QTEST(RichTextGeometry::wrapWidth(area, left, right, 13), "width");
    }
};

QTEST_MAIN(tst_richtextlayout)
#include "tst_richtextlayout.moc"
