// The built program on a private session bus, driven as the desktop's media controls, media keys
// and playerctl drive it: every command and settable property, checked on the real playback
// (status, the position moving or still, the sound server's volume of its stream) and on the
// change signals it sends. Also: without a bus or with its name taken it plays on and says so
// once, and the notification at each new song.
//
// Runs under dbus-run-session, with the sound server named by PULSE_SERVER; skipped without.
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusVariant>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>
#include <csignal>

#include "registrystore.h"

namespace {

const QString ProgramPath = QStringLiteral(NORL_PROGRAM_PATH);
const QString LibraryPath = QStringLiteral(NORL_LIBRARY_PATH);
const QString Fixtures = QStringLiteral(NORL_FIXTURES_DIR);
const QString Service = QStringLiteral("org.mpris.MediaPlayer2.norlplayer");
const QString ObjectPath = QStringLiteral("/org/mpris/MediaPlayer2");
const QString PlayerInterface = QStringLiteral("org.mpris.MediaPlayer2.Player");
const QString SettingsKey = QStringLiteral("SOFTWARE\\Vellacort\\Vorov3");
const QString TaggedTitle = QStringLiteral("Thirty Character Title 1234567");

enum Motion { Any = -1, Still = 0, Advancing = 1 };

QString readAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QString::fromLocal8Bit(file.readAll()) : QString();
}

QDBusMessage callPlayer(const QString &interface, const QString &method,
                        const QVariantList &arguments = {})
{
    QDBusMessage call = QDBusMessage::createMethodCall(Service, ObjectPath, interface, method);
    call.setArguments(arguments);
    return QDBusConnection::sessionBus().call(call, QDBus::Block, 5000);
}

QVariant playerProperty(const QString &name)
{
    const QDBusMessage reply =
        callPlayer("org.freedesktop.DBus.Properties", "Get", {PlayerInterface, name});
    if (reply.type() != QDBusMessage::ReplyMessage)
        return {};
    return reply.arguments().value(0).value<QDBusVariant>().variant();
}

QVariantMap metadata()
{
    QVariantMap map;
    playerProperty("Metadata").value<QDBusArgument>() >> map;
    return map;
}

qlonglong position()
{
    return playerProperty("Position").toLongLong();
}

QString textOf(const QVariant &value)
{
    if (value.userType() == QMetaType::QStringList)
        return value.toStringList().join(',');
    return value.toString();
}

// The sound server's left-channel volume of `pid`'s stream, -1 while it has none.
int serverVolume(qint64 pid)
{
    QProcess pactl;
    auto environment = QProcessEnvironment::systemEnvironment();
    environment.insert("LC_ALL", "C");
    pactl.setProcessEnvironment(environment);
    pactl.start("pactl", {"list", "sink-inputs"});
    if (!pactl.waitForFinished(10000))
        return -1;
    static const QRegularExpression volume(R"(Volume: front-left: (\d+) )");
    for (const QString &block :
         QString::fromLocal8Bit(pactl.readAllStandardOutput()).split("Sink Input #"))
        if (block.contains(QStringLiteral("application.process.id = \"%1\"").arg(pid)))
            return volume.match(block).captured(1).toInt();
    return -1;
}

} // namespace

// Stands in for the desktop's notification server.
class NotificationServer : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Notifications")

public:
    struct Shown {
        QString app, icon, summary;
        uint replaces;
    };
    QList<Shown> shown;

public slots:
    uint Notify(const QString &app, uint replaces, const QString &icon, const QString &summary,
                const QString &, const QStringList &, const QVariantMap &, int)
    {
        shown.append({app, icon, summary, replaces});
        return uint(100 + shown.size());
    }
};

class tst_mprisprogram : public QObject {
    Q_OBJECT

    QTemporaryDir m_root;
    QTemporaryDir m_runtime;
    QString m_folder;
    QProcess m_program;
    QList<QVariantMap> m_changes; // what PropertiesChanged told, in order
    int m_seeks = 0;

    std::unique_ptr<RegistryStore> userStore()
    {
        return makeFileRegistryStore(m_root.filePath("config/NorlPlayer/registry"));
    }

    // A program folder of its own, so that "loaded.lpl" lands there and nowhere else.
    bool installCopy()
    {
        m_folder = m_root.filePath("program");
        const QString skins = QFileInfo(ProgramPath).absolutePath() + "/blue";
        QDir().mkpath(m_folder + "/blue");
        for (const QString &name : QDir(skins).entryList(QDir::Files))
            QFile::copy(skins + "/" + name, m_folder + "/blue/" + name);
        return QFile::copy(ProgramPath, m_folder + "/norlplayer") &&
               QFile::copy(LibraryPath, m_folder + "/libnorlplay.so");
    }

    void start(QProcess &program, const QStringList &songs, const QString &busAddress = {})
    {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("QT_QPA_PLATFORM", "offscreen");
        environment.insert("XDG_CONFIG_HOME", m_root.filePath("config"));
        environment.insert("XDG_DATA_HOME", m_root.filePath("data"));
        environment.insert("XDG_RUNTIME_DIR", m_runtime.path());
        if (!busAddress.isEmpty())
            environment.insert("DBUS_SESSION_BUS_ADDRESS", busAddress);
        program.setProcessEnvironment(environment);
        QStringList paths;
        for (const QString &song : songs)
            paths << Fixtures + "/" + song;
        program.start(m_folder + "/norlplayer", paths);
    }

    static int end(QProcess &program)
    {
        ::kill(pid_t(program.processId()), SIGTERM);
        if (!program.waitForFinished(10000)) {
            program.kill();
            return -2;
        }
        return program.exitStatus() == QProcess::NormalExit ? program.exitCode() : -3;
    }

    static bool nameOnBus(const QString &name)
    {
        return QDBusConnection::sessionBus().interface()->isServiceRegistered(name);
    }

    bool signalled(qsizetype since, const QString &expected) const
    {
        if (expected == "Seeked")
            return m_seeks > 0;
        const QString name = expected.section('=', 0, 0);
        for (qsizetype i = since; i < m_changes.size(); ++i)
            if (m_changes[i].contains(name) &&
                (!expected.contains('=') ||
                 textOf(m_changes[i].value(name)) == expected.section('=', 1)))
                return true;
        return false;
    }

    // "Name=value" of the player's properties, "xesam:..." of its metadata, "sink=level" of the
    // server's volume of the program's stream; numbers within 1 %.
    bool propertyIs(const QString &expected, QString &actual) const
    {
        const QString name = expected.section('=', 0, 0);
        const QString value = expected.section('=', 1);
        if (name == "sink") {
            const int level = serverVolume(m_program.processId());
            actual = QString::number(level);
            return std::abs(level - value.toInt()) <= 655;
        }
        const QVariant got = name.contains(':') ? metadata().value(name) : playerProperty(name);
        actual = textOf(got);
        bool number = false;
        const double wanted = value.toDouble(&number);
        if (number && got.userType() == QMetaType::Double)
            return std::abs(got.toDouble() - wanted) <= 0.01;
        return actual == value;
    }

public slots:
    void propertiesChanged(const QString &interface, const QVariantMap &changed,
                           const QStringList &)
    {
        if (interface == PlayerInterface)
            m_changes.append(changed);
    }
    void seeked(qlonglong) { ++m_seeks; }

private slots:
    void initTestCase()
    {
        if (qEnvironmentVariableIsEmpty("PULSE_SERVER"))
            QSKIP("PULSE_SERVER is not set: run through scripts/test or start_sound_server");
        if (!QDBusConnection::sessionBus().isConnected())
            QSKIP("no session bus: run under dbus-run-session");
        QVERIFY(m_root.isValid());
        QVERIFY(m_runtime.isValid());
        QVERIFY(installCopy());
        // The association prompt would wait for an answer.
        const auto store = userStore();
        const QString userKey = QStringLiteral("SOFTWARE\\Vellacort\\NorlPlayer");
        QVERIFY(store->createKey(RegistryRoot::CurrentUser, userKey));
        QVERIFY(store->writeValue(RegistryRoot::CurrentUser, userKey, "ShowAssocDialog",
                                  {RegistryValueType::String, "1"}));

        QDBusConnection bus = QDBusConnection::sessionBus();
        QVERIFY(bus.connect(Service, ObjectPath, "org.freedesktop.DBus.Properties",
                            "PropertiesChanged", this,
                            SLOT(propertiesChanged(QString, QVariantMap, QStringList))));
        QVERIFY(bus.connect(Service, ObjectPath, PlayerInterface, "Seeked", this,
                            SLOT(seeked(qlonglong))));
        m_program.setProcessChannelMode(QProcess::ForwardedChannels);
        start(m_program, {"sine-1k-cbr128-joint.mp3", "two-seconds.mp3"});
        QVERIFY(m_program.waitForStarted());
        QTRY_VERIFY_WITH_TIMEOUT(nameOnBus(Service), 10000);
        QTRY_COMPARE_WITH_TIMEOUT(playerProperty("PlaybackStatus").toString(), QString("Playing"),
                                  5000);
    }

    void drivenFromTheBus_data()
    {
        QTest::addColumn<QString>("command");
        QTest::addColumn<bool>("fails");
        QTest::addColumn<QString>("status");
        QTest::addColumn<int>("motion");
        QTest::addColumn<int>("seconds");      // where the position is right after; -1: anywhere
        QTest::addColumn<QStringList>("told"); // told within a second; "-": nothing told
        QTest::addColumn<QStringList>("properties");
        QTest::addColumn<QString>("output"); // in what the command printed

        int step = 0;
        const auto row = [&step](const QString &command, const QString &status = "Playing",
                                 int motion = Any, int seconds = -1,
                                 const QStringList &toldList = {},
                                 const QStringList &properties = {}, const QString &output = {},
                                 bool fails = false) {
            QTest::addRow("%02d %s", ++step, qPrintable(command))
                << command << fails << status << motion << seconds << toldList << properties
                << output;
        };
        row("set LoopStatus Track", "Playing", Any, -1, {"LoopStatus=Track"},
            {"LoopStatus=Track", "Shuffle=false"});
        row("Stop", "Stopped", Still, 0, {"PlaybackStatus=Stopped"}, {"CanSeek=true"});
        row("Stop", "Stopped", Still, 0, {"-"});
        row("Raise", "Stopped");
        row("Play", "Playing", Advancing, 0, {"PlaybackStatus=Playing", "Metadata"},
            {"xesam:title=" + TaggedTitle, "xesam:artist=Fixture Artist",
             "xesam:album=Fixture Album", "xesam:contentCreated=2024-01-01", "CanGoNext=true"});
        row("Pause", "Paused", Still, -1, {"PlaybackStatus=Paused"});
        row("Pause", "Paused", Still, -1, {"-"});
        row("PlayPause", "Playing", Advancing, -1, {"PlaybackStatus=Playing"});
        row("SetPosition current 2000000", "Playing", Any, 2, {"Seeked"});
        row("Seek -1000000", "Playing", Any, 1, {"Seeked"});
        row("SetPosition /org/norlplayer/track/999 0", "Playing", Any, 1);
        row("SetPosition current 99000000", "Playing", Any, 1);
        row("Next", "Playing", Advancing, 0, {"Metadata"}, {"xesam:title=two-seconds"});
        row("Previous", "Playing", Any, 0, {"Metadata"}, {"xesam:title=" + TaggedTitle});
        row("set Volume 0.25", "Playing", Any, -1, {"Volume"}, {"Volume=0.25", "sink=16384"});
        row("set Volume 7", "Playing", Any, -1, {"Volume=1"}, {"Volume=1", "sink=65535"});
        row("playerctl play-pause", "Paused", Still, -1, {"PlaybackStatus=Paused"});
        row("playerctl play-pause", "Playing", Advancing, -1, {"PlaybackStatus=Playing"});
        row("playerctl next", "Playing", Any, -1, {"Metadata"}, {"xesam:title=two-seconds"});
        row("playerctl metadata xesam:title", "Playing", Any, -1, {}, {}, "two-seconds");
        row("playerctl position 1", "Playing", Any, 1, {"Seeked"});
        row("playerctl position", "Playing", Any, -1, {}, {}, "1.");
        row("playerctl volume 0.5", "Playing", Any, -1, {"Volume"}, {"Volume=0.5", "sink=32768"});
        row("playerctl volume", "Playing", Any, -1, {}, {}, "0.50");
        row("Pause", "Paused", Still, -1, {"PlaybackStatus=Paused"});
        row("set Shuffle true", "Paused", Any, -1, {"Shuffle=true", "LoopStatus=Playlist"},
            {"LoopStatus=Playlist"});
        row("set LoopStatus None", "Paused", Any, -1, {"Shuffle=false", "LoopStatus=None"},
            {"LoopStatus=None"});
        row("set Shuffle false", "Paused", Any, -1, {"-"}, {"LoopStatus=None"});
        row("set LoopStatus Playlist", "Paused", Any, -1, {"LoopStatus=Playlist"});
        row("set LoopStatus Bogus", "Paused", Any, -1, {"-"}, {"LoopStatus=Playlist"});
        row("set Shuffle true", "Paused", Any, -1, {"Shuffle=true"});
        row("OpenUri http://example.org/song.mp3", "Paused", Any, -1, {"-"}, {}, {}, true);
        row("OpenUri @one-second.mp3", "Playing", Any, -1, {"Metadata", "PlaybackStatus=Playing"},
            {"xesam:title=one-second"});
    }
    void drivenFromTheBus()
    {
        QFETCH(QString, command);
        QFETCH(bool, fails);
        QFETCH(QString, status);
        QFETCH(int, motion);
        QFETCH(int, seconds);
        QFETCH(QStringList, told);
        QFETCH(QStringList, properties);
        QFETCH(QString, output);

        QTest::qWait(100); // what the step before told has arrived
        const qsizetype since = m_changes.size();
        m_seeks = 0;
        QStringList words = command.split(' ');
        QString printed;
        bool failed = false;
        if (words[0] == "playerctl") {
            QProcess tool;
            tool.start("playerctl", QStringList{"-p", "norlplayer"} + words.mid(1));
            QVERIFY(tool.waitForFinished(10000));
            printed = QString::fromLocal8Bit(tool.readAllStandardOutput());
            failed = tool.exitCode() != 0;
        } else {
            QVariantList arguments;
            QString interface = PlayerInterface, method = words[0];
            if (words[0] == "Raise") {
                interface = "org.mpris.MediaPlayer2";
            } else if (words[0] == "set") {
                interface = "org.freedesktop.DBus.Properties";
                method = "Set";
                QVariant value = words[2];
                if (words[2] == "true" || words[2] == "false")
                    value = words[2] == "true";
                else if (words[1] == "Volume")
                    value = words[2].toDouble();
                arguments = {PlayerInterface, words[1], QVariant::fromValue(QDBusVariant(value))};
            } else if (words[0] == "Seek") {
                arguments = {words[1].toLongLong()};
            } else if (words[0] == "SetPosition") {
                const QString id =
                    words[1] == "current"
                        ? metadata().value("mpris:trackid").value<QDBusObjectPath>().path()
                        : words[1];
                arguments = {QVariant::fromValue(QDBusObjectPath(id)), words[2].toLongLong()};
            } else if (words[0] == "OpenUri") {
                const QString uri = words[1];
                arguments = {uri.startsWith('@')
                                 ? QUrl::fromLocalFile(Fixtures + "/" + uri.mid(1)).toString()
                                 : uri};
            }
            const QDBusMessage reply = callPlayer(interface, method, arguments);
            failed = reply.type() != QDBusMessage::ReplyMessage;
        }
        QCOMPARE(failed, fails);
        QCOMPARE(playerProperty("PlaybackStatus").toString(), status);
        if (seconds >= 0) {
            const qlonglong now = position();
            QVERIFY2(now >= seconds * 1000000LL - 150000 && now <= seconds * 1000000LL + 800000,
                     qPrintable(QString::number(now)));
        }
        if (motion != Any) {
            const qlonglong before = position();
            QTest::qWait(500);
            const qlonglong moved = position() - before;
            QVERIFY2(motion == Advancing ? moved >= 250000 : moved == 0,
                     qPrintable(QString::number(moved)));
        }
        for (const QString &expected : told) {
            if (expected == "-") {
                QTest::qWait(300);
                QCOMPARE(m_changes.size(), since);
                QCOMPARE(m_seeks, 0);
            } else {
                QTRY_VERIFY2_WITH_TIMEOUT(signalled(since, expected), qPrintable(expected), 1000);
            }
        }
        for (const QString &expected : properties) {
            QString actual;
            QTRY_VERIFY2_WITH_TIMEOUT(propertyIs(expected, actual),
                                      qPrintable(expected + " but was " + actual), 1000);
        }
        QVERIFY2(printed.contains(output), qPrintable(printed));
    }

    // Quit ends the program as its window's close does: the mode the menu shows and the list are
    // saved.
    void quitSavesTheModeAndTheList()
    {
        QCOMPARE(callPlayer("org.mpris.MediaPlayer2", "Quit").type(), QDBusMessage::ReplyMessage);
        QVERIFY(m_program.waitForFinished(10000));
        QCOMPARE(m_program.exitStatus(), QProcess::NormalExit);
        QCOMPARE(m_program.exitCode(), 0);
        const auto store = userStore();
        const auto stored = [&store](const char *name) {
            const auto value = store->readValue(RegistryRoot::LocalMachine, SettingsKey, name);
            return value ? value->data : QString();
        };
        QCOMPARE(stored("Random"), QString("1"));
        QCOMPARE(stored("Forward"), QString("0"));
        QCOMPARE(stored("SameSong"), QString("0"));
        QVERIFY(readAll(m_folder + "/loaded.lpl").contains("one-second.mp3"));
    }

    void withoutTheBusOrItsNameItPlaysOnAndSaysSoOnce_data()
    {
        QTest::addColumn<bool>("takeName");
        QTest::newRow("no bus") << false;
        QTest::newRow("name taken") << true;
    }
    void withoutTheBusOrItsNameItPlaysOnAndSaysSoOnce()
    {
        QFETCH(bool, takeName);
        QDBusConnection bus = QDBusConnection::sessionBus();
        if (takeName)
            QVERIFY(bus.registerService(Service));
        QProcess program;
        program.setProcessChannelMode(QProcess::SeparateChannels);
        start(program, {"two-seconds.mp3"},
              takeName ? QString() : m_root.filePath("no-bus-here").prepend("unix:path="));
        QVERIFY(program.waitForStarted());
        QTest::qWait(2000);
        QCOMPARE(program.state(), QProcess::Running);
        QCOMPARE(end(program), 0);
        if (takeName)
            QVERIFY(bus.unregisterService(Service));
        const QString errors = QString::fromLocal8Bit(program.readAllStandardError());
        QCOMPARE(errors.count("no desktop media controls"), 1);
    }

    // One notification per song, each replacing the one before; without a server, one line.
    void aNotificationAtEachNewSong()
    {
        const auto store = userStore();
        QVERIFY(store->writeValue(RegistryRoot::LocalMachine, SettingsKey, "NotifyEachSong",
                                  {RegistryValueType::String, "1"}));
        QVERIFY(store->writeValue(RegistryRoot::LocalMachine, SettingsKey, "Random",
                                  {RegistryValueType::String, "0"}));
        QVERIFY(store->writeValue(RegistryRoot::LocalMachine, SettingsKey, "Forward",
                                  {RegistryValueType::String, "1"}));
        QFile::remove(m_folder + "/loaded.lpl");
        NotificationServer server;
        QDBusConnection bus = QDBusConnection::sessionBus();
        QVERIFY(bus.registerObject("/org/freedesktop/Notifications", &server,
                                   QDBusConnection::ExportAllSlots));
        QVERIFY(bus.registerService("org.freedesktop.Notifications"));

        QProcess program;
        program.setProcessChannelMode(QProcess::SeparateChannels);
        start(program, {"one-second.mp3", "two-seconds.mp3"});
        QVERIFY(program.waitForStarted());
        QTRY_VERIFY_WITH_TIMEOUT(server.shown.size() >= 2, 10000);
        QCOMPARE(server.shown[0].app, QString("NorlPlayer"));
        QCOMPARE(server.shown[0].icon, QString("norlplayer"));
        QCOMPARE(server.shown[0].summary, QString("one-second"));
        QCOMPARE(server.shown[0].replaces, 0u);
        QCOMPARE(server.shown[1].summary, QString("two-seconds"));
        QCOMPARE(server.shown[1].replaces, 101u);

        // The server goes away; the songs go on, and that is told once.
        QVERIFY(bus.unregisterService("org.freedesktop.Notifications"));
        bus.unregisterObject("/org/freedesktop/Notifications");
        QTest::qWait(4500); // two songs or more
        QCOMPARE(program.state(), QProcess::Running);
        QCOMPARE(end(program), 0);
        const QString errors = QString::fromLocal8Bit(program.readAllStandardError());
        QCOMPARE(errors.count("no song notifications"), 1);
    }
};

QTEST_GUILESS_MAIN(tst_mprisprogram)
#include "tst_mprisprogram.moc"
