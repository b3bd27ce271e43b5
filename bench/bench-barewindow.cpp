// The toolkit's own start, the floor to compare ours with: a label of the main window's size
// (the default skin's background, 252 x 412) shown from main. Right after the show it reads the
// file "shown" beside itself, so that bench-startup sees that moment from outside offscreen the
// way it sees norlplayer read its list; on an X display bench-startup sees the window mapped,
// which happens in the event loop, so the loop runs a while as the program's does.
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QTimer>

int main(int argc, char **argv)
{
    QApplication application(argc, argv);
    QLabel window(QStringLiteral("NorlPlayer"));
    window.resize(252, 412);
    window.show();
    if (QFile mark(QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("shown")));
        !mark.open(QIODevice::ReadOnly))
        return 1;
    QTimer::singleShot(300, &application, &QCoreApplication::quit);
    return application.exec();
}
