// The application object: its title, and the one place where a failed command ends and the user
// is told why. Handlers do not catch: a command that fails ends where it failed and its message
// shows in the error box (caption "NorlPlayer", the message, OK); the program goes on.
#pragma once

#include <QApplication>
#include <QPointer>
#include <utility>

class TApplication : public QApplication {
    Q_OBJECT
public:
    TApplication(int &argc, char **argv);

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

// Runs one user command. Its failure ends it and is shown; a command run from inside another
// (Play starting the selected row) hands its failure on, so the outer command ends as well and
// the box appears once.
class CommandScope {
public:
    template <class Command> static void run(Command &&command)
    {
        if (s_depth > 0) {
            ++s_depth;
            DepthRestorer restore;
            std::forward<Command>(command)();
            return;
        }
        ++s_depth;
        try {
            DepthRestorer restore;
            std::forward<Command>(command)();
        } catch (...) {
            TApplication::ShowException();
        }
    }

    // Runs the work of an event handler (show, close, destruction). Its failure is always shown
    // here: it must not travel on into the toolkit's event dispatch.
    template <class Work> static void runInEvent(Work &&work)
    {
        ++s_depth;
        try {
            DepthRestorer restore;
            std::forward<Work>(work)();
        } catch (...) {
            TApplication::ShowException();
        }
    }

private:
    struct DepthRestorer {
        ~DepthRestorer() { --s_depth; }
    };
    static inline int s_depth = 0;
};
