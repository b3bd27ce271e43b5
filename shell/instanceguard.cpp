#include "instanceguard.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QFileInfo>
#include <QSocketNotifier>
#include <QStandardPaths>
#include <QThread>
#include <QTimer>
#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

#include "unixsocket.h"

namespace {

// The most read from a peer in one go; a flood waits in the kernel, not in our memory.
constexpr qint64 ReadChunkBytes = 64 * 1024;
// Pause between connection attempts while the first copy is still setting up its server.
constexpr int RetryPauseMs = 20;
// Pause before taking requests again after the system refused one (no descriptors left).
constexpr int AcceptRetryMs = 250;

InstanceGuard *s_current = nullptr;

// The runtime folder may be swept of files untouched for hours; the sticky bit exempts ours, so
// a long-running first copy keeps its lock and socket.
void keepFromCleanup(const QString &path)
{
    ::chmod(QFile::encodeName(path).constData(), S_ISVTX | S_IRUSR | S_IWUSR);
}

} // namespace

InstanceGuard::InstanceGuard(QObject *parent)
    : InstanceGuard(executableName(), defaultRuntimeFolder(), parent)
{
}

InstanceGuard::InstanceGuard(const QString &name, const QString &runtimeFolder, QObject *parent)
    : QObject(parent), m_name(name), m_folder(runtimeFolder)
{
    if (!s_current)
        s_current = this;
    if (acquireLock())
        listen();
}

InstanceGuard::~InstanceGuard()
{
    while (!m_pendingPeers.empty())
        dropPeer(m_pendingPeers.front(), QString());
    // The socket goes before the lock, so whoever takes the lock next finds no live server of
    // ours. The lock file stays: removing it would let a copy that already opened it lock an
    // unlinked file while a newcomer locks a fresh one, and both would think they are first.
    if (m_serverFd >= 0) {
        m_serverNotifier->setEnabled(false);
        ::close(m_serverFd);
        ::unlink(QFile::encodeName(serverPath()).constData());
    }
    if (m_lockFd >= 0)
        ::close(m_lockFd);
    if (s_current == this)
        s_current = nullptr;
}

InstanceGuard *InstanceGuard::current()
{
    return s_current;
}

bool InstanceGuard::Listening() const
{
    return m_serverFd >= 0;
}

QString InstanceGuard::lockPath() const
{
    return QDir(m_folder).filePath(m_name + QStringLiteral(".lock"));
}

QString InstanceGuard::serverPath() const
{
    return serverPathFor(m_name, m_folder);
}

QString InstanceGuard::serverPathFor(const QString &name, const QString &runtimeFolder)
{
    return QDir(runtimeFolder).filePath(name + QStringLiteral(".sock"));
}

QString InstanceGuard::executableName()
{
    return QFileInfo(QCoreApplication::applicationFilePath()).fileName();
}

QString InstanceGuard::defaultRuntimeFolder()
{
    return QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
}

// True when this copy now holds the lock. Sets the another-copy flag when someone else holds it;
// any other failure leaves both false, and the program runs as the only copy.
bool InstanceGuard::acquireLock()
{
    if (m_name.isEmpty() || m_folder.isEmpty() || !QFileInfo(m_folder).isDir())
        return false;
    const QByteArray path = QFile::encodeName(lockPath());
    // Close-on-exec: a program we start (a browser, a helper) must not inherit the lock and keep
    // it after we are gone.
    const int fd = ::open(path.constData(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd < 0)
        return false;
    int result;
    do {
        result = ::flock(fd, LOCK_EX | LOCK_NB);
    } while (result != 0 && errno == EINTR);
    if (result == 0) {
        m_lockFd = fd;
        keepFromCleanup(lockPath());
        return true;
    }
    m_anotherCopy = errno == EWOULDBLOCK;
    ::close(fd);
    return false;
}

// One later copy's connection while its request comes in. It deletes itself once dropped.
class InstanceGuard::Peer : public QObject {
public:
    Peer(int socket, QObject *parent)
        : QObject(parent), fd(socket), readable(socket, QSocketNotifier::Read)
    {
        deadline.setSingleShot(true);
    }
    ~Peer() override
    {
        readable.setEnabled(false);
        ::close(fd);
    }
    Peer(const Peer &) = delete;
    Peer &operator=(const Peer &) = delete;

    const int fd;
    QSocketNotifier readable;
    QTimer deadline;
    InstanceMessage::Reader reader;
};

void InstanceGuard::listen()
{
    // We hold the lock, so a socket left at the path belongs to a copy that died.
    const QByteArray path = QFile::encodeName(serverPath());
    ::unlink(path.constData());
    QString error;
    m_serverFd = UnixSocket::listenAt(serverPath(), error);
    if (m_serverFd < 0) {
        qWarning("NorlPlayer: cannot listen on %s: %s", qPrintable(serverPath()),
                 qPrintable(error));
        return;
    }
    keepFromCleanup(serverPath());
    m_serverNotifier = new QSocketNotifier(m_serverFd, QSocketNotifier::Read, this);
    connect(m_serverNotifier, &QSocketNotifier::activated, this, &InstanceGuard::acceptPeers);
}

// Each peer gets its own reader and a deadline; nothing here waits for a peer.
void InstanceGuard::acceptPeers()
{
    for (;;) {
        const int fd = ::accept4(m_serverFd, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
        if (fd < 0) {
            if (errno == EINTR || errno == ECONNABORTED)
                continue;
            if (errno != EAGAIN && errno != EWOULDBLOCK) {
                // Out of descriptors or memory: the connection stays queued, and the notifier
                // would fire again at once. Try again a little later instead of spinning.
                qWarning("NorlPlayer: cannot take a request: %s", std::strerror(errno));
                m_serverNotifier->setEnabled(false);
                QTimer::singleShot(AcceptRetryMs, m_serverNotifier,
                                   [notifier = m_serverNotifier] { notifier->setEnabled(true); });
            }
            return;
        }
        // A later copy must get through even when peers that never finish fill the places.
        if (m_pendingPeers.size() >= size_t(MaxPendingPeers))
            dropPeer(m_pendingPeers.front(), QStringLiteral("too many requests at once"));
        auto *peer = new Peer(fd, this);
        m_pendingPeers.push_back(peer);
        peer->deadline.callOnTimeout(
            this, [this, peer] { dropPeer(peer, QStringLiteral("not sent in time")); });
        peer->deadline.start(RequestTimeoutMs);
        connect(&peer->readable, &QSocketNotifier::activated, this,
                [this, peer] { readRequest(peer); });
        readRequest(peer);
    }
}

void InstanceGuard::readRequest(Peer *peer)
{
    using InstanceMessage::Reader;
    Reader &reader = peer->reader;
    bool ended = false;
    // Reads what is there, up to a chunk: a peer that keeps sending cannot hold up the loop.
    for (qint64 taken = 0; reader.state() == Reader::Incomplete && taken < ReadChunkBytes;) {
        char buffer[4096];
        const qint64 wanted = std::min<qint64>(reader.wanted(), sizeof buffer);
        const ssize_t got = ::read(peer->fd, buffer, size_t(wanted));
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0) {
            ended = got == 0 || (errno != EAGAIN && errno != EWOULDBLOCK);
            break;
        }
        taken += got;
        reader.add(QByteArrayView(buffer, got));
    }
    if (reader.state() == Reader::Complete) {
        const InstanceRequest request = reader.request();
        // Qt's Wayland plugin spends the token from the environment on the next activation.
        if (!reader.activationToken().isEmpty())
            qputenv("XDG_ACTIVATION_TOKEN", reader.activationToken().toUtf8());
        dropPeer(peer, QString());
        dispatch(request);
    } else if (reader.state() == Reader::Invalid) {
        dropPeer(peer, reader.error());
    } else if (ended) {
        // A peer that only looked whether we listen says nothing and is not worth a warning.
        dropPeer(peer, reader.nothingRead() ? QString() : QStringLiteral("cut short"));
    }
}

// Ends a connection, with a warning when `why` says it carried no request we take.
void InstanceGuard::dropPeer(Peer *peer, const QString &why)
{
    if (!why.isEmpty())
        qWarning("NorlPlayer: ignored a request from another copy: %s", qPrintable(why));
    std::erase(m_pendingPeers, peer);
    // This may run from the peer's own notifier or deadline: both stay quiet until it goes.
    peer->readable.setEnabled(false);
    peer->deadline.stop();
    peer->readable.disconnect(this);
    peer->deadline.disconnect(this);
    peer->deleteLater();
}

void InstanceGuard::dispatch(const InstanceRequest &request)
{
    switch (request.kind) {
    case InstanceRequest::Activate:
        emit activationRequested();
        break;
    case InstanceRequest::Open:
        emit filesHandedOver(request.paths);
        break;
    default:
        emit commandReceived(request.kind);
        break;
    }
}

namespace {

// Connects to `serverPath` and writes `message`, all before `deadline`. While `waitForServer`,
// a server that is not there yet is tried again.
bool deliver(const QString &serverPath, const QByteArray &message, const QDeadlineTimer &deadline,
             bool waitForServer)
{
    int fd;
    while ((fd = UnixSocket::connectTo(serverPath)) < 0) {
        // A full backlog clears as the first copy accepts; a missing or dead server may not.
        if ((!waitForServer && errno != EAGAIN) || deadline.hasExpired())
            return false;
        QThread::msleep(ulong(std::clamp<qint64>(deadline.remainingTime(), 0, RetryPauseMs)));
    }
    const bool delivered = UnixSocket::writeAll(fd, message, deadline);
    ::close(fd);
    return delivered;
}

} // namespace

bool InstanceGuard::ActivateFirstCopy(int timeoutMs)
{
    if (!m_anotherCopy)
        return false;
    // The token the desktop gave this start is the first copy's to use: this one never shows.
    const QString token = qEnvironmentVariable("XDG_ACTIVATION_TOKEN");
    std::optional<QByteArray> message;
    if (!m_filesForFirstCopy.isEmpty()) {
        message = InstanceMessage::encode({InstanceRequest::Open, m_filesForFirstCopy}, token);
        if (!message)
            qWarning("NorlPlayer: too many files to hand to the running copy");
    }
    if (!message)
        message = InstanceMessage::encode({}, token);
    // The first copy takes the lock before it listens; a copy started in that gap finds no
    // server yet and tries again.
    return deliver(serverPath(), *message, QDeadlineTimer(std::max(timeoutMs, 0)), true);
}

bool InstanceGuard::SendToRunningCopy(const QString &name, const QString &runtimeFolder,
                                      const InstanceRequest &request, int timeoutMs)
{
    const std::optional<QByteArray> message = InstanceMessage::encode(request);
    if (!message || name.isEmpty() || runtimeFolder.isEmpty())
        return false;
    return deliver(serverPathFor(name, runtimeFolder), *message,
                   QDeadlineTimer(std::max(timeoutMs, 0)), false);
}
