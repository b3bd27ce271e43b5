#include <QtTest>

#include <QAction>
#include <QDialog>
#include <QPushButton>

#include "trackbar.h"

using namespace TrackBar;

namespace {
const QRgb Skin = qRgb(0, 96, 0);
const QRgb Normal = qRgb(200, 30, 30);
const QRgb Pressed = qRgb(30, 30, 200);
const QRgb Key = qRgb(255, 0, 255);
const QRgb White = qRgb(255, 255, 255);

// Two frames: red for the normal look, blue for the pressed one. The key colour sits at the bottom
// left and at column 20 of the row that lies over the groove's white line (y 6 of the bar).
QImage thumbPicture(QSize size, int keyRow)
{
    QImage picture(size, QImage::Format_RGB32);
    picture.fill(Normal);
    for (int x = size.width() / 2; x < size.width(); ++x)
        for (int y = 0; y < size.height(); ++y)
            picture.setPixel(x, y, Pressed);
    picture.setPixel(0, size.height() - 1, Key);
    picture.setPixel(20, keyRow, Key);
    return picture;
}

// One of the main window's bars, on a skin-coloured panel.
struct MainBar {
    QWidget panel;
    TLMDTrackBar *bar = new TLMDTrackBar(&panel);

    MainBar(QSize size, int maxValue, int position, QSize thumb)
    {
        panel.resize(size + QSize(20, 20));
        panel.setAutoFillBackground(true);
        QPalette palette = panel.palette();
        palette.setColor(QPalette::Window, Skin);
        panel.setPalette(palette);
        bar->setGeometry(QRect(QPoint(10, 10), size));
        bar->setMaxValue(maxValue);
        bar->setPosition(position);
        bar->setThumb(thumbPicture(thumb, thumb.height() == 10 ? 4 : 3));
        bar->setThumbStyle(tsCustom);
        bar->setTrackWidth(5);
        bar->setTickStyle(tsNone);
        bar->setFocusStyle(tbInvisibleFocus);
        bar->setTransparent(true);
    }
    QImage image() { return panel.grab().toImage().copy(bar->geometry()); }
    void show()
    {
        panel.show();
        QApplication::setActiveWindow(&panel);
        QVERIFY(QTest::qWaitForWindowActive(&panel));
    }
    // Through the shown window, as the system delivers them, so that the application knows
    // which buttons are down.
    void press(QPoint at)
    {
        QTest::mousePress(panel.windowHandle(), Qt::LeftButton, {}, bar->mapTo(&panel, at));
    }
    void move(QPoint to) { QTest::mouseMove(panel.windowHandle(), bar->mapTo(&panel, to)); }
    void release(QPoint at)
    {
        QTest::mouseRelease(panel.windowHandle(), Qt::LeftButton, {}, bar->mapTo(&panel, at));
    }
};
MainBar *progressBar()
{
    return new MainBar({235, 17}, 300, 0, {56, 10});
}
MainBar *priorityBar()
{
    return new MainBar({75, 17}, 6, 3, {45, 8});
}
MainBar *volumeBar()
{
    return new MainBar({75, 19}, 65535, 0, {45, 8});
}

void sendWheel(QWidget *widget, int delta)
{
    const QPointF at(10, 5);
    QWheelEvent wheel(at, widget->mapToGlobal(at), {}, {0, delta}, Qt::NoButton, Qt::NoModifier,
                      Qt::NoScrollPhase, false);
    QApplication::sendEvent(widget, &wheel);
}

// Records the area of every paint event a widget gets.
class PaintSpy : public QObject {
public:
    explicit PaintSpy(QWidget *widget) { widget->installEventFilter(this); }
    QRegion painted;
    int events = 0;
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::Paint) {
            painted += static_cast<QPaintEvent *>(event)->region();
            ++events;
        }
        return false;
    }
};
} // namespace

class tst_trackbar : public QObject {
    Q_OBJECT
private slots:
    // The thumb at its place for the main window's bars; its key-coloured pixels show the
    // skin or the groove behind it.
    void thumbPixels_data()
    {
        QTest::addColumn<int>("bar");
        QTest::addColumn<int>("position");
        QTest::addColumn<QRect>("thumb");
        QTest::newRow("progress at 0") << 0 << 0 << QRect(1, 2, 28, 10);
        QTest::newRow("progress at 150") << 0 << 150 << QRect(103, 2, 28, 10);
        QTest::newRow("priority at 3") << 1 << 3 << QRect(26, 3, 22, 8);
        QTest::newRow("volume at 0") << 2 << 0 << QRect(1, 3, 22, 8);
        QTest::newRow("volume at 65535") << 2 << 65535 << QRect(52, 3, 22, 8);
    }
    void thumbPixels()
    {
        QFETCH(int, bar);
        QFETCH(int, position);
        QFETCH(QRect, thumb);
        std::unique_ptr<MainBar> main(bar == 0   ? progressBar()
                                      : bar == 1 ? priorityBar()
                                                 : volumeBar());
        main->bar->setPosition(position);
        const QImage image = main->image();
        QCOMPARE(image.pixel(thumb.left() + 1, thumb.top() + 1), Normal);
        QCOMPARE(image.pixel(thumb.bottomRight()), Normal);
        QVERIFY(image.pixel(thumb.left() - 1, thumb.top() + 1) != Normal);
        QVERIFY(image.pixel(thumb.right() + 1, thumb.top() + 1) != Normal);
        QCOMPARE(image.pixel(thumb.bottomLeft()), Skin); // key pixel over the skin
        // The other key pixel: over the groove's white line where that reaches, else the skin.
        const QRect line =
            TrackGroove::inside(main->bar->layoutNow().groove(), TrackGroove::lsLoweredExt, 0);
        QCOMPARE(image.pixel(thumb.left() + 20, 6),
                 line.contains(thumb.left() + 20, 6) ? White : Skin);
        QCOMPARE(image.pixel(thumb.left() >= 30 ? 18 : thumb.right() + 5, 6), White); // groove
        QCOMPARE(image.pixel(0, 0), Skin); // the bar itself is transparent
    }

    void pressedFrameWhileDraggingOrDisabled()
    {
        std::unique_ptr<MainBar> main(priorityBar());
        const QPoint thumbCentre(37, 7);
        main->bar->setEnabled(false);
        QCOMPARE(main->image().pixel(thumbCentre), Pressed);
        main->bar->setEnabled(true);
        QCOMPARE(main->image().pixel(thumbCentre), Normal);
        QTest::mousePress(main->bar, Qt::LeftButton, {}, thumbCentre);
        QVERIFY(main->bar->isDragging());
        QCOMPARE(main->image().pixel(thumbCentre), Pressed);
        QTest::mouseRelease(main->bar, Qt::LeftButton, {}, thumbCentre);
        QCOMPARE(main->image().pixel(thumbCentre), Normal);
    }

    void emptyThumbDrawsTheStandardOne()
    {
        std::unique_ptr<MainBar> main(priorityBar());
        main->bar->setThumbColor(QColor(250, 200, 0));
        main->bar->setThumb(QImage());
        QCOMPARE(main->bar->thumbStyle(), tsStandard);
        const QRect thumb = main->bar->layoutNow().thumbRect(3);
        QCOMPARE(thumb.size(), QSize(11, 20));
        QCOMPARE(main->image().pixelColor(thumb.center()), QColor(250, 200, 0));
    }

    void background_data()
    {
        QTest::addColumn<bool>("transparent");
        QTest::addColumn<bool>("trackTransparent");
        QTest::addColumn<QRgb>("corner");
        QTest::addColumn<QRgb>("groove");
        const QRgb blue = qRgb(0, 0, 160);
        QTest::newRow("opaque") << false << false << blue << White;
        QTest::newRow("opaque, groove see-through") << false << true << blue << Skin;
        QTest::newRow("transparent") << true << false << Skin << White;
        QTest::newRow("all see-through") << true << true << Skin << Skin;
    }
    void background()
    {
        QFETCH(bool, transparent);
        QFETCH(bool, trackTransparent);
        std::unique_ptr<MainBar> main(progressBar());
        main->bar->setColor(QColor(0, 0, 160));
        main->bar->setTransparent(transparent);
        main->bar->setTrackTransparent(trackTransparent);
        const QImage image = main->image();
        QTEST(image.pixel(0, 0), "corner");
        QTEST(image.pixel(100, 6), "groove");
    }

    // A new bar: ticks 0..10, the first at x 6; auto ticks are lines, owner-drawn ones calls.
    void ticks()
    {
        QWidget panel;
        TLMDTrackBar bar(&panel);
        bar.setTickMarks(tmBoth);
        bar.setTickColor(Qt::red);
        QImage image = panel.grab().toImage();
        for (int y : {1, 6, 28, 33})
            QCOMPARE(image.pixel(6, y), qRgb(255, 0, 0));
        QCOMPARE(image.pixel(6, 7) == qRgb(255, 0, 0), false);

        QList<int> values;
        QList<QPoint> anchors;
        connect(&bar, &TLMDTrackBar::OnDrawTick, this,
                [&](QObject *sender, QPainter *canvas, int value, QPoint pos) {
                    QCOMPARE(sender, &bar);
                    QVERIFY(canvas);
                    values << value;
                    anchors << pos;
                });
        bar.setTickMarks(tmBottomRight);
        bar.setTickStyle(tsOwnerDraw);
        bar.setTickGap(5);
        image = panel.grab().toImage();
        QCOMPARE(values, (QList<int>{0, 5, 10}));
        QCOMPARE(anchors.first(), QPoint(6, 33));
        QVERIFY(image.pixel(6, 33) != qRgb(255, 0, 0));
    }

    void assignmentRules_data()
    {
        QTest::addColumn<QByteArray>("property");
        QTest::addColumn<int>("value");
        QTest::addColumn<int>("stored");
        QTest::newRow("MaxValue equal to MinValue") << QByteArray("MaxValue") << 0 << 10;
        QTest::newRow("MaxValue below MinValue") << QByteArray("MaxValue") << -5 << 10;
        QTest::newRow("MaxValue above MinValue") << QByteArray("MaxValue") << 1 << 1;
        QTest::newRow("MinValue equal to MaxValue") << QByteArray("MinValue") << 10 << 0;
        QTest::newRow("MinValue below MaxValue") << QByteArray("MinValue") << 9 << 9;
        QTest::newRow("Margin 0") << QByteArray("Margin") << 0 << 1;
        QTest::newRow("Margin 4") << QByteArray("Margin") << 4 << 4;
        QTest::newRow("TrackWidth 2") << QByteArray("TrackWidth") << 2 << 10;
        QTest::newRow("TrackWidth 3") << QByteArray("TrackWidth") << 3 << 3;
        QTest::newRow("TickGap -2") << QByteArray("TickGap") << -2 << -1;
        QTest::newRow("TickGap 0") << QByteArray("TickGap") << 0 << 0;
    }
    void assignmentRules()
    {
        QFETCH(QByteArray, property);
        QFETCH(int, value);
        TLMDTrackBar bar;
        QVERIFY(bar.setProperty(property, value));
        QTEST(bar.property(property).toInt(), "stored");
    }

    // OnChange follows every effective change of Position and nothing else.
    void onChange_data()
    {
        QTest::addColumn<QByteArray>("property");
        QTest::addColumn<int>("value");
        QTest::addColumn<int>("position");
        QTest::addColumn<int>("changes");
        QTest::newRow("same value") << QByteArray("Position") << 4 << 4 << 0;
        QTest::newRow("new value") << QByteArray("Position") << 5 << 5 << 1;
        QTest::newRow("70000 is the top") << QByteArray("Position") << 70000 << 65535 << 1;
        QTest::newRow("below the bottom") << QByteArray("Position") << -5 << 0 << 1;
        QTest::newRow("minimum raised over it") << QByteArray("MinValue") << 10 << 10 << 1;
        QTest::newRow("maximum lowered under it") << QByteArray("MaxValue") << 2 << 2 << 1;
        QTest::newRow("maximum ignored") << QByteArray("MaxValue") << -1 << 4 << 0;
    }
    void onChange()
    {
        QFETCH(QByteArray, property);
        QFETCH(int, value);
        TLMDTrackBar bar;
        bar.setMaxValue(65535);
        bar.setPosition(4);
        QSignalSpy changes(&bar, &TLMDTrackBar::OnChange);
        bar.setProperty(property, value);
        QTEST(bar.position(), "position");
        QTEST(int(changes.count()), "changes");
        if (!changes.isEmpty())
            QCOMPARE(changes.first().first().value<QObject *>(), &bar);
        bar.setProperty("Position", bar.position());
        QTEST(int(changes.count()), "changes");
    }

    void draggingPastTheEnds()
    {
        std::unique_ptr<MainBar> main(progressBar());
        QSignalSpy changes(main->bar, &TLMDTrackBar::OnChange);
        QTest::mousePress(main->bar, Qt::LeftButton, {}, QPoint(15, 7));
        QTest::mouseMove(main->bar, QPoint(16, 7));
        QCOMPARE(main->bar->position(), 1); // the thumb follows the pointer
        QTest::mouseMove(main->bar, QPoint(400, 7));
        QCOMPARE(main->bar->position(), 300);
        QTest::mouseMove(main->bar, QPoint(500, 30));
        QCOMPARE(main->bar->position(), 300);
        QTest::mouseMove(main->bar, QPoint(-40, 7));
        QCOMPARE(main->bar->position(), 0);
        QCOMPARE(changes.count(), 3);
        QTest::mouseRelease(main->bar, Qt::LeftButton, {}, QPoint(-40, 7));
        QVERIFY(!main->bar->isDragging());
    }

    // Progress bar, pointer at x 100 on the groove, pages of 50.
    void pagingRepeatsUntilTheThumbPassesThePointer_data()
    {
        QTest::addColumn<int>("start");
        QTest::addColumn<QList<int>>("steps");
        QTest::newRow("up") << 0 << QList<int>{50, 100, 150};
        QTest::newRow("down") << 300 << QList<int>{250, 200, 150, 100};
    }
    void pagingRepeatsUntilTheThumbPassesThePointer()
    {
        QFETCH(int, start);
        QFETCH(QList<int>, steps);
        std::unique_ptr<MainBar> main(progressBar());
        main->show();
        QCOMPARE(main->bar->repeatInterval(), 300);
        main->bar->setRepeatInterval(5);
        main->bar->setPageSize(50);
        main->bar->setPosition(start);
        QList<int> seen;
        connect(main->bar, &TLMDTrackBar::OnChange, this, [&] { seen << main->bar->position(); });
        main->press({100, 6});
        QCOMPARE(seen.first(), steps.first()); // at once
        QTRY_VERIFY(!main->bar->isPaging());
        QTest::qWait(30);
        QCOMPARE(seen, steps);
        main->release({100, 6});

        // Releasing ends paging at once.
        main->bar->setPosition(start);
        seen.clear();
        main->press({100, 6});
        main->release({100, 6});
        QVERIFY(!main->bar->isPaging());
        QTest::qWait(30);
        QCOMPARE(seen.size(), 1);
    }

    // The release may never reach the bar: a box opened by the change (a failing volume call)
    // or by the poll takes it, or the focus moves away. The bar then stops paging and dragging
    // instead of paging on behind the box. A bar without focus learns it from the button being
    // up at the next repeat.
    void losingTheMouseEndsPagingAndDragging_data()
    {
        QTest::addColumn<bool>("drag");
        QTest::addColumn<QString>("loss");
        for (const char *loss : {"a box from the change", "a quick box, no focus", "focus leaves"})
            QTest::addRow("paging, %s", loss) << false << QString(loss);
        for (const char *loss : {"a box from the change", "focus leaves"})
            QTest::addRow("dragging, %s", loss) << true << QString(loss);
    }
    void losingTheMouseEndsPagingAndDragging()
    {
        QFETCH(bool, drag);
        QFETCH(QString, loss);
        const bool quickBox = loss == "a quick box, no focus";
        std::unique_ptr<MainBar> main(progressBar());
        // The quick box opens and closes between two repeats.
        main->bar->setRepeatInterval(quickBox ? 100 : 5);
        if (quickBox)
            main->bar->setFocusStyle(tbNoFocus);
        main->bar->setPageSize(50);
        QWidget elsewhere;
        elsewhere.setFocusPolicy(Qt::StrongFocus);
        elsewhere.show();
        main->show();
        int changes = 0;
        connect(main->bar, &TLMDTrackBar::OnChange, this, [&] {
            if (++changes > 1 || !loss.contains("box"))
                return;
            QDialog box(&main->panel);
            QTimer::singleShot(quickBox ? 20 : 50, &box, [&box] {
                QTest::mouseRelease(box.windowHandle(), Qt::LeftButton);
                box.accept();
            });
            box.exec();
        });
        const QPoint thumb = main->bar->layoutNow().thumbRect(0).center();
        main->press(drag ? thumb : QPoint(200, 6));
        if (drag)
            main->move(thumb + QPoint(30, 0));
        QCOMPARE(changes, 1);
        if (loss == "focus leaves")
            QApplication::setActiveWindow(&elsewhere);
        QTest::qWait(quickBox ? 250 : 50);
        QVERIFY(!main->bar->isPaging());
        QCOMPARE(changes, 1);
        QVERIFY(!main->bar->isDragging());
    }

    void disablingEndsDragAndPaging()
    {
        std::unique_ptr<MainBar> main(progressBar());
        QTest::mousePress(main->bar, Qt::LeftButton, {}, QPoint(100, 6));
        QVERIFY(main->bar->isPaging());
        main->bar->setEnabled(false);
        QVERIFY(!main->bar->isPaging());
        main->bar->setEnabled(true);
        QTest::mousePress(main->bar, Qt::LeftButton, {},
                          QPoint(main->bar->layoutNow().thumbRect(main->bar->position()).center()));
        QVERIFY(main->bar->isDragging());
        main->bar->setEnabled(false);
        QVERIFY(!main->bar->isDragging());
    }

    // The priority bar at 3, page size 2.
    void keysAndWheel_data()
    {
        QTest::addColumn<int>("lineSize");
        QTest::addColumn<QList<int>>("input"); // key codes, or wheel deltas below 1000
        QTest::addColumn<int>("position");
        QTest::newRow("wheel down") << 1 << QList<int>{-120} << 4;
        QTest::newRow("wheel up") << 1 << QList<int>{120} << 2;
        QTest::newRow("wheel ignores LineSize") << 3 << QList<int>{-120} << 4;
        QTest::newRow("two notches") << 1 << QList<int>{-240} << 5;
        QTest::newRow("fine wheel adds up") << 1 << QList<int>{-40, -40, -30} << 3;
        QTest::newRow("fine wheel, a notch") << 1 << QList<int>{-40, -40, -40} << 4;
        QTest::newRow("Page Up") << 1 << QList<int>{Qt::Key_PageUp} << 5;
        QTest::newRow("Page Down") << 1 << QList<int>{Qt::Key_PageDown} << 1;
        QTest::newRow("Right and Up") << 1 << QList<int>{Qt::Key_Right, Qt::Key_Up} << 5;
        QTest::newRow("Left") << 1 << QList<int>{Qt::Key_Left} << 2;
        QTest::newRow("Down by LineSize") << 2 << QList<int>{Qt::Key_Down} << 1;
        QTest::newRow("past the top") << 5 << QList<int>{Qt::Key_Up} << 6;
        QTest::newRow("other keys") << 1 << QList<int>{Qt::Key_Home, Qt::Key_A} << 3;
    }
    void keysAndWheel()
    {
        QFETCH(int, lineSize);
        QFETCH(QList<int>, input);
        std::unique_ptr<MainBar> main(priorityBar());
        main->bar->setLineSize(lineSize);
        for (int code : input) {
            if (std::abs(code) < 1000)
                sendWheel(main->bar, code);
            else
                QTest::keyClick(main->bar, Qt::Key(code));
        }
        QTEST(main->bar->position(), "position");
    }

    // The bar's keys reach it even when the window around it has shortcuts on them.
    void arrowKeysInsideADialog()
    {
        QDialog dialog;
        auto *button = new QPushButton("OK", &dialog);
        auto *bar = new TLMDTrackBar(&dialog);
        bar->move(0, 40);
        auto *shortcut = new QAction(&dialog);
        shortcut->setShortcut(Qt::Key_Right);
        dialog.addAction(shortcut);
        QSignalSpy triggered(shortcut, &QAction::triggered);
        dialog.show();
        QApplication::setActiveWindow(&dialog);
        QVERIFY(QTest::qWaitForWindowActive(&dialog));
        button->setFocus();
        QTest::keyClick(button, Qt::Key_Right);
        QCOMPARE(triggered.count(), 1); // the shortcut is live

        QTest::mouseClick(bar, Qt::LeftButton, {}, {200, 2});
        QVERIFY(bar->hasFocus());
        QTest::keyClick(bar, Qt::Key_Right);
        QTest::keyClick(bar, Qt::Key_PageUp);
        QCOMPARE(bar->position(), 3);
        QCOMPARE(triggered.count(), 1);
    }

    void focusStyles()
    {
        MainBar main({75, 17}, 6, 3, {45, 8});
        main.show();
        const QImage unfocused = main.image();
        QTest::mouseClick(main.bar, Qt::LeftButton, {}, {70, 15});
        QVERIFY(main.bar->hasFocus());
        QCOMPARE(main.image(), unfocused); // tbInvisibleFocus

        main.bar->setFocusStyle(tbFocus);
        main.bar->setUseFocusColor(true);
        main.bar->setFocusColor(Qt::yellow);
        QImage image = main.image();
        QCOMPARE(image.pixel(0, 0), qRgb(255, 255, 0));
        QCOMPARE(image.pixel(1, 0), Skin);
        QCOMPARE(image.pixel(74, 16), qRgb(255, 255, 0));
        main.bar->setUseFocusColor(false);
        QVERIFY(main.image() != unfocused); // the style's focus frame

        main.bar->clearFocus();
        main.bar->setFocusStyle(tbNoFocus);
        QVERIFY(!main.bar->tabStop());
        QTest::mouseClick(main.bar, Qt::LeftButton, {}, {70, 15});
        QVERIFY(!main.bar->hasFocus());
    }

    // Dragging, paging and code (a playing song's tick) repaint only where the thumb was and
    // where it is.
    void movingTheThumbRepaintsOnlyTheThumb()
    {
        MainBar main({75, 17}, 6, 3, {45, 8});
        main.show();
        const TrackBarGeometry layout = main.bar->layoutNow();
        QTest::mousePress(main.bar, Qt::LeftButton, {}, {37, 7});
        QTest::qWait(20);
        PaintSpy spy(main.bar);
        QTest::mouseMove(main.bar, {63, 7});
        QCOMPARE(main.bar->position(), 6);
        QTRY_VERIFY(spy.events > 0);
        QCOMPARE(spy.painted, QRegion(layout.thumbRect(3)) + layout.thumbRect(6));
        QTest::mouseRelease(main.bar, Qt::LeftButton, {}, {63, 7});

        QTest::qWait(20);
        spy.painted = {};
        spy.events = 0;
        main.bar->setPosition(0);
        QTRY_VERIFY(spy.events > 0);
        QCOMPARE(spy.painted, QRegion(layout.thumbRect(6)) + layout.thumbRect(0));
    }
};

QTEST_MAIN(tst_trackbar)
#include "tst_trackbar.moc"
