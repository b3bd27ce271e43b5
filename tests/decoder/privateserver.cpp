#include "privateserver.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QThread>
#include <csignal>

namespace {

bool answers(const QString &address)
{
    QProcess pactl;
    pactl.setStandardOutputFile(QProcess::nullDevice());
    pactl.setStandardErrorFile(QProcess::nullDevice());
    pactl.start("pactl", {"--server", address, "info"});
    return pactl.waitForFinished(10000) && pactl.exitStatus() == QProcess::NormalExit &&
           pactl.exitCode() == 0;
}

} // namespace

PrivateServer::PrivateServer(const QStringList &sinks, const QStringList &modules)
    : m_dir("/tmp/norl-pb-XXXXXX"), m_sinks(sinks), m_modules(modules)
{
}

bool PrivateServer::start()
{
    QDir(m_dir.path()).mkpath("runtime");
    QDir(m_dir.path()).mkpath("state");
    auto env = QProcessEnvironment::systemEnvironment();
    env.insert("XDG_RUNTIME_DIR", m_dir.filePath("runtime"));
    env.insert("HOME", m_dir.path());
    env.insert("PULSE_STATE_PATH", m_dir.filePath("state"));
    m_process.setProcessEnvironment(env);
    m_process.setStandardOutputFile(QProcess::nullDevice());
    m_process.setStandardErrorFile(QProcess::nullDevice());
    QStringList args{"-n", "--daemonize=no", "--exit-idle-time=-1", "--use-pid-file=no",
                     "--load=module-native-protocol-unix auth-anonymous=1 socket=" +
                         m_dir.filePath("native")};
    for (const auto &sink : m_sinks)
        args << "--load=module-null-sink " + sink;
    for (const auto &module : m_modules)
        args << "--load=" + module;
    m_process.start("pulseaudio", args);
    if (!m_process.waitForStarted())
        return false;
    QDeadlineTimer deadline(10000);
    while (m_process.state() == QProcess::Running && !deadline.hasExpired()) {
        if (answers(address()))
            return true;
        QThread::msleep(5);
    }
    return false;
}

void PrivateServer::freeze(bool frozen)
{
    if (m_process.state() == QProcess::Running)
        ::kill(pid_t(m_process.processId()), frozen ? SIGSTOP : SIGCONT);
}

void PrivateServer::kill()
{
    if (m_process.state() == QProcess::NotRunning)
        return;
    m_process.kill();
    m_process.waitForFinished();
}

ServerAddress::ServerAddress(const QString &address) : m_saved(qgetenv("PULSE_SERVER"))
{
    qputenv("PULSE_SERVER", address.toLocal8Bit());
}

ServerAddress::~ServerAddress()
{
    qputenv("PULSE_SERVER", m_saved);
}
