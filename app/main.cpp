// NorlPlayer: the command line, the application object, the main window, the event loop.
#include <QDir>
#include <QFileInfo>
#include <cstdio>
#include <optional>

#include "application.h"
#include "commandline.h"
#include "instanceguard.h"
#include "mprisservice.h"
#include "playform.h"
#include "quitsignals.h"
#include "registrystore.h"
#include "remotecommand.h"
#include "songnotifier.h"

namespace {

// Answers the options that need no window; nullopt when the program is to start.
std::optional<int> answerOptions(const CommandLine &commandLine)
{
    switch (commandLine.action) {
    case CommandLine::Help:
        std::fputs(qPrintable(CommandLine::usage()), stdout);
        return 0;
    case CommandLine::Version:
        std::puts("NorlPlayer 1.5");
        return 0;
    case CommandLine::Error:
        std::fprintf(stderr, "norlplayer: %s\nTry 'norlplayer --help'.\n",
                     qPrintable(commandLine.error));
        return 2;
    case CommandLine::Remote:
        if (InstanceGuard::SendToRunningCopy(InstanceGuard::executableName(),
                                             InstanceGuard::defaultRuntimeFolder(),
                                             {commandLine.command, {}}))
            return 0;
        std::fputs("norlplayer: NorlPlayer is not running\n", stderr);
        return 1;
    case CommandLine::Run:
        break;
    }
    return std::nullopt;
}

} // namespace

int main(int argc, char *argv[])
{
    // --help and --version answer before the toolkit looks for a display.
    QStringList rawArguments;
    for (int i = 1; i < argc; ++i)
        rawArguments << QString::fromLocal8Bit(argv[i]);
    if (const CommandLine early = CommandLine::parse(rawArguments);
        early.action == CommandLine::Help || early.action == CommandLine::Version)
        return *answerOptions(early);

    TApplication application(argc, argv);
    // The toolkit has taken its own options (-platform, -style) out by now.
    const CommandLine commandLine = CommandLine::parse(QCoreApplication::arguments().mid(1));
    if (const std::optional<int> status = answerOptions(commandLine))
        return *status;

    // Learns at once whether another copy runs; the main window acts on it while it is built.
    InstanceGuard instanceGuard;
    instanceGuard.SetFilesForFirstCopy(
        CommandLine::songPaths(commandLine.words, QDir::currentPath()));
    quitOnTerminationSignals(application);
    const std::unique_ptr<RegistryStore> store = makeFileRegistryStore(defaultRegistryFolder());
    const QString programFolder = QCoreApplication::applicationDirPath();
    QStringList arguments = commandLine.words;
    // The very first start, with no settings and no list kept yet, opens the demo song that lies
    // beside us. A user who keeps no list has settings from the first run on.
    const QString demo = QDir(programFolder).filePath(QStringLiteral("demo.mp3"));
    if (arguments.isEmpty() && !TPlayForm::settingsKept(*store) &&
        !QFileInfo::exists(TPlayForm::lastPlaylistPathFor(programFolder)) &&
        QFileInfo::exists(demo))
        arguments << demo;
    TPlayForm PlayForm(*store, programFolder, arguments);
    application.SetMainForm(&PlayForm);
    QObject::connect(&instanceGuard, &InstanceGuard::filesHandedOver, &PlayForm,
                     &TPlayForm::AddFilesAndPlay);
    QObject::connect(
        &instanceGuard, &InstanceGuard::commandReceived, &PlayForm,
        [&PlayForm](InstanceRequest::Kind command) { runRemoteCommand(PlayForm, command); });
    // Once the window is up, before the first song: the program's icon and the desktop's media
    // controls and notifications (joining the bus waits on it). Without a bus the program plays on.
    std::optional<MprisService> mpris;
    std::optional<SongNotifier> notifier;
    QObject::connect(&PlayForm, &TPlayForm::windowUp, &PlayForm, [&] {
        application.SetProgramIcon();
        const QDBusConnection bus = QDBusConnection::sessionBus();
        mpris.emplace(PlayForm.PlaybackControl(), PlayForm.Songs(), PlayForm);
        if (const QString problem = mpris->registerOn(bus); !problem.isEmpty())
            std::fprintf(stderr, "norlplayer: no desktop media controls: %s\n",
                         qPrintable(problem));
        notifier.emplace(PlayForm.PlaybackControl(), PlayForm.Songs(), bus,
                         [&PlayForm] { return PlayForm.NotifyEachSong(); });
    });
    // Created from inside the event loop, so that a quit request reaches every loop, also that of
    // a box the first show waits on.
    QMetaObject::invokeMethod(&PlayForm, &TPlayForm::FormCreate, Qt::QueuedConnection);
    return application.exec();
}
