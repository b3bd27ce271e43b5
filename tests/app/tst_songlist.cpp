// The song list through the main window: adding by the open dialog and by dropping, sorting and
// numbering from the stored preferences, removing, saving playlists, and the last playlist
// that carries the list from one run to the next.
#include <QFile>
#include <QTimer>
#include <QtTest>
#include <unistd.h>

#include "formfixture.h"
#include "imagelistbox.h"
#include "ownfiles.h"
#include "playlistfile.h"
#include "ui_playform.h"

namespace {

// A window started from stored preferences, with a watcher that outlives it: the last
// playlist is written, and may fail, while the window is destroyed.
struct Window {
    MessageBoxWatcher boxes;
    FormFixture fixture;

    // Preferences as "Name=value", stored before the window is created.
    TestPlayForm &start(const QStringList &preferences)
    {
        for (const QString &preference : preferences)
            fixture.storeSetting(preference.section(QLatin1Char('='), 0, 0),
                                 preference.section(QLatin1Char('='), 1));
        TestPlayForm &form = fixture.make();
        form.FormCreate();
        return form;
    }
    QString path(const QString &name) const { return fixture.folder.filePath(name); }
    // A file in the program folder, for where existence or contents matter.
    QString file(const QString &name, const QByteArray &contents = {}) const
    {
        QFile file(path(name));
        if (!file.open(QIODevice::WriteOnly) || file.write(contents) != contents.size())
            qFatal("cannot write %s", qPrintable(name));
        return file.fileName();
    }
};

QByteArray contentsOf(const QString &fileName)
{
    QFile file(fileName);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool writeFile(const QString &fileName, const QByteArray &contents)
{
    QFile file(fileName);
    return file.open(QIODevice::WriteOnly) && file.write(contents) == contents.size();
}

QStringList rows(const TestPlayForm &form)
{
    return form.ui->SongList->items();
}

int selectedRow(const TestPlayForm &form)
{
    return form.ui->SongList->itemIndex();
}

QStringList entryPaths(const TestPlayForm &form)
{
    QStringList paths;
    for (const QString &entry : form.Entries())
        paths << entry.section(QLatin1Char(','), 1);
    return paths;
}

QStringList musicPaths(const QStringList &names)
{
    QStringList paths;
    for (const QString &name : names)
        paths << QStringLiteral("/music/") + name + QStringLiteral(".mp3");
    return paths;
}

// Adds songs the way a user can: one entry at a time, in the open dialog, or dropped.
void addSongs(TestPlayForm &form, const QString &way, const QStringList &paths)
{
    if (way == QLatin1String("AddEntry")) {
        for (const QString &path : paths)
            form.AddEntry(path);
        form.ui->SongList->clear();
        form.RebuildSongList();
    } else if (way == QLatin1String("open dialog")) {
        form.filesToOpen = paths;
        form.ui->Add1->trigger();
    } else {
        form.LMDFMDrop1FMDragDrop(nullptr, int(paths.size()), 0, 0, paths);
    }
}

void rebuildByCancelledOpen(TestPlayForm &form)
{
    form.filesToOpen.clear();
    form.ui->Add1->trigger();
}

// The process's current folder for the life of the object.
class CurrentFolder {
public:
    explicit CurrentFolder(const QString &path) { QDir::setCurrent(path); }
    ~CurrentFolder() { QDir::setCurrent(m_previous); }

private:
    QString m_previous = QDir::currentPath();
};

// A folder nobody but root may write to, until the object ends.
class ReadOnlyFolder {
public:
    explicit ReadOnlyFolder(const QString &path) : m_path(path)
    {
        QDir().mkpath(path);
        QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::ExeOwner);
    }
    ~ReadOnlyFolder()
    {
        QFile::setPermissions(m_path, QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                          QFileDevice::ExeOwner);
    }

private:
    QString m_path;
};

} // namespace

class tst_songlist : public QObject {
    Q_OBJECT

    QTemporaryDir m_dataHome;

private slots:
    void initTestCase()
    {
        // Where the last playlist goes when the program's folder is not writable; set before
        // any window asks for it.
        QVERIFY(m_dataHome.isValid());
        qputenv("XDG_DATA_HOME", m_dataHome.path().toLocal8Bit());
    }

    void addingFollowsSortOnLoad_data()
    {
        QTest::addColumn<QString>("sortOnLoad");
        QTest::addColumn<QString>("way");
        QTest::addColumn<QStringList>("titles");
        const QStringList sorted = {"alpha", "Bravo", "delta"};
        const QStringList unsorted = {"delta", "Bravo", "alpha"};
        for (const char *way : {"AddEntry", "open dialog", "drop"}) {
            QTest::addRow("sorted, %s", way) << "1" << way << sorted;
            QTest::addRow("unsorted, %s", way) << "0" << way << unsorted;
        }
    }
    void addingFollowsSortOnLoad()
    {
        QFETCH(QString, sortOnLoad);
        QFETCH(QString, way);
        QFETCH(QStringList, titles);
        Window window;
        TestPlayForm &form = window.start({"SortOnLoad=" + sortOnLoad, "RememberLastLoaded=0"});
        QCOMPARE(form.SortOnLoad(), sortOnLoad == QLatin1String("1"));
        addSongs(form, way, musicPaths({"delta", "Bravo", "alpha"}));
        QCOMPARE(rows(form), titles);
        QCOMPARE(entryPaths(form), musicPaths(titles));
        QCOMPARE(selectedRow(form), -1);
    }

    // Entries added while sorting was off are in no order; the first sorted add must sort them
    // all, not insert into them as if they were sorted.
    void sortingSwitchedOnLaterSortsEverything_data()
    {
        QTest::addColumn<QString>("way");
        QTest::addColumn<QStringList>("later");
        QTest::newRow("one entry at a time") << "AddEntry" << QStringList{"alpha", "charlie"};
        QTest::newRow("open dialog") << "open dialog" << QStringList{"charlie", "alpha"};
        QTest::newRow("drop") << "drop" << QStringList{"charlie", "alpha"};
    }
    void sortingSwitchedOnLaterSortsEverything()
    {
        QFETCH(QString, way);
        QFETCH(QStringList, later);
        Window window;
        TestPlayForm &form = window.start({"SortOnLoad=0", "NumbersInPlaylist=0"});
        addSongs(form, "AddEntry", musicPaths({"delta", "Bravo"}));
        QCOMPARE(rows(form), QStringList({"delta", "Bravo"}));

        form.inPreferences = [&window] {
            window.fixture.storeSetting("SortOnLoad", "1");
            window.fixture.storeSetting("NumbersInPlaylist", "1");
        };
        form.ui->Preferences1->trigger();
        QVERIFY(form.SortOnLoad());
        QVERIFY(form.NumbersInPlaylist());
        // The rows keep their texts until the next rebuild.
        QCOMPARE(rows(form), QStringList({"delta", "Bravo"}));

        addSongs(form, way, musicPaths(later));
        QCOMPARE(entryPaths(form), musicPaths({"alpha", "Bravo", "charlie", "delta"}));
        form.AddEntry(QStringLiteral("/music/Echo.mp3"));
        form.AddEntry(QStringLiteral("/music/beta.mp3"));
        QCOMPARE(entryPaths(form),
                 musicPaths({"alpha", "beta", "Bravo", "charlie", "delta", "Echo"}));

        rebuildByCancelledOpen(form);
        QCOMPARE(rows(form), QStringList({"1.- alpha", "2.- beta", "3.- Bravo", "4.- charlie",
                                          "5.- delta", "6.- Echo"}));
    }

    // An add that adds nothing leaves the order as it is, even once sorting is on.
    void addingNothingKeepsTheOrder_data()
    {
        QTest::addColumn<QString>("way");
        QTest::addColumn<QStringList>("names");
        QTest::newRow("empty m3u") << "open dialog" << QStringList{"empty.m3u"};
        QTest::newRow("drop without MP3") << "drop" << QStringList{"notes.txt", "list.m3u"};
    }
    void addingNothingKeepsTheOrder()
    {
        QFETCH(QString, way);
        QFETCH(QStringList, names);
        Window window;
        window.file("empty.m3u");
        TestPlayForm &form = window.start({"SortOnLoad=0"});
        addSongs(form, "drop", musicPaths({"delta", "Bravo"}));
        form.inPreferences = [&window] { window.fixture.storeSetting("SortOnLoad", "1"); };
        form.ui->Preferences1->trigger();
        QVERIFY(form.SortOnLoad());

        QStringList paths;
        for (const QString &name : std::as_const(names))
            paths << window.path(name);
        addSongs(form, way, paths);
        QCOMPARE(entryPaths(form), musicPaths({"delta", "Bravo"}));
        QCOMPARE(rows(form), QStringList({"delta", "Bravo"}));
        QVERIFY(window.boxes.texts.isEmpty());
    }

    // The list shows file names: a "|" in one is a character like any other, not the start of a
    // picture number.
    void rowsShowTheWholeName()
    {
        Window window;
        TestPlayForm &form = window.start({"SortOnLoad=0"});
        addSongs(form, "drop", {"/music/AC|DC live.mp3", "/music/a|7.mp3"});
        QCOMPARE(form.ui->SongList->displayText(0), QStringLiteral("AC|DC live"));
        QCOMPARE(form.ui->SongList->displayText(1), QStringLiteral("a|7"));
        QCOMPARE(form.ui->SongList->pictureNumber(1), -1);
    }

    // Names a playlist file cannot keep are refused with a message naming them; the rest join.
    void unkeepableNamesAreRefused_data()
    {
        QTest::addColumn<QString>("way");
        QTest::newRow("open dialog") << "open dialog";
        QTest::newRow("drop") << "drop";
        // A UTF-8 list cannot name a file whose name is not UTF-8.
        QTest::newRow("m3u8") << "m3u8";
    }
    void unkeepableNamesAreRefused()
    {
        QFETCH(QString, way);
        Window window;
        TestPlayForm &form = window.start({"SortOnLoad=0"});
        const QByteArray newline("/music/two\nlines.mp3"), latin1("/music/caf\xe9.mp3");
        if (way == "m3u8") {
            form.filesToOpen = {window.file("list.m3u8", "/music/a.mp3\r\n" + latin1 + "\r\n")};
            form.ui->Add1->trigger();
        } else {
            addSongs(form, way,
                     {"/music/a.mp3", QString::fromLocal8Bit(newline),
                      QString::fromLocal8Bit(latin1), "/music/b.mp3"});
        }
        QCOMPARE(window.boxes.texts.size(), 1);
        const QString message = window.boxes.texts.first();
        QVERIFY2(message.contains("caf\uFFFD.mp3"), qPrintable(message));
        QCOMPARE(message.contains("two\\nlines.mp3"), way != "m3u8");
        const QStringList added = way == "m3u8" ? QStringList{"a"} : QStringList{"a", "b"};
        QCOMPARE(rows(form), added);
        QCOMPARE(entryPaths(form), musicPaths(added));
        QVERIFY_THROWS_EXCEPTION(std::runtime_error,
                                 form.AddEntry(QString::fromLocal8Bit(newline)));
        QCOMPARE(entryPaths(form), musicPaths(added));
    }

    void removingARow_data()
    {
        QTest::addColumn<int>("selected");
        QTest::addColumn<QStringList>("rowsLeft");
        QTest::addColumn<int>("selectedAfter");
        QTest::newRow("middle") << 1 << QStringList{"1.- x", "3.- z"} << 0;
        QTest::newRow("first leaves no selection") << 0 << QStringList{"2.- y", "3.- z"} << -1;
        QTest::newRow("last") << 2 << QStringList{"1.- x", "2.- y"} << 1;
        QTest::newRow("nothing selected") << -1 << QStringList{"1.- x", "2.- y", "3.- z"} << -1;
    }
    void removingARow()
    {
        QFETCH(int, selected);
        QFETCH(QStringList, rowsLeft);
        QFETCH(int, selectedAfter);
        Window window;
        TestPlayForm &form = window.start({"SortOnLoad=0", "NumbersInPlaylist=1"});
        addSongs(form, "drop", musicPaths({"x", "y", "z"}));
        QCOMPARE(rows(form), QStringList({"1.- x", "2.- y", "3.- z"}));
        form.ui->SongList->setItemIndex(selected);

        form.ui->Remove1->trigger();
        QCOMPARE(rows(form), rowsLeft);
        QCOMPARE(selectedRow(form), selectedAfter);
        QStringList titlesLeft;
        for (const QString &row : rowsLeft)
            titlesLeft << row.section(QStringLiteral(".- "), 1);
        QCOMPARE(entryPaths(form), musicPaths(titlesLeft));

        // Numbers are given again only when the rows are rebuilt.
        rebuildByCancelledOpen(form);
        QCOMPARE(rows(form).first(), QStringLiteral("1.- ") + titlesLeft.first());
        QCOMPARE(rows(form).last(),
                 QString::number(titlesLeft.size()) + QStringLiteral(".- ") + titlesLeft.last());
    }

    void removingLeavesPlaybackAlone()
    {
        Window window;
        TestPlayForm &form = window.start({"SortOnLoad=0"});
        addSongs(form, "drop", {window.file("a.mp3"), window.file("b.mp3")});
        form.ui->SongList->setItemIndex(0);
        form.PlayBtnClick();
        QVERIFY(!fakeScript().callsTo("ESPlay").empty());
        const size_t callsWhilePlaying = fakeScript().calls.size();

        form.ui->Remove1->trigger(); // the row that plays
        QCOMPARE(rows(form), QStringList({"b"}));
        form.ui->SongList->setItemIndex(0);
        form.ui->RemoveAll1->trigger();
        QVERIFY(rows(form).isEmpty());
        QVERIFY(form.Entries().isEmpty());
        QCOMPARE(selectedRow(form), -1);
        form.ui->Remove1->trigger(); // nothing left to remove
        QCOMPARE(fakeScript().calls.size(), callsWhilePlaying);
        QVERIFY(form.findChild<QTimer *>(QStringLiteral("Timer"))->isActive());
        QVERIFY(window.boxes.texts.isEmpty());
    }

    void openDialogAddsSongsByExtension()
    {
        Window window;
        TestPlayForm &form = window.start({"SortOnLoad=0"});
        addSongs(form, "drop", {QStringLiteral("/music/old.mp3")});
        form.ui->SongList->setItemIndex(0);
        addSongs(form, "open dialog",
                 {"/music/a.mp3", "/music/b.MP3", "/music/c.Mp3", "/music/d.wma", "/music/e.ogg",
                  "/music/noext", "/music/f.mp3.wma", "/music/g.wma.mp3", "/music/h.mp3/readme",
                  "/music/.mp3"});
        QCOMPARE(entryPaths(form),
                 QStringList({"/music/old.mp3", "/music/a.mp3", "/music/b.MP3", "/music/c.Mp3",
                              "/music/g.wma.mp3", "/music/.mp3"}));
        QCOMPARE(rows(form), QStringList({"old", "a", "b", "c", "g", ""}));
        QCOMPARE(selectedRow(form), -1);
        QVERIFY(window.boxes.texts.isEmpty());
    }

    // Every line of an .m3u becomes an entry, as read: its header, blank lines and all.
    void m3uIsAddedLineByLine_data()
    {
        QTest::addColumn<QByteArray>("lineEnd");
        QTest::newRow("CR LF") << QByteArray("\r\n");
        QTest::newRow("LF") << QByteArray("\n");
        QTest::newRow("CR") << QByteArray("\r");
    }
    void m3uIsAddedLineByLine()
    {
        QFETCH(QByteArray, lineEnd);
        Window window;
        TestPlayForm &form = window.start({"SortOnLoad=0"});
        const QByteArray lines[] = {"#EXTM3U", "", "/music/a.mp3", "   ", "songs/b.mp3 "};
        QByteArray list;
        for (const QByteArray &line : lines)
            list += line + lineEnd;
        const QString m3u = window.file("list.m3u", list);
        addSongs(form, "open dialog", {"/music/first.mp3", m3u, "/music/last.mp3"});
        QCOMPARE(entryPaths(form),
                 QStringList({"/music/first.mp3", "#EXTM3U", "", "/music/a.mp3", "   ",
                              window.path("songs/b.mp3 "), "/music/last.mp3"}));
        QCOMPARE(rows(form), QStringList({"first", "", "", "a", "", "b", "last"}));
    }

    // The add ends where the list could not be read: what came before stays in the entries,
    // and the rows show it only after the next rebuild.
    void unreadableM3uEndsTheAdd_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::newRow("missing") << "missing";
        QTest::newRow("a folder") << "folder";
        QTest::newRow("no permission") << "no permission";
    }
    void unreadableM3uEndsTheAdd()
    {
        QFETCH(QString, kind);
        Window window;
        TestPlayForm &form = window.start({"SortOnLoad=0"});
        const QString m3u = window.path("bad.m3u");
        if (kind == QLatin1String("folder")) {
            QVERIFY(QDir().mkpath(m3u));
        } else if (kind == QLatin1String("no permission")) {
            if (geteuid() == 0)
                QSKIP("root reads every file");
            window.file("bad.m3u", "/music/x.mp3\r\n");
            QFile::setPermissions(m3u, QFileDevice::WriteOwner);
        }
        addSongs(form, "drop", {QStringLiteral("/music/old.mp3")});

        addSongs(form, "open dialog", {"/music/a.mp3", m3u, "/music/b.mp3"});
        QCOMPARE(window.boxes.texts.size(), 1);
        QVERIFY2(window.boxes.texts.first().contains(m3u), qPrintable(window.boxes.texts.first()));
        QCOMPARE(entryPaths(form), QStringList({"/music/old.mp3", "/music/a.mp3"}));
        QCOMPARE(rows(form), QStringList({"old"}));

        rebuildByCancelledOpen(form);
        QCOMPARE(rows(form), QStringList({"old", "a"}));
    }

    void dropAddsNamesHoldingMp3()
    {
        Window window;
        TestPlayForm &form = window.start({"SortOnLoad=0"});
        // A dropped list is an entry like any other name, never read.
        QVERIFY(QDir().mkpath(window.path("mp3 lists")));
        const QString list = window.file("mp3 lists/list.m3u", "/music/inside.mp3\r\n");
        addSongs(form, "drop", {QStringLiteral("/music/first.mp3")});
        form.ui->SongList->setItemIndex(0);

        addSongs(form, "drop",
                 {"/music/song.mp3", "/home/u/My mp3 folder", "/music/notes.txt", "/music/list.m3u",
                  list, "/music/Mp3Video.avi", "/music/song.MP3"});
        QCOMPARE(entryPaths(form),
                 QStringList({"/music/first.mp3", "/music/song.mp3", "/home/u/My mp3 folder", list,
                              "/music/Mp3Video.avi", "/music/song.MP3"}));
        QCOMPARE(rows(form), QStringList({"first", "song", "", "list", "Mp3Video", "song"}));
        QCOMPARE(selectedRow(form), -1);
    }

    void savingAPlaylist()
    {
        Window window;
        TestPlayForm &form = window.start({"SortOnLoad=0", "RememberLastLoaded=0"});
        QVERIFY(QDir().mkpath(window.path("current")));
        const CurrentFolder current(window.path("current"));
        const QString here = QDir::currentPath();
        for (const char *path : {"/music/a.mp3", "songs/b.mp3", "#EXTINF:123,Artist - Title", ""})
            form.AddEntry(QString::fromLatin1(path));

        const QString saved = window.path("saved list"); // no extension is added
        form.fileToSave = saved;
        form.ui->SavePlaylist1->trigger();
        QCOMPARE(contentsOf(saved), "/music/a.mp3\r\n" + here.toLocal8Bit() +
                                        "/songs/b.mp3\r\n#EXTINF:123,Artist - Title\r\n" +
                                        here.toLocal8Bit() + "/\r\n");
        QVERIFY(!QFileInfo::exists(saved + QStringLiteral(".m3u")));

        // Saving again replaces the file without a question.
        form.ui->RemoveAll1->trigger();
        form.AddEntry(QStringLiteral("/music/c.mp3"));
        form.ui->SavePlaylist1->trigger();
        QCOMPARE(contentsOf(saved), QByteArray("/music/c.mp3\r\n"));
        form.ui->RemoveAll1->trigger();
        form.ui->SavePlaylist1->trigger();
        QVERIFY(QFileInfo::exists(saved));
        QCOMPARE(QFileInfo(saved).size(), 0);

        // A cancelled dialog writes nothing.
        form.AddEntry(QStringLiteral("/music/d.mp3"));
        form.fileToSave.clear();
        form.ui->SavePlaylist1->trigger();
        QCOMPARE(QFileInfo(saved).size(), 0);
        QVERIFY(window.boxes.texts.isEmpty());
        QCOMPARE(QDir(window.path("")).entryList({"saved list*"}, QDir::AllEntries | QDir::Hidden),
                 QStringList({"saved list"}));
    }

    void aFailedSaveKeepsWhatWasThere_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::newRow("missing folder") << "missing folder";
        QTest::newRow("target is a folder") << "target is a folder";
        QTest::newRow("read-only folder") << "read-only folder";
    }
    void aFailedSaveKeepsWhatWasThere()
    {
        QFETCH(QString, kind);
        Window window;
        TestPlayForm &form = window.start({"SortOnLoad=0", "RememberLastLoaded=0"});
        form.AddEntry(QStringLiteral("/music/new.mp3"));
        QVERIFY(QDir().mkpath(window.path("lists")));
        QString target = window.path("lists/kept.m3u");
        std::unique_ptr<ReadOnlyFolder> readOnly;
        if (kind == QLatin1String("missing folder")) {
            target = window.path("no such folder/kept.m3u");
        } else if (kind == QLatin1String("target is a folder")) {
            QVERIFY(QDir().mkpath(target));
            window.file("lists/kept.m3u/inside", "kept");
        } else {
            if (geteuid() == 0)
                QSKIP("root writes into read-only folders");
            window.file("lists/kept.m3u", "/music/old.mp3\r\n");
            readOnly = std::make_unique<ReadOnlyFolder>(window.path("lists"));
        }
        const QStringList before = QDir(window.path("lists")).entryList(QDir::AllEntries);

        form.fileToSave = target;
        form.ui->SavePlaylist1->trigger();
        QCOMPARE(window.boxes.texts.size(), 1);
        QVERIFY2(window.boxes.texts.first().contains(target),
                 qPrintable(window.boxes.texts.first()));
        QCOMPARE(QDir(window.path("lists")).entryList(QDir::AllEntries), before);
        if (kind == QLatin1String("target is a folder"))
            QCOMPARE(contentsOf(target + QStringLiteral("/inside")), QByteArray("kept"));
        else if (kind == QLatin1String("read-only folder"))
            QCOMPARE(contentsOf(target), QByteArray("/music/old.mp3\r\n"));
        else
            QVERIFY(!QFileInfo::exists(target));
    }

    // The last playlist gives only its non-blank lines, as written, up to an end-of-input byte.
    void lastPlaylistIsReadAtTheFirstShow_data()
    {
        QTest::addColumn<QByteArray>("contents");
        QTest::addColumn<QStringList>("paths");
        QTest::newRow("blank lines")
            << QByteArray("/m/a.mp3\r\n\r\n   \r\n/m/b.mp3  \r\n\t\r\n/m/c.mp3")
            << QStringList{"/m/a.mp3", "/m/b.mp3  ", "/m/c.mp3"};
        QTest::newRow("end of input") << QByteArray("/m/a.mp3\r\n/m/b.mp3\x1a\r\n/m/c.mp3\r\n")
                                      << QStringList{"/m/a.mp3", "/m/b.mp3"};
        QTest::newRow("LF lines") << QByteArray("/m/a.mp3\n/m/b.mp3\n")
                                  << QStringList{"/m/a.mp3", "/m/b.mp3"};
        QTest::newRow("empty file") << QByteArray() << QStringList();
    }
    void lastPlaylistIsReadAtTheFirstShow()
    {
        QFETCH(QByteArray, contents);
        QFETCH(QStringList, paths);
        Window window;
        window.file("loaded.lpl", contents);
        TestPlayForm &form = window.start({"SortOnLoad=0", "RememberLastLoaded=1"});
        QCOMPARE(entryPaths(form), paths);
        QCOMPARE(rows(form).size(), paths.size());
        QCOMPARE(selectedRow(form), -1);
        QVERIFY(fakeScript().callsTo("ESSetInputName").empty());
        QVERIFY(fakeScript().callsTo("ESOpen").empty());
        QVERIFY(window.boxes.texts.isEmpty());
    }

    // A last playlist that cannot be read is reported and left as it is at the end.
    void anUnreadableLastPlaylistIsKept()
    {
        Window window;
        QFile list(window.path("loaded.lpl"));
        QVERIFY(list.open(QIODevice::WriteOnly));
        QVERIFY(list.resize(PlaylistFile::MaxFileBytes + 1));
        list.close();
        TestPlayForm &form = window.start({"RememberLastLoaded=1"});
        QCOMPARE(window.boxes.texts.size(), 1);
        QVERIFY2(window.boxes.texts.first().contains("at most"),
                 qPrintable(window.boxes.texts.first()));
        QVERIFY(form.Entries().isEmpty());
        addSongs(form, "drop", {QStringLiteral("/music/new.mp3")});

        window.fixture.form.reset();
        QCOMPARE(QFileInfo(list).size(), PlaylistFile::MaxFileBytes + 1);
    }

    void lastPlaylistFollowsRememberLastLoaded_data()
    {
        QTest::addColumn<QString>("remember");
        QTest::addColumn<QByteArray>("before"); // null: no file
        QTest::addColumn<QStringList>("entriesAtStart");
        QTest::addColumn<QByteArray>("after");
        const QByteArray old("/music/old.mp3\r\n");
        QTest::newRow("on") << "1" << old << QStringList{"/music/old.mp3"}
                            << old + "/music/new.mp3\r\n";
        QTest::newRow("on, first run")
            << "1" << QByteArray() << QStringList() << QByteArray("/music/new.mp3\r\n");
        QTest::newRow("off leaves the file") << "0" << old << QStringList() << old;
        QTest::newRow("off writes none") << "0" << QByteArray() << QStringList() << QByteArray();
    }
    void lastPlaylistFollowsRememberLastLoaded()
    {
        QFETCH(QString, remember);
        QFETCH(QByteArray, before);
        QFETCH(QStringList, entriesAtStart);
        QFETCH(QByteArray, after);
        Window window;
        const QString lastList = window.path("loaded.lpl");
        if (!before.isNull())
            window.file("loaded.lpl", before);
        TestPlayForm &form = window.start({"SortOnLoad=0", "RememberLastLoaded=" + remember});
        QCOMPARE(form.LastPlaylistPath(), lastList);
        QCOMPARE(entryPaths(form), entriesAtStart);
        addSongs(form, "drop", {QStringLiteral("/music/new.mp3")});

        window.fixture.form.reset();
        QCOMPARE(QFileInfo::exists(lastList), !after.isNull());
        QCOMPARE(contentsOf(lastList), after);
        QVERIFY(window.boxes.texts.isEmpty());
    }

    void aFailedLastPlaylistWriteIsShownAndTheProgramEnds()
    {
        Window window;
        TestPlayForm &form = window.start({"RememberLastLoaded=1"});
        addSongs(form, "drop", {QStringLiteral("/music/new.mp3")});
        QVERIFY(QDir().mkpath(window.path("loaded.lpl"))); // nothing can replace a folder
        form.move(61, 62);

        window.fixture.form.reset();
        QCOMPARE(window.boxes.texts.size(), 1);
        QVERIFY2(window.boxes.texts.first().contains(QStringLiteral("loaded.lpl")),
                 qPrintable(window.boxes.texts.first()));
        QVERIFY(QFileInfo(window.path("loaded.lpl")).isDir());
        QCOMPARE(window.fixture.storedSetting("Left"), QStringLiteral("61"));
    }

    void lastPlaylistGoesToTheUserFolderWhenTheProgramFolderIsReadOnly()
    {
        QTemporaryDir writable;
        QCOMPARE(TPlayForm::lastPlaylistPathFor(writable.path()),
                 writable.filePath(QStringLiteral("loaded.lpl")));
        if (geteuid() == 0)
            QSKIP("root writes into read-only folders");

        Window window;
        const QString program = window.path("program");
        const ReadOnlyFolder readOnly(program);
        const QString userList = TPlayForm::lastPlaylistPathFor(program);
        QVERIFY2(userList.startsWith(m_dataHome.path() + QLatin1Char('/')), qPrintable(userList));
        QCOMPARE(QFileInfo(userList).fileName(), QStringLiteral("loaded.lpl"));
        QVERIFY(QFileInfo(userList).absoluteDir().exists());

        // Written there at the end of one run, read from there at the start of the next.
        window.fixture.storeSetting("RememberLastLoaded", "1");
        window.fixture.storeSetting("SortOnLoad", "0");
        window.fixture.storeSetting("Skin", window.path("blue/blue.sk")); // none in `program`
        for (const QString &song :
             {QStringLiteral("/music/a.mp3"), QStringLiteral("/music/b.mp3")}) {
            window.fixture.form =
                std::make_unique<TestPlayForm>(*window.fixture.store, program, QStringList());
            window.fixture.player().SetPathToDLL(FakeDecoderPath);
            window.fixture.form->FormCreate();
            QCOMPARE(window.fixture.form->LastPlaylistPath(), userList);
            window.fixture.form->LMDFMDrop1FMDragDrop(nullptr, 1, 0, 0, {song});
            window.fixture.form.reset();
        }
        QCOMPARE(contentsOf(userList), QByteArray("/music/a.mp3\r\n/music/b.mp3\r\n"));
        QVERIFY(!QFileInfo::exists(program + QStringLiteral("/loaded.lpl")));
        QVERIFY(window.boxes.texts.isEmpty());
        QFile::remove(userList);
    }

    void anInstalledCopyTakesOverTheListKeptBesideIt()
    {
        QTemporaryDir program;
        QVERIFY(writeFile(program.filePath(QLatin1String(InstalledMarkName)), ""));
        QVERIFY(writeFile(program.filePath(QStringLiteral("loaded.lpl")), "/music/old.mp3\r\n"));

        const QString userList = TPlayForm::lastPlaylistPathFor(program.path());
        QVERIFY2(userList.startsWith(m_dataHome.path() + QLatin1Char('/')), qPrintable(userList));
        QCOMPARE(contentsOf(userList), QByteArray("/music/old.mp3\r\n"));

        // Once the user folder has a list, the old one never replaces it.
        QVERIFY(writeFile(userList, "/music/new.mp3\r\n"));
        QCOMPARE(TPlayForm::lastPlaylistPathFor(program.path()), userList);
        QCOMPARE(contentsOf(userList), QByteArray("/music/new.mp3\r\n"));
        QFile::remove(userList);
    }
};

QTEST_MAIN(tst_songlist)
#include "tst_songlist.moc"
