#include <QtTest>
#include <climits>

#include "trackbargeometry.h"

using namespace TrackBar;

namespace {
// The main window's bars: thumbs from 56 x 10 and 45 x 8 pictures, groove 5 thick, no ticks.
TrackBarLayout mainBar(QSize client, QSize thumb, int maxValue)
{
    return {client, 1, toHorizontal, thumb, 5, tsNone, tmBottomRight, 0, maxValue};
}
TrackBarLayout progressBar()
{
    return mainBar({235, 17}, {28, 10}, 300);
}
TrackBarLayout priorityBar()
{
    return mainBar({75, 17}, {22, 8}, 6);
}
TrackBarLayout volumeBar()
{
    return mainBar({75, 19}, {22, 8}, 65535);
}
// A new bar: 220 x 35, standard thumb, groove 10, ticks below.
TrackBarLayout newBar(TickMarks marks = tmBottomRight, Orientation orientation = toHorizontal)
{
    const bool across = orientation == toVertical;
    return {across ? QSize(35, 220) : QSize(220, 35),
            1,
            orientation,
            across ? QSize(20, 11) : QSize(11, 20),
            10,
            tsAuto,
            marks,
            0,
            10};
}
TrackBarLayout withRange(TrackBarLayout layout, int minValue, int maxValue)
{
    layout.minValue = minValue;
    layout.maxValue = maxValue;
    return layout;
}
} // namespace

class tst_trackbargeometry : public QObject {
    Q_OBJECT
private slots:
    void layout_data()
    {
        QTest::addColumn<TrackBarLayout>("layout");
        QTest::addColumn<QRect>("working");
        QTest::addColumn<QRect>("groove");
        QTest::addColumn<QRect>("thumbAtMin");
        QTest::addColumn<QRect>("thumbAtMax");
        QTest::newRow("progress") << progressBar() << QRect(1, 1, 233, 15) << QRect(15, 4, 205, 5)
                                  << QRect(1, 2, 28, 10) << QRect(206, 2, 28, 10);
        QTest::newRow("priority") << priorityBar() << QRect(1, 1, 73, 15) << QRect(12, 4, 51, 5)
                                  << QRect(1, 3, 22, 8) << QRect(52, 3, 22, 8);
        QTest::newRow("volume") << volumeBar() << QRect(1, 1, 73, 17) << QRect(12, 4, 51, 5)
                                << QRect(1, 3, 22, 8) << QRect(52, 3, 22, 8);
        QTest::newRow("ticks below") << newBar() << QRect(1, 1, 218, 33) << QRect(6, 7, 208, 10)
                                     << QRect(1, 2, 11, 20) << QRect(208, 2, 11, 20);
        QTest::newRow("ticks above")
            << newBar(tmTopLeft) << QRect(1, 1, 218, 33) << QRect(6, 19, 208, 10)
            << QRect(1, 14, 11, 20) << QRect(208, 14, 11, 20);
        QTest::newRow("ticks both")
            << newBar(tmBoth) << QRect(1, 1, 218, 33) << QRect(6, 12, 208, 10)
            << QRect(1, 7, 11, 20) << QRect(208, 7, 11, 20);
        QTest::newRow("vertical") << newBar(tmBottomRight, toVertical) << QRect(1, 1, 33, 218)
                                  << QRect(7, 6, 10, 208) << QRect(2, 208, 20, 11)
                                  << QRect(2, 1, 20, 11);
    }
    void layout()
    {
        QFETCH(TrackBarLayout, layout);
        const TrackBarGeometry geometry(layout);
        QTEST(geometry.workingArea(), "working");
        QTEST(geometry.groove(), "groove");
        QTEST(geometry.thumbRect(layout.minValue), "thumbAtMin");
        QTEST(geometry.thumbRect(layout.maxValue), "thumbAtMax");
    }

    // Integer arithmetic, truncating, and no overflow however wide the range.
    void thumbLeft_data()
    {
        QTest::addColumn<TrackBarLayout>("layout");
        QTest::addColumn<int>("value");
        QTest::addColumn<int>("left");
        QTest::newRow("priority 3") << priorityBar() << 3 << 26;
        QTest::newRow("volume half") << volumeBar() << 32768 << 26;
        QTest::newRow("volume near top") << volumeBar() << 65534 << 51;
        QTest::newRow("progress 150") << progressBar() << 150 << 103;
        const TrackBarLayout full = withRange(progressBar(), INT_MIN, INT_MAX);
        QTest::newRow("full range, minimum") << full << INT_MIN << 1;
        QTest::newRow("full range, zero") << full << 0 << 103;
        QTest::newRow("full range, maximum") << full << INT_MAX << 206;
        QTest::newRow("beyond maximum") << priorityBar() << 1000 << 52;
    }
    void thumbLeft()
    {
        QFETCH(TrackBarLayout, layout);
        QFETCH(int, value);
        QTEST(TrackBarGeometry(layout).thumbRect(value).left(), "left");
    }

    void roundHalfEven_data()
    {
        QTest::addColumn<double>("value");
        QTest::addColumn<double>("rounded");
        for (auto [value, rounded] : {std::pair{0.5, 0.0},
                                      {1.5, 2.0},
                                      {2.5, 2.0},
                                      {2.4999, 2.0},
                                      {2.5001, 3.0},
                                      {-0.5, 0.0},
                                      {-1.5, -2.0},
                                      {-2.5, -2.0}})
            QTest::addRow("%g", value) << value << rounded;
    }
    void roundHalfEven()
    {
        QFETCH(double, value);
        QTEST(TrackBar::roundHalfEven(value), "rounded");
    }

    // The value under the pointer keeps the thumb centred on it; ties go to the even value.
    void valueAt_data()
    {
        QTest::addColumn<TrackBarLayout>("layout");
        QTest::addColumn<QPoint>("point");
        QTest::addColumn<int>("value");
        QTest::newRow("priority, thumb centre at 3") << priorityBar() << QPoint(37, 7) << 3;
        QTest::newRow("priority, one pixel on") << priorityBar() << QPoint(38, 7) << 3;
        QTest::newRow("priority, thumb centre at 6") << priorityBar() << QPoint(63, 7) << 6;
        QTest::newRow("priority, past the right end") << priorityBar() << QPoint(500, 7) << 6;
        QTest::newRow("priority, past the left end") << priorityBar() << QPoint(-90, 7) << 0;
        QTest::newRow("volume, exact steps") << volumeBar() << QPoint(22, 0) << 12850;
        QTest::newRow("progress, thumb centre at 300") << progressBar() << QPoint(220, 7) << 300;
        // Thumb 10 wide, 20 pixels of travel for a range of 10: half a value per pixel.
        const TrackBarLayout halves{{32, 12}, 1, toHorizontal, {10, 10}, 5, tsNone, tmBottomRight,
                                    0,        10};
        QTest::newRow("0.5 -> 0") << halves << QPoint(7, 5) << 0;
        QTest::newRow("1.5 -> 2") << halves << QPoint(9, 5) << 2;
        QTest::newRow("2.5 -> 2") << halves << QPoint(11, 5) << 2;
        QTest::newRow("3.5 -> 4") << halves << QPoint(13, 5) << 4;
        QTest::newRow("min 1: 2.5 -> 2") << withRange(halves, 1, 11) << QPoint(9, 5) << 2;
        QTest::newRow("min -10: -9.5 -> -10") << withRange(halves, -10, 0) << QPoint(7, 5) << -10;
        QTest::newRow("vertical, top") << newBar(tmBottomRight, toVertical) << QPoint(5, 6) << 10;
        QTest::newRow("vertical, bottom")
            << newBar(tmBottomRight, toVertical) << QPoint(5, 213) << 0;
        TrackBarLayout cramped = priorityBar();
        cramped.client = {20, 17};
        QTest::newRow("thumb wider than the bar") << cramped << QPoint(15, 7) << 6;
    }
    void valueAt()
    {
        QFETCH(TrackBarLayout, layout);
        QFETCH(QPoint, point);
        QTEST(TrackBarGeometry(layout).valueAt(point), "value");
    }

    // Priority bar at 3: thumb x 26..47. Vertical bar at 5: thumb y 104..114.
    void pageDirection_data()
    {
        QTest::addColumn<TrackBarLayout>("layout");
        QTest::addColumn<int>("position");
        QTest::addColumn<QPoint>("point");
        QTest::addColumn<int>("direction");
        QTest::newRow("far left") << priorityBar() << 3 << QPoint(13, 6) << -1;
        QTest::newRow("just left of the thumb") << priorityBar() << 3 << QPoint(25, 6) << -1;
        QTest::newRow("thumb's left edge") << priorityBar() << 3 << QPoint(26, 6) << 1;
        QTest::newRow("right") << priorityBar() << 3 << QPoint(55, 6) << 1;
        const TrackBarLayout vertical = newBar(tmBottomRight, toVertical);
        QTest::newRow("below a vertical thumb") << vertical << 5 << QPoint(10, 115) << -1;
        QTest::newRow("above a vertical thumb") << vertical << 5 << QPoint(10, 50) << 1;
    }
    void pageDirection()
    {
        QFETCH(TrackBarLayout, layout);
        QFETCH(int, position);
        QFETCH(QPoint, point);
        QTEST(TrackBarGeometry(layout).pageDirection(point, position), "direction");
    }

    // Ticks below the groove, 6 long: the values and the columns they land on.
    void ticks_data()
    {
        QTest::addColumn<TrackBarLayout>("layout");
        QTest::addColumn<int>("gap");
        QTest::addColumn<QList<int>>("values");
        QTest::addColumn<QList<int>>("columns");
        TrackBarLayout volume = volumeBar();
        volume.tickStyle = tsAuto;
        QTest::newRow("volume, gap 5000")
            << volume << 5000 << QList<int>{0,     5000,  10000, 15000, 20000, 25000, 30000,
                                            35000, 40000, 45000, 50000, 55000, 60000, 65000}
            << QList<int>{12, 15, 19, 23, 27, 31, 35, 39, 43, 47, 50, 54, 58, 62};
        const QList<int> everyValue{0, 1, 2, 3, 4};
        const QList<int> everyColumn{6, 57, 109, 161, 213};
        QTest::newRow("gap -1: every value")
            << withRange(newBar(), 0, 4) << -1 << everyValue << everyColumn;
        QTest::newRow("gap 0: every value")
            << withRange(newBar(), 0, 4) << 0 << everyValue << everyColumn;
        QTest::newRow("gap 3") << newBar() << 3 << QList<int>{0, 3, 6, 9}
                               << QList<int>{6, 68, 130, 192};
        QTest::newRow("from a negative minimum")
            << withRange(newBar(), -4, 4) << 4 << QList<int>{-4, 0, 4} << QList<int>{6, 109, 213};
    }
    void ticks()
    {
        QFETCH(TrackBarLayout, layout);
        QFETCH(int, gap);
        QFETCH(QList<int>, values);
        QFETCH(QList<int>, columns);
        const TrackBarGeometry geometry(layout);
        const std::vector<TrackBarTick> ticks = geometry.ticks(gap, 6);
        QCOMPARE(ticks.size(), size_t(values.size()));
        const int bottom = geometry.workingArea().bottom();
        for (int i = 0; i < values.size(); ++i) {
            const int x = columns[i];
            QCOMPARE(ticks[size_t(i)], (TrackBarTick{values[i], {x, bottom}, {x, bottom - 5}}));
        }
    }

    void ticksOnBothSidesAndVertical()
    {
        const std::vector<TrackBarTick> both = TrackBarGeometry(newBar(tmBoth)).ticks(5, 4);
        QCOMPARE(both.size(), size_t(6)); // 0, 5, 10 above and below
        QCOMPARE(both[0], (TrackBarTick{0, {6, 1}, {6, 4}}));
        QCOMPARE(both[1], (TrackBarTick{0, {6, 33}, {6, 30}}));
        QCOMPARE(both[5], (TrackBarTick{10, {213, 33}, {213, 30}}));
        // Vertical: the maximum at the top, ticks on the left.
        const std::vector<TrackBarTick> left =
            TrackBarGeometry(newBar(tmTopLeft, toVertical)).ticks(10, 6);
        QCOMPARE(left.size(), size_t(2));
        QCOMPARE(left[0], (TrackBarTick{0, {1, 213}, {6, 213}}));
        QCOMPARE(left[1], (TrackBarTick{10, {1, 6}, {6, 6}}));
    }

    // More values than pixels: one tick per pixel, each the first value landing there.
    void ticksForHugeRanges_data()
    {
        QTest::addColumn<int>("minValue");
        QTest::addColumn<int>("maxValue");
        QTest::newRow("a billion") << 0 << 1000000000;
        QTest::newRow("all 32-bit values") << INT_MIN << INT_MAX;
    }
    void ticksForHugeRanges()
    {
        QFETCH(int, minValue);
        QFETCH(int, maxValue);
        TrackBarLayout layout = withRange(priorityBar(), minValue, maxValue);
        layout.tickStyle = tsAuto;
        const std::vector<TrackBarTick> ticks = TrackBarGeometry(layout).ticks(-1, 6);
        QCOMPARE(ticks.size(), size_t(52)); // travel 51 pixels
        for (size_t i = 0; i < ticks.size(); ++i)
            QCOMPARE(ticks[i].from.x(), 12 + int(i));
        QCOMPARE(ticks.front().value, minValue);
        QCOMPARE(ticks.back().value, maxValue);
        QVERIFY(ticks[1].value > ticks[0].value);
    }
};

QTEST_GUILESS_MAIN(tst_trackbargeometry)
#include "tst_trackbargeometry.moc"
