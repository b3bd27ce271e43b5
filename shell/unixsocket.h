// Plain Unix-domain stream sockets for the channel between copies of the program. The toolkit's
// local sockets live in its network module, which brings Kerberos, GSSAPI and proxy libraries
// into every start for this one socket.
#pragma once

#include <QByteArrayView>
#include <QDeadlineTimer>
#include <QString>

namespace UnixSocket {

// A listening socket at `path`, non-blocking, reachable by this user only. The caller removes
// a stale file first. -1 on failure, with the reason in `error`.
int listenAt(const QString &path, QString &error);

// A non-blocking socket connected to `path`; -1 with errno set when nobody listens there
// (ENOENT: no file, ECONNREFUSED: a file left by a copy that died).
int connectTo(const QString &path);

// Writes all of `bytes` to the non-blocking `fd` before `deadline`.
bool writeAll(int fd, QByteArrayView bytes, const QDeadlineTimer &deadline);

} // namespace UnixSocket
