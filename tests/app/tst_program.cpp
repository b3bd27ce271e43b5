// The built program as a user starts it: offscreen, with a fresh configuration and a song on
// the command line, ended by a signal; what it leaves behind is what the next start reads.
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>
#include <csignal>

namespace {

const QString ProgramPath = QStringLiteral(NORL_PROGRAM_PATH);
const QString LibraryPath = QStringLiteral(NORL_LIBRARY_PATH);
const QString Fixtures = QStringLiteral(NORL_FIXTURES_DIR);

QString readAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QString::fromLocal8Bit(file.readAll()) : QString();
}

} // namespace

class tst_program : public QObject {
    Q_OBJECT

    QTemporaryDir m_root;

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

    // Starts the program, lets it run, ends it with `signal`; its exit status.
    int runAndEnd(const QString &folder, const QStringList &arguments, int signal)
    {
        QProcess program;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("QT_QPA_PLATFORM", "offscreen");
        environment.insert("XDG_CONFIG_HOME", m_root.filePath("config"));
        environment.insert("XDG_DATA_HOME", m_root.filePath("data"));
        program.setProcessEnvironment(environment);
        program.setProcessChannelMode(QProcess::ForwardedChannels);
        program.start(folder + "/norlplayer", arguments);
        if (!program.waitForStarted())
            return -1;
        QTest::qWait(1500);
        ::kill(pid_t(program.processId()), signal);
        if (!program.waitForFinished(10000)) {
            program.kill();
            return -2;
        }
        return program.exitStatus() == QProcess::NormalExit ? program.exitCode() : -3;
    }

private slots:
    void initTestCase() { QVERIFY(m_root.isValid()); }

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
    }
};

QTEST_GUILESS_MAIN(tst_program)
#include "tst_program.moc"
