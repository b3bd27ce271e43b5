// Times the main window's playlist with the real decoder library, offscreen, each run in a fresh
// process with a fresh program folder and settings store (so SortOnLoad and RememberLastLoaded
// are on, as on a first start):
//  - the first show with a "loaded.lpl" of 100,000 songs, shuffled or already in sorted order:
//    FormCreate until the rows are in the song list, the first paint, and the save at quit;
//  - the same list's steps one by one: reading the lines, entries, sorting, row texts, filling;
//  - 1,000 and 10,000 songs added one by one through AddEntry, then one RebuildSongList.
// Prints medians, min and max in ms.
//   bench-playlist [RUNS]
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <random>
#include <unistd.h>

#include "application.h"
#include "benchform.h"
#include "imagelistbox.h"
#include "player.h"
#include "playlistfile.h"
#include "registrystore.h"
#include "songentries.h"

using namespace Bench;

namespace {

constexpr int ListSongs = 100000;
const QString ListName = QStringLiteral("loaded.lpl");

// Paths as a music folder has them: artists, albums, mostly numbered tracks, titles of mixed
// case with a few accented words; shuffled. The same count always gives the same paths.
QStringList songPaths(int count)
{
    static const char *const words[] = {
        "love",     "night",  "road",   "fire",  "blue",   "dream", "heart",    "rain",
        "city",     "light",  "dance",  "café",  "summer", "über",  "river",    "gold",
        "shadow",   "time",   "home",   "wild",  "song",   "moon",  "star",     "ghost",
        "electric", "silent", "broken", "sweet", "angel",  "storm", "señorita", "the"};
    std::mt19937 random(1208);
    auto pick = [&random](size_t n) { return size_t(random() % n); };
    auto word = [&] {
        const QString w = QString::fromUtf8(words[pick(std::size(words))]);
        switch (pick(4)) {
        case 0:
            return w.toUpper();
        case 1:
            return w.left(1).toUpper() + w.mid(1);
        default:
            return w;
        }
    };
    const QLatin1Char zero('0');
    QStringList paths;
    paths.reserve(count);
    for (int artist = 1; paths.size() < count; ++artist) {
        const QString artistName =
            QStringLiteral("%1 %2")
                .arg(pick(2) ? QStringLiteral("Artist") : QStringLiteral("artist"))
                .arg(artist, 3, 10, zero);
        const int albums = 1 + int(pick(6));
        for (int album = 1; album <= albums && paths.size() < count; ++album) {
            const int tracks = 6 + int(pick(10));
            for (int track = 1; track <= tracks && paths.size() < count; ++track) {
                QStringList title;
                for (size_t n = 1 + pick(4); n > 0; --n)
                    title << word();
                QString name = title.join(QLatin1Char(' '));
                if (pick(10) < 7)
                    name = QStringLiteral("%1 - %2").arg(track, 2, 10, zero).arg(name);
                paths << QStringLiteral("/home/user/Music/%1/Album %2/%3.mp3")
                             .arg(artistName, QStringLiteral("%1").arg(album, 2, 10, zero), name);
            }
        }
    }
    std::shuffle(paths.begin(), paths.end(), random);
    return paths;
}

QStringList inSortedOrder(const QStringList &paths)
{
    QStringList entries;
    for (const QString &path : paths)
        entries << SongEntries::makeEntry(path);
    SongEntries::sortEntries(entries);
    QStringList sorted;
    for (const QString &entry : std::as_const(entries))
        sorted << SongEntries::pathOfEntry(entry);
    return sorted;
}

[[noreturn]] void fail(const QString &why)
{
    std::fprintf(stderr, "bench-playlist: %s\n", qPrintable(why));
    std::exit(1);
}

void say(const char *name, double ms)
{
    std::printf("%s %.3f\n", name, ms);
}

TLMDImageListBox &songListOf(TPlayForm &form)
{
    auto *list = form.findChild<TLMDImageListBox *>(QStringLiteral("SongList"));
    if (!list)
        fail(QStringLiteral("the window has no SongList"));
    return *list;
}

// A fresh window on the program folder, with its store there too.
struct Window {
    explicit Window(const QString &folder)
        : store(makeFileRegistryStore(QDir(folder).filePath(QStringLiteral("registry")))),
          form(std::make_unique<TimedPlayForm>(*store, folder, QStringList()))
    {
        if (!declineAssociationPrompt(*store))
            fail(QStringLiteral("cannot write the settings store in ") + folder);
    }
    void create()
    {
        form->FormCreate();
        if (!form->Player() || !form->Player()->Initialized())
            fail(QStringLiteral("the decoder library was not loaded"));
        if (!form->SortOnLoad() || !form->RememberLastLoaded())
            fail(QStringLiteral("a fresh store should sort and remember the list"));
    }

    std::unique_ptr<RegistryStore> store;
    std::unique_ptr<TimedPlayForm> form;
    FailOnDialog failOnDialog;
};

// ---- One measurement, in a child process ----------------------------------------------------

void timeFirstShow(const QString &folder, int songs)
{
    Window window(folder);
    const int64_t startCpu = cpuNs();
    const int64_t start = nowNs();
    window.create();
    const int64_t shown = nowNs();
    const int64_t shownCpu = cpuNs();
    TimedPlayForm &form = *window.form;
    if (songListOf(form).count() != songs || form.Entries().size() != songs)
        fail(QStringLiteral("%1 rows after reading %2 songs")
                 .arg(songListOf(form).count())
                 .arg(songs));
    say("create", msBetween(start, shown));
    say("create-cpu", msBetween(startCpu, shownCpu));
    say("before-settings", msBetween(start, form.settingsStart));
    say("settings", msBetween(form.settingsStart, form.settingsEnd));
    say("list", msBetween(form.listStart, form.listEnd));
    say("rest", msBetween(form.listEnd, shown));

    // What the event loop does first after the show: lay out and paint the window.
    int64_t mark = nowNs();
    QCoreApplication::processEvents();
    say("paint", msBetween(mark, nowNs()));

    mark = nowNs();
    window.form.reset();
    say("quit", msBetween(mark, nowNs()));
    const QString saved = QDir(folder).filePath(ListName);
    if (PlaylistFile::readLines(saved).size() != songs)
        fail(QStringLiteral("the list saved at quit lost songs"));
}

void timeListSteps(const QString &fileName)
{
    int64_t mark = nowNs();
    auto lap = [&mark](const char *name) {
        const int64_t now = nowNs();
        say(name, msBetween(mark, now));
        mark = now;
    };
    const QStringList lines = PlaylistFile::nonBlankLines(PlaylistFile::readLines(fileName));
    lap("read");
    QStringList entries;
    entries.reserve(lines.size());
    for (const QString &line : lines)
        entries << SongEntries::makeEntry(line);
    lap("entries");
    SongEntries::sortEntries(entries);
    lap("sort");
    QStringList rows;
    rows.reserve(entries.size());
    for (qsizetype i = 0; i < entries.size(); ++i)
        rows << SongEntries::rowText(int(i), SongEntries::titleOfEntry(entries.at(i)), false);
    lap("rows");
    TLMDImageListBox list;
    list.setItems(rows);
    lap("fill");
}

void timeAdding(const QString &folder, int songs)
{
    const QStringList paths = songPaths(songs);
    Window window(folder);
    window.create();
    TimedPlayForm &form = *window.form;
    const int64_t startCpu = cpuNs();
    int64_t mark = nowNs();
    for (const QString &path : paths)
        form.AddEntry(path);
    say("add", msBetween(mark, nowNs()));
    say("add-cpu", msBetween(startCpu, cpuNs()));
    mark = nowNs();
    form.RebuildSongList();
    say("rebuild", msBetween(mark, nowNs()));

    QStringList sorted = form.Entries();
    SongEntries::sortEntries(sorted);
    if (sorted != form.Entries())
        fail(QStringLiteral("the entries added one by one are not in sorted order"));
    if (songListOf(form).count() != songs)
        fail(QStringLiteral("%1 rows for %2 songs").arg(songListOf(form).count()).arg(songs));
}

int child(const QStringList &args)
{
    const QString mode = args.value(0);
    if (mode == QLatin1String("first-show"))
        timeFirstShow(args.value(1), args.value(2).toInt());
    else if (mode == QLatin1String("steps"))
        timeListSteps(args.value(1));
    else if (mode == QLatin1String("add"))
        timeAdding(args.value(1), args.value(2).toInt());
    else
        fail(QStringLiteral("unknown mode ") + mode);
    return 0;
}

// ---- The runs and the table ------------------------------------------------------------------

void runChild(const QString &variant, const QStringList &args, Figures &figures)
{
    QProcess process;
    process.start(QCoreApplication::applicationFilePath(),
                  QStringList{QStringLiteral("--child")} + args);
    if (!process.waitForFinished(300000) || process.exitStatus() != QProcess::NormalExit ||
        process.exitCode() != 0)
        fail(QStringLiteral("the run %1 failed: %2")
                 .arg(args.join(QLatin1Char(' ')),
                      QString::fromLocal8Bit(process.readAllStandardError())));
    addFigures(figures, variant + QLatin1Char('/'), process.readAllStandardOutput());
}

// A fresh program folder with the default skin and, when given, the list as its last one.
QString programFolder(const QTemporaryDir &run, const QString &listFile)
{
    const QString folder = run.path();
    if (!copyDefaultSkin(QCoreApplication::applicationDirPath(), folder))
        fail(QStringLiteral("no default skin to copy beside ") +
             QCoreApplication::applicationDirPath());
    if (!listFile.isEmpty() && !QFile::copy(listFile, QDir(folder).filePath(ListName)))
        fail(QStringLiteral("cannot copy the list into ") + folder);
    return folder;
}

void row(const Figures &figures, const char *label, const QStringList &keys)
{
    std::printf("    %-46s", label);
    for (const QString &key : keys)
        printFigure(figures, key);
    std::printf("\n");
}

int parent(int runs)
{
    QTemporaryDir lists;
    const QStringList shuffled = songPaths(ListSongs);
    const QString shuffledFile = lists.filePath(QStringLiteral("shuffled.lpl"));
    const QString sortedFile = lists.filePath(QStringLiteral("sorted.lpl"));
    PlaylistFile::write(shuffledFile, {shuffled.begin(), shuffled.end()}, QStringLiteral("/"));
    const QStringList sorted = inSortedOrder(shuffled);
    PlaylistFile::write(sortedFile, {sorted.begin(), sorted.end()}, QStringLiteral("/"));
    const QString songs = QString::number(ListSongs);

    Figures figures;
    for (int run = 0; run < runs; ++run) {
        if (isatty(STDERR_FILENO))
            std::fprintf(stderr, "run %d of %d\r", run + 1, runs);
        for (const auto &[variant, file] : {std::pair{QStringLiteral("shuffled"), shuffledFile},
                                            std::pair{QStringLiteral("sorted"), sortedFile}}) {
            const QTemporaryDir folder;
            runChild(variant, {QStringLiteral("first-show"), programFolder(folder, file), songs},
                     figures);
            runChild(variant, {QStringLiteral("steps"), file}, figures);
        }
        for (int count : {1000, 10000}) {
            const QTemporaryDir folder;
            runChild(QString::number(count),
                     {QStringLiteral("add"), programFolder(folder, {}), QString::number(count)},
                     figures);
        }
    }

    auto both = [](const char *name) {
        return QStringList{QStringLiteral("shuffled/") + QLatin1String(name),
                           QStringLiteral("sorted/") + QLatin1String(name)};
    };
    std::printf("Main window playlist, libnorlplay, offscreen, fresh settings (SortOnLoad on), "
                "collation locale %s, %d runs, each in a fresh process; median (min-max) in ms\n",
                qPrintable(QLocale().name()), runs);
    std::printf(
        "  First show with a loaded.lpl of 100,000 songs (goal: FormCreate to rows < 1 s)\n");
    std::printf("    %-46s %22s %22s\n", "", "file shuffled", "file in sorted order");
    row(figures, "FormCreate to the rows in SongList", both("create"));
    row(figures, "  the same in CPU time", both("create-cpu"));
    row(figures, "  restore, show, load the library", both("before-settings"));
    row(figures, "  ApplySettings", both("settings"));
    row(figures, "  ReadPlaylist", both("list"));
    row(figures, "  the rest of the first show", both("rest"));
    row(figures, "then the event loop's first pass (paint)", both("paint"));
    row(figures, "quit: settings and loaded.lpl saved", both("quit"));
    std::printf("    the list's steps alone:\n");
    row(figures, "  read the file into lines", both("read"));
    row(figures, "  make the entries", both("entries"));
    row(figures, "  sort the entries", both("sort"));
    row(figures, "  make the row texts", both("rows"));
    row(figures, "  fill the list box (not shown)", both("fill"));

    std::printf("  AddEntry one by one, SortOnLoad on, shuffled paths; then RebuildSongList\n");
    std::printf("    %-46s %22s %22s\n", "", "1,000 songs", "10,000 songs");
    const QStringList adds{QStringLiteral("1000/add"), QStringLiteral("10000/add")};
    row(figures, "AddEntry, all of them", adds);
    row(figures, "  the same in CPU time",
        {QStringLiteral("1000/add-cpu"), QStringLiteral("10000/add-cpu")});
    row(figures, "RebuildSongList",
        {QStringLiteral("1000/rebuild"), QStringLiteral("10000/rebuild")});
    const double small = median(figures[adds[0]]);
    const double large = median(figures[adds[1]]);
    std::printf("    AddEntry per song: %.1f us and %.1f us; 10,000 / 1,000 = %.1f (linear: 10)\n",
                small, large / 10, small > 0 ? large / small : 0.0);
    return 0;
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    if (argc > 1 && QByteArray(argv[1]) == "--child") {
        TApplication app(argc, argv);
        return child(app.arguments().mid(2));
    }
    QCoreApplication app(argc, argv);
    return parent(argc > 1 ? std::max(1, std::atoi(argv[1])) : 7);
}
