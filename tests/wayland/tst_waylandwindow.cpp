// The built program on a Wayland compositor, as a user starts it the first time: weston's headless
// backend with a plain green desktop, the program on Qt's wayland platform. Its window shows the
// desktop through the corners its skin cuts out, the demo song reaches the test sound server, and
// a second copy ends with status 0. The compositor's last screenshot is kept as
// wayland-window.png in the working folder.
#include <QDir>
#include <QImage>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

#include "pcm.h"

#include "registrystore.h"

namespace {

const QString ProgramPath = QStringLiteral(NORL_PROGRAM_PATH);
const QString LibraryPath = QStringLiteral(NORL_LIBRARY_PATH);
const QSize WindowSize(252, 412);

bool copyFolder(const QString &from, const QString &to)
{
    if (!QDir().mkpath(to))
        return false;
    for (const QString &name : QDir(from).entryList(QDir::Files))
        if (!QFile::copy(from + "/" + name, to + "/" + name))
            return false;
    return true;
}

// The desktop's colour as the picture holds it: the window can cover one corner of the screen
// at most.
QRgb desktopColour(const QImage &screen)
{
    const QRect all = screen.rect();
    const QRgb corners[] = {screen.pixel(all.topLeft()), screen.pixel(all.topRight()),
                            screen.pixel(all.bottomLeft()), screen.pixel(all.bottomRight())};
    return std::count(std::begin(corners), std::end(corners), corners[0]) > 1 ? corners[0]
                                                                              : corners[1];
}

// The smallest rectangle holding every pixel that is not the desktop.
QRect paintedArea(const QImage &screen, QRgb desktop)
{
    QRect area;
    for (int y = 0; y < screen.height(); ++y)
        for (int x = 0; x < screen.width(); ++x)
            if (screen.pixel(x, y) != desktop)
                area |= QRect(x, y, 1, 1);
    return area;
}

} // namespace

class tst_waylandwindow : public QObject {
    Q_OBJECT

    QTemporaryDir m_root;
    QTemporaryDir m_runtime; // the compositor's socket; short enough for a socket path
    QProcess m_weston;
    QProcess m_player;
    QString m_folder;

    QProcessEnvironment environment() const
    {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("XDG_RUNTIME_DIR", m_runtime.path());
        environment.insert("WAYLAND_DISPLAY", "norl-wayland");
        environment.insert("QT_QPA_PLATFORM", "wayland");
        environment.insert("XDG_CONFIG_HOME", m_root.filePath("config"));
        environment.insert("XDG_DATA_HOME", m_root.filePath("data"));
        environment.insert("XDG_CACHE_HOME", m_root.filePath("cache"));
        environment.remove("DISPLAY");
        environment.remove("XDG_ACTIVATION_TOKEN");
        environment.remove("XDG_CURRENT_DESKTOP");
        return environment;
    }

    // The compositor's view of its whole output, by its screenshooter; null on failure.
    QImage screenshot() const
    {
        QTemporaryDir dir;
        QProcess shooter;
        shooter.setProcessEnvironment(environment());
        shooter.setWorkingDirectory(dir.path());
        shooter.start("weston-screenshooter", QStringList());
        if (!shooter.waitForFinished(10000) || shooter.exitCode() != 0)
            return QImage();
        const QStringList shots = QDir(dir.path()).entryList({"*.png"}, QDir::Files);
        return shots.isEmpty() ? QImage() : QImage(dir.filePath(shots.first()));
    }

    void startCompositor()
    {
        const QString config = m_root.filePath("weston.ini");
        QFile file(config);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("[core]\nidle-time=0\n"
                   "[shell]\nbackground-color=0xff00c000\npanel-position=none\nlocking=false\n");
        file.close();
        m_weston.setProcessEnvironment(environment());
        m_weston.setProcessChannelMode(QProcess::MergedChannels);
        // --debug lets the screenshooter in.
        m_weston.start("weston",
                       {"--backend=headless-backend.so", "--use-pixman", "--socket=norl-wayland",
                        "--width=640", "--height=480", "--config=" + config, "--debug"});
        if (!m_weston.waitForStarted(5000))
            QSKIP("weston cannot be started on this machine");
        const QString socket = m_runtime.filePath("norl-wayland");
        for (int tries = 0; tries < 100 && !QFileInfo::exists(socket); ++tries)
            if (m_weston.waitForFinished(100))
                break;
        if (m_weston.state() != QProcess::Running || !QFileInfo::exists(socket))
            QSKIP(qPrintable("weston did not start: " + m_weston.readAll().right(2000)));
    }

    // The program in a folder of its own with its skin and demo song, and a user who has
    // answered the association prompt already.
    void installProgram()
    {
        m_folder = m_root.filePath("program");
        const QString built = QFileInfo(ProgramPath).absolutePath();
        QVERIFY(QDir().mkpath(m_folder));
        QVERIFY(QFile::copy(ProgramPath, m_folder + "/norlplayer"));
        QVERIFY(QFile::copy(LibraryPath, m_folder + "/libnorlplay.so"));
        QVERIFY(QFile::copy(built + "/demo.mp3", m_folder + "/demo.mp3"));
        QVERIFY(copyFolder(built + "/blue", m_folder + "/blue"));
        const auto store = makeFileRegistryStore(m_root.filePath("config/NorlPlayer/registry"));
        const QString key = "SOFTWARE\\Vellacort\\NorlPlayer";
        QVERIFY(store->createKey(RegistryRoot::CurrentUser, key));
        QVERIFY(store->writeValue(RegistryRoot::CurrentUser, key, "ShowAssocDialog",
                                  {RegistryValueType::String, "1"}));
    }

    // A copy of the program with `extra` in its environment; its exit code, or -1.
    int runSecondCopy(const QProcessEnvironment &extra, QByteArray &errors)
    {
        QProcessEnvironment env = environment();
        for (const QString &name : extra.keys())
            env.insert(name, extra.value(name));
        QProcess second;
        second.setProcessEnvironment(env);
        second.start(m_folder + "/norlplayer", QStringList());
        if (!second.waitForFinished(15000)) {
            second.kill();
            second.waitForFinished();
            return -1;
        }
        errors = second.readAllStandardError();
        return second.exitStatus() == QProcess::NormalExit ? second.exitCode() : -1;
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m_root.isValid());
        QVERIFY(m_runtime.isValid());
        if (QStandardPaths::findExecutable("weston").isEmpty())
            QSKIP("weston is not installed");
        // Without a sound server the demo song's error box would stand in front of the window.
        if (qEnvironmentVariableIsEmpty("PULSE_SERVER"))
            QSKIP("PULSE_SERVER is not set: run through scripts/test or start_sound_server");
        startCompositor();
        installProgram();
        m_player.setProcessEnvironment(environment());
        m_player.setProcessChannelMode(QProcess::ForwardedChannels);
        m_player.start(m_folder + "/norlplayer", QStringList());
        QVERIFY(m_player.waitForStarted());
    }

    void cleanupTestCase()
    {
        for (QProcess *process : {&m_player, &m_weston}) {
            if (process->state() == QProcess::NotRunning)
                continue;
            process->terminate();
            if (!process->waitForFinished(10000))
                process->kill();
            process->waitForFinished();
        }
    }

    void theDesktopShowsThroughTheCutOutCorners()
    {
        QImage screen;
        QRgb desktop = 0;
        QRect window;
        // Until the window is there and painted whole.
        for (int tries = 0; tries < 40 && window.height() < WindowSize.height() - 4; ++tries) {
            QTest::qWait(250);
            QVERIFY2(m_player.state() == QProcess::Running, "the program ended");
            screen = screenshot();
            QVERIFY2(!screen.isNull(), "weston-screenshooter took no picture");
            desktop = desktopColour(screen);
            window = paintedArea(screen, desktop);
        }
        screen.save("wayland-window.png");
        // The shape's edge may fall inside the window's rectangle, but never outside it.
        QVERIFY2(
            window.width() <= WindowSize.width() && window.height() <= WindowSize.height() &&
                window.width() >= WindowSize.width() - 8 &&
                window.height() >= WindowSize.height() - 8,
            qPrintable(
                QStringLiteral("painted area %1 x %2").arg(window.width()).arg(window.height())));
        // The blue skin's corners are rounded: each corner pixel of the window is the desktop,
        // where an unshaped window shows the background's white.
        for (const QPoint corner :
             {window.topLeft(), window.topRight(), window.bottomLeft(), window.bottomRight()})
            QVERIFY2(screen.pixel(corner) == desktop,
                     qPrintable(QStringLiteral("corner %1,%2 is #%3")
                                    .arg(corner.x())
                                    .arg(corner.y())
                                    .arg(screen.pixel(corner) & 0xffffff, 6, 16, QChar('0'))));
        QVERIFY(screen.pixel(window.center()) != desktop);
    }

    void theDemoSongReachesTheSoundServer()
    {
        MonitorRecording monitor;
        QVERIFY2(monitor.start(), "parec records nothing");
        QTest::qWait(1000); // a second of the demo
        Pcm heard;
        QVERIFY(monitor.stop(heard));
        int loudest = 0;
        for (int16_t sample : heard.samples)
            loudest = std::max(loudest, std::abs(int(sample)));
        QVERIFY2(loudest > 1000, qPrintable(QStringLiteral("loudest sample %1").arg(loudest)));
    }

    // weston hands out no activation tokens: the second copy says so and still succeeds; with
    // a token from a launcher it hands the token over and says nothing.
    void aSecondCopyEndsWithStatusZero()
    {
        QByteArray errors;
        QCOMPARE(runSecondCopy(QProcessEnvironment(), errors), 0);
        QVERIFY2(errors.contains("cannot be brought forward"), errors.constData());

        QProcessEnvironment launcher;
        launcher.insert("XDG_ACTIVATION_TOKEN", "from-a-launcher");
        QCOMPARE(runSecondCopy(launcher, errors), 0);
        QVERIFY2(!errors.contains("cannot be brought forward"), errors.constData());
        QTest::qWait(500);
        QCOMPARE(m_player.state(), QProcess::Running);
    }
};

QTEST_GUILESS_MAIN(tst_waylandwindow)
#include "tst_waylandwindow.moc"
