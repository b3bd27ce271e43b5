// Renders every registered control picture into OUTPUT_FOLDER/<name>.png.
#include <QApplication>
#include <QDir>
#include <QFontDatabase>
#include <cstdio>

#include "gallery.h"

namespace {
std::vector<GalleryEntry> &entries()
{
    static std::vector<GalleryEntry> all;
    return all;
}
} // namespace

GalleryRegistration::GalleryRegistration(std::vector<GalleryEntry> added)
{
    for (auto &entry : added)
        entries().push_back(std::move(entry));
}

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s OUTPUT_FOLDER\n", argv[0]);
        return 2;
    }
    QDir(QString()).mkpath(QString::fromLocal8Bit(argv[1]));
    for (const char *font : {"LiberationSans-Regular.ttf", "LiberationSans-Bold.ttf"})
        QFontDatabase::addApplicationFont(QStringLiteral(NORL_TEST_FONT_DIR "/") +
                                          QString::fromLatin1(font));
    int failed = 0;
    for (const GalleryEntry &entry : entries()) {
        QString path = QDir(QString::fromLocal8Bit(argv[1])).filePath(entry.name + ".png");
        if (!entry.render().save(path)) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
            ++failed;
        }
    }
    std::printf("%zu pictures in %s\n", entries().size() - size_t(failed), argv[1]);
    return failed == 0 ? 0 : 1;
}
