// The playback object without a window, against the scripted fake decoder: which row plays, the
// state and its signals, adding files and playing the first, the volume and seeking. The window's
// tests cover what the commands do through its buttons.
#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>
#include <dlfcn.h>

#include "fakescript.h"
#include "playback.h"
#include "player.h"
#include "players.h"
#include "songlist.h"

namespace {

const QString FakePath = QStringLiteral(NORL_FAKE_DECODER_DIR "/libfakedecoder.so");

FakeScript &script()
{
    // Kept loaded so that the script outlives the player's unloads.
    static void *library = dlopen(FakePath.toLocal8Bit().constData(), RTLD_NOW);
    static FakeScript *fake =
        reinterpret_cast<FakeDecoderScriptProc>(dlsym(library, "FakeDecoderScript"))();
    return *fake;
}

void setMode(int mode)
{
    script().results["ESGetPlayerMode"] = mode;
}

QString lastInputName()
{
    const auto calls = script().callsTo("ESSetInputName");
    return calls.empty() ? QString() : QString::fromStdString(calls.back()).mid(17).chopped(1);
}

using State = Playback::State;

} // namespace

class tst_playbackcommands : public QObject {
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> folder;
    std::unique_ptr<TElPlayerMan> manager;
    std::unique_ptr<SongList> songs;
    std::unique_ptr<Playback> playback;
    QStringList paths; // a, b, c

    QString makeSong(const QString &name)
    {
        const QString path = folder->filePath(name);
        QFile file(path);
        file.open(QIODevice::WriteOnly);
        file.resize(1280);
        return path;
    }
    QList<State> states(const QSignalSpy &spy) const
    {
        QList<State> seen;
        for (const auto &arguments : spy)
            seen << arguments.at(0).value<State>();
        return seen;
    }

private slots:
    // Three songs a, b, c with their rows, a loaded player, nothing playing.
    void init()
    {
        script() = FakeScript();
        script().results["ESGetSize"] = 61000;
        folder = std::make_unique<QTemporaryDir>();
        manager = std::make_unique<TElPlayerMan>();
        TElPlayer *player = manager->Players()->Add();
        player->SetPathToDLL(FakePath);
        player->InitModule();
        songs = std::make_unique<SongList>();
        playback = std::make_unique<Playback>(*songs);
        playback->setPlayer(player);
        paths = {makeSong("a.mp3"), makeSong("b.mp3"), makeSong("c.mp3")};
        songs->addAll(paths);
        songs->rebuildRows();
        script().calls.clear();
    }
    void cleanup()
    {
        playback.reset();
        songs.reset();
        manager.reset();
    }

    void playStartsTheCurrentRowOrTheFirst()
    {
        QSignalSpy started(playback.get(), &Playback::songStarted);
        QSignalSpy changed(playback.get(), &Playback::stateChanged);
        QSignalSpy length(playback.get(), &Playback::lengthChanged);
        playback->play();
        QCOMPARE(playback->currentRow(), 0);
        QCOMPARE(lastInputName(), paths[0]);
        QCOMPARE(playback->state(), State::Playing);
        QCOMPARE(playback->currentTitle(), "a");
        QCOMPARE(playback->lengthSeconds(), 61);
        QVERIFY(playback->pollTimer()->isActive());
        QCOMPARE(started.size(), 1);
        QCOMPARE(length.size(), 1);
        setMode(4);
        playback->playRow(2);
        QCOMPARE(lastInputName(), paths[2]);
        QCOMPARE(script().callsTo("ESClose").size(), size_t(1));
        QCOMPARE(states(changed), QList<State>{State::Playing}); // no stop between songs
        QCOMPARE(started.size(), 2);
        QCOMPARE(length.size(), 1); // the same length is not told again
    }

    void pauseResumeAndStopChangeTheState()
    {
        playback->play();
        setMode(4);
        QSignalSpy changed(playback.get(), &Playback::stateChanged);
        QSignalSpy position(playback.get(), &Playback::positionChanged);
        playback->pauseResume();
        playback->pauseResume();
        playback->stop();
        QCOMPARE(states(changed), (QList<State>{State::Paused, State::Playing, State::Stopped}));
        QCOMPARE(script().callsTo("ESResume").size(), size_t(1));
        QCOMPARE(position.size(), 1);
        QCOMPARE(position.at(0).at(0).toInt(), 0);
        QVERIFY(!playback->pollTimer()->isActive());
    }

    void missingFilesAreSkippedAndOnlyMissingFilesEndStopped()
    {
        QFile::remove(paths[1]);
        QSignalSpy rows(playback.get(), &Playback::currentRowChanged);
        playback->playRow(1);
        QCOMPARE(lastInputName(), paths[2]);
        QCOMPARE(rows.size(), 2); // the chosen row, then the one that played
        QFile::remove(paths[0]);
        QFile::remove(paths[2]);
        setMode(3);
        playback->tick();
        QCOMPARE(playback->state(), State::Stopped);
        QCOMPARE(script().callsTo("ESPlay").size(), size_t(1));
    }

    // A failure on the way to a new song or to a stopped one still leaves playback stopped, and
    // Play can try again.
    void aFailingCommandLeavesPlaybackStopped_data()
    {
        QTest::addColumn<QString>("failing");
        QTest::addColumn<bool>("stopping");
        QTest::newRow("next song cannot open") << "ESOpen" << false;
        QTest::newRow("stopped stream cannot be made ready") << "ESInitStream" << true;
    }
    void aFailingCommandLeavesPlaybackStopped()
    {
        QFETCH(QString, failing);
        QFETCH(bool, stopping);
        playback->play();
        setMode(4);
        script().results[failing.toStdString()] = 0;
        script().lastError = 5;
        QVERIFY_THROWS_EXCEPTION(std::exception, stopping ? playback->stop() : playback->next());
        QCOMPARE(playback->state(), State::Stopped);
        QVERIFY(!playback->pollTimer()->isActive());
        script().results.erase(failing.toStdString());
        script().lastError = 0;
        playback->play();
        QCOMPARE(playback->state(), State::Playing);
    }

    void addAndPlayStartsTheFirstAddedWhereSortingPutIt()
    {
        songs->setSortOnLoad(true);
        const QString late = makeSong("0late.mp3"), other = makeSong("zz.mp3");
        QCOMPARE(playback->addAndPlay({other, late, "/m/bad\n.mp3"}), QStringList{"/m/bad\n.mp3"});
        QCOMPARE(songs->rowCount(), 5);
        QCOMPARE(playback->currentRow(), 4);
        QCOMPARE(lastInputName(), other);
        // Only refused names: nothing added, nothing plays.
        script().calls.clear();
        QCOMPARE(playback->addAndPlay({"/m/bad\r.mp3"}).size(), 1);
        QVERIFY(script().callsTo("ESSetInputName").empty());
    }

    // "Open with" on a playlist: its songs join in its place, without its comments, and the
    // first of them plays.
    void aPlaylistHandedOverAddsItsSongs()
    {
        QFile list(folder->filePath("mix.M3U8"));
        QVERIFY(list.open(QIODevice::WriteOnly));
        list.write("#EXTM3U\n#EXTINF:2,Two\nsub/two.mp3\n\n" + paths[2].toUtf8() + "\n");
        list.close();
        QVERIFY(QDir(folder->path()).mkdir("sub"));
        const QString two = makeSong("sub/two.mp3");
        QVERIFY(playback->addAndPlay({list.fileName(), paths[0]}).isEmpty());
        QCOMPARE(songs->rowCount(), 6);
        QCOMPARE(songs->pathAt(3), two);
        QCOMPARE(songs->pathAt(4), paths[2]);
        QCOMPARE(songs->pathAt(5), paths[0]);
        QCOMPARE(lastInputName(), two);
        QVERIFY_THROWS_EXCEPTION(std::runtime_error,
                                 playback->addAndPlay({folder->filePath("missing.m3u")}));
    }

    void rowsThatDoNotExistMeanNone()
    {
        playback->setCurrentRow(1);
        playback->setCurrentRow(3);
        QCOMPARE(playback->currentRow(), -1);
        playback->setCurrentRow(1);
        songs->rebuildRows();
        QCOMPARE(playback->currentRow(), -1);
    }

    void theVolumeSetsBothChannelsAndTheTickLevelsAnOutsideChange()
    {
        QSignalSpy volume(playback.get(), &Playback::volumeChanged);
        playback->setVolume(40000);
        QCOMPARE(script().callsTo("ESSetVolume").back(), "ESSetVolume(7,9c409c40)");
        playback->play();
        setMode(4);
        script().volume = (30000u << 16) | 60000u;
        playback->tick();
        QCOMPARE(playback->volume(), 45000);
        QCOMPARE(script().callsTo("ESSetVolume").back(), "ESSetVolume(7,afc8afc8)");
        QCOMPARE(volume.size(), 2);
        const size_t sent = script().callsTo("ESSetVolume").size();
        script().volume = (40000u << 16) | 50000u; // same mean: left alone
        playback->tick();
        QCOMPARE(script().callsTo("ESSetVolume").size(), sent);
    }

    void aSeekEstimatesTheElapsedTime()
    {
        playback->play();
        script().results["ESGetPos"] = 30000;
        QSignalSpy position(playback.get(), &Playback::positionChanged);
        playback->seek(30);
        QCOMPARE(script().callsTo("ESSetPos").back(), "ESSetPos(7,30000)");
        QCOMPARE(position.at(0).at(0).toInt(), 30);
        // No bitrate known: the decoder's position stands in.
        QCOMPARE(playback->elapsed(), (ElapsedTime{0, 30}));
    }

    // In a song's last second the poll arms a close watch, so the next song follows its end at
    // once; a seek away or a pause lets the watch go.
    void theNextSongFollowsTheEndWithoutWaitingForThePoll()
    {
        // As the window routes it.
        connect(playback->endWatchTimer(), &QTimer::timeout, playback.get(), &Playback::watchEnd);
        playback->play();
        setMode(4);
        script().results["ESGetPos"] = 30000;
        playback->tick();
        QVERIFY(!playback->endWatchTimer()->isActive()); // half a minute left

        script().results["ESGetPos"] = 60600;
        playback->tick();
        QVERIFY(playback->endWatchTimer()->isActive());
        QVERIFY(playback->endWatchTimer()->interval() <= 400);
        script().results["ESGetPos"] = 61000;
        QTest::qWait(450); // past the expected end, the last audio still playing out
        QVERIFY(playback->endWatchTimer()->isActive());
        QCOMPARE(lastInputName(), paths[0]);

        setMode(3);
        QTRY_COMPARE_WITH_TIMEOUT(lastInputName(), paths[1], 200);
        QCOMPARE(playback->currentRow(), 1);
        QVERIFY(!playback->endWatchTimer()->isActive());

        setMode(4);
        playback->tick();
        QVERIFY(playback->endWatchTimer()->isActive());
        playback->seek(10);
        QVERIFY(!playback->endWatchTimer()->isActive());
        playback->tick();
        setMode(5);
        QTRY_VERIFY_WITH_TIMEOUT(!playback->endWatchTimer()->isActive(), 200);
        QCOMPARE(lastInputName(), paths[1]);

        // Without a known length only the poll looks, or the watch would poll the whole song.
        setMode(4);
        script().results["ESGetSize"] = 0;
        playback->tick();
        QVERIFY(!playback->endWatchTimer()->isActive());
    }
};

QTEST_MAIN(tst_playbackcommands)
#include "tst_playbackcommands.moc"
