// NorlPlayer: the application object, the main window, the event loop.
#include <QDir>
#include <QFileInfo>

#include "application.h"
#include "playform.h"
#include "quitsignals.h"
#include "registrystore.h"

int main(int argc, char *argv[])
{
    TApplication application(argc, argv);
    quitOnTerminationSignals(application);
    const std::unique_ptr<RegistryStore> store = makeFileRegistryStore(defaultRegistryFolder());
    const QString programFolder = QCoreApplication::applicationDirPath();
    QStringList arguments = QCoreApplication::arguments().mid(1);
    // The very first start, with no list kept yet, opens the demo song that lies beside us.
    const QString demo = QDir(programFolder).filePath(QStringLiteral("demo.mp3"));
    if (arguments.isEmpty() && !QFileInfo::exists(TPlayForm::lastPlaylistPathFor(programFolder)) &&
        QFileInfo::exists(demo))
        arguments << demo;
    TPlayForm PlayForm(*store, programFolder, arguments);
    PlayForm.FormCreate();
    return application.exec();
}
