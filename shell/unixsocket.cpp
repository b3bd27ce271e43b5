#include "unixsocket.h"

#include <QFile>
#include <algorithm>
#include <cerrno>
#include <cstring>
#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

namespace UnixSocket {

namespace {

constexpr int Backlog = 50;

bool addressFor(const QString &path, sockaddr_un &address)
{
    const QByteArray encoded = QFile::encodeName(path);
    address = {};
    address.sun_family = AF_UNIX;
    if (encoded.isEmpty() || size_t(encoded.size()) >= sizeof address.sun_path) {
        errno = ENAMETOOLONG;
        return false;
    }
    std::memcpy(address.sun_path, encoded.constData(), size_t(encoded.size()));
    return true;
}

int newSocket()
{
    return ::socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
}

} // namespace

int listenAt(const QString &path, QString &error)
{
    sockaddr_un address;
    const int fd = addressFor(path, address) ? newSocket() : -1;
    // Bound with no rights for others from the start, not narrowed afterwards: the socket file
    // takes the socket's mode. (The umask is the whole process's, other threads run by now.)
    const bool bound =
        fd >= 0 && ::fchmod(fd, S_IRUSR | S_IWUSR) == 0 &&
        ::bind(fd, reinterpret_cast<const sockaddr *>(&address), sizeof address) == 0;
    if (bound && ::listen(fd, Backlog) == 0)
        return fd;
    error = QString::fromLocal8Bit(std::strerror(errno));
    if (fd >= 0)
        ::close(fd);
    return -1;
}

int connectTo(const QString &path)
{
    sockaddr_un address;
    if (!addressFor(path, address))
        return -1;
    const int fd = newSocket();
    if (fd < 0)
        return -1;
    int result;
    do {
        result = ::connect(fd, reinterpret_cast<const sockaddr *>(&address), sizeof address);
    } while (result != 0 && errno == EINTR);
    if (result == 0)
        return fd;
    const int reason = errno;
    ::close(fd);
    errno = reason;
    return -1;
}

bool writeAll(int fd, QByteArrayView bytes, const QDeadlineTimer &deadline)
{
    qsizetype done = 0;
    while (done < bytes.size()) {
        // No SIGPIPE when the reader has gone: the program would end without a word.
        const ssize_t sent =
            ::send(fd, bytes.data() + done, size_t(bytes.size() - done), MSG_NOSIGNAL);
        if (sent > 0) {
            done += sent;
            continue;
        }
        if (sent < 0 && errno == EINTR)
            continue;
        if (sent < 0 && errno != EAGAIN && errno != EWOULDBLOCK)
            return false;
        if (deadline.hasExpired())
            return false;
        pollfd wait{fd, POLLOUT, 0};
        const int waitMs = int(std::clamp<qint64>(deadline.remainingTime(), 0, 1000));
        if (::poll(&wait, 1, waitMs) < 0 && errno != EINTR)
            return false;
    }
    return true;
}

} // namespace UnixSocket
