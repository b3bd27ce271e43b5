// Playlist files: the lines written, the line rules when reading, atomic replacement.
#include <QtTest>

#include "playlistfile.h"

using namespace PlaylistFile;

class tst_playlistfile : public QObject {
    Q_OBJECT

    QTemporaryDir dir;

private slots:
    void linesWritten_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("folder");
        QTest::addColumn<QString>("line");
        QTest::newRow("absolute") << "/music/a.mp3"
                                  << "/home"
                                  << "/music/a.mp3";
        QTest::newRow("relative") << "songs/a.mp3"
                                  << "/music"
                                  << "/music/songs/a.mp3";
        QTest::newRow("at the root") << "songs/a.mp3"
                                     << "/"
                                     << "//songs/a.mp3";
        QTest::newRow("empty") << ""
                               << "/music"
                               << "/music/";
        QTest::newRow("colon") << "#EXTINF:123,Artist - Title"
                               << "/music"
                               << "#EXTINF:123,Artist - Title";
    }
    void linesWritten()
    {
        QFETCH(QString, path);
        QFETCH(QString, folder);
        QFETCH(QString, line);
        QCOMPARE(lineFor(path, folder), line);
    }

    void writtenAndReadBack()
    {
        const QStringList paths = {"/m/a.mp3", "/m/b c.mp3", "/m/ü.mp3"};
        QCOMPARE(contents({}, "/"), QByteArray());
        QCOMPARE(contents({u"/a", u"/b"}, "/"), QByteArray("/a\r\n/b\r\n"));
        const QString file = dir.filePath(QStringLiteral("list")); // no extension added
        write(file, {paths.begin(), paths.end()}, "/");
        QCOMPARE(readLines(file), paths);
        QVERIFY(QFileInfo::exists(file));
    }

    // A line is written only when it reads back as the same path.
    void linesThatCannotBeKept_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<bool>("fits");
        QTest::newRow("plain") << "/m/a b.mp3" << true;
        QTest::newRow("accents, bar and comma") << "/m/AC|DC, über café.mp3" << true;
        QTest::newRow("line feed") << "/m/two\nlines.mp3" << false;
        QTest::newRow("carriage return") << "/m/two\rlines.mp3" << false;
        QTest::newRow("end-of-input byte") << "/m/a\x1a.mp3" << false;
        QTest::newRow("not valid text") << QString::fromLocal8Bit("/m/caf\xe9.mp3") << false;
        QTest::newRow("lone surrogate") << "/m/" + QString(QChar(0xd800)) + ".mp3" << false;
    }
    void linesThatCannotBeKept()
    {
        QFETCH(QString, path);
        QFETCH(bool, fits);
        QCOMPARE(fitsOnALine(path), fits);
        const QStringList kept =
            fits ? QStringList{path, "/m/next.mp3"} : QStringList{"/m/next.mp3"};
        QCOMPARE(splitLines(contents({path, u"/m/next.mp3"}, "/")), kept);
    }

    void failedWriteKeepsTheOldFile()
    {
        const QString file = dir.filePath(QStringLiteral("kept.m3u"));
        write(file, {u"/m/old.mp3"}, "/");
        QFile::setPermissions(dir.path(), QFileDevice::ReadOwner | QFileDevice::ExeOwner);
        bool failed = false;
        try {
            write(file, {u"/m/new.mp3"}, "/");
        } catch (const std::runtime_error &) {
            failed = true;
        }
        QFile::setPermissions(dir.path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                              QFileDevice::ExeOwner);
        if (geteuid() != 0) // root writes anywhere
            QVERIFY(failed);
        QVERIFY(readLines(file) == QStringList({"/m/old.mp3"}) ||
                readLines(file) == QStringList({"/m/new.mp3"}));
        QVERIFY_THROWS_EXCEPTION(std::runtime_error, readLines(dir.filePath("missing.m3u")));
    }

    void tooLargeFileIsRefused()
    {
        QFile file(dir.filePath(QStringLiteral("huge.m3u")));
        QVERIFY(file.open(QIODevice::WriteOnly));
        QVERIFY(file.resize(MaxFileBytes + 1));
        file.close();
        try {
            readLines(file.fileName());
            QFAIL("read");
        } catch (const std::runtime_error &error) {
            QVERIFY2(QString::fromUtf8(error.what()).contains("at most 32 MB"), error.what());
        }
    }

    void lineRules_data()
    {
        QTest::addColumn<QByteArray>("data");
        QTest::addColumn<QStringList>("lines");
        QTest::newRow("CR LF") << QByteArray("a\r\nb\r\n") << QStringList({"a", "b"});
        QTest::newRow("no end on the last") << QByteArray("a\r\nb") << QStringList({"a", "b"});
        QTest::newRow("CR alone") << QByteArray("a\rb") << QStringList({"a", "b"});
        QTest::newRow("LF alone") << QByteArray("a\nb\n") << QStringList({"a", "b"});
        QTest::newRow("blank lines")
            << QByteArray("a\r\n\r\n  \r\nb") << QStringList({"a", "", "  ", "b"});
        QTest::newRow("end of input") << QByteArray("a\r\nb\x1a\r\nc") << QStringList({"a", "b"});
        QTest::newRow("empty") << QByteArray() << QStringList();
    }
    void lineRules()
    {
        QFETCH(QByteArray, data);
        QFETCH(QStringList, lines);
        QCOMPARE(splitLines(data), lines);
    }

    // Lists from other programs: UTF-8, or Latin-1 when not valid UTF-8; ".m3u8" always UTF-8.
    void encodings_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("data");
        QTest::addColumn<QStringList>("lines");
        QTest::newRow("UTF-8") << "a.m3u" << QByteArray("/m/Caf\xc3\xa9.mp3\r\n")
                               << QStringList{u"/m/Caf\u00e9.mp3"_qs};
        QTest::newRow("Latin-1") << "a.m3u" << QByteArray("/m/Caf\xe9.mp3\r\n/m/\xc3\xa9.mp3")
                                 << QStringList{u"/m/Caf\u00e9.mp3"_qs, u"/m/\u00c3\u00a9.mp3"_qs};
        QTest::newRow("m3u8 with a byte order mark")
            << "a.M3U8" << QByteArray("\xef\xbb\xbf/m/Caf\xc3\xa9.mp3\n")
            << QStringList{u"/m/Caf\u00e9.mp3"_qs};
        QTest::newRow("m3u8 that is not UTF-8")
            << "b.m3u8" << QByteArray("/m/Caf\xe9.mp3") << QStringList{u"/m/Caf\ufffd.mp3"_qs};
        QTest::newRow("bytes after the end of input do not count")
            << "c.m3u" << QByteArray("/m/Caf\xc3\xa9.mp3\x1a\xe9")
            << QStringList{u"/m/Caf\u00e9.mp3"_qs};
    }
    void encodings()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, data);
        QFETCH(QStringList, lines);
        QFile file(dir.filePath(name));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(data);
        file.close();
        QCOMPARE(readLines(file.fileName()), lines);
    }

    void relativeLinesAreTakenFromThePlaylistsFolder()
    {
        const std::pair<QString, QString> lines[] = {
            {"a.mp3", "/lists/rock/a.mp3"},
            {"sub/b.mp3 ", "/lists/rock/sub/b.mp3 "},
            {"../c.mp3", "/lists/c.mp3"},
            {"./d.mp3", "/lists/rock/d.mp3"},
            {"Live: Side A.mp3", "/lists/rock/Live: Side A.mp3"}, // a colon in a name
            {"/abs/e.mp3", "/abs/e.mp3"},
            {"file:///m/a%20b.mp3", "/m/a b.mp3"},
            {"http://host/f.mp3", "http://host/f.mp3"},
            {"C:\\m\\x.mp3", "C:\\m\\x.mp3"},
            {"d:/m/y.mp3", "d:/m/y.mp3"},
            {"#EXTINF:1,F", "#EXTINF:1,F"},
            {"", ""},
            {"  ", "  "}};
        QStringList read, expected;
        for (const auto &line : lines) {
            read << line.first;
            expected << line.second;
        }
        QCOMPARE(resolvedFrom(read, "/lists/rock"), expected);
    }

    void lastListKeepsOnlyNonBlankLines()
    {
        QStringList lines = splitLines("#EXTM3U\r\n\r\n   \r\n/m/a.mp3  \r\n\t\r\n/m/b.mp3");
        QCOMPARE(nonBlankLines(lines), QStringList({"#EXTM3U", "/m/a.mp3  ", "/m/b.mp3"}));
    }
};

QTEST_GUILESS_MAIN(tst_playlistfile)
#include "tst_playlistfile.moc"
