// The command line: options and their mistakes, and the songs the other arguments name.
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include "commandline.h"

Q_DECLARE_METATYPE(CommandLine::Action)
Q_DECLARE_METATYPE(InstanceRequest::Kind)

class TestCommandLine : public QObject {
    Q_OBJECT

private slots:
    void options_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<CommandLine::Action>("action");
        QTest::addColumn<InstanceRequest::Kind>("command");
        QTest::addColumn<QStringList>("words");
        const auto none = InstanceRequest::Activate;
        QTest::newRow("nothing") << QStringList{} << CommandLine::Run << none << QStringList{};
        QTest::newRow("files") << QStringList{"a.mp3", "-", "b.mp3"} << CommandLine::Run << none
                               << QStringList{"a.mp3", "-", "b.mp3"};
        QTest::newRow("help") << QStringList{"--help"} << CommandLine::Help << none
                              << QStringList{};
        QTest::newRow("help wins over a mistake")
            << QStringList{"--bogus", "a.mp3", "-h"} << CommandLine::Help << none << QStringList{};
        QTest::newRow("version") << QStringList{"--version"} << CommandLine::Version << none
                                 << QStringList{};
        QTest::newRow("play-pause") << QStringList{"--play-pause"} << CommandLine::Remote
                                    << InstanceRequest::PlayPause << QStringList{};
        QTest::newRow("stop") << QStringList{"--stop"} << CommandLine::Remote
                              << InstanceRequest::Stop << QStringList{};
        QTest::newRow("names after --") << QStringList{"--", "--help", "-x.mp3"} << CommandLine::Run
                                        << none << QStringList{"--help", "-x.mp3"};
        QTest::newRow("unknown option")
            << QStringList{"--bogus"} << CommandLine::Error << none << QStringList{};
        QTest::newRow("unknown short option among files")
            << QStringList{"a.mp3", "-x"} << CommandLine::Error << none << QStringList{};
        QTest::newRow("two commands")
            << QStringList{"--next", "--stop"} << CommandLine::Error << none << QStringList{};
        QTest::newRow("command with a file")
            << QStringList{"--next", "a.mp3"} << CommandLine::Error << none << QStringList{};
    }
    void options()
    {
        QFETCH(QStringList, arguments);
        QFETCH(CommandLine::Action, action);
        QFETCH(InstanceRequest::Kind, command);
        QFETCH(QStringList, words);
        const CommandLine line = CommandLine::parse(arguments);
        QCOMPARE(line.action, action);
        QCOMPARE(line.error.isEmpty(), action != CommandLine::Error);
        if (action != CommandLine::Run && action != CommandLine::Remote)
            return;
        QCOMPARE(line.command, command);
        QCOMPARE(line.words, words);
    }

    void songPaths_data()
    {
        QTest::addColumn<QStringList>("existing");
        QTest::addColumn<QStringList>("words");
        QTest::addColumn<QStringList>("paths"); // relative to the folder
        QTest::newRow("none") << QStringList{} << QStringList{} << QStringList{};
        QTest::newRow("empty first argument")
            << QStringList{"a.mp3"} << QStringList{"", "a.mp3"} << QStringList{};
        QTest::newRow("several files, in order")
            << QStringList{"c.mp3", "a.mp3", "b.mp3"} << QStringList{"c.mp3", "a.mp3", "b.mp3"}
            << QStringList{"c.mp3", "a.mp3", "b.mp3"};
        QTest::newRow("one path split at its spaces")
            << QStringList{"My Music/My  Song.mp3"} << QStringList{"My", "Music/My", "", "Song.mp3"}
            << QStringList{"My Music/My  Song.mp3"};
        QTest::newRow("split path between files") << QStringList{"a.mp3", "x y.mp3", "b.mp3"}
                                                  << QStringList{"a.mp3", "x", "y.mp3", "b.mp3"}
                                                  << QStringList{"a.mp3", "x y.mp3", "b.mp3"};
        QTest::newRow("missing file joins the words before the next file")
            << QStringList{"b.mp3"} << QStringList{"gone", "song.mp3", "b.mp3"}
            << QStringList{"gone song.mp3", "b.mp3"};
        QTest::newRow("missing files at the end are one path")
            << QStringList{"a.mp3"} << QStringList{"a.mp3", "gone", "too.mp3"}
            << QStringList{"a.mp3", "gone too.mp3"};
        QTest::newRow("a folder is no song")
            << QStringList{"d/x.mp3"} << QStringList{"d", "d/x.mp3"} << QStringList{"d", "d/x.mp3"};
        QTest::newRow("surrounding blanks are trimmed")
            << QStringList{"a.mp3"} << QStringList{" a.mp3 "} << QStringList{"a.mp3"};
    }
    void songPaths()
    {
        QFETCH(QStringList, existing);
        QFETCH(QStringList, words);
        QFETCH(QStringList, paths);
        QTemporaryDir folder;
        for (const QString &name : existing) {
            QDir().mkpath(QFileInfo(folder.filePath(name)).path());
            QFile song(folder.filePath(name));
            QVERIFY(song.open(QIODevice::WriteOnly));
        }
        QStringList expected;
        for (const QString &path : paths)
            expected << folder.filePath(path);
        QCOMPARE(CommandLine::songPaths(words, folder.path()), expected);
    }

    void absolutePathsIgnoreTheStartFolder()
    {
        QTemporaryDir folder;
        const QString song = folder.filePath("a b.mp3");
        QFile file(song);
        QVERIFY(file.open(QIODevice::WriteOnly));
        QCOMPARE(CommandLine::songPaths(song.split(' '), "/nonexistent"), QStringList{song});
    }

    void manyMissingArgumentsStayBounded()
    {
        // Each argument starts a search over the joins after it; a bound keeps a long command
        // line of missing files from holding up the start.
        const QStringList words(5000, "gone");
        QElapsedTimer timer;
        timer.start();
        const QStringList paths = CommandLine::songPaths(words, QDir::tempPath());
        QCOMPARE(paths.size(), 1);
        QVERIFY2(timer.elapsed() < 5000, qPrintable(QString::number(timer.elapsed())));
    }
};

QTEST_APPLESS_MAIN(TestCommandLine)
#include "tst_commandline.moc"
