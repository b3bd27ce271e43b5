// The song list model on its own: entries and rows, sorting as songs arrive, numbering that
// waits for a rebuild, removal, the open dialog's files and playlist files.
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

#include "songlist.h"

class tst_songlistmodel : public QObject {
    Q_OBJECT
private slots:
    void addingOneByOneOrAllAtOnceGivesTheSameOrder_data()
    {
        QTest::addColumn<bool>("sorted");
        QTest::newRow("in arrival order") << false;
        QTest::newRow("sorted") << true;
    }
    void addingOneByOneOrAllAtOnceGivesTheSameOrder()
    {
        QFETCH(bool, sorted);
        const QStringList paths{"/m/c.mp3", "/m/A.mp3", "/m/b.mp3", "/m/a.mp3"};
        SongList single, batch;
        single.setSortOnLoad(sorted);
        batch.setSortOnLoad(sorted);
        for (const QString &path : paths)
            single.add(path);
        QVERIFY(batch.addAll(paths).isEmpty());
        QCOMPARE(single.entries(), batch.entries());
        const QStringList expected =
            sorted ? QStringList{"A,/m/A.mp3", "a,/m/a.mp3", "b,/m/b.mp3", "c,/m/c.mp3"}
                   : QStringList{"c,/m/c.mp3", "A,/m/A.mp3", "b,/m/b.mp3", "a,/m/a.mp3"};
        QCOMPARE(batch.entries(), expected);
        QCOMPARE(batch.rowOfPath("/m/b.mp3"), 2);
        QCOMPARE(batch.rowOfPath("/m/absent.mp3"), -1);
    }

    void rowsFollowTheEntriesOnlyWhenRebuilt()
    {
        SongList songs;
        QSignalSpy resets(&songs, &SongList::rowsReset);
        songs.addAll({"/m/one.mp3", "/m/two.mp3"});
        QCOMPARE(songs.rowCount(), 0);
        songs.rebuildRows();
        QCOMPARE(songs.rows(), (QStringList{"one", "two"}));
        songs.setNumbered(true);
        QCOMPARE(songs.rowText(1), "two"); // numbering waits for the next rebuild
        songs.rebuildRows();
        QCOMPARE(songs.rows(), (QStringList{"1.- one", "2.- two"}));
        QCOMPARE(songs.pathAt(1), "/m/two.mp3");
        QCOMPARE(songs.pathAt(2), QString());
        QCOMPARE(songs.rowText(-1), QString());
        QCOMPARE(resets.size(), 2);
    }

    void removingARowTakesItsEntryAndAMissingRowChangesNothing()
    {
        SongList songs;
        songs.addAll({"/m/a.mp3", "/m/b.mp3", "/m/c.mp3"});
        songs.rebuildRows();
        QSignalSpy removed(&songs, &SongList::rowRemoved);
        songs.removeRow(1);
        QCOMPARE(songs.entries(), (QStringList{"a,/m/a.mp3", "c,/m/c.mp3"}));
        QCOMPARE(songs.rows(), (QStringList{"a", "c"}));
        QCOMPARE(removed.size(), 1);
        QCOMPARE(removed.at(0).at(0).toInt(), 1);
        QVERIFY_THROWS_EXCEPTION(std::out_of_range, songs.removeRow(2));
        QVERIFY_THROWS_EXCEPTION(std::out_of_range, songs.removeRow(-1));
        QCOMPARE(songs.rowCount(), 2);
        QCOMPARE(removed.size(), 1);
        songs.clear();
        QVERIFY(songs.entries().isEmpty());
        QCOMPARE(songs.rowCount(), 0);
    }

    void namesAPlaylistCannotKeepAreRefused()
    {
        SongList songs;
        QVERIFY_THROWS_EXCEPTION(std::runtime_error, songs.add("/m/line\nbreak.mp3"));
        QCOMPARE(songs.addAll({"/m/ok.mp3", "/m/bad\r.mp3"}), QStringList{"/m/bad\r.mp3"});
        QCOMPARE(songs.entries(), QStringList{"ok,/m/ok.mp3"});
        try {
            SongList::throwIfRefused({"/m/bad\r.mp3"});
            QFAIL("nothing thrown");
        } catch (const std::runtime_error &e) {
            QVERIFY(QString::fromStdString(e.what()).endsWith("/m/bad\\r.mp3"));
        }
        SongList::throwIfRefused({}); // nothing refused, nothing thrown
    }

    void chosenFilesAndPlaylistFilesAddTheirSongs()
    {
        QTemporaryDir folder;
        const QString m3u = folder.filePath("list.M3U");
        QFile file(m3u);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("/m/x.mp3\r\n\r\n/m/y.mp3\r\n");
        file.close();

        SongList chosen;
        QVERIFY(chosen.addChosenFiles({"/m/song.Mp3", m3u, "/m/cover.jpg", "/m/noext"}).isEmpty());
        // The open dialog keeps a list's blank lines; the last playlist does not.
        QCOMPARE(chosen.entries(),
                 (QStringList{"song,/m/song.Mp3", "x,/m/x.mp3", ",", "y,/m/y.mp3"}));
        SongList read;
        QVERIFY(read.readPlaylist(m3u).isEmpty());
        QCOMPARE(read.entries(), (QStringList{"x,/m/x.mp3", "y,/m/y.mp3"}));

        const QString saved = folder.filePath("saved.lpl");
        read.writePlaylist(saved, folder.path());
        SongList again;
        again.readPlaylist(saved);
        QCOMPARE(again.entries(), read.entries());
    }

    // A list from elsewhere names its songs from its own folder, wherever the program runs; the
    // paths then kept are the files' own.
    void relativePathsOfAPlaylistAreItsFoldersAndAreKeptSo()
    {
        QTemporaryDir folder;
        QVERIFY(QDir(folder.path()).mkpath("lists/rock"));
        const QString m3u8 = folder.filePath("lists/rock/mix.m3u8");
        QFile file(m3u8);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("one.mp3\n../two.mp3\nCaf\xc3\xa9.mp3\n");
        file.close();
        const QStringList expected{"one," + folder.filePath("lists/rock/one.mp3"),
                                   "two," + folder.filePath("lists/two.mp3"),
                                   u"Caf\u00e9,"_qs +
                                       folder.filePath(u"lists/rock/Caf\u00e9.mp3"_qs)};

        QDir::setCurrent(QDir::rootPath());
        SongList chosen;
        QVERIFY(chosen.addChosenFiles({m3u8}).isEmpty());
        QCOMPARE(chosen.entries(), expected);

        const QString kept = folder.filePath("loaded.lpl");
        chosen.writePlaylist(kept, "/elsewhere");
        SongList again;
        QVERIFY(again.readPlaylist(kept).isEmpty());
        QCOMPARE(again.entries(), expected);
    }
};

QTEST_GUILESS_MAIN(tst_songlistmodel)
#include "tst_songlistmodel.moc"
