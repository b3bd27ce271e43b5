// Times the start to the first show of the main window with the settings a first run kept (each
// kind has its own folders, XDG_CONFIG_HOME and XDG_DATA_HOME among them, for all its runs, and
// one run before the counted ones), three ways, alternating:
//  - a bare window (bench-barewindow): the toolkit's own start, seen from outside as below.
//  - the program: norlplayer and libnorlplay.so copied into a temporary program folder with the
//    default skin and an empty "loaded.lpl", seen from outside. With an X display (DISPLAY set,
//    for example under xvfb-run) both run on it and the first show is the server's MapNotify of
//    their first window: exec to the window mapped. Without one both run offscreen, watched with
//    inotify: the bare window reads a file right after its show, the program reads its list, the
//    last file step of the first show before the window is up. The program then gets SIGTERM
//    and must save and end normally.
//  - a harness: this program started again doing what main() does (the application object, the
//    settings store, TPlayForm, FormCreate), which notes when each step is done, from the exec.
// Prints median, min and max in ms, and the program's median over the bare window's.
//   bench-startup [RUNS]
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/inotify.h>
#include <sys/wait.h>
#include <unistd.h>
#include <xcb/xcb.h>

#include "application.h"
#include "benchform.h"
#include "player.h"
#include "registrystore.h"

extern char **environ;

using namespace Bench;

namespace {

const QString ListName = QStringLiteral("loaded.lpl");
const QString LibraryName = QStringLiteral("libnorlplay.so");
constexpr int64_t StartTimeoutNs = 30LL * 1000000000;

[[noreturn]] void fail(const QString &why)
{
    std::fprintf(stderr, "bench-startup: %s\n", qPrintable(why));
    std::exit(1);
}

// ---- The harness, in the child process -------------------------------------------------------

int child(int64_t entered, int64_t spawned, const QString &programFolder, int argc, char **argv)
{
    TApplication application(argc, argv);
    const int64_t applicationMade = nowNs();
    const std::unique_ptr<RegistryStore> store = makeFileRegistryStore(defaultRegistryFolder());
    TimedPlayForm form(*store, programFolder, QStringList());
    FailOnDialog failOnDialog;
    const int64_t built = nowNs();
    form.FormCreate();
    const int64_t shown = nowNs();
    const int64_t shownCpu = cpuNs();
    if (!form.Player() || !form.Player()->Initialized() || !form.isVisible())
        fail(QStringLiteral("the window is not up with its library"));
    std::printf("main %.3f\n", msBetween(spawned, entered));
    std::printf("application %.3f\n", msBetween(entered, applicationMade));
    std::printf("window %.3f\n", msBetween(applicationMade, built));
    std::printf("library %.3f\n", msBetween(built, form.settingsStart));
    std::printf("settings %.3f\n", msBetween(form.settingsStart, form.settingsEnd));
    std::printf("rest %.3f\n", msBetween(form.settingsEnd, shown));
    std::printf("shown %.3f\n", msBetween(spawned, shown));
    std::printf("shown-cpu %.3f\n", msBetween(0, shownCpu));
    return 0;
}

// ---- Starting a process ----------------------------------------------------------------------

// A run's folders: the program folder with the default skin and an empty last list (so no
// demo song is opened and the list is read), and a fresh configuration that only declines the
// association prompt.
struct RunFolder {
    QTemporaryDir root;
    QString program = root.filePath(QStringLiteral("program"));
    QString config = root.filePath(QStringLiteral("config"));
    // The program's lock and socket live here: a copy of norlplayer running elsewhere must not
    // make this one end at once as a second copy.
    QString runtime = root.filePath(QStringLiteral("runtime"));

    explicit RunFolder(const QString &binFolder)
    {
        QFile list(QDir(program).filePath(ListName));
        if (!root.isValid() || !QDir().mkpath(program) || !QDir().mkpath(config) ||
            !QDir().mkdir(runtime, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner) ||
            !list.open(QIODevice::WriteOnly))
            fail(QStringLiteral("cannot prepare ") + root.path());
        if (!copyDefaultSkin(binFolder, program))
            fail(QStringLiteral("no default skin to copy beside ") + binFolder);
        if (!declineAssociationPrompt(*store()))
            fail(QStringLiteral("cannot write the settings store in ") + config);
    }
    // The store the program finds through XDG_CONFIG_HOME.
    std::unique_ptr<RegistryStore> store() const
    {
        return makeFileRegistryStore(config + QStringLiteral("/NorlPlayer/registry"));
    }
    std::vector<QByteArray> environment() const
    {
        std::vector<QByteArray> result;
        for (char **entry = environ; *entry; ++entry) {
            const QByteArray text(*entry);
            if (!text.startsWith("QT_QPA_PLATFORM=") && !text.startsWith("XDG_CONFIG_HOME=") &&
                !text.startsWith("XDG_DATA_HOME=") && !text.startsWith("XDG_RUNTIME_DIR="))
                result.push_back(text);
        }
        result.push_back(qEnvironmentVariableIsEmpty("DISPLAY") ? "QT_QPA_PLATFORM=offscreen"
                                                                : "QT_QPA_PLATFORM=xcb");
        result.push_back("XDG_RUNTIME_DIR=" + QFile::encodeName(runtime));
        result.push_back("XDG_CONFIG_HOME=" + QFile::encodeName(config));
        result.push_back("XDG_DATA_HOME=" +
                         QFile::encodeName(root.filePath(QStringLiteral("data"))));
        return result;
    }
    QString errors() const
    {
        QFile file(root.filePath(QStringLiteral("errors")));
        return file.open(QIODevice::ReadOnly) ? QString::fromLocal8Bit(file.readAll()) : QString();
    }
};

// Starts a command with the run's environment, its output and errors into files of the run.
pid_t spawn(const RunFolder &run, const QStringList &command)
{
    const pid_t pid = spawnInFolder(run.root.path(), command, run.environment());
    if (pid < 0)
        fail(QStringLiteral("cannot start %1: %2")
                 .arg(command.first(), QString::fromLocal8Bit(std::strerror(errno))));
    return pid;
}

void expectNormalEnd(pid_t pid, const RunFolder &run, const QString &what)
{
    int status = 0;
    if (waitpid(pid, &status, 0) != pid || !WIFEXITED(status) || WEXITSTATUS(status) != 0)
        fail(QStringLiteral("%1 did not end normally (status %2): %3")
                 .arg(what, QString::number(status), run.errors()));
}

// ---- The program, watched from outside -------------------------------------------------------

void copyExecutable(const QString &from, const QString &folder)
{
    const QString to = QDir(folder).filePath(QFileInfo(from).fileName());
    if (!QFile::copy(from, to) ||
        !QFile::setPermissions(to, QFile::permissions(from) | QFile::ExeOwner | QFile::ReadOwner))
        fail(QStringLiteral("cannot copy ") + from);
}

// The X server's word that a window was mapped: every top-level window is a child of the root
// window here (no window manager), and only the started program makes windows.
class MapWatch {
public:
    MapWatch()
    {
        m_connection = xcb_connect(nullptr, nullptr);
        if (xcb_connection_has_error(m_connection))
            fail(QStringLiteral("cannot reach the X display"));
        const uint32_t mask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
        xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(m_connection)).data->root;
        xcb_request_check(m_connection, xcb_change_window_attributes_checked(
                                            m_connection, root, XCB_CW_EVENT_MASK, &mask));
    }
    ~MapWatch() { xcb_disconnect(m_connection); }
    MapWatch(const MapWatch &) = delete;
    MapWatch &operator=(const MapWatch &) = delete;

    int fd() const { return xcb_get_file_descriptor(m_connection); }
    // True when a window was mapped since the last call.
    bool mapped()
    {
        bool seen = false;
        while (xcb_generic_event_t *event = xcb_poll_for_event(m_connection)) {
            seen = seen || (event->response_type & 0x7f) == XCB_MAP_NOTIFY;
            std::free(event);
        }
        return seen;
    }

private:
    xcb_connection_t *m_connection;
};

std::unique_ptr<MapWatch> s_mapWatch; // with an X display only

// Starts a program of the run's program folder and notes when it first opens the file `opened`
// of that folder, and when it shows: its first window mapped with an X display, else when it
// first closes the file `read` of that folder after reading.
struct Watched {
    pid_t pid = 0;
    int64_t start = 0;
    int64_t opened = 0;
    int64_t shown = 0;
};

Watched startWatched(const RunFolder &run, const QString &program, const QString &openedName,
                     const QString &readName)
{
    const int watch = inotify_init1(IN_CLOEXEC | IN_NONBLOCK);
    if (watch < 0 || inotify_add_watch(watch, QFile::encodeName(run.program).constData(),
                                       IN_OPEN | IN_CLOSE_NOWRITE) < 0)
        fail(QStringLiteral("cannot watch ") + run.program);
    if (s_mapWatch)
        s_mapWatch->mapped(); // forget what came before
    Watched result;
    result.start = nowNs();
    result.pid = spawn(run, {QDir(run.program).filePath(program)});
    while (result.shown == 0) {
        pollfd wait[2] = {{watch, POLLIN, 0}, {s_mapWatch ? s_mapWatch->fd() : -1, POLLIN, 0}};
        if (poll(wait, 2, 50) < 0 && errno != EINTR)
            fail(QStringLiteral("poll failed"));
        if (s_mapWatch && s_mapWatch->mapped())
            result.shown = nowNs();
        alignas(inotify_event) char buffer[4096];
        ssize_t got = 0;
        while ((got = read(watch, buffer, sizeof buffer)) > 0) {
            const int64_t now = nowNs();
            for (ssize_t at = 0; at < got;) {
                const auto *event = reinterpret_cast<const inotify_event *>(buffer + at);
                const QString name = event->len ? QFile::decodeName(event->name) : QString();
                if (name == openedName && (event->mask & IN_OPEN) && result.opened == 0)
                    result.opened = now;
                if (!s_mapWatch && name == readName && (event->mask & IN_CLOSE_NOWRITE) &&
                    result.shown == 0)
                    result.shown = now;
                at += ssize_t(sizeof(inotify_event) + event->len);
            }
        }
        int status = 0;
        if (result.shown == 0 && waitpid(result.pid, &status, WNOHANG) == result.pid)
            fail(program + QStringLiteral(" ended before its first show: ") + run.errors());
        if (result.shown == 0 && nowNs() - result.start > StartTimeoutNs) {
            kill(result.pid, SIGKILL);
            fail(program + QStringLiteral(" did not show within 30 s: ") + run.errors());
        }
    }
    close(watch);
    return result;
}

void timeProgram(const RunFolder &run, Figures &figures)
{
    const Watched started = startWatched(run, QStringLiteral("norlplayer"), LibraryName, ListName);
    const int64_t asked = nowNs();
    kill(started.pid, SIGTERM);
    expectNormalEnd(started.pid, run, QStringLiteral("norlplayer"));
    const int64_t ended = nowNs();
    // A normal end saves the settings into the configuration.
    if (!run.store()->readValue(RegistryRoot::LocalMachine,
                                QStringLiteral("SOFTWARE\\Vellacort\\Vorov3"),
                                QStringLiteral("Top")))
        fail(QStringLiteral("norlplayer saved no settings at its end"));
    if (started.opened == 0)
        fail(QStringLiteral("norlplayer showed without opening its library"));
    figures[QStringLiteral("program/library")].push_back(msBetween(started.start, started.opened));
    figures[QStringLiteral("program/shown")].push_back(msBetween(started.start, started.shown));
    figures[QStringLiteral("program/quit")].push_back(msBetween(asked, ended));
}

void timeBareWindow(const RunFolder &run, Figures &figures)
{
    const Watched started =
        startWatched(run, QStringLiteral("bench-barewindow"), QString(), QStringLiteral("shown"));
    expectNormalEnd(started.pid, run, QStringLiteral("bench-barewindow"));
    figures[QStringLiteral("bare/shown")].push_back(msBetween(started.start, started.shown));
}

// ---- The harness, started from here ----------------------------------------------------------

void timeHarness(const RunFolder &run, Figures &figures)
{
    const int64_t start = nowNs();
    const pid_t pid = spawn(run, {QCoreApplication::applicationFilePath(),
                                  QStringLiteral("--child"), QString::number(start), run.program});
    expectNormalEnd(pid, run, QStringLiteral("the harness"));
    QFile output(run.root.filePath(QStringLiteral("output")));
    if (!output.open(QIODevice::ReadOnly))
        fail(QStringLiteral("the harness said nothing"));
    addFigures(figures, QStringLiteral("harness/"), output.readAll());
}

void row(const Figures &figures, const char *label, const QString &key)
{
    if (figures.find(key) == figures.end())
        fail(QStringLiteral("no figures for ") + key);
    std::printf("  %-52s", label);
    printFigure(figures, key);
    std::printf("\n");
}

int parent(int runs)
{
    const QString binFolder = QCoreApplication::applicationDirPath();
    Figures figures;
    // Each kind keeps its folders across the runs, and a first run that is not counted leaves
    // the settings and the list as a user's later starts find them.
    RunFolder programRun(binFolder);
    copyExecutable(QDir(binFolder).filePath(QStringLiteral("norlplayer")), programRun.program);
    copyExecutable(QDir(binFolder).filePath(LibraryName), programRun.program);
    RunFolder harnessRun(binFolder);
    RunFolder bareRun(binFolder);
    copyExecutable(QDir(binFolder).filePath(QStringLiteral("bench-barewindow")), bareRun.program);
    if (!QFile(QDir(bareRun.program).filePath(QStringLiteral("shown"))).open(QIODevice::WriteOnly))
        fail(QStringLiteral("cannot prepare ") + bareRun.program);
    Figures warmUp;
    timeProgram(programRun, warmUp);
    timeHarness(harnessRun, warmUp);
    timeBareWindow(bareRun, warmUp);
    for (int run = 0; run < runs; ++run) {
        if (isatty(STDERR_FILENO))
            std::fprintf(stderr, "run %d of %d\r", run + 1, runs);
        timeBareWindow(bareRun, figures);
        timeProgram(programRun, figures);
        timeHarness(harnessRun, figures);
    }
    std::printf("Start-up to the first show, %s, settings kept from a first run, %d runs of "
                "each; median (min-max) in ms\n",
                s_mapWatch ? "on the X display, to the window mapped" : "offscreen", runs);
    row(figures, "a bare window of the same size (bench-barewindow)", QStringLiteral("bare/shown"));
    std::printf("  norlplayer, seen from outside:\n");
    row(figures, "  exec to the decoder library opened", QStringLiteral("program/library"));
    row(figures,
        s_mapWatch ? "  exec to the first show (window mapped)"
                   : "  exec to the first show (last list read)",
        QStringLiteral("program/shown"));
    row(figures, "  SIGTERM to the end (settings and list saved)", QStringLiteral("program/quit"));
    std::printf("  the same steps as main(), timed inside a harness:\n");
    row(figures, "  exec to main (dynamic linking, static set-up)", QStringLiteral("harness/main"));
    row(figures, "  the application object", QStringLiteral("harness/application"));
    row(figures, "  settings store and TPlayForm built", QStringLiteral("harness/window"));
    row(figures, "  FormCreate: restore, show, load the library",
        QStringLiteral("harness/library"));
    row(figures, "  ApplySettings", QStringLiteral("harness/settings"));
    row(figures, "  the rest of the first show", QStringLiteral("harness/rest"));
    row(figures, "  exec to FormCreate returned (window shown)", QStringLiteral("harness/shown"));
    row(figures, "  the same in CPU time", QStringLiteral("harness/shown-cpu"));
    std::printf("  norlplayer's first show / the bare window's: %.2f (goal <= 1.25)\n",
                median(figures[QStringLiteral("program/shown")]) /
                    median(figures[QStringLiteral("bare/shown")]));
    return 0;
}

} // namespace

int main(int argc, char **argv)
{
    const int64_t entered = nowNs();
    if (argc == 4 && std::strcmp(argv[1], "--child") == 0)
        return child(entered, std::atoll(argv[2]), QFile::decodeName(argv[3]), argc, argv);
    QCoreApplication application(argc, argv);
    if (!qEnvironmentVariableIsEmpty("DISPLAY"))
        s_mapWatch = std::make_unique<MapWatch>();
    return parent(argc > 1 ? std::max(1, std::atoi(argv[1])) : 11);
}
