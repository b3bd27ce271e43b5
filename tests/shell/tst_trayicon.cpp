#include <QtTest>

#include <QDBusConnection>
#include <QMenu>
#include <QProcess>
#include <QSystemTrayIcon>
#include <QWidget>
#include <memory>

#include "trayicon.h"

namespace {

const QString ProgramFolder = QStringLiteral(NORL_SHELL_TEST_DIR "/../../bin");

QIcon solidIcon()
{
    QPixmap picture(16, 16);
    picture.fill(Qt::cyan);
    return QIcon(picture);
}

// A frameless window like the main window, its tray icon, and a tray that a test can take away.
struct TrayedWindow {
    bool trayThere = true;
    QWidget window{nullptr, Qt::Window | Qt::FramelessWindowHint};
    TLMDTrayIcon *tray = nullptr;

    explicit TrayedWindow(bool withTray = true, bool withIcon = true, bool activationsOnly = false)
        : trayThere(withTray)
    {
        tray = new TLMDTrayIcon(
            &window, [this] { return trayThere; }, [activationsOnly] { return activationsOnly; });
        if (withIcon)
            tray->SetIcon(solidIcon());
        window.resize(60, 40);
        window.show();
    }
    QSystemTrayIcon *systemIcon() const { return tray->findChild<QSystemTrayIcon *>(); }
    bool isToolWindow() const { return window.windowType() == Qt::Tool; }
    // Minimises and lets the deferred handling run.
    void minimise()
    {
        window.showMinimized();
        QCoreApplication::processEvents();
        QCoreApplication::processEvents();
    }
};

// The events of one tray report, in order, as readable words.
QStringList recordEvents(TLMDTrayIcon &tray, QSystemTrayIcon::ActivationReason reason)
{
    QStringList events;
    const auto button = [](Qt::MouseButton b) {
        return b == Qt::LeftButton ? "Left" : b == Qt::RightButton ? "Right" : "Middle";
    };
    const auto connections = {
        QObject::connect(&tray, &TLMDTrayIcon::OnClick, [&] { events << "Click"; }),
        QObject::connect(&tray, &TLMDTrayIcon::OnDblClick, [&] { events << "DblClick"; }),
        QObject::connect(&tray, &TLMDTrayIcon::OnPopUp, [&] { events << "PopUp"; }),
        QObject::connect(
            &tray, &TLMDTrayIcon::OnMouseDown,
            [&](QObject *, Qt::MouseButton b, Qt::KeyboardModifiers, int, int, bool twice) {
                events << QStringLiteral("Down %1%2").arg(button(b), twice ? " double" : "");
            }),
        QObject::connect(&tray, &TLMDTrayIcon::OnMouseUp,
                         [&](QObject *, Qt::MouseButton b) {
                             events << QStringLiteral("Up %1").arg(button(b));
                         }),
    };
    emit tray.findChild<QSystemTrayIcon *>()->activated(reason);
    for (const auto &connection : connections)
        QObject::disconnect(connection);
    return events;
}

// Counts the pixels of the program's blue in a picture.
int bluePixels(const QImage &image)
{
    int count = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QColor pixel = image.pixelColor(x, y);
            count += pixel.red() < 40 && pixel.green() > 150 && pixel.blue() > 190;
        }
    return count;
}

// The desktop's registry of D-Bus notification area items, as far as the icon asks it.
class FakeStatusNotifierWatcher : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.kde.StatusNotifierWatcher")
    Q_PROPERTY(bool IsStatusNotifierHostRegistered MEMBER hostRegistered)
public:
    bool hostRegistered = false;
};

} // namespace

class tst_trayicon : public QObject {
    Q_OBJECT
private slots:
    void initTestCase()
    {
        // Without a tray host the icon still looks for one, and says so for every icon.
        QLoggingCategory::setFilterRules(QStringLiteral("qt.core.qobject.connect.warning=false"));
    }

    void minimiseHidesOnlyWithAWayBack_data()
    {
        QTest::addColumn<bool>("trayAtStart");
        QTest::addColumn<bool>("trayAtMinimise");
        QTest::addColumn<bool>("active");
        QTest::addColumn<bool>("withIcon");
        QTest::addColumn<bool>("hidden");
        QTest::addColumn<bool>("toolWindowAfter");
        QTest::newRow("tray") << true << true << true << true << true << true;
        QTest::newRow("no tray") << false << false << true << true << false << false;
        QTest::newRow("tray came later") << false << true << true << true << true << true;
        QTest::newRow("tray went away") << true << false << true << true << false << false;
        QTest::newRow("inactive") << true << true << false << true << false << false;
        QTest::newRow("no picture") << true << true << true << false << false << false;
    }
    void minimiseHidesOnlyWithAWayBack()
    {
        QFETCH(bool, trayAtStart);
        QFETCH(bool, trayAtMinimise);
        QFETCH(bool, active);
        QFETCH(bool, withIcon);
        QFETCH(bool, hidden);
        QFETCH(bool, toolWindowAfter);
        TrayedWindow owner(trayAtStart, withIcon);
        owner.tray->SetActive(active);
        owner.trayThere = trayAtMinimise;
        QCOMPARE(owner.tray->canHideToTray(), hidden);

        owner.minimise();
        QCOMPARE(owner.window.isHidden(), hidden);
        QVERIFY(owner.window.isMinimized());
        QCOMPARE(owner.isToolWindow(), toolWindowAfter);
        QVERIFY(owner.window.windowFlags() & Qt::FramelessWindowHint);
    }

    void theRealDesktopWithoutTrayOnlyMinimises()
    {
        QVERIFY(!QSystemTrayIcon::isSystemTrayAvailable());
        QWidget window(nullptr, Qt::Window | Qt::FramelessWindowHint);
        auto *tray = new TLMDTrayIcon(&window);
        tray->SetIcon(solidIcon());
        tray->SetNoClose(true);
        window.show();
        QVERIFY(!tray->canHideToTray());
        QCOMPARE(window.windowType(), Qt::Window);

        window.showMinimized();
        QTest::qWait(20);
        QVERIFY(window.isVisible());
        QVERIFY(window.isMinimized());
        // Closing is not turned into hiding either: that would leave a window nobody can reach.
        QVERIFY(window.close());
    }

    void toolWindowWhileTheIconStandsIn()
    {
        TrayedWindow owner;
        owner.window.setAttribute(Qt::WA_QuitOnClose, true);
        QVERIFY(owner.isToolWindow());
        QVERIFY(owner.window.isVisible());
        QVERIFY(owner.window.windowFlags() & Qt::FramelessWindowHint);
        // Closing the window must still end the program.
        QVERIFY(owner.window.testAttribute(Qt::WA_QuitOnClose));

        owner.tray->SetActive(false);
        QCOMPARE(owner.window.windowType(), Qt::Window);
        QVERIFY(owner.window.windowFlags() & Qt::FramelessWindowHint);
        QVERIFY(owner.window.isVisible());
        QVERIFY(owner.window.testAttribute(Qt::WA_QuitOnClose));

        owner.tray->SetActive(true);
        QVERIFY(owner.isToolWindow());
    }

    void closeWithNoClose_data()
    {
        QTest::addColumn<bool>("noClose");
        QTest::addColumn<bool>("trayThere");
        QTest::addColumn<bool>("closed");
        QTest::newRow("hides to the tray") << true << true << false;
        QTest::newRow("closes without tray") << true << false << true;
        QTest::newRow("closes when allowed") << false << true << true;
    }
    void closeWithNoClose()
    {
        QFETCH(bool, noClose);
        QFETCH(bool, trayThere);
        QFETCH(bool, closed);
        TrayedWindow owner(trayThere);
        owner.tray->SetNoClose(noClose);
        QCOMPARE(owner.window.close(), closed);
        QVERIFY(owner.window.isHidden());
    }

    void handlingEndsWithTheComponent()
    {
        {
            TrayedWindow owner;
            owner.tray->SetActive(false);
            owner.tray->SetNoClose(true);
            owner.minimise();
            QVERIFY(owner.window.isVisible());
            QVERIFY(owner.window.close());
        }
        {
            TrayedWindow owner;
            delete owner.tray;
            owner.minimise();
            QVERIFY(owner.window.isVisible());
        }
        {
            // Destroyed while its deferred hide is still waiting.
            TrayedWindow owner;
            owner.window.showMinimized();
            delete owner.tray;
            QCoreApplication::processEvents();
            QVERIFY(owner.window.isVisible());
        }
        {
            // The owner goes first and takes the component with it.
            auto owner = std::make_unique<TrayedWindow>();
            QPointer<TLMDTrayIcon> tray = owner->tray;
            QPointer<QSystemTrayIcon> icon = owner->systemIcon();
            owner->window.showMinimized();
            owner.reset();
            QCoreApplication::processEvents();
            QVERIFY(!tray);
            QVERIFY(!icon);
        }
    }

    void theIconFollowsItsProperties()
    {
        TrayedWindow owner(true, false);
        QSystemTrayIcon *icon = owner.systemIcon();
        QVERIFY(!icon->isVisible());

        const QString longHint = QStringLiteral("NorlPlayer - ").repeated(8);
        owner.tray->SetHint(longHint);
        QCOMPARE(owner.tray->Hint(), longHint);
        QCOMPARE(icon->toolTip(), longHint);

        QVERIFY(!owner.isToolWindow());
        owner.tray->SetIcon(solidIcon());
        QVERIFY(icon->isVisible());
        QVERIFY(!icon->icon().isNull());
        QVERIFY(owner.isToolWindow());
        owner.tray->SetActive(false);
        QVERIFY(!icon->isVisible());
        owner.tray->SetActive(true);
        QVERIFY(icon->isVisible());
        owner.tray->SetIcon(QIcon());
        QVERIFY(!icon->isVisible());
        QVERIFY(!owner.isToolWindow());
    }

    void aDeletedMenuIsForgotten()
    {
        TrayedWindow owner;
        auto *menu = new QMenu;
        owner.tray->SetPopUpMenu(menu);
        QCOMPARE(owner.systemIcon()->contextMenu(), menu);
        QVERIFY(recordEvents(*owner.tray, QSystemTrayIcon::Context).contains("PopUp"));

        delete menu;
        QCOMPARE(owner.tray->PopUpMenu(), nullptr);
        QCOMPARE(owner.systemIcon()->contextMenu(), nullptr);
        QVERIFY(!recordEvents(*owner.tray, QSystemTrayIcon::Context).contains("PopUp"));
    }

    void trayReportsBecomeEvents_data()
    {
        QTest::addColumn<bool>("activationsOnly");
        QTest::addColumn<int>("reason");
        QTest::addColumn<QStringList>("events");
        const QStringList doubleClick{"DblClick", "Down Left double", "Click", "Up Left"};
        QTest::newRow("left click") << false << int(QSystemTrayIcon::Trigger)
                                    << QStringList{"Down Left", "Click", "Up Left"};
        QTest::newRow("double click") << false << int(QSystemTrayIcon::DoubleClick) << doubleClick;
        QTest::newRow("right click with menu")
            << false << int(QSystemTrayIcon::Context)
            << QStringList{"Down Right", "PopUp", "Click", "Up Right"};
        QTest::newRow("middle click") << false << int(QSystemTrayIcon::MiddleClick)
                                      << QStringList{"Down Middle", "Click", "Up Middle"};
        QTest::newRow("unknown") << false << int(QSystemTrayIcon::Unknown) << QStringList{};
        // A D-Bus based tray: its activation asks for the window as a double click does.
        QTest::newRow("activation") << true << int(QSystemTrayIcon::Trigger) << doubleClick;
        QTest::newRow("activation tray, menu")
            << true << int(QSystemTrayIcon::Context)
            << QStringList{"Down Right", "PopUp", "Click", "Up Right"};
        QTest::newRow("activation tray, secondary activation")
            << true << int(QSystemTrayIcon::MiddleClick)
            << QStringList{"Down Middle", "Click", "Up Middle"};
    }
    void trayReportsBecomeEvents()
    {
        QFETCH(bool, activationsOnly);
        QFETCH(int, reason);
        QFETCH(QStringList, events);
        TrayedWindow owner(true, true, activationsOnly);
        QMenu menu;
        owner.tray->SetPopUpMenu(&menu);
        QCOMPARE(recordEvents(*owner.tray, QSystemTrayIcon::ActivationReason(reason)), events);
    }

    // A private session bus: no notification area host, then one that a fake watcher reports.
    void statusNotifierHostOnTheSessionBus()
    {
        const QString daemon = QStandardPaths::findExecutable(QStringLiteral("dbus-daemon"));
        if (daemon.isEmpty())
            QSKIP("needs dbus-daemon");
        QProcess bus;
        bus.start(daemon, {"--session", "--nofork", "--nopidfile", "--print-address=1"});
        QVERIFY(bus.waitForReadyRead(10000));
        const auto stopBus = qScopeGuard([&] {
            bus.terminate();
            bus.waitForFinished();
        });
        const QString address = QString::fromLatin1(bus.readLine()).trimmed();
        const QDBusConnection program = QDBusConnection::connectToBus(address, "program");
        const auto disconnect = qScopeGuard([] {
            QDBusConnection::disconnectFromBus("program");
            QDBusConnection::disconnectFromBus("host");
        });
        QVERIFY(program.isConnected());
        QVERIFY(!TLMDTrayIcon::statusNotifierHostRunning(program));

        QDBusConnection host = QDBusConnection::connectToBus(address, "host");
        // Answered from a thread of its own: the probe blocks this one while it waits.
        QThread answering;
        FakeStatusNotifierWatcher watcher;
        watcher.moveToThread(&answering);
        answering.start();
        const auto stopAnswering = qScopeGuard([&] {
            answering.quit();
            answering.wait();
        });
        QVERIFY(host.registerObject("/StatusNotifierWatcher", &watcher,
                                    QDBusConnection::ExportAllProperties));
        QVERIFY(host.registerService("org.kde.StatusNotifierWatcher"));
        QVERIFY(!TLMDTrayIcon::statusNotifierHostRunning(program)); // a watcher, no host yet
        watcher.hostRegistered = true;
        QVERIFY(TLMDTrayIcon::statusNotifierHostRunning(program));
    }

    void programIconLiesBesideTheProgram()
    {
        const QIcon icon = TLMDTrayIcon::programIcon(ProgramFolder);
        QCOMPARE(icon.availableSizes(),
                 (QList<QSize>{
                     {16, 16}, {24, 24}, {32, 32}, {48, 48}, {64, 64}, {128, 128}, {256, 256}}));
        QVERIFY(bluePixels(icon.pixmap(32, 32).toImage()) > 100);
        QVERIFY(TLMDTrayIcon::programIcon(QDir::tempPath() + "/no-such-folder").isNull());
    }

    // Made at every start for the application and the tray: no picture is read until drawn.
    void programIconReadsItsPicturesWhenFirstDrawn()
    {
        QTemporaryDir folder;
        for (const QString name : {"norlplayer-16.png", "norlplayer-32.png"})
            QVERIFY(QFile::copy(QDir(ProgramFolder).filePath(name), folder.filePath(name)));
        const QIcon icon = TLMDTrayIcon::programIcon(folder.path());
        QVERIFY(QFile::remove(folder.filePath("norlplayer-32.png")));
        QVERIFY(!icon.isNull());
        QCOMPARE(icon.availableSizes(), (QList<QSize>{{16, 16}, {32, 32}}));
        // Read now, the 32 is gone: the 16 is the largest there is.
        const QPixmap drawn = icon.pixmap(32, 32);
        QCOMPARE(drawn.size(), QSize(16, 16));
        QVERIFY(bluePixels(drawn.toImage()) > 10);
    }

    // A real X server with a tray: the helper shows a window with its icon, minimises it, and
    // quits the icon; the pictures show the icon docked, then gone.
    void realTray()
    {
        const QString xvfb = QStandardPaths::findExecutable(QStringLiteral("Xvfb"));
        const QString trayHost = QStandardPaths::findExecutable(QStringLiteral("trayer"));
        if (xvfb.isEmpty() || trayHost.isEmpty())
            QSKIP("needs Xvfb and the trayer tray host");

        QProcess server;
        server.start(xvfb, {"-displayfd", "1", "-screen", "0", "320x200x24", "-nolisten", "tcp"});
        QVERIFY(server.waitForReadyRead(10000));
        const QString display = ':' + QString::fromLatin1(server.readLine()).trimmed();
        const auto stopServer = qScopeGuard([&] {
            server.terminate();
            server.waitForFinished();
        });
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("DISPLAY", display);
        environment.insert("QT_QPA_PLATFORM", "xcb");
        environment.remove("DBUS_SESSION_BUS_ADDRESS");
        // The X11 platform's own use of the system's D-Bus library leaks at exit under ASan.
        QTemporaryFile leaks;
        QVERIFY(leaks.open());
        leaks.write("leak:libdbus-1.so\n");
        leaks.flush();
        environment.insert("LSAN_OPTIONS", "suppressions=" + leaks.fileName());

        QProcess host;
        host.setProcessEnvironment(environment);
        host.start(trayHost, {"--edge", "top", "--align", "right", "--widthtype", "pixel",
                              "--width", "64", "--height", "32", "--SetDockType", "true"});
        QVERIFY(host.waitForStarted());
        const auto stopHost = qScopeGuard([&] {
            host.terminate();
            host.waitForFinished();
        });

        const QString before = QDir::temp().filePath("tst_trayicon-before.png");
        const QString after = QDir::temp().filePath("tst_trayicon-after.png");
        QProcess helper;
        helper.setProcessEnvironment(environment);
        helper.start(NORL_SHELL_TEST_DIR "/helper_traywindow", {ProgramFolder, before, after});
        QVERIFY(helper.waitForFinished(30000));
        const QString output = QString::fromUtf8(helper.readAllStandardOutput());
        QVERIFY2(helper.exitCode() == 0, qPrintable(output + helper.readAllStandardError()));

        QMap<QString, QString> report;
        for (const QString &line : output.split('\n', Qt::SkipEmptyParts))
            report.insert(line.section(' ', 0, 0), line.section(' ', 1));
        QCOMPARE(report.value("docked"), "1");
        QCOMPARE(report.value("can-hide"), "1");
        QCOMPARE(report.value("tool-window"), "1");
        QCOMPARE(report.value("hidden-after-minimise"), "1");
        QCOMPARE(report.value("shown-after-restore"), "1");
        QCOMPARE(report.value("double-clicks"), "1");

        const QRect iconArea(QPoint(0, 0), QSize(320, 40));
        const int docked = bluePixels(QImage(before).copy(iconArea));
        QVERIFY2(docked > 20, qPrintable(QString::number(docked)));
        QCOMPARE(bluePixels(QImage(after).copy(iconArea)), 0);
    }
};

QTEST_MAIN(tst_trayicon)
#include "tst_trayicon.moc"
