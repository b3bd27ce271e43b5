// Starts the way the program does: the process guard first, then a window whose guard component
// checks on load. A later copy ends inside Loaded(); the first copy prints "running", then
// "activated" for each request to come forward. It ends when its standard input closes, so it
// never outlives the test that started it.
#include <QApplication>
#include <QSocketNotifier>
#include <QWidget>
#include <cstdio>
#include <unistd.h>

#include "instanceguard.h"
#include "oneinstance.h"

namespace {

void say(const char *line)
{
    std::printf("%s\n", line);
    std::fflush(stdout);
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication application(argc, argv);
    QApplication::setApplicationDisplayName(QStringLiteral("NorlPlayer"));
    InstanceGuard guard;
    QWidget window;
    TLMDOneInstance oneInstance(&window);
    oneInstance.Loaded();

    QObject::connect(&guard, &InstanceGuard::activationRequested, &window, [&window] {
        TLMDOneInstance::BringForward(window);
        say("activated");
    });
    QSocketNotifier input(STDIN_FILENO, QSocketNotifier::Read);
    QObject::connect(&input, &QSocketNotifier::activated, &application, [&input] {
        char buffer[256];
        if (::read(STDIN_FILENO, buffer, sizeof buffer) <= 0) {
            input.setEnabled(false);
            QCoreApplication::quit();
        }
    });
    say("running");
    return application.exec();
}
