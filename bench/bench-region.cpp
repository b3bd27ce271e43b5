// Times the window's shape from a skin background, computed at every skin load: the spans and
// bands alone, then with the region file's bytes, and the window's whole SaveBitmapRegion (the
// bytes also written to "mask.mk" through a synced save). Reading the bitmap is not timed: the
// window holds it by then. Rounded rectangles of growing size, the same shape scaled, show how
// the time grows with the pixels. All cases take turns within each round, so load from others
// falls on all of them alike.
// Prints median, min and max in ms.
//   bench-region [RUNS] [SKIN_FILE]     default 200 runs of the default skin beside the program
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QPainter>
#include <QTemporaryDir>

#include <cstdio>
#include <cstdlib>
#include <functional>

#include "benchform.h"
#include "skinfile.h"
#include "windowregion.h"

using namespace Bench;

namespace {

constexpr QRgb Key = 0xffffff; // the key colour the window passes

[[noreturn]] void fail(const QString &why)
{
    std::fprintf(stderr, "bench-region: %s\n", qPrintable(why));
    std::exit(1);
}

// The skin's background as the window loads it.
QImage skinBackground(const QString &skinFile, QString &name)
{
    name = SkinFile(skinFile).readString(QStringLiteral("Background"), QString());
    const QString path = QFileInfo(skinFile).dir().filePath(name);
    const QImage image = QImageReader(path, "bmp").read();
    if (name.isEmpty() || image.isNull())
        fail(QStringLiteral("no background bitmap in ") + skinFile);
    return image;
}

// A dark rectangle with rounded corners on the key colour; the radius grows with the size, so
// larger ones are the same shape with proportionally more rows of distinct spans.
QImage roundedRectangle(int width, int height)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(Key);
    QPainter painter(&image);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(0x10, 0x28, 0x60));
    const qreal radius = width / 20.0;
    painter.drawRoundedRect(QRectF(0, 0, width, height), radius, radius);
    return image;
}

// The area the shape must cover, counted pixel by pixel: columns 1 to W - 1 not of the key
// colour, and x = W on rows whose last pixel is inside.
qint64 expectedArea(const QImage &bitmap)
{
    const QImage image = bitmap.convertToFormat(QImage::Format_RGB32);
    qint64 area = 0;
    for (int y = 0; y < image.height(); ++y) {
        const auto *row = reinterpret_cast<const QRgb *>(image.constScanLine(y));
        for (int x = 1; x < image.width(); ++x)
            area += (row[x] & 0xffffff) != Key;
        area += image.width() > 1 && (row[image.width() - 1] & 0xffffff) != Key;
    }
    return area;
}

qint64 areaOf(const std::vector<WindowRegion::Rect> &rects)
{
    qint64 area = 0;
    for (const WindowRegion::Rect &r : rects)
        area += qint64(r.right - r.left) * (r.bottom - r.top);
    return area;
}

struct Case {
    QString label;
    QImage bitmap;
    int every = 1; // timed in every n-th round: the large ones take long
    size_t rects = 0;
};

// The timed calls must match a plain count of the pixels and read back from their own bytes,
// else the figures would time something else.
void check(Case &c)
{
    const std::vector<WindowRegion::Rect> rects = WindowRegion::shapeOf(c.bitmap, Key);
    const QByteArray bytes = WindowRegion::fileBytes(rects);
    if (rects.empty() || areaOf(rects) != expectedArea(c.bitmap))
        fail(c.label + QStringLiteral(": the shape does not cover the pixels it should"));
    if (WindowRegion::parseFile(bytes) != rects)
        fail(c.label + QStringLiteral(": the region file does not read back"));
    c.rects = rects.size();
}

double timedMs(const std::function<void()> &step)
{
    const int64_t start = nowNs();
    step();
    return msBetween(start, nowNs());
}

void printRow(const char *label, size_t runs, size_t rects, const std::vector<double> &first,
              const std::vector<double> &second)
{
    const auto figure = [](const std::vector<double> &v) {
        if (v.empty()) {
            std::printf(" %25s", "");
            return;
        }
        std::printf(" %9.3f (%6.3f-%6.3f)", median(v), *std::min_element(v.begin(), v.end()),
                    *std::max_element(v.begin(), v.end()));
    };
    std::printf("  %-36s %5zu %7zu", label, runs, rects);
    figure(first);
    figure(second);
    std::printf("\n");
}

int run(int runs, const QString &skinFile)
{
    QString backgroundName;
    std::vector<Case> cases;
    const QImage background = skinBackground(skinFile, backgroundName);
    cases.push_back({QStringLiteral("%1/%2 %3 x %4")
                         .arg(QFileInfo(skinFile).dir().dirName(), backgroundName)
                         .arg(background.width())
                         .arg(background.height()),
                     background});
    // The window's size, then 5 and 10 times as wide and high: 25 and 100 times the pixels.
    for (const auto &[scale, every] : {std::pair{1, 1}, {5, 4}, {10, 10}}) {
        const int width = 252 * scale;
        const int height = 412 * scale;
        cases.push_back({QStringLiteral("rounded rectangle %1 x %2").arg(width).arg(height),
                         roundedRectangle(width, height), every});
    }
    for (Case &c : cases)
        check(c);

    // The window's own call, writing into a folder beside the program (the disk the skin
    // folders lie on), on a window made like bench-playlist's but never shown.
    QTemporaryDir folder(QDir(QCoreApplication::applicationDirPath())
                             .filePath(QStringLiteral("bench-region-XXXXXX")));
    if (!folder.isValid())
        fail(QStringLiteral("cannot make a folder beside the program"));
    const std::unique_ptr<RegistryStore> store =
        makeFileRegistryStore(folder.filePath(QStringLiteral("registry")));
    TPlayForm form(*store, folder.path(), QStringList());
    const QString maskFile = folder.filePath(QStringLiteral("mask.mk"));
    form.SaveBitmapRegion(background, Key, maskFile);
    QFile saved(maskFile);
    if (!saved.open(QIODevice::ReadOnly) ||
        saved.readAll() != WindowRegion::fileBytes(WindowRegion::shapeOf(background, Key)))
        fail(QStringLiteral("SaveBitmapRegion wrote other bytes than the region file's"));
    constexpr int SaveEvery = 4; // each save waits for the disk

    std::vector<std::vector<double>> shape(cases.size());
    std::vector<std::vector<double>> withBytes(cases.size());
    std::vector<double> save;
    size_t sink = 0;
    for (int round = 0; round < runs; ++round) {
        for (size_t i = 0; i < cases.size(); ++i) {
            const Case &c = cases[i];
            if (round % c.every != 0)
                continue;
            shape[i].push_back(
                timedMs([&] { sink += WindowRegion::shapeOf(c.bitmap, Key).size(); }));
            withBytes[i].push_back(timedMs([&] {
                sink +=
                    size_t(WindowRegion::fileBytes(WindowRegion::shapeOf(c.bitmap, Key)).size());
            }));
        }
        if (round % SaveEvery == 0)
            save.push_back(timedMs([&] { form.SaveBitmapRegion(background, Key, maskFile); }));
    }
    if (sink == 0)
        fail(QStringLiteral("nothing was computed"));

    std::printf("Window shape from a skin background, key colour white; the bitmap is in memory "
                "(loading it is not timed); median (min-max) in ms\n");
    std::printf("  %-36s %5s %7s %25s %25s\n", "", "runs", "rects", "shape (spans, bands)",
                "shape + file bytes");
    for (size_t i = 0; i < cases.size(); ++i)
        printRow(qPrintable(cases[i].label), shape[i].size(), cases[i].rects, shape[i],
                 withBytes[i]);
    // The save includes the shape and the bytes: its figure goes under theirs.
    printRow("SaveBitmapRegion to mask.mk (synced)", save.size(), cases[0].rects, {}, save);

    // Linear in the pixels: the same time per pixel at every size.
    const double smallMs = median(withBytes[1]);
    std::printf("  shape + file bytes per pixel:");
    for (size_t i = 1; i < cases.size(); ++i)
        std::printf(" %.2f ns%s",
                    median(withBytes[i]) * 1e6 /
                        (double(cases[i].bitmap.width()) * cases[i].bitmap.height()),
                    i + 1 < cases.size() ? "," : ";");
    std::printf(" 2520 x 4120 / 252 x 412 = %.1f (linear: 100)\n",
                smallMs > 0 ? median(withBytes[3]) / smallMs : 0.0);
    return 0;
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // The window is made but never shown; whatever it or Qt keeps per user goes here.
    const QTemporaryDir home;
    if (!home.isValid())
        fail(QStringLiteral("cannot make a temporary folder"));
    for (const char *name :
         {"XDG_RUNTIME_DIR", "XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_CACHE_HOME"})
        qputenv(name, QFile::encodeName(home.path()));
    QApplication application(argc, argv);
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 200;
    const QString skinFile =
        argc > 2
            ? QFile::decodeName(argv[2])
            : QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("blue/blue.sk"));
    return run(runs, skinFile);
}
