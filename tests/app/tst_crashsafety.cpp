// The built program killed without warning: at random moments of its life, and while it saves at
// the end after SIGTERM. Whatever the moment, "loaded.lpl" is the old or the new whole list and
// every settings file still parses. NORL_CRASH_SEED repeats a run.
#include <QElapsedTimer>
#include <QJsonDocument>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QtTest>
#include <csignal>

#include "registrystore.h"

namespace {

const QString ProgramPath = QStringLiteral(NORL_PROGRAM_PATH);
const QString LibraryPath = QStringLiteral(NORL_LIBRARY_PATH);
const QString Fixtures = QStringLiteral(NORL_FIXTURES_DIR);

QByteArray readAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

bool copyFile(const QString &from, const QString &to)
{
    QFile::remove(to);
    return QFile::copy(from, to);
}

} // namespace

class tst_crashsafety : public QObject {
    Q_OBJECT

    QTemporaryDir m_root;
    QTemporaryDir m_runtime;
    QString m_program; // the program's folder, where "loaded.lpl" lies
    QString m_song;    // the song each run is started with
    QByteArray m_oldList;
    QByteArray m_newList;
    QRandomGenerator m_random;

    QString registryFolder() const { return m_root.filePath("config/NorlPlayer/registry"); }

    void start(QProcess &program)
    {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("QT_QPA_PLATFORM", "offscreen");
        environment.insert("XDG_CONFIG_HOME", m_root.filePath("config"));
        environment.insert("XDG_DATA_HOME", m_root.filePath("data"));
        environment.insert("XDG_CACHE_HOME", m_root.filePath("cache"));
        environment.insert("XDG_RUNTIME_DIR", m_runtime.path());
        program.setProcessEnvironment(environment);
        program.setProcessChannelMode(QProcess::ForwardedChannels);
        program.start(m_program + "/norlplayer", {m_song});
        QVERIFY(program.waitForStarted());
    }

    static void signal(QProcess &program, int number)
    {
        ::kill(pid_t(program.processId()), number);
    }

    // The list and the settings as a run that may have died anywhere leaves them.
    void checkWhatIsLeft(const char *moment)
    {
        const QByteArray list = readAll(m_program + "/loaded.lpl");
        QVERIFY2(list == m_oldList || list == m_newList,
                 qPrintable(QStringLiteral("%1: loaded.lpl is neither list (%2 bytes)")
                                .arg(moment)
                                .arg(list.size())));
        const QStringList files = QDir(registryFolder()).entryList(QDir::Files);
        for (const QString &name : files) {
            QVERIFY2(!name.contains(".damaged"), qPrintable(name));
            if (!name.endsWith(".json"))
                continue;
            QJsonParseError error;
            const QJsonDocument document =
                QJsonDocument::fromJson(readAll(registryFolder() + "/" + name), &error);
            QVERIFY2(error.error == QJsonParseError::NoError && document.isObject(),
                     qPrintable(QStringLiteral("%1: %2 does not parse: %3")
                                    .arg(moment, name, error.errorString())));
        }
    }

    // One run from the old list: started, ended by `end`, checked. True when the run saved.
    template <class End> bool runOnce(const char *moment, End end)
    {
        QFile list(m_program + "/loaded.lpl");
        if (!list.open(QIODevice::WriteOnly) || list.write(m_oldList) != m_oldList.size())
            qFatal("cannot write the old list");
        list.close();
        QProcess program;
        start(program);
        end(program);
        if (!program.waitForFinished(10000)) {
            program.kill();
            program.waitForFinished();
        }
        checkWhatIsLeft(moment);
        return readAll(m_program + "/loaded.lpl") == m_newList;
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m_root.isValid());
        QVERIFY(m_runtime.isValid());
        const quint32 seed = qEnvironmentVariableIsSet("NORL_CRASH_SEED")
                                 ? quint32(qEnvironmentVariableIntValue("NORL_CRASH_SEED"))
                                 : QRandomGenerator::global()->generate();
        qInfo("NORL_CRASH_SEED=%u", seed);
        m_random.seed(seed);

        m_program = m_root.filePath("program");
        QVERIFY(QDir().mkpath(m_program + "/blue"));
        QVERIFY(copyFile(ProgramPath, m_program + "/norlplayer"));
        QVERIFY(copyFile(LibraryPath, m_program + "/libnorlplay.so"));
        QFile(m_program + "/norlplayer")
            .setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        const QString skin = QFileInfo(ProgramPath).absolutePath() + "/blue";
        for (const QString &name : QDir(skin).entryList(QDir::Files))
            QVERIFY(copyFile(skin + "/" + name, m_program + "/blue/" + name));

        // No question about MP3 files, and no sorting: the new list is the old one plus the song.
        const auto store = makeFileRegistryStore(registryFolder());
        const QString userKey = QStringLiteral("SOFTWARE\\Vellacort\\NorlPlayer");
        const QString windowKey = QStringLiteral("SOFTWARE\\Vellacort\\Vorov3");
        QVERIFY(store->createKey(RegistryRoot::CurrentUser, userKey));
        QVERIFY(store->writeValue(RegistryRoot::CurrentUser, userKey, "ShowAssocDialog",
                                  {RegistryValueType::String, "1"}));
        QVERIFY(store->createKey(RegistryRoot::LocalMachine, windowKey));
        QVERIFY(store->writeValue(RegistryRoot::LocalMachine, windowKey, "SortOnLoad",
                                  {RegistryValueType::String, "0"}));

        m_song = m_root.filePath("new song.mp3");
        QVERIFY(copyFile(Fixtures + "/two-seconds.mp3", m_song));
        for (int i = 1; i <= 50; ++i)
            m_oldList += QStringLiteral("/home/user/Music/Album %1/%2 - Song number %2.mp3\r\n")
                             .arg(i / 12)
                             .arg(i, 2, 10, QLatin1Char('0'))
                             .toLocal8Bit();
        m_newList = m_oldList + m_song.toLocal8Bit() + "\r\n";
    }

    void killedAtRandomMoments()
    {
        for (int run = 0; run < 100; ++run) {
            const int ms = int(m_random.bounded(1000));
            runOnce("SIGKILL", [ms](QProcess &program) {
                QTest::qWait(ms);
                signal(program, SIGKILL);
            });
            if (QTest::currentTestFailed())
                return qWarning("run %d, SIGKILL after %d ms", run, ms);
        }
    }

    void killedWhileSavingAtTheEnd()
    {
        // How long the end takes (the longest of three), so that the kills spread over all of it.
        qint64 endUs = 1000;
        for (int run = 0; run < 3; ++run) {
            QElapsedTimer ending;
            QVERIFY(runOnce("SIGTERM", [&ending](QProcess &program) {
                QTest::qWait(800);
                ending.start();
                signal(program, SIGTERM);
                QVERIFY(program.waitForFinished(10000));
            }));
            endUs = std::max(endUs, ending.nsecsElapsed() / 1000);
        }
        qInfo("the end takes up to %lld us", endUs);

        int saved = 0;
        for (int run = 0; run < 30; ++run) {
            const qint64 us = qint64(m_random.bounded(quint32(endUs * 3 / 2)));
            saved += runOnce("SIGTERM then SIGKILL", [us](QProcess &program) {
                QTest::qWait(800);
                signal(program, SIGTERM);
                QThread::usleep(us);
                signal(program, SIGKILL);
            });
            if (QTest::currentTestFailed())
                return qWarning("run %d, SIGKILL %lld us after SIGTERM", run, us);
        }
        qInfo("%d of 30 runs saved before the kill", saved);
        QVERIFY(saved > 0); // the kills did not all come too early to tell
    }

    void cleanupTestCase()
    {
        const QStringList left = QDir(m_program).entryList(QDir::Files | QDir::Hidden) +
                                 QDir(registryFolder()).entryList(QDir::Files | QDir::Hidden);
        qInfo("files left: %s", qPrintable(left.join(QLatin1Char(' '))));
    }
};

QTEST_GUILESS_MAIN(tst_crashsafety)
#include "tst_crashsafety.moc"
