// Runs a player as a user runs it and measures it from outside: the CPU time of all its threads,
// its peak memory, and what it costs while it waits with nothing to play.
//
// Every run gets fresh user folders (runtime, configuration, data, cache, home), so each copy of
// norlplayer starts as the only one, with a fresh settings store. That store declines the .mp3
// association prompt (it would wait for an answer) and switches the three play modes off, so the
// program stops at the end of its song. norlplayer runs offscreen from a temporary program
// folder: the program, the decoder library and the default skin copied from beside this tool.
//
//   bench-player play SECONDS FILE          norlplayer FILE, SIGTERM after SECONDS
//   bench-player play-eq SECONDS FILE       the same with the equalizer on, no band flat
//   bench-player idle SETTLE WINDOW [FILE]  norlplayer [FILE], measured for WINDOW s after SETTLE s
//   bench-player other COMMAND...           any command, to its own end
//
// The last line of the output holds the figures. play and other: "wall user sys peak" in s, s, s
// and kB, where peak is VmHWM as last read while the process ran (for play, just before the
// SIGTERM). idle: "cpu wakeups", the ms of CPU used in the window and the threads' wake-ups per
// second. Lines before it give each thread's share, "thread NAME cpu_ms wakeups" ("main" for the
// main thread), over the whole run (play) or the window (idle).
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <map>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

#include "benchform.h"
#include "equalizerstore.h"
#include "registrystore.h"

extern char **environ;

using namespace Bench;

namespace {

constexpr double OtherLimitSeconds = 150;
constexpr double QuitLimitSeconds = 20;

[[noreturn]] void fail(const QString &why)
{
    std::fprintf(stderr, "bench-player: %s\n", qPrintable(why));
    std::exit(1);
}

double secondsSince(int64_t startNs)
{
    return msBetween(startNs, nowNs()) / 1000;
}

void sleepSeconds(double seconds)
{
    std::this_thread::sleep_for(std::chrono::duration<double>(seconds));
}

// /proc files report no size: read them to their end.
QByteArray readProcFile(const QString &path)
{
    QByteArray text;
    const int fd = open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return text;
    char buffer[4096];
    ssize_t got = 0;
    while ((got = read(fd, buffer, sizeof buffer)) > 0)
        text.append(buffer, got);
    close(fd);
    return text;
}

// A "Name:  value ..." field of a /proc status file, or -1.
int64_t statusField(const QByteArray &status, const QByteArray &name)
{
    for (const QByteArray &line : status.split('\n'))
        if (line.startsWith(name + ':'))
            return line.mid(name.size() + 1).simplified().split(' ').value(0).toLongLong();
    return -1;
}

// ---- Threads -----------------------------------------------------------------------------------

struct ThreadSample {
    QByteArray name;
    int64_t cpuNs = 0;    // time on a CPU, from schedstat
    int64_t switches = 0; // context switches, about one per wake-up of a thread that waits
};
using ThreadSamples = std::map<int, ThreadSample>; // by thread id; the main thread first

ThreadSamples sampleThreads(pid_t pid)
{
    ThreadSamples samples;
    const QString tasks = QStringLiteral("/proc/%1/task").arg(pid);
    for (const QString &tid : QDir(tasks).entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        const QString task = tasks + QLatin1Char('/') + tid;
        const QByteArray status = readProcFile(task + QStringLiteral("/status"));
        ThreadSample &sample = samples[tid.toInt()];
        sample.name = readProcFile(task + QStringLiteral("/comm")).trimmed();
        sample.cpuNs = readProcFile(task + QStringLiteral("/schedstat")).split(' ')[0].toLongLong();
        sample.switches = statusField(status, "voluntary_ctxt_switches") +
                          statusField(status, "nonvoluntary_ctxt_switches");
    }
    return samples;
}

// Prints what each thread of `pid` did between two samples (from its start when `before` is
// empty) and returns the sum. The main thread is "main", the others keep their own names.
ThreadSample printThreads(pid_t pid, const ThreadSamples &before, const ThreadSamples &after)
{
    ThreadSample sum;
    for (const auto &[tid, sample] : after) {
        const auto earlier = before.find(tid);
        const ThreadSample from = earlier == before.end() ? ThreadSample() : earlier->second;
        const int64_t cpuNs = sample.cpuNs - from.cpuNs;
        const int64_t switches = sample.switches - from.switches;
        const QByteArray name = tid == pid ? QByteArray("main") : sample.name;
        std::printf("thread %s %.1f %lld\n", name.simplified().replace(' ', '_').constData(),
                    double(cpuNs) / 1e6, static_cast<long long>(switches));
        sum.cpuNs += cpuNs;
        sum.switches += switches;
    }
    return sum;
}

// ---- A run's folders and process ------------------------------------------------------------

// The strings as the argument and environment arrays of exec want them.
struct Run {
    QTemporaryDir root;
    QString program = root.filePath(QStringLiteral("program"));
    QString config = root.filePath(QStringLiteral("config"));
    QString runtime = root.filePath(QStringLiteral("runtime"));

    Run()
    {
        for (const QString &folder : {program, config, runtime})
            if (!root.isValid() || !QDir().mkpath(folder))
                fail(QStringLiteral("cannot prepare ") + folder);
        // The single-instance lock and socket live here; it must be private to the user.
        if (!QFile::setPermissions(runtime, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner))
            fail(QStringLiteral("cannot make ") + runtime + QStringLiteral(" private"));
    }

    std::vector<QByteArray> environment() const
    {
        static const QByteArray replaced[] = {
            "QT_QPA_PLATFORM=", "XDG_CONFIG_HOME=", "XDG_DATA_HOME=",
            "XDG_CACHE_HOME=",  "XDG_RUNTIME_DIR=", "HOME="};
        std::vector<QByteArray> result;
        for (char **entry = environ; *entry; ++entry) {
            const QByteArray text(*entry);
            if (std::none_of(std::begin(replaced), std::end(replaced),
                             [&text](const QByteArray &name) { return text.startsWith(name); }))
                result.push_back(text);
        }
        const auto folder = [this](const char *name) {
            return QFile::encodeName(root.filePath(QLatin1String(name)));
        };
        result.push_back("QT_QPA_PLATFORM=offscreen");
        result.push_back("XDG_CONFIG_HOME=" + QFile::encodeName(config));
        result.push_back("XDG_DATA_HOME=" + folder("data"));
        result.push_back("XDG_CACHE_HOME=" + folder("cache"));
        result.push_back("XDG_RUNTIME_DIR=" + QFile::encodeName(runtime));
        result.push_back("HOME=" + folder("home"));
        return result;
    }

    QString errors() const
    {
        return QString::fromLocal8Bit(readProcFile(root.filePath(QStringLiteral("errors"))));
    }

    // Starts the command (looked up in PATH) with the run's environment; its output and errors
    // go to files of the run.
    pid_t start(const QStringList &command) const
    {
        const pid_t pid = spawnInFolder(root.path(), command, environment());
        if (pid < 0)
            fail(QStringLiteral("cannot start %1: %2")
                     .arg(command.first(), QString::fromLocal8Bit(std::strerror(errno))));
        return pid;
    }
};

// A process being watched: its peak memory read every 100 ms while it runs, and its CPU time
// (all threads, also those that ended) when it has ended.
class Watched {
public:
    Watched(pid_t pid, int64_t started) : m_pid(pid), m_started(started) {}

    // Watches until the process ends or `seconds` from its start have passed; true when it ended.
    bool runUntil(double seconds)
    {
        while (!m_ended) {
            const int64_t peak = statusField(readProcFile(statusPath()), "VmHWM");
            if (peak > 0) // an ended process that is not yet waited for has no memory figures
                m_peakKb = peak;
            if (wait4(m_pid, &m_status, WNOHANG, &m_usage) == m_pid) {
                m_ended = true;
                m_wall = secondsSince(m_started);
                break;
            }
            const double left = seconds - secondsSince(m_started);
            if (left <= 0)
                break;
            sleepSeconds(std::min(left, 0.1));
        }
        return m_ended;
    }

    // SIGTERM, then waits for a normal end; false when it ends otherwise or not in time.
    bool terminate()
    {
        kill(m_pid, SIGTERM);
        const double asked = secondsSince(m_started);
        if (!runUntil(asked + QuitLimitSeconds))
            kill9();
        return endedNormally();
    }

    void kill9()
    {
        if (!m_ended) {
            kill(m_pid, SIGKILL);
            runUntil(secondsSince(m_started) + QuitLimitSeconds);
        }
    }

    bool endedNormally() const
    {
        return m_ended && WIFEXITED(m_status) && WEXITSTATUS(m_status) == 0;
    }
    bool alive() const { return !m_ended; }
    pid_t pid() const { return m_pid; }
    int64_t peakKb() const { return m_peakKb; }

    void printFigures() const
    {
        const auto seconds = [](const timeval &tv) {
            return double(tv.tv_sec) + double(tv.tv_usec) / 1e6;
        };
        std::printf("%.4f %.4f %.4f %lld\n", m_wall, seconds(m_usage.ru_utime),
                    seconds(m_usage.ru_stime), static_cast<long long>(m_peakKb));
    }

private:
    QString statusPath() const { return QStringLiteral("/proc/%1/status").arg(m_pid); }

    pid_t m_pid;
    int64_t m_started;
    bool m_ended = false;
    int m_status = 0;
    rusage m_usage{};
    double m_wall = 0;
    int64_t m_peakKb = 0;
};

// ---- norlplayer
// ----------------------------------------------------------------------------------

void copyExecutable(const QString &name, const QString &folder)
{
    const QString from = QDir(QCoreApplication::applicationDirPath()).filePath(name);
    const QString to = QDir(folder).filePath(name);
    if (!QFile::copy(from, to) || !QFile::setPermissions(to, QFile::permissions(from)))
        fail(QStringLiteral("cannot copy ") + from);
}

// The program folder and the user's settings of a first start that declines the association
// prompt and has no play mode on. Without a song, an empty last list keeps the demo song shut.
// With `equalizer`, the equalizer is on with every band boosted or cut.
void prepareProgram(const Run &run, bool withSong, bool equalizer = false)
{
    copyExecutable(QStringLiteral("norlplayer"), run.program);
    copyExecutable(QStringLiteral("libnorlplay.so"), run.program);
    if (!copyDefaultSkin(QCoreApplication::applicationDirPath(), run.program))
        fail(QStringLiteral("no default skin beside ") + QCoreApplication::applicationDirPath());
    QFile list(QDir(run.program).filePath(QStringLiteral("loaded.lpl")));
    if (!withSong && !list.open(QIODevice::WriteOnly))
        fail(QStringLiteral("cannot write ") + list.fileName());

    const std::unique_ptr<RegistryStore> store =
        makeFileRegistryStore(run.config + QStringLiteral("/NorlPlayer/registry"));
    const QString key = QStringLiteral("SOFTWARE\\Vellacort\\Vorov3");
    bool stored =
        declineAssociationPrompt(*store) && store->createKey(RegistryRoot::LocalMachine, key);
    for (const char *mode : {"Forward", "Random", "SameSong"})
        stored = stored && store->writeValue(RegistryRoot::LocalMachine, key, QLatin1String(mode),
                                             {RegistryValueType::String, QStringLiteral("False")});
    const Equalizer::Settings shaped{true, {-60, {60, -40, 30, -20, 50, -30, 40, -50, 20, -60}}};
    stored = stored && (!equalizer || Equalizer::writeSettings(*store, key, shaped));
    if (!stored)
        fail(QStringLiteral("cannot write the settings store in ") + run.config);
}

QStringList programCommand(const Run &run, const QString &song)
{
    QStringList command{QDir(run.program).filePath(QStringLiteral("norlplayer"))};
    if (!song.isEmpty())
        command << QFileInfo(song).absoluteFilePath();
    return command;
}

// Whether the sound server plays a stream of the process now (not corked).
bool playsOnServer(pid_t pid)
{
    QProcess pactl;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("LC_ALL"), QStringLiteral("C"));
    pactl.setProcessEnvironment(environment);
    pactl.start(QStringLiteral("pactl"), {QStringLiteral("list"), QStringLiteral("sink-inputs")});
    if (!pactl.waitForFinished(10000) || pactl.exitCode() != 0)
        return false;
    const QByteArray owner =
        QByteArray("application.process.id = \"") + QByteArray::number(pid) + '"';
    for (const QByteArray &block : pactl.readAllStandardOutput().split('#'))
        if (block.contains(owner) && block.contains("Corked: no"))
            return true;
    return false;
}

void expectRunning(Watched &process, const Run &run, const char *when)
{
    if (!process.alive())
        fail(QStringLiteral("norlplayer ended %1: %2").arg(QLatin1String(when), run.errors()));
}

int play(double seconds, const QString &song, bool equalizer)
{
    const Run run;
    prepareProgram(run, true, equalizer);
    const int64_t started = nowNs();
    Watched process(run.start(programCommand(run, song)), started);
    process.runUntil(seconds / 2);
    expectRunning(process, run, "before half time");
    if (!playsOnServer(process.pid())) {
        process.kill9();
        fail(QStringLiteral("norlplayer has no stream playing at half time: ") + run.errors());
    }
    process.runUntil(seconds);
    expectRunning(process, run, "before the SIGTERM");
    printThreads(process.pid(), {}, sampleThreads(process.pid()));
    if (!process.terminate())
        fail(QStringLiteral("norlplayer did not end normally on SIGTERM: ") + run.errors());
    // A normal end saves the list, with the song it was given.
    const QByteArray saved = readProcFile(QDir(run.program).filePath(QStringLiteral("loaded.lpl")));
    if (!saved.contains(QFile::encodeName(QFileInfo(song).fileName())))
        fail(QStringLiteral("norlplayer did not keep its song in the list it saved"));
    process.printFigures();
    return 0;
}

int idle(double settle, double window, const QString &song)
{
    const Run run;
    prepareProgram(run, !song.isEmpty());
    Watched process(run.start(programCommand(run, song)), nowNs());
    process.runUntil(settle);
    expectRunning(process, run, "while settling");
    const ThreadSamples before = sampleThreads(process.pid());
    process.runUntil(settle + window);
    expectRunning(process, run, "in the window");
    const ThreadSamples after = sampleThreads(process.pid());
    const ThreadSample used = printThreads(process.pid(), before, after);
    if (!process.terminate())
        fail(QStringLiteral("norlplayer did not end normally on SIGTERM: ") + run.errors());
    std::printf("%.2f %.2f\n", double(used.cpuNs) / 1e6, double(used.switches) / window);
    return 0;
}

int other(const QStringList &command)
{
    const Run run;
    Watched process(run.start(command), nowNs());
    if (!process.runUntil(OtherLimitSeconds)) {
        process.kill9();
        fail(command.first() + QStringLiteral(" did not end within %1 s: ").arg(OtherLimitSeconds) +
             run.errors());
    }
    if (!process.endedNormally())
        fail(command.first() + QStringLiteral(" failed: ") + run.errors());
    process.printFigures();
    return 0;
}

[[noreturn]] void usage()
{
    fail(QStringLiteral(
        "usage: bench-player play|play-eq SECONDS FILE | idle SETTLE WINDOW [FILE] | "
        "other COMMAND..."));
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication application(argc, argv);
    const QStringList args = application.arguments().mid(1);
    const QString mode = args.value(0);
    if ((mode == QLatin1String("play") || mode == QLatin1String("play-eq")) && args.size() == 3)
        return play(args[1].toDouble(), args[2], mode == QLatin1String("play-eq"));
    if (mode == QLatin1String("idle") && (args.size() == 3 || args.size() == 4))
        return idle(args[1].toDouble(), args[2].toDouble(), args.value(3));
    if (mode == QLatin1String("other") && args.size() > 1)
        return other(args.mid(1));
    usage();
}
