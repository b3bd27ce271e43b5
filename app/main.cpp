// NorlPlayer: the application object, the main window, the event loop.
#include <QDir>
#include <QFileInfo>

#include "application.h"
#include "instanceguard.h"
#include "playform.h"
#include "quitsignals.h"
#include "registrystore.h"

int main(int argc, char *argv[])
{
    TApplication application(argc, argv);
    // Learns at once whether another copy runs; the main window acts on it while it is built.
    InstanceGuard instanceGuard;
    quitOnTerminationSignals(application);
    const std::unique_ptr<RegistryStore> store = makeFileRegistryStore(defaultRegistryFolder());
    const QString programFolder = QCoreApplication::applicationDirPath();
    QStringList arguments = QCoreApplication::arguments().mid(1);
    // The very first start, with no settings and no list kept yet, opens the demo song that lies
    // beside us. A user who keeps no list has settings from the first run on.
    const QString demo = QDir(programFolder).filePath(QStringLiteral("demo.mp3"));
    if (arguments.isEmpty() && !TPlayForm::settingsKept(*store) &&
        !QFileInfo::exists(TPlayForm::lastPlaylistPathFor(programFolder)) &&
        QFileInfo::exists(demo))
        arguments << demo;
    TPlayForm PlayForm(*store, programFolder, arguments);
    application.SetMainForm(&PlayForm);
    // Created from inside the event loop, so that a quit request reaches every loop, also that of
    // a box the first show waits on.
    QMetaObject::invokeMethod(&PlayForm, &TPlayForm::FormCreate, Qt::QueuedConnection);
    return application.exec();
}
