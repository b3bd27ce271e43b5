// InstanceGuard: the process-wide part of "only one copy runs". Created in main() after the
// application object and before any window; it learns at once whether another copy of the same
// executable already runs for this user, and in the first copy it answers requests to come
// forward.
//
// Two objects in the user's runtime folder carry it, both named after the executable's file name:
//   <name>.lock   held with flock() by the first copy; the kernel drops the lock when the holder
//                 dies, even by SIGKILL, so a crashed copy never blocks the next start;
//   <name>.sock   the first copy's local server; a later copy connects and writes one request.
// Only the lock holder removes a stale socket, so two copies never fight over it.
//
// Whatever cannot be set up (no runtime folder, no lock, no server) leaves the program running
// as if it were the only copy.
#pragma once

#include <QObject>
#include <QString>

class QLocalServer;
class QLocalSocket;

class InstanceGuard : public QObject {
    Q_OBJECT
public:
    // Defaults: the running executable's file name, the user's runtime folder.
    explicit InstanceGuard(QObject *parent = nullptr);
    InstanceGuard(const QString &name, const QString &runtimeFolder, QObject *parent = nullptr);
    ~InstanceGuard() override;

    // The process's guard while one lives (the first one made), for components that cannot be
    // handed it; nullptr otherwise.
    static InstanceGuard *current();

    // True when another copy held the lock at creation.
    bool AnotherCopy() const { return m_anotherCopy; }
    // True in the copy that holds the lock and listens for requests.
    bool Listening() const;

    // In a later copy: asks the first copy to come forward. Retries the connection until the
    // first copy listens, and waits for the request to be written, all within `timeoutMs`.
    // False when the flag is not set or the request could not be delivered.
    bool ActivateFirstCopy(int timeoutMs = 1000);

    QString lockPath() const;
    QString serverPath() const;

    // The file name of the running executable, without its folder.
    static QString executableName();
    // $XDG_RUNTIME_DIR, or Qt's per-user runtime folder; empty when there is none.
    static QString defaultRuntimeFolder();

signals:
    // The first copy received a request from a later copy to come forward.
    void activationRequested();

private:
    bool acquireLock();
    void listen();
    void readRequest(QLocalSocket *socket);

    QString m_name;
    QString m_folder;
    int m_lockFd = -1;
    bool m_anotherCopy = false;
    QLocalServer *m_server = nullptr;
};
