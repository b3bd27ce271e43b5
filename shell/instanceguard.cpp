#include "instanceguard.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>
#include <QStandardPaths>
#include <QThread>
#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// The one request a later copy sends. Anything else on the socket is ignored.
const QByteArray ActivateRequest = QByteArrayLiteral("activate\n");
// A peer that writes more than this without sending the request is not one of us.
constexpr qint64 MaxRequestBytes = 64;
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
    return QDir(m_folder).filePath(m_name + QStringLiteral(".sock"));
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
    connect(m_server, &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket *socket = m_server->nextPendingConnection()) {
            connect(socket, &QLocalSocket::readyRead, this,
                    [this, socket] { readRequest(socket); });
            connect(socket, &QLocalSocket::disconnected, this,
                    [this, socket] { readRequest(socket); });
            readRequest(socket);
        }
    });
}

// Waits while what arrived can still become the request; otherwise closes the connection and,
// when it was the request, passes it on.
void InstanceGuard::readRequest(QLocalSocket *socket)
{
    const QByteArray received = socket->isOpen() ? socket->peek(MaxRequestBytes) : QByteArray();
    const bool complete = received.startsWith(ActivateRequest);
    if (!complete && ActivateRequest.startsWith(received) &&
        socket->state() == QLocalSocket::ConnectedState)
        return;
    // No more calls from this socket: aborting it may report its disconnection right away.
    socket->disconnect(this);
    socket->abort();
    socket->deleteLater();
    if (complete)
        emit activationRequested();
}

bool InstanceGuard::ActivateFirstCopy(int timeoutMs)
{
    if (!m_anotherCopy)
        return false;
    const QDeadlineTimer deadline(std::max(timeoutMs, 0));
    const auto remaining = [&deadline] {
        return int(std::max<qint64>(deadline.remainingTime(), 0));
    };
    QLocalSocket socket;
    // The first copy takes the lock before it listens; a copy started in that gap finds no
    // server yet and tries again.
    for (;;) {
        socket.connectToServer(serverPath());
        if (socket.waitForConnected(remaining()))
            break;
        socket.abort();
        if (deadline.hasExpired())
            return false;
        QThread::msleep(std::min(RetryPauseMs, remaining()));
    }
    bool delivered = socket.write(ActivateRequest) == ActivateRequest.size();
    while (delivered && socket.bytesToWrite() > 0)
        delivered = socket.waitForBytesWritten(remaining());
    socket.disconnectFromServer();
    return delivered;
}
