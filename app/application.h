// The application object: its title, and the one place where a failed command ends and the user
// is told why. Handlers do not catch: a command that fails ends where it failed and its message
// shows in the error box (caption "NorlPlayer", the message, OK); the program goes on.
#pragma once

#include <QApplication>
#include <QPointer>
#include <QThread>
#include <utility>

class TApplication : public QApplication {
    Q_OBJECT
public:
    TApplication(int &argc, char **argv);

    // Every window and dialog, and so the taskbar and the window switcher, shows the program's
    // icon from the pictures beside the program. Set once the main window is up: every native
    // window made before, hidden ones too, would read and convert all its sizes first.
    void SetProgramIcon();

    // Shows the exception in flight in the error box. Call it from a catch block.
    static void ShowException();

    // The window error boxes belong to when no window is active. A box without an owner would
    // end the program when it closes while the main window is hidden in the tray.
    void SetMainForm(QWidget *form) { m_MainForm = form; }

    // Last resort for an exception that escaped an event handler of our own.
    bool notify(QObject *receiver, QEvent *event) override;

private:
    QPointer<QWidget> m_MainForm;
};

// Runs one user command. Its failure ends it and is shown; a command run straight from inside
// another of the same event loop (Play starting the selected row) hands its failure on, so the
// outer command ends as well and the box appears once. A command reached from a nested loop (a
// poll tick or a tray command while a box or dialog waits) is a command of its own: its failure
// must not unwind through the toolkit's frames of that loop.
class CommandScope {
public:
    template <class Command> static void run(Command &&command)
    {
        if (s_commandLoop == currentLoopLevel())
            std::forward<Command>(command)();
        else
            runInEvent(std::forward<Command>(command));
    }

    // Runs the work of an event handler (show, close, destruction, a bar's change signal). Its
    // failure is always shown here: it must not travel on into the toolkit's event dispatch.
    template <class Work> static void runInEvent(Work &&work)
    {
        try {
            const LoopOfCommand running(currentLoopLevel());
            std::forward<Work>(work)();
        } catch (...) {
            TApplication::ShowException();
        }
    }

private:
    static int currentLoopLevel() { return QThread::currentThread()->loopLevel(); }

    // Marks the event loop a command runs in until it ends, then the outer command's again.
    class LoopOfCommand {
    public:
        explicit LoopOfCommand(int level) : m_outer(s_commandLoop) { s_commandLoop = level; }
        ~LoopOfCommand() { s_commandLoop = m_outer; }
        LoopOfCommand(const LoopOfCommand &) = delete;
        LoopOfCommand &operator=(const LoopOfCommand &) = delete;

    private:
        int m_outer;
    };
    static inline int s_commandLoop = -1; // none running
};
