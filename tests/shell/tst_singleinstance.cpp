// Only one copy runs: the lock and server of InstanceGuard within one process, the guard
// component's modes, and real copies of a small program started side by side.
#include <QApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLocalServer>
#include <QLocalSocket>
#include <QMessageBox>
#include <QProcess>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QWidget>
#include <QtEndian>
#include <fcntl.h>
#include <future>
#include <memory>
#include <stdexcept>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include "instanceguard.h"
#include "oneinstance.h"
#include "unixsocket.h"

namespace {

const QString Name = QStringLiteral("norlplayer");
// A later copy must be gone within a second of its start (it takes some tens of milliseconds).
constexpr int QuickEndMs = 1000;
constexpr int StartMs = 10000;

// Leaves a socket file behind with nobody listening, as a killed server does.
bool leaveDeadSocket(const QString &path)
{
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const QByteArray encoded = QFile::encodeName(path);
    qstrncpy(address.sun_path, encoded.constData(), sizeof address.sun_path);
    const bool bound = ::bind(fd, reinterpret_cast<sockaddr *>(&address), sizeof address) == 0;
    ::close(fd);
    return bound;
}

// One started copy of the helper program and what it has printed.
class Copy {
public:
    Copy(const QString &program, const QString &runtimeFolder)
    {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtimeFolder);
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        m_process.setProcessEnvironment(environment);
        m_process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        QObject::connect(&m_process, &QProcess::finished, [this] { m_took = m_timer.elapsed(); });
        m_timer.start();
        m_process.start(program, {});
    }
    ~Copy()
    {
        if (m_process.state() != QProcess::NotRunning) {
            m_process.kill();
            m_process.waitForFinished(StartMs);
        }
    }

    // True once the copy has printed `line`; false when it ended or the time ran out first.
    bool waitFor(const QByteArray &line, int timeoutMs = StartMs)
    {
        const QDeadlineTimer deadline(timeoutMs);
        for (;;) {
            m_output += m_process.readAllStandardOutput();
            if (m_output.split('\n').contains(line))
                return true;
            if (m_process.state() == QProcess::NotRunning || deadline.hasExpired())
                return false;
            m_process.waitForReadyRead(int(deadline.remainingTime()));
        }
    }
    // How often the copy has printed `line` so far.
    qsizetype count(const QByteArray &line)
    {
        m_output += m_process.readAllStandardOutput();
        return m_output.split('\n').count(line);
    }
    // Waits for the end; the time from the start to the end in milliseconds, or -1.
    qint64 waitForEnd(int timeoutMs = StartMs)
    {
        if (m_process.state() != QProcess::NotRunning)
            m_process.waitForFinished(timeoutMs);
        m_output += m_process.readAllStandardOutput();
        return m_took;
    }
    bool endedCleanly() const
    {
        return m_process.exitStatus() == QProcess::NormalExit && m_process.exitCode() == 0;
    }
    QProcess &process() { return m_process; }
    const QByteArray &output() const { return m_output; }

private:
    QProcess m_process;
    QElapsedTimer m_timer;
    qint64 m_took = -1;
    QByteArray m_output;
};

// Answers the next message box, noting what it said.
struct BoxAnswer {
    QString caption;
    QString text;
    int buttons = 0;
    void armed()
    {
        QTimer::singleShot(10, [this] {
            auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
            if (!box) {
                armed();
                return;
            }
            caption = box->windowTitle();
            text = box->text();
            buttons = int(box->buttons().size());
            box->button(QMessageBox::Ok)->click();
        });
    }
};

} // namespace

class TestSingleInstance : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { QApplication::setApplicationDisplayName(QStringLiteral("NorlPlayer")); }
    void init();

    void lockDecidesWhichCopyIsFirst();
    void programsWeStartDoNotKeepTheLock();
    void requestReachesFirstCopy_data();
    void requestReachesFirstCopy();
    void filesAndCommandsReachFirstCopy();
    void activationTokenReachesFirstCopy();
    void aRequestNearTheLimitArrivesWhole();
    void hostilePeersLeaveFirstCopyResponsive_data();
    void hostilePeersLeaveFirstCopyResponsive();
    void aPeerThatNeverFinishesIsDropped();
    void commandsNeedARunningCopy();
    void activationIsBounded_data();
    void activationIsBounded();
    void leftoversOfADeadCopyDoNotBlock_data();
    void leftoversOfADeadCopyDoNotBlock();
    void unusableRuntimeFolderRunsAsOnlyCopy_data();
    void unusableRuntimeFolderRunsAsOnlyCopy();
    void socketIsTheUsersOwn();
    void writingToAPeerThatLeftFails();

    void onlyOneGuardComponentPerProcess();
    void modes_data();
    void modes();
    void noActionWithoutAnotherCopy_data();
    void noActionWithoutAnotherCopy();
    void bringForward_data();
    void bringForward();

    void secondCopyBringsFirstForwardAndEnds();
    void simultaneousStartsLeaveOneRunning();
    void endedFirstCopyFreesTheName_data();
    void endedFirstCopyFreesTheName();
    void executableFileNameDecides_data();
    void executableFileNameDecides();

private:
    QString helper() const { return QStringLiteral(NORL_SHELL_TEST_DIR "/helper_instance"); }
    std::unique_ptr<QTemporaryDir> m_runtime;
};

void TestSingleInstance::init()
{
    m_runtime = std::make_unique<QTemporaryDir>();
    QVERIFY(m_runtime->isValid());
}

void TestSingleInstance::lockDecidesWhichCopyIsFirst()
{
    auto first = std::make_unique<InstanceGuard>(Name, m_runtime->path());
    QVERIFY(!first->AnotherCopy());
    QVERIFY(first->Listening());
    QVERIFY(QFile::exists(first->serverPath()));

    InstanceGuard second(Name, m_runtime->path());
    QVERIFY(second.AnotherCopy());
    QVERIFY(!second.Listening());
    InstanceGuard otherProgram(Name + QStringLiteral("-other"), m_runtime->path());
    QVERIFY(!otherProgram.AnotherCopy());

    first.reset();
    QVERIFY(!QFile::exists(second.serverPath()));
    InstanceGuard afterFirstEnded(Name, m_runtime->path());
    QVERIFY(!afterFirstEnded.AnotherCopy());
    QVERIFY(afterFirstEnded.Listening());
}

// A browser or helper started by the first copy may outlive it; the name must be free anyway.
void TestSingleInstance::programsWeStartDoNotKeepTheLock()
{
    auto first = std::make_unique<InstanceGuard>(Name, m_runtime->path());
    QProcess child;
    child.start(QStringLiteral("sleep"), {QStringLiteral("30")});
    QVERIFY(child.waitForStarted());
    first.reset();
    InstanceGuard next(Name, m_runtime->path());
    QVERIFY(!next.AnotherCopy());
    child.kill();
    child.waitForFinished();
}

void TestSingleInstance::requestReachesFirstCopy_data()
{
    QTest::addColumn<QList<QByteArray>>("chunks");
    QTest::addColumn<int>("requests");
    const QByteArray request = *InstanceMessage::encode({});
    QTest::newRow("request") << QList<QByteArray>{request} << 1;
    QTest::newRow("request in pieces")
        << QList<QByteArray>{request.left(3), request.mid(3, 7), request.mid(10)} << 1;
    QTest::newRow("one per connection") << QList<QByteArray>{request + request} << 1;
    QTest::newRow("nothing") << QList<QByteArray>{} << 0;
    QTest::newRow("cut short") << QList<QByteArray>{request.chopped(1)} << 0;
    QTest::newRow("other words") << QList<QByteArray>{"open /tmp/song.mp3\n"} << 0;
    QTest::newRow("endless line") << QList<QByteArray>{QByteArray(4096, 'a')} << 0;
}

void TestSingleInstance::requestReachesFirstCopy()
{
    QFETCH(QList<QByteArray>, chunks);
    QFETCH(int, requests);
    InstanceGuard first(Name, m_runtime->path());
    QSignalSpy spy(&first, &InstanceGuard::activationRequested);

    QLocalSocket peer;
    peer.connectToServer(first.serverPath());
    QVERIFY(peer.waitForConnected(1000));
    for (const QByteArray &chunk : chunks) {
        peer.write(chunk);
        peer.flush();
        QTest::qWait(20);
    }
    peer.disconnectFromServer();
    if (requests > 0)
        QTRY_COMPARE(spy.size(), requests);
    QTest::qWait(100);
    QCOMPARE(spy.size(), requests);

    // The server still answers the next copy.
    InstanceGuard later(Name, m_runtime->path());
    QVERIFY(later.ActivateFirstCopy());
    QTRY_COMPARE(spy.size(), requests + 1);
}

void TestSingleInstance::filesAndCommandsReachFirstCopy()
{
    InstanceGuard first(Name, m_runtime->path());
    QSignalSpy files(&first, &InstanceGuard::filesHandedOver);
    QSignalSpy commands(&first, &InstanceGuard::commandReceived);
    QSignalSpy activations(&first, &InstanceGuard::activationRequested);

    InstanceGuard later(Name, m_runtime->path());
    const QStringList paths{"/music/c.mp3", "/music/a b.mp3", "/música/€.mp3"};
    later.SetFilesForFirstCopy(paths);
    QVERIFY(later.ActivateFirstCopy());
    QTRY_COMPARE(files.size(), 1);
    QCOMPARE(files.first().first().toStringList(), paths);

    QVERIFY(InstanceGuard::SendToRunningCopy(Name, m_runtime->path(), {InstanceRequest::Next, {}}));
    QTRY_COMPARE(commands.size(), 1);
    QCOMPARE(commands.first().first().value<InstanceRequest::Kind>(), InstanceRequest::Next);
    // Too many files for one message: the later copy still brings the first forward.
    later.SetFilesForFirstCopy(QStringList(20000, QString(100, 'a')));
    QVERIFY(later.ActivateFirstCopy());
    QTRY_COMPARE(activations.size(), 1);
    QCOMPARE(files.size(), 1);
}

// The token a launcher gives the later copy is in the first copy's environment when it comes
// forward, where the Wayland plugin looks for it.
void TestSingleInstance::activationTokenReachesFirstCopy()
{
    InstanceGuard first(Name, m_runtime->path());
    QByteArray tokenSeen;
    connect(&first, &InstanceGuard::filesHandedOver, this,
            [&tokenSeen] { tokenSeen = qgetenv("XDG_ACTIVATION_TOKEN"); });

    InstanceGuard later(Name, m_runtime->path());
    later.SetFilesForFirstCopy({"/music/a.mp3"});
    qputenv("XDG_ACTIVATION_TOKEN", "launcher-token-1");
    QVERIFY(later.ActivateFirstCopy());
    qunsetenv("XDG_ACTIVATION_TOKEN");
    QTRY_COMPARE(tokenSeen, QByteArray("launcher-token-1"));
    qunsetenv("XDG_ACTIVATION_TOKEN");
}

// The first copy takes a large request over several wake-ups, never all at once. The sender
// is another thread here, as it is another process in use: it waits while the kernel's buffer
// is full.
void TestSingleInstance::aRequestNearTheLimitArrivesWhole()
{
    InstanceGuard first(Name, m_runtime->path());
    QSignalSpy files(&first, &InstanceGuard::filesHandedOver);
    QStringList paths;
    for (int i = 0; i < 8000; ++i)
        paths << QStringLiteral("/music/%1/").arg(i) + QString(90, QLatin1Char('x'));
    QVERIFY(InstanceMessage::encode({InstanceRequest::Open, paths}).has_value());
    std::future<bool> sent = std::async(std::launch::async, [this, &paths] {
        return InstanceGuard::SendToRunningCopy(Name, m_runtime->path(),
                                                {InstanceRequest::Open, paths}, 5000);
    });
    QTRY_COMPARE(files.size(), 1);
    QVERIFY(sent.get());
    QCOMPARE(files.first().first().toStringList(), paths);
}

void TestSingleInstance::hostilePeersLeaveFirstCopyResponsive_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<int>("peers");
    QByteArray announced100MB = *InstanceMessage::encode({});
    qToBigEndian(quint32(100 * 1024 * 1024), announced100MB.data() + 5);
    QTest::newRow("garbage") << QByteArray("\x00\xff garbage \r\n", 13) << 1;
    QTest::newRow("100 MB message") << announced100MB + QByteArray(100 * 1024 * 1024, 'x') << 1;
    QTest::newRow("100 MB of garbage") << QByteArray(100 * 1024 * 1024, '\xff') << 1;
    QTest::newRow("many slow peers")
        << announced100MB.left(4) << 3 * InstanceGuard::MaxPendingPeers;
}

// The first copy reads no more than a message may hold and never waits on a peer: a later copy
// is served at once while hostile peers are still connected.
void TestSingleInstance::hostilePeersLeaveFirstCopyResponsive()
{
    QFETCH(QByteArray, bytes);
    QFETCH(int, peers);
    InstanceGuard first(Name, m_runtime->path());
    QSignalSpy activations(&first, &InstanceGuard::activationRequested);
    std::vector<std::unique_ptr<QLocalSocket>> hostile;
    for (int i = 0; i < peers; ++i) {
        hostile.push_back(std::make_unique<QLocalSocket>());
        hostile.back()->connectToServer(first.serverPath());
        QVERIFY(hostile.back()->waitForConnected(1000));
        hostile.back()->write(bytes);
    }
    QTest::qWait(100);

    InstanceGuard later(Name, m_runtime->path());
    QElapsedTimer timer;
    timer.start();
    QVERIFY(later.ActivateFirstCopy());
    QTRY_COMPARE_WITH_TIMEOUT(activations.size(), 1, 1000);
    QVERIFY(timer.elapsed() < 1000);
    // A peer that sent something we do not take is cut off; the slow ones wait their turn.
    if (peers == 1)
        QTRY_COMPARE(hostile.front()->state(), QLocalSocket::UnconnectedState);
}

void TestSingleInstance::aPeerThatNeverFinishesIsDropped()
{
    InstanceGuard first(Name, m_runtime->path());
    QSignalSpy activations(&first, &InstanceGuard::activationRequested);
    QLocalSocket slow;
    slow.connectToServer(first.serverPath());
    QVERIFY(slow.waitForConnected(1000));
    slow.write(InstanceMessage::encode({})->left(5));
    QTest::qWait(InstanceGuard::RequestTimeoutMs / 2);
    QCOMPARE(slow.state(), QLocalSocket::ConnectedState);
    QTRY_COMPARE_WITH_TIMEOUT(slow.state(), QLocalSocket::UnconnectedState,
                              InstanceGuard::RequestTimeoutMs);
    QCOMPARE(activations.size(), 0);
}

void TestSingleInstance::commandsNeedARunningCopy()
{
    QElapsedTimer timer;
    timer.start();
    QVERIFY(
        !InstanceGuard::SendToRunningCopy(Name, m_runtime->path(), {InstanceRequest::Stop, {}}));
    QVERIFY(!InstanceGuard::SendToRunningCopy(Name, QString(), {InstanceRequest::Stop, {}}));
    // A dead socket answers at once, no waiting for a server to come.
    QVERIFY(leaveDeadSocket(m_runtime->filePath(Name + ".sock")));
    QVERIFY(
        !InstanceGuard::SendToRunningCopy(Name, m_runtime->path(), {InstanceRequest::Stop, {}}));
    QVERIFY(timer.elapsed() < 500);
}

void TestSingleInstance::activationIsBounded_data()
{
    QTest::addColumn<bool>("deadSocket");
    QTest::newRow("no server yet") << false;
    QTest::newRow("dead socket") << true;
}

// A first copy that holds the lock but does not answer must not hold up the later one.
void TestSingleInstance::activationIsBounded()
{
    QFETCH(bool, deadSocket);
    const QString base = m_runtime->filePath(Name);
    const int fd = ::open(QFile::encodeName(base + QStringLiteral(".lock")).constData(),
                          O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    QVERIFY(fd >= 0);
    QVERIFY(::flock(fd, LOCK_EX | LOCK_NB) == 0);
    if (deadSocket)
        QVERIFY(leaveDeadSocket(base + QStringLiteral(".sock")));

    InstanceGuard later(Name, m_runtime->path());
    QVERIFY(later.AnotherCopy());
    QElapsedTimer timer;
    timer.start();
    QVERIFY(!later.ActivateFirstCopy(300));
    QVERIFY2(timer.elapsed() >= 250, "gave up before the first copy had time to listen");
    QVERIFY(timer.elapsed() < 1000);
    // Only the lock holder may clear the socket path.
    QCOMPARE(QFile::exists(base + QStringLiteral(".sock")), deadSocket);
    ::close(fd);
}

void TestSingleInstance::leftoversOfADeadCopyDoNotBlock_data()
{
    QTest::addColumn<QString>("leftover");
    QTest::newRow("lock file") << QStringLiteral("lock");
    QTest::newRow("dead socket") << QStringLiteral("socket");
    QTest::newRow("plain file at the socket path") << QStringLiteral("file");
}

void TestSingleInstance::leftoversOfADeadCopyDoNotBlock()
{
    QFETCH(QString, leftover);
    const QString base = m_runtime->filePath(Name);
    if (leftover == QLatin1String("lock")) {
        QFile lock(base + QStringLiteral(".lock"));
        QVERIFY(lock.open(QIODevice::WriteOnly));
    } else if (leftover == QLatin1String("socket")) {
        QVERIFY(leaveDeadSocket(base + QStringLiteral(".sock")));
    } else {
        QFile file(base + QStringLiteral(".sock"));
        QVERIFY(file.open(QIODevice::WriteOnly));
    }
    InstanceGuard first(Name, m_runtime->path());
    QVERIFY(!first.AnotherCopy());
    QVERIFY(first.Listening());
    QSignalSpy spy(&first, &InstanceGuard::activationRequested);
    InstanceGuard later(Name, m_runtime->path());
    QVERIFY(later.ActivateFirstCopy());
    QTRY_COMPARE(spy.size(), 1);
}

void TestSingleInstance::unusableRuntimeFolderRunsAsOnlyCopy_data()
{
    QTest::addColumn<QString>("folder");
    QTest::addColumn<QString>("name");
    QTest::newRow("no folder") << QString() << Name;
    QTest::newRow("missing folder") << QStringLiteral("missing") << Name;
    QTest::newRow("folder is a file") << QStringLiteral("file") << Name;
    QTest::newRow("lock path is a folder") << QString(".") << QStringLiteral("taken");
    QTest::newRow("socket path too long") << QString(".") << QString(120, QLatin1Char('n'));
}

void TestSingleInstance::unusableRuntimeFolderRunsAsOnlyCopy()
{
    QFETCH(QString, folder);
    QFETCH(QString, name);
    QFile file(m_runtime->filePath(QStringLiteral("file")));
    QVERIFY(file.open(QIODevice::WriteOnly));
    QVERIFY(QDir(m_runtime->path()).mkdir(QStringLiteral("taken.lock")));
    const QString path = folder.isEmpty() ? QString() : m_runtime->filePath(folder);

    InstanceGuard first(name, path);
    QVERIFY(!first.AnotherCopy());
    QVERIFY(!first.ActivateFirstCopy());
    InstanceGuard second(name, path);
    if (second.AnotherCopy()) {
        // The lock worked but the server did not: the later copy still ends promptly.
        QElapsedTimer timer;
        timer.start();
        QVERIFY(!second.ActivateFirstCopy(200));
        QVERIFY(timer.elapsed() < 1000);
    }
}

void TestSingleInstance::socketIsTheUsersOwn()
{
    InstanceGuard first(Name, m_runtime->path());
    QVERIFY(first.Listening());
    struct stat status {};
    QCOMPARE(::stat(QFile::encodeName(first.serverPath()).constData(), &status), 0);
    QVERIFY(S_ISSOCK(status.st_mode));
    QCOMPARE(status.st_mode & (S_IRWXG | S_IRWXO), 0u);
}

// The running copy may end between our connect and our write: no SIGPIPE, no hang.
void TestSingleInstance::writingToAPeerThatLeftFails()
{
    const QString path = m_runtime->filePath(QStringLiteral("peer.sock"));
    QString error;
    const int server = UnixSocket::listenAt(path, error);
    QVERIFY2(server >= 0, qPrintable(error));
    const int client = UnixSocket::connectTo(path);
    QVERIFY(client >= 0);
    ::close(server);
    QElapsedTimer timer;
    timer.start();
    QVERIFY(!UnixSocket::writeAll(client, QByteArray(4 * 1024 * 1024, 'x'), QDeadlineTimer(2000)));
    QVERIFY(timer.elapsed() < 1000);
    ::close(client);
    QCOMPARE(UnixSocket::connectTo(path), -1);
    QCOMPARE(errno, ECONNREFUSED);
}

void TestSingleInstance::onlyOneGuardComponentPerProcess()
{
    auto first = std::make_unique<TLMDOneInstance>(nullptr, nullptr);
    for (int attempt = 0; attempt < 2; ++attempt) {
        try {
            TLMDOneInstance second(nullptr, nullptr);
            QFAIL("a second guard component was created");
        } catch (const std::runtime_error &error) {
            QCOMPARE(QString::fromUtf8(error.what()),
                     QStringLiteral("TLMDOneInstance:\nAlready one TLMDOneInstance control in this "
                                    "project!"));
        }
    }
    // Failed attempts do not count; the first one's end frees the place.
    first.reset();
    TLMDOneInstance replacement(nullptr, nullptr);
}

void TestSingleInstance::modes_data()
{
    QTest::addColumn<TLMDOneInstance::TLMDOneInstanceMode>("mode");
    QTest::addColumn<bool>("customAssigned");
    QTest::addColumn<bool>("box");
    QTest::addColumn<int>("customCalls");
    QTest::addColumn<int>("activations");
    QTest::newRow("activate only") << TLMDOneInstance::oiActivateOnly << true << false << 0 << 1;
    QTest::newRow("default message") << TLMDOneInstance::oiDefaultMessage << true << true << 0 << 1;
    QTest::newRow("custom") << TLMDOneInstance::oiCustom << true << false << 1 << 0;
    QTest::newRow("custom unassigned") << TLMDOneInstance::oiCustom << false << false << 0 << 1;
}

// A later copy performs the mode's action and then always ends.
void TestSingleInstance::modes()
{
    QFETCH(TLMDOneInstance::TLMDOneInstanceMode, mode);
    QFETCH(bool, customAssigned);
    QFETCH(bool, box);
    QFETCH(int, customCalls);
    QFETCH(int, activations);
    InstanceGuard first(Name, m_runtime->path());
    QSignalSpy spy(&first, &InstanceGuard::activationRequested);
    InstanceGuard later(Name, m_runtime->path());

    TLMDOneInstance component(&later, nullptr);
    QVERIFY(component.Enabled());
    QCOMPARE(component.Mode(), TLMDOneInstance::oiActivateOnly);
    component.setProperty("Mode", QVariant::fromValue(mode));
    int ends = 0;
    component.SetEnding([&ends] { ++ends; });
    QList<QObject *> senders;
    if (customAssigned)
        component.SetOnCustom([&senders](QObject *sender) { senders << sender; });
    BoxAnswer answer;
    if (box)
        answer.armed();

    component.Loaded();
    QCOMPARE(ends, 1);
    QCOMPARE(senders.size(), customCalls);
    if (customCalls > 0)
        QCOMPARE(senders.first(), &component);
    if (box) {
        QCOMPARE(answer.caption, QStringLiteral("NorlPlayer"));
        QCOMPARE(answer.text, QStringLiteral("\"NorlPlayer\" was already started..."));
        QCOMPARE(answer.buttons, 1);
    }
    if (activations > 0)
        QTRY_COMPARE(spy.size(), activations);
    QTest::qWait(50);
    QCOMPARE(spy.size(), activations);
}

void TestSingleInstance::noActionWithoutAnotherCopy_data()
{
    QTest::addColumn<QString>("situation");
    QTest::newRow("first copy") << QStringLiteral("first");
    QTest::newRow("disabled") << QStringLiteral("disabled");
    QTest::newRow("no process guard") << QStringLiteral("none");
}

void TestSingleInstance::noActionWithoutAnotherCopy()
{
    QFETCH(QString, situation);
    InstanceGuard first(Name, m_runtime->path());
    InstanceGuard later(Name, m_runtime->path());
    InstanceGuard *guard = situation == QLatin1String("first")  ? &first
                           : situation == QLatin1String("none") ? nullptr
                                                                : &later;
    QSignalSpy spy(&first, &InstanceGuard::activationRequested);
    TLMDOneInstance component(guard, nullptr);
    component.SetEnabled(situation != QLatin1String("disabled"));
    component.SetMode(TLMDOneInstance::oiCustom);
    int calls = 0;
    component.SetOnCustom([&calls](QObject *) { ++calls; });
    component.SetEnding([&calls] { ++calls; });

    component.Loaded();
    QTest::qWait(50);
    QCOMPARE(calls, 0);
    QCOMPARE(spy.size(), 0);
}

void TestSingleInstance::bringForward_data()
{
    QTest::addColumn<bool>("hidden");
    QTest::addColumn<Qt::WindowStates>("state");
    QTest::addColumn<Qt::WindowStates>("restored");
    QTest::newRow("visible") << false << Qt::WindowStates() << Qt::WindowStates();
    QTest::newRow("hidden to the tray") << true << Qt::WindowStates() << Qt::WindowStates();
    QTest::newRow("minimised") << false << Qt::WindowStates(Qt::WindowMinimized)
                               << Qt::WindowStates();
    QTest::newRow("minimised from maximised")
        << false << (Qt::WindowMinimized | Qt::WindowMaximized)
        << Qt::WindowStates(Qt::WindowMaximized);
    QTest::newRow("hidden while minimised")
        << true << Qt::WindowStates(Qt::WindowMinimized) << Qt::WindowStates();
}

void TestSingleInstance::bringForward()
{
    QFETCH(bool, hidden);
    QFETCH(Qt::WindowStates, state);
    QFETCH(Qt::WindowStates, restored);
    QWidget window;
    window.show();
    window.setWindowState(state);
    if (hidden)
        window.hide();

    TLMDOneInstance::BringForward(window);
    QVERIFY(window.isVisible());
    QCOMPARE(window.windowState() & ~Qt::WindowActive, restored);
}

void TestSingleInstance::secondCopyBringsFirstForwardAndEnds()
{
    Copy first(helper(), m_runtime->path());
    QVERIFY(first.waitFor("running"));

    Copy second(helper(), m_runtime->path());
    const qint64 took = second.waitForEnd();
    QVERIFY2(took >= 0 && took < QuickEndMs, qPrintable(QString::number(took)));
    QVERIFY(second.endedCleanly());
    QVERIFY(!second.output().contains("running"));
    QVERIFY(first.waitFor("activated"));
    QCOMPARE(first.process().state(), QProcess::Running);
}

void TestSingleInstance::simultaneousStartsLeaveOneRunning()
{
    for (int round = 0; round < 3; ++round) {
        std::vector<std::unique_ptr<Copy>> copies;
        for (int i = 0; i < 3; ++i)
            copies.push_back(std::make_unique<Copy>(helper(), m_runtime->path()));
        Copy *runner = nullptr;
        for (const auto &copy : copies) {
            if (copy->waitFor("running")) {
                QVERIFY2(!runner, "two copies run");
                runner = copy.get();
            } else {
                QVERIFY(copy->waitForEnd() >= 0);
                QVERIFY(copy->endedCleanly());
            }
        }
        QVERIFY(runner);
        // Everyone who lost asked the winner to come forward.
        QTRY_COMPARE(runner->count("activated"), 2);
        runner->process().closeWriteChannel();
        QVERIFY(runner->waitForEnd() >= 0);
    }
}

void TestSingleInstance::endedFirstCopyFreesTheName_data()
{
    QTest::addColumn<bool>("killed");
    QTest::newRow("ended normally") << false;
    QTest::newRow("killed") << true;
}

void TestSingleInstance::endedFirstCopyFreesTheName()
{
    QFETCH(bool, killed);
    const QString socketPath = m_runtime->filePath(QStringLiteral("helper_instance.sock"));
    {
        Copy first(helper(), m_runtime->path());
        QVERIFY(first.waitFor("running"));
        if (killed) {
            first.process().kill();
        } else {
            first.process().closeWriteChannel();
        }
        QVERIFY(first.waitForEnd() >= 0);
        QCOMPARE(first.endedCleanly(), !killed);
        QCOMPARE(QFile::exists(socketPath), killed);
    }
    Copy next(helper(), m_runtime->path());
    QVERIFY(next.waitFor("running"));
    Copy later(helper(), m_runtime->path());
    QVERIFY(later.waitForEnd() >= 0);
    QVERIFY(later.endedCleanly());
    QVERIFY(next.waitFor("activated"));
}

void TestSingleInstance::executableFileNameDecides_data()
{
    QTest::addColumn<QString>("copyPath");
    QTest::addColumn<bool>("alongside");
    QTest::newRow("other file name") << QStringLiteral("norlplayer-beta") << true;
    QTest::newRow("same name, other folder") << QStringLiteral("other/helper_instance") << false;
}

void TestSingleInstance::executableFileNameDecides()
{
    QFETCH(QString, copyPath);
    QFETCH(bool, alongside);
    QTemporaryDir programs;
    const QString program = programs.filePath(copyPath);
    QVERIFY(QDir().mkpath(QFileInfo(program).path()));
    QVERIFY(QFile::copy(helper(), program));

    Copy first(helper(), m_runtime->path());
    QVERIFY(first.waitFor("running"));
    Copy renamed(program, m_runtime->path());
    if (alongside) {
        QVERIFY(renamed.waitFor("running"));
    } else {
        QVERIFY(renamed.waitForEnd() >= 0);
        QVERIFY(renamed.endedCleanly());
        QVERIFY(first.waitFor("activated"));
    }
}

QTEST_MAIN(TestSingleInstance)
#include "tst_singleinstance.moc"
