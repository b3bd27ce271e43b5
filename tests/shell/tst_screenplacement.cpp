// A window's place kept on the screens there are: the arithmetic over screen areas, and a
// window brought forward from beyond every screen.
#include <QtTest>

#include <QScreen>
#include <QWidget>

#include "oneinstance.h"
#include "screenplacement.h"

class tst_screenplacement : public QObject {
    Q_OBJECT
private slots:
    // Two screens side by side, the primary on the left with a panel along its top.
    void placeOnScreens_data()
    {
        QTest::addColumn<QRect>("window");
        QTest::addColumn<QPoint>("place");
        const QSize size(252, 412);
        QTest::newRow("whole on the primary") << QRect({100, 40}, size) << QPoint(100, 40);
        QTest::newRow("beyond every screen")
            << QRect({5000, 3000}, size) << QPoint(1920 - 252, 1080 - 412);
        QTest::newRow("far negative") << QRect({-4000, -4000}, size) << QPoint(0, 32);
        QTest::newRow("under the panel") << QRect({100, 0}, size) << QPoint(100, 32);
        QTest::newRow("off the bottom of the second")
            << QRect({2500, 1000}, size) << QPoint(2500, 1080 - 412);
        QTest::newRow("across both, mostly on the second")
            << QRect({1900, 100}, size) << QPoint(1920, 100);
        QTest::newRow("across both, mostly on the primary")
            << QRect({1750, 100}, size) << QPoint(1920 - 252, 100);
        QTest::newRow("larger than its screen")
            << QRect({500, 10}, QSize(2000, 2000)) << QPoint(0, 32);
    }
    void placeOnScreens()
    {
        QFETCH(QRect, window);
        QFETCH(QPoint, place);
        const QList<QRect> areas{QRect(0, 32, 1920, 1048), QRect(1920, 0, 1920, 1080)};
        QCOMPARE(::placeOnScreens(window, areas), place);
    }

    void noScreensLeaveTheWindowAlone()
    {
        QCOMPARE(::placeOnScreens(QRect(5000, 5000, 10, 10), {}), QPoint(5000, 5000));
    }

    // A frameless window left beyond the screen (its monitor unplugged while hidden to the
    // tray) comes back whole onto the screen when it is brought forward.
    void bringingForwardBringsItBack()
    {
        QWidget window(nullptr, Qt::Window | Qt::FramelessWindowHint);
        window.resize(252, 412);
        window.move(9000, 9000);
        TLMDOneInstance::BringForward(window);
        QVERIFY(window.isVisible());
        const QRect area = window.screen()->availableGeometry();
        QVERIFY2(area.contains(window.frameGeometry()),
                 qPrintable(QStringLiteral("%1,%2 outside %3x%4")
                                .arg(window.x())
                                .arg(window.y())
                                .arg(area.width())
                                .arg(area.height())));
    }
};

QTEST_MAIN(tst_screenplacement)
#include "tst_screenplacement.moc"
