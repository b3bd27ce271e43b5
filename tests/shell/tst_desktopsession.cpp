// What the hide button does on each kind of desktop: a minimised window must have a way back.
#include <QtTest>

#include "desktopsession.h"

using DesktopSession::HideAction;

class tst_desktopsession : public QObject {
    Q_OBJECT

private slots:
    void hideButton_data()
    {
        QTest::addColumn<QString>("platform");
        QTest::addColumn<QString>("desktop");
        QTest::addColumn<bool>("tray");
        QTest::addColumn<HideAction>("action");
        QTest::newRow("X11, tray") << "xcb"
                                   << "" << true << HideAction::HideToTray;
        QTest::newRow("X11, no tray: the taskbar") << "xcb"
                                                   << "" << false << HideAction::Minimise;
        QTest::newRow("Wayland, tray") << "wayland"
                                       << "" << true << HideAction::HideToTray;
        QTest::newRow("bare compositor") << "wayland"
                                         << "" << false << HideAction::Stay;
        QTest::newRow("weston") << "wayland-egl"
                                << "weston" << false << HideAction::Stay;
        QTest::newRow("GNOME without a tray") << "wayland"
                                              << "ubuntu:GNOME" << false << HideAction::Minimise;
        QTest::newRow("KDE, any case") << "wayland"
                                       << "kde" << false << HideAction::Minimise;
        QTest::newRow("a name that only contains one")
            << "wayland"
            << "GNOME-Flashback-ish" << false << HideAction::Stay;
        QTest::newRow("empty parts") << "wayland"
                                     << "::" << false << HideAction::Stay;
    }
    void hideButton()
    {
        QFETCH(QString, platform);
        QFETCH(QString, desktop);
        QFETCH(bool, tray);
        QFETCH(HideAction, action);
        QCOMPARE(DesktopSession::hideAction(
                     tray, DesktopSession::minimisedWindowReturns(platform, desktop)),
                 action);
    }
};

QTEST_GUILESS_MAIN(tst_desktopsession)
#include "tst_desktopsession.moc"
