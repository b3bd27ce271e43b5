// A sound server of a test's own, in its own temporary folder (runtime, state), which the test
// can freeze, kill and start again on the same socket.
#pragma once

#include <QByteArray>
#include <QProcess>
#include <QStringList>
#include <QTemporaryDir>

class PrivateServer {
public:
    // `sinks`: the arguments of each null sink; `modules`: further modules with their arguments.
    explicit PrivateServer(const QStringList &sinks = {"sink_name=private norewinds=1"},
                           const QStringList &modules = {});
    ~PrivateServer() { kill(); }
    PrivateServer(const PrivateServer &) = delete;
    PrivateServer &operator=(const PrivateServer &) = delete;

    QString address() const { return "unix:" + m_dir.filePath("native"); }

    // Starts the server and waits until it answers.
    bool start();
    // SIGSTOP / SIGCONT: a server that hangs, as one across a network may, and comes back.
    void freeze(bool frozen);
    // SIGKILL: no goodbye to the clients.
    void kill();

private:
    QTemporaryDir m_dir; // short: the socket path must fit a sockaddr_un
    QStringList m_sinks;
    QStringList m_modules;
    QProcess m_process;
};

// Points PULSE_SERVER elsewhere until the end of the scope.
class ServerAddress {
public:
    explicit ServerAddress(const QString &address);
    ~ServerAddress();
    ServerAddress(const ServerAddress &) = delete;
    ServerAddress &operator=(const ServerAddress &) = delete;

private:
    QByteArray m_saved;
};
