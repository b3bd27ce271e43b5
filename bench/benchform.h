// What the main-window benchmarks share: a monotonic clock that also holds across processes,
// medians, and the main window with the times of its first-show steps.
#pragma once

#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QMessageBox>
#include <QStringList>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <fcntl.h>
#include <map>
#include <spawn.h>
#include <vector>

#include "playform.h"
#include "registrystore.h"

namespace Bench {

// CLOCK_MONOTONIC in ns: the same clock in every process, so a parent's start time can be
// handed to the child it starts.
inline int64_t nowNs()
{
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return int64_t(ts.tv_sec) * 1000000000 + ts.tv_nsec;
}

// CPU time of the whole process so far, all threads: less moved by other load than wall time.
inline int64_t cpuNs()
{
    timespec ts{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
    return int64_t(ts.tv_sec) * 1000000000 + ts.tv_nsec;
}

inline double msBetween(int64_t from, int64_t to)
{
    return double(to - from) / 1e6;
}

inline double median(std::vector<double> v)
{
    if (v.empty())
        return 0;
    std::sort(v.begin(), v.end());
    const size_t n = v.size();
    return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

// Copies the default skin folder that lies beside the built program into a program folder, so
// that a window made there starts as the program does. False when there is none to copy.
inline bool copyDefaultSkin(const QString &binFolder, const QString &programFolder)
{
    const QDir from(QDir(binFolder).filePath(QStringLiteral("blue")));
    const QString to = QDir(programFolder).filePath(QStringLiteral("blue"));
    if (!from.exists(QStringLiteral("blue.sk")) || !QDir().mkpath(to))
        return false;
    for (const QString &name : from.entryList(QDir::Files))
        if (!QFile::copy(from.filePath(name), QDir(to).filePath(name)))
            return false;
    return true;
}

// Stores the association prompt's "never display this message again": the prompt would wait
// for an answer at a first start, and that wait is no start-up time.
inline bool declineAssociationPrompt(RegistryStore &store)
{
    const QString key = QStringLiteral("SOFTWARE\\Vellacort\\NorlPlayer");
    return store.createKey(RegistryRoot::CurrentUser, key) &&
           store.writeValue(RegistryRoot::CurrentUser, key, QStringLiteral("ShowAssocDialog"),
                            {RegistryValueType::String, QStringLiteral("1")});
}

// The window as the program makes it, noting when the first show reaches its steps.
class TimedPlayForm : public TPlayForm {
public:
    using TPlayForm::TPlayForm;

    int64_t settingsStart = 0; // the library is loaded by then
    int64_t settingsEnd = 0;
    int64_t listStart = 0;
    int64_t listEnd = 0;

    void ApplySettings() override
    {
        settingsStart = nowNs();
        TPlayForm::ApplySettings();
        settingsEnd = nowNs();
    }
    void ReadPlaylist(const QString &fileName) override
    {
        listStart = nowNs();
        TPlayForm::ReadPlaylist(fileName);
        listEnd = nowNs();
    }
};

// Ends the process as soon as the window shows a dialog: offscreen nobody would answer it, and
// a message box during a timed run means a step failed. Its text goes to the error output.
class FailOnDialog : public QObject {
public:
    FailOnDialog() { QCoreApplication::instance()->installEventFilter(this); }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Show) {
            if (auto *dialog = qobject_cast<QDialog *>(watched)) {
                auto *box = qobject_cast<QMessageBox *>(dialog);
                std::fprintf(stderr, "dialog shown: %s\n",
                             qPrintable(box ? box->text() : dialog->objectName()));
                std::fflush(stderr);
                std::_Exit(1);
            }
        }
        return false;
    }
};

// Starts `command` (looked up in PATH when it has no slash) with `environment`, reading nothing,
// its output and errors going to the files "output" and "errors" of `folder`. The process id, or
// -1 with errno set.
inline pid_t spawnInFolder(const QString &folder, const QStringList &command,
                           std::vector<QByteArray> environment)
{
    std::vector<QByteArray> arguments;
    for (const QString &argument : command)
        arguments.push_back(QFile::encodeName(argument));
    const auto nullTerminated = [](std::vector<QByteArray> &strings) {
        std::vector<char *> pointers;
        for (QByteArray &text : strings)
            pointers.push_back(text.data());
        pointers.push_back(nullptr);
        return pointers;
    };
    const std::vector<char *> argv = nullTerminated(arguments);
    const std::vector<char *> envp = nullTerminated(environment);

    const QByteArray output = QFile::encodeName(QDir(folder).filePath(QStringLiteral("output")));
    const QByteArray errors = QFile::encodeName(QDir(folder).filePath(QStringLiteral("errors")));
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    // Nothing to read: a player that looks at its input must not wait on ours.
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, output.constData(), O_WRONLY | O_CREAT, 0644);
    posix_spawn_file_actions_addopen(&actions, 2, errors.constData(), O_WRONLY | O_CREAT, 0644);
    pid_t pid = 0;
    const int error = posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    if (error != 0) {
        errno = error;
        return -1;
    }
    return pid;
}

// Figures of several runs by name, read from the "name ms" lines a run prints.
using Figures = std::map<QString, std::vector<double>>;

inline void addFigures(Figures &figures, const QString &prefix, const QByteArray &output)
{
    for (const QByteArray &line : output.split('\n')) {
        const QList<QByteArray> parts = line.split(' ');
        if (parts.size() == 2)
            figures[prefix + QString::fromLatin1(parts[0])].push_back(parts[1].toDouble());
    }
}

// " median (min-max)" of one figure, or blanks of the same width when it has no runs.
inline void printFigure(const Figures &figures, const QString &key)
{
    const auto found = figures.find(key);
    if (found == figures.end() || found->second.empty()) {
        std::printf(" %22s", "");
        return;
    }
    const std::vector<double> &v = found->second;
    std::printf(" %8.1f (%5.0f-%5.0f)", median(v), *std::min_element(v.begin(), v.end()),
                *std::max_element(v.begin(), v.end()));
}

} // namespace Bench
