// The toolkit's own start, the floor to compare ours with: a label of the main window's size
// (the default skin's background, 252 x 412) shown from main. Right after the show it reads the
// file "shown" beside itself, so that bench-startup sees that moment from outside the same way
// it sees norlplayer read its list.
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLabel>

int main(int argc, char **argv)
{
    QApplication application(argc, argv);
    QLabel window(QStringLiteral("NorlPlayer"));
    window.resize(252, 412);
    window.show();
    QFile mark(QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("shown")));
    return mark.open(QIODevice::ReadOnly) ? 0 : 1;
}
