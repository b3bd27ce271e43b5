// Run on a real X server with a tray host: shows a frameless window with its tray icon, takes a
// picture of the screen, minimises and restores the window, double-clicks the docked icon, then
// destroys the icon and takes a second picture. Prints "key value" lines for the test.
// Arguments: the folder of the program's icon, the two picture files.
#include <QApplication>
#include <QElapsedTimer>
#include <QMouseEvent>
#include <QScreen>
#include <QThread>
#include <QWidget>
#include <cstdio>

#include "trayicon.h"

namespace {

void report(const char *key, bool value)
{
    std::printf("%s %d\n", key, value ? 1 : 0);
}

// Lets the X server and the tray host answer for a while, or until `done` holds.
template <typename Done> bool waitFor(Done done, int milliseconds = 5000)
{
    QElapsedTimer clock;
    clock.start();
    while (!done() && clock.elapsed() < milliseconds) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
        QThread::msleep(20);
    }
    return done();
}

void settle()
{
    waitFor([] { return false; }, 400);
}

bool grabScreen(const QString &file)
{
    return QGuiApplication::primaryScreen()->grabWindow(0).save(file);
}

// The window the tray docked: a top-level widget that is not ours.
QWidget *dockedIconWidget(const QWidget &owner)
{
    for (QWidget *widget : QApplication::topLevelWidgets())
        if (widget != &owner && widget->isVisible())
            return widget;
    return nullptr;
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication application(argc, argv);
    if (argc < 4)
        return 2;
    if (!waitFor([] { return QSystemTrayIcon::isSystemTrayAvailable(); }))
        return 3;

    QWidget window(nullptr, Qt::Window | Qt::FramelessWindowHint);
    window.setAutoFillBackground(true);
    window.setPalette(QPalette(QColor(90, 60, 40)));
    window.setGeometry(10, 100, 120, 80);
    auto *tray = new TLMDTrayIcon(&window);
    tray->SetHint(QStringLiteral("NorlPlayer"));
    tray->SetIcon(TLMDTrayIcon::programIcon(QString::fromLocal8Bit(argv[1])));
    int doubleClicks = 0;
    QObject::connect(tray, &TLMDTrayIcon::OnDblClick, [&] { ++doubleClicks; });
    window.show();

    QSystemTrayIcon *icon = tray->findChild<QSystemTrayIcon *>();
    report("docked", waitFor([&] { return !icon->geometry().isEmpty(); }));
    settle();
    report("can-hide", tray->canHideToTray());
    report("tool-window", window.windowType() == Qt::Tool &&
                              window.windowFlags().testFlag(Qt::FramelessWindowHint));
    const bool grabbedBefore = grabScreen(QString::fromLocal8Bit(argv[2]));

    window.showMinimized();
    report("hidden-after-minimise", waitFor([&] { return window.isHidden(); }));
    window.setVisible(true);
    window.showNormal();
    report("shown-after-restore", waitFor([&] { return window.isVisible(); }));

    if (QWidget *docked = dockedIconWidget(window)) {
        const QPointF centre = QRectF(docked->rect()).center();
        QMouseEvent press(QEvent::MouseButtonDblClick, centre, docked->mapToGlobal(centre),
                          Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(docked, &press);
    }
    std::printf("double-clicks %d\n", doubleClicks);

    delete tray;
    settle();
    const bool grabbedAfter = grabScreen(QString::fromLocal8Bit(argv[3]));
    return grabbedBefore && grabbedAfter ? 0 : 4;
}
