// Draws the skins shipped with the program:
//   make-skins [--preview] OUTPUT_FOLDER
// writes OUTPUT_FOLDER/<name>/<name>.sk and its bitmaps for every skin, and with --preview also
// OUTPUT_FOLDER/<name>-preview.png, the main window dressed in the skin.
#include <QBuffer>
#include <QDir>
#include <QGuiApplication>
#include <QSaveFile>
#include <cstdio>

#include "skinfiles.h"
#include "skinpreview.h"

using namespace SkinLayout;

namespace {

struct NamedPicture {
    QString file;
    QImage picture;
};

bool writeFile(const QString &path, const QByteArray &bytes)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit()) {
        std::fprintf(stderr, "make-skins: cannot write %s: %s\n", qPrintable(path),
                     qPrintable(file.errorString()));
        return false;
    }
    return true;
}

bool writePicture(const QString &path, const QImage &picture)
{
    // 24-bit BMP: an RGB32 image is written without its unused alpha byte.
    QByteArray bytes;
    QBuffer buffer(&bytes);
    if (!buffer.open(QIODevice::WriteOnly) ||
        !picture.convertToFormat(QImage::Format_RGB32).save(&buffer, "BMP")) {
        std::fprintf(stderr, "make-skins: cannot encode %s\n", qPrintable(path));
        return false;
    }
    return writeFile(path, bytes);
}

bool writeSkin(const SkinTheme &theme, const QDir &output, bool preview)
{
    if (!output.mkpath(theme.name)) {
        std::fprintf(stderr, "make-skins: cannot create %s\n",
                     qPrintable(output.filePath(theme.name)));
        return false;
    }
    const QDir folder(output.filePath(theme.name));
    const SkinPictures pictures = drawPictures(theme);
    std::vector<NamedPicture> files{{BackgroundFile, pictures.background},
                                    {ProgressThumbFile, pictures.progressThumb},
                                    {VolumeThumbFile, pictures.volumeThumb},
                                    {PriorityThumbFile, pictures.priorityThumb}};
    for (int index = Previous; index <= Next; ++index)
        files.push_back({transportFileName(Transport(index)), pictures.transport[size_t(index)]});
    for (const NamedPicture &file : files)
        if (!writePicture(folder.filePath(file.file), file.picture))
            return false;
    if (!writeFile(folder.filePath(theme.name + QStringLiteral(".sk")), skinFileText(theme)))
        return false;
    if (preview) {
        const QString path = output.filePath(theme.name + QStringLiteral("-preview.png"));
        if (!skinPreview(theme, pictures).save(path)) {
            std::fprintf(stderr, "make-skins: cannot write %s\n", qPrintable(path));
            return false;
        }
    }
    return true;
}

} // namespace

int main(int argc, char **argv)
{
    // Draws into images only; no display is needed.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QStringList arguments = app.arguments().mid(1);
    const bool preview = arguments.removeAll(QStringLiteral("--preview")) > 0;
    if (arguments.size() != 1 || arguments.front().startsWith(u'-')) {
        std::fprintf(stderr, "usage: make-skins [--preview] OUTPUT_FOLDER\n");
        return 2;
    }
    const QDir output(arguments.front());
    for (const SkinTheme &theme : shippedThemes()) {
        if (!writeSkin(theme, output, preview))
            return 1;
        std::printf("%s\n", qPrintable(output.filePath(theme.name)));
    }
    return 0;
}
