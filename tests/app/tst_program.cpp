// The built program as a user starts it: offscreen, with a fresh configuration and a song on
// the command line, ended by a signal; what it leaves behind is what the next start reads.
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>
#include <csignal>

#include "registrystore.h"

namespace {

const QString ProgramPath = QStringLiteral(NORL_PROGRAM_PATH);
const QString LibraryPath = QStringLiteral(NORL_LIBRARY_PATH);
const QString Fixtures = QStringLiteral(NORL_FIXTURES_DIR);

const QString UserKey = QStringLiteral("SOFTWARE\\Vellacort\\NorlPlayer");

QString readAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QString::fromLocal8Bit(file.readAll()) : QString();
}

} // namespace

class tst_program : public QObject {
    Q_OBJECT

    QTemporaryDir m_root;
    QTemporaryDir m_runtime; // the single-instance lock, apart from a copy the user runs

    std::unique_ptr<RegistryStore> userStore()
    {
        return makeFileRegistryStore(m_root.filePath("config/NorlPlayer/registry"));
    }
    // The association prompt would wait for an answer at every start.
    void declineAssociationPrompt()
    {
        const auto store = userStore();
        QVERIFY(store->createKey(RegistryRoot::CurrentUser, UserKey));
        QVERIFY(store->writeValue(RegistryRoot::CurrentUser, UserKey, "ShowAssocDialog",
                                  {RegistryValueType::String, "1"}));
    }

    // A program folder of its own, so that "loaded.lpl" lands there and nowhere else.
    QString installCopy()
    {
        const QString folder = m_root.filePath("program");
        QDir().mkpath(folder);
        QFile::remove(folder + "/norlplayer");
        QFile::remove(folder + "/libnorlplay.so");
        if (!QFile::copy(ProgramPath, folder + "/norlplayer") ||
            !QFile::copy(LibraryPath, folder + "/libnorlplay.so"))
            return QString();
        QFile(folder + "/norlplayer")
            .setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        // The default skin lies beside the program.
        const QString skins = QFileInfo(ProgramPath).absolutePath() + "/blue";
        QDir(folder + "/blue").removeRecursively();
        QDir().mkpath(folder + "/blue");
        for (const QString &name : QDir(skins).entryList(QDir::Files))
            QFile::copy(skins + "/" + name, folder + "/blue/" + name);
        return folder;
    }

    // Starts the program in the test's folders, offscreen.
    void start(QProcess &program, const QString &folder, const QStringList &arguments,
               QProcess::ProcessChannelMode channels = QProcess::ForwardedChannels)
    {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("QT_QPA_PLATFORM", "offscreen");
        environment.insert("XDG_CONFIG_HOME", m_root.filePath("config"));
        environment.insert("XDG_DATA_HOME", m_root.filePath("data"));
        environment.insert("XDG_RUNTIME_DIR", m_runtime.path());
        program.setProcessEnvironment(environment);
        program.setProcessChannelMode(channels);
        program.start(folder + "/norlplayer", arguments);
    }

    // Ends a running program with `signal`; its exit status.
    static int end(QProcess &program, int signal)
    {
        ::kill(pid_t(program.processId()), signal);
        if (!program.waitForFinished(10000)) {
            program.kill();
            return -2;
        }
        return program.exitStatus() == QProcess::NormalExit ? program.exitCode() : -3;
    }

    // Starts the program, lets it run, ends it with `signal`; its exit status.
    int runAndEnd(const QString &folder, const QStringList &arguments, int signal)
    {
        QProcess program;
        start(program, folder, arguments);
        if (!program.waitForStarted())
            return -1;
        QTest::qWait(1500);
        return end(program, signal);
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m_root.isValid());
        QVERIFY(m_runtime.isValid());
        declineAssociationPrompt();
    }

    void aSignalEndsTheProgramTheOrdinaryWay_data()
    {
        QTest::addColumn<int>("signal");
        QTest::newRow("SIGTERM") << int(SIGTERM);
        QTest::newRow("SIGINT") << int(SIGINT);
        QTest::newRow("SIGHUP") << int(SIGHUP);
    }
    void aSignalEndsTheProgramTheOrdinaryWay()
    {
        QFETCH(int, signal);
        QDir(m_root.filePath("config")).removeRecursively();
        declineAssociationPrompt();
        const QString folder = installCopy();
        QVERIFY(!folder.isEmpty());
        QFile::remove(folder + "/loaded.lpl");
        const QString song = Fixtures + "/two-seconds.mp3";
        QCOMPARE(runAndEnd(folder, {song}, signal), 0);

        QCOMPARE(readAll(folder + "/loaded.lpl"), song + "\r\n");
        const QString store = readAll(m_root.filePath("config/NorlPlayer/registry/"
                                                      "HKEY_LOCAL_MACHINE.json"));
        for (const char *name : {"\"Top\"", "\"Left\"", "\"Forward\"", "\"Random\"", "\"SameSong\"",
                                 "\"Slider1Position\"", "\"Slider2Position\""})
            QVERIFY2(store.contains(QLatin1String(name)), name);
    }

    void theNextStartReadsTheListAndAddsTheNewSong()
    {
        const QString folder = installCopy();
        QVERIFY(!folder.isEmpty());
        const QString first = Fixtures + "/two-seconds.mp3";
        const QString second = Fixtures + "/one-second.mp3";
        QFile::remove(folder + "/loaded.lpl");
        QCOMPARE(runAndEnd(folder, {first}, SIGTERM), 0);
        QCOMPARE(runAndEnd(folder, {second}, SIGTERM), 0);
        // Sorted on load: "one-second" before "two-seconds".
        QCOMPARE(readAll(folder + "/loaded.lpl"), second + "\r\n" + first + "\r\n");
    }

    void withoutAFileTheFirstStartOpensTheDemoSong()
    {
        QDir(m_root.filePath("config")).removeRecursively();
        declineAssociationPrompt();
        const QString folder = installCopy();
        QVERIFY(!folder.isEmpty());
        QFile::remove(folder + "/loaded.lpl");
        QFile::remove(folder + "/demo.mp3");
        QVERIFY(QFile::copy(Fixtures + "/one-second.mp3", folder + "/demo.mp3"));
        QCOMPARE(runAndEnd(folder, {}, SIGTERM), 0);
        QCOMPARE(readAll(folder + "/loaded.lpl"), folder + "/demo.mp3\r\n");
        // Once a list is kept, the demo is not added again.
        QCOMPARE(runAndEnd(folder, {}, SIGTERM), 0);
        QCOMPARE(readAll(folder + "/loaded.lpl"), folder + "/demo.mp3\r\n");
        // Nor for a user who keeps no list: the settings tell it is not the first start.
        QFile::remove(folder + "/loaded.lpl");
        QCOMPARE(runAndEnd(folder, {}, SIGTERM), 0);
        QCOMPARE(readAll(folder + "/loaded.lpl"), QString());
    }

    void theFirstStartAsksAboutMp3FilesAndAQuitStillSavesEverything()
    {
        QDir(m_root.filePath("config")).removeRecursively();
        QDir(m_root.filePath("data")).removeRecursively();
        const QString folder = installCopy();
        QVERIFY(!folder.isEmpty());
        QFile::remove(folder + "/loaded.lpl");
        const QString song = Fixtures + "/two-seconds.mp3";
        // The prompt waits for an answer; the signal ends it like No and the program quits.
        QCOMPARE(runAndEnd(folder, {song}, SIGTERM), 0);

        QCOMPARE(readAll(folder + "/loaded.lpl"), song + "\r\n");
        const auto flag =
            userStore()->readValue(RegistryRoot::CurrentUser, UserKey, "ShowAssocDialog");
        QVERIFY(flag);
        QCOMPARE(flag->data, QString("0"));
        QVERIFY(!QFileInfo::exists(m_root.filePath("data/applications/norlplayer.desktop")));
        declineAssociationPrompt();
    }

    void aSecondCopyHandsItsFilesToTheFirst()
    {
        const QString folder = installCopy();
        QVERIFY(!folder.isEmpty());
        QFile::remove(folder + "/loaded.lpl");
        const QString first = Fixtures + "/two-seconds.mp3";
        QProcess running;
        start(running, folder, {first});
        QVERIFY(running.waitForStarted());
        QTest::qWait(1500);

        // As a file manager's "Open with" on three files: one copy each, in turn.
        const QStringList handed{"one-second.mp3", "mono-cbr64.mp3", "sine-1k-cbr128-joint.mp3"};
        for (const QString &name : handed) {
            QProcess second;
            start(second, folder, {Fixtures + "/" + name});
            QVERIFY(second.waitForFinished(1000));
            QCOMPARE(second.exitStatus(), QProcess::NormalExit);
            QCOMPARE(second.exitCode(), 0);
        }
        QTest::qWait(500);
        QCOMPARE(running.state(), QProcess::Running);
        QCOMPARE(end(running, SIGTERM), 0);
        // Sorted on load.
        QCOMPARE(readAll(folder + "/loaded.lpl"),
                 Fixtures + "/mono-cbr64.mp3\r\n" + Fixtures + "/one-second.mp3\r\n" + Fixtures +
                     "/sine-1k-cbr128-joint.mp3\r\n" + first + "\r\n");
    }

    void theCommandLineOptions()
    {
        const QString folder = installCopy();
        QVERIFY(!folder.isEmpty());
        const auto run = [&](const QStringList &arguments, QByteArray *output = nullptr) {
            QProcess program;
            start(program, folder, arguments, QProcess::SeparateChannels);
            if (!program.waitForFinished(5000)) {
                program.kill();
                program.waitForFinished();
                return -1;
            }
            if (output)
                *output = program.readAllStandardOutput() + program.readAllStandardError();
            return program.exitStatus() == QProcess::NormalExit ? program.exitCode() : -2;
        };
        QByteArray output;
        QCOMPARE(run({"--version"}, &output), 0);
        QCOMPARE(output, QByteArray("NorlPlayer 1.5\n"));
        QCOMPARE(run({"--help"}, &output), 0);
        QVERIFY(output.startsWith("Usage: norlplayer"));
        QCOMPARE(run({"--bogus"}, &output), 2);
        QVERIFY(output.contains("unknown option --bogus"));
        QCOMPARE(run({"--next"}, &output), 1);
        QVERIFY(output.contains("not running"));

        QProcess running;
        start(running, folder, {});
        QVERIFY(running.waitForStarted());
        QTest::qWait(1500);
        for (const char *command : {"--play-pause", "--next", "--previous", "--stop"})
            QCOMPARE(run({command}), 0);
        QCOMPARE(running.state(), QProcess::Running);
        QCOMPARE(end(running, SIGTERM), 0);
    }
};

QTEST_GUILESS_MAIN(tst_program)
#include "tst_program.moc"
