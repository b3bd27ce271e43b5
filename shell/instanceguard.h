// InstanceGuard: the process-wide part of "only one copy runs". Created in main() after the
// application object and before any window; it learns at once whether another copy of the same
// executable already runs for this user, and in the first copy it answers requests to come
// forward.
//
// Two objects in the user's runtime folder carry it, both named after the executable's file name:
//   <name>.lock   held with flock() by the first copy; the kernel drops the lock when the holder
//                 dies, even by SIGKILL, so a crashed copy never blocks the next start;
//   <name>.sock   the first copy's Unix-domain socket (unixsocket.h); a later copy connects
//                 and writes one request (instancemessage.h). A request that is malformed, too
//                 large or too slow is dropped with a warning; the first copy never waits on a
//                 peer.
// Only the lock holder removes a stale socket, so two copies never fight over it.
//
// Whatever cannot be set up (no runtime folder, no lock, no server) leaves the program running
// as if it were the only copy.
#pragma once

#include <QObject>
#include <QString>
#include <QStringList>

#include <memory>
#include <vector>

#include "instancemessage.h"

class QSocketNotifier;

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

    // In a later copy: asks the first copy to come forward, and to add and play the files set
    // with SetFilesForFirstCopy, handing over $XDG_ACTIVATION_TOKEN when the desktop set one.
    // Retries the connection until the first copy listens, and waits for the request to be written,
    // all within `timeoutMs`. False when the flag is not set or the request could not be delivered.
    bool ActivateFirstCopy(int timeoutMs = 1000);
    // Absolute paths that a later copy hands to the first; too many for one message leave only
    // the request to come forward.
    void SetFilesForFirstCopy(const QStringList &paths) { m_filesForFirstCopy = paths; }

    // Sends `request` to a copy that listens as `name` in `runtimeFolder`, without becoming a
    // copy itself. False when none listens or it was not delivered within `timeoutMs`.
    static bool SendToRunningCopy(const QString &name, const QString &runtimeFolder,
                                  const InstanceRequest &request, int timeoutMs = 1000);

    QString lockPath() const;
    QString serverPath() const;
    static QString serverPathFor(const QString &name, const QString &runtimeFolder);

    // The file name of the running executable, without its folder.
    static QString executableName();
    // $XDG_RUNTIME_DIR, or Qt's per-user runtime folder; empty when there is none.
    static QString defaultRuntimeFolder();

    // How long a peer may take to send its whole request, and how many may be under way (a
    // newcomer beyond that drops the oldest).
    static constexpr int RequestTimeoutMs = 5000;
    static constexpr int MaxPendingPeers = 8;

signals:
    // The first copy received a request from a later copy to come forward.
    void activationRequested();
    // A later copy handed over files to add, the first of them to play (absolute paths).
    void filesHandedOver(const QStringList &paths);
    // A transport command from the command line: PlayPause, Next, Previous or Stop.
    void commandReceived(InstanceRequest::Kind command);

private:
    class Peer;

    bool acquireLock();
    void listen();
    void acceptPeers();
    void readRequest(Peer *peer);
    void dropPeer(Peer *peer, const QString &why);
    void dispatch(const InstanceRequest &request);

    QString m_name;
    QString m_folder;
    int m_lockFd = -1;
    bool m_anotherCopy = false;
    int m_serverFd = -1;
    QSocketNotifier *m_serverNotifier = nullptr;
    std::vector<Peer *> m_pendingPeers; // oldest first; each deletes itself once dropped
    QStringList m_filesForFirstCopy;
};
