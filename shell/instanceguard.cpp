#include "instanceguard.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>
#include <QStandardPaths>
#include <QThread>
#include <QTimer>
#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <memory>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// What the socket takes in ahead of the reader; a flood waits in the kernel, not in our memory.
constexpr qint64 ReadBufferBytes = 64 * 1024;
// Pause between connection attempts while the first copy is still setting up its server.
constexpr int RetryPauseMs = 20;

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
    // Peers still under way must not call back into a guard that is going.
    for (QLocalSocket *socket : std::as_const(m_pendingPeers))
        socket->disconnect(this);
    // The socket goes before the lock, so whoever takes the lock next finds no live server of
    // ours. The lock file stays: removing it would let a copy that already opened it lock an
    // unlinked file while a newcomer locks a fresh one, and both would think they are first.
    delete m_server;
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
    return m_server && m_server->isListening();
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

void InstanceGuard::listen()
{
    m_server = new QLocalServer(this);
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    // We hold the lock, so a socket left at the path belongs to a copy that died.
    QLocalServer::removeServer(serverPath());
    if (!m_server->listen(serverPath())) {
        qWarning("NorlPlayer: cannot listen on %s: %s", qPrintable(serverPath()),
                 qPrintable(m_server->errorString()));
        return;
    }
    keepFromCleanup(serverPath());
    connect(m_server, &QLocalServer::newConnection, this, &InstanceGuard::acceptPeers);
}

// Each peer gets its own reader and a deadline; nothing here waits for a peer.
void InstanceGuard::acceptPeers()
{
    while (QLocalSocket *socket = m_server->nextPendingConnection()) {
        // A later copy must get through even when peers that never finish fill the places.
        if (m_pendingPeers.size() >= MaxPendingPeers)
            dropPeer(m_pendingPeers.first(), QStringLiteral("too many requests at once"));
        m_pendingPeers << socket;
        // Bytes beyond what the reader asks for are not taken in.
        socket->setReadBufferSize(ReadBufferBytes);
        auto *deadline = new QTimer(socket);
        deadline->setSingleShot(true);
        deadline->callOnTimeout(
            this, [this, socket] { dropPeer(socket, QStringLiteral("not sent in time")); });
        deadline->start(RequestTimeoutMs);
        const auto reader = std::make_shared<InstanceMessage::Reader>();
        connect(socket, &QLocalSocket::readyRead, this,
                [this, socket, reader] { readRequest(socket, *reader); });
        connect(socket, &QLocalSocket::disconnected, this,
                [this, socket, reader] { readRequest(socket, *reader); });
        readRequest(socket, *reader);
    }
}

void InstanceGuard::readRequest(QLocalSocket *socket, InstanceMessage::Reader &reader)
{
    using InstanceMessage::Reader;
    while (reader.state() == Reader::Incomplete && socket->bytesAvailable() > 0)
        reader.add(socket->read(reader.wanted()));
    if (reader.state() == Reader::Complete) {
        const InstanceRequest request = reader.request();
        // Qt's Wayland plugin spends the token from the environment on the next activation.
        if (!reader.activationToken().isEmpty())
            qputenv("XDG_ACTIVATION_TOKEN", reader.activationToken().toUtf8());
        dropPeer(socket, QString());
        dispatch(request);
    } else if (reader.state() == Reader::Invalid) {
        dropPeer(socket, reader.error());
    } else if (socket->state() != QLocalSocket::ConnectedState) {
        // A peer that only looked whether we listen says nothing and is not worth a warning.
        dropPeer(socket, reader.nothingRead() ? QString() : QStringLiteral("cut short"));
    }
}

// Ends a connection, with a warning when `why` says it carried no request we take.
void InstanceGuard::dropPeer(QLocalSocket *socket, const QString &why)
{
    if (!why.isEmpty())
        qWarning("NorlPlayer: ignored a request from another copy: %s", qPrintable(why));
    // Its deadline goes with the socket, as this may run from the deadline's own timeout.
    m_pendingPeers.removeOne(socket);
    if (auto *deadline = socket->findChild<QTimer *>())
        deadline->stop();
    // No more calls from this socket: aborting it may report its disconnection right away.
    socket->disconnect(this);
    socket->abort();
    socket->deleteLater();
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
    const auto remaining = [&deadline] {
        return int(std::max<qint64>(deadline.remainingTime(), 0));
    };
    QLocalSocket socket;
    for (;;) {
        socket.connectToServer(serverPath);
        if (socket.waitForConnected(remaining()))
            break;
        socket.abort();
        if (!waitForServer || deadline.hasExpired())
            return false;
        QThread::msleep(std::min(RetryPauseMs, remaining()));
    }
    bool delivered = socket.write(message) == message.size();
    while (delivered && socket.bytesToWrite() > 0)
        delivered = socket.waitForBytesWritten(remaining());
    socket.disconnectFromServer();
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
