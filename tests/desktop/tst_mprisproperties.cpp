// What the media controls are told of playback, worked out without a bus.
#include <QDBusObjectPath>
#include <QtTest>
#include <cmath>

#include "mprisproperties.h"

using Mode = Playback::PlayMode;

namespace {

Mpris::Track taggedTrack()
{
    Mpris::Track track;
    track.serial = 7;
    track.path = QStringLiteral("/music/a b#c.mp3");
    track.listTitle = QStringLiteral("a b#c");
    track.lengthMs = 3030;
    track.tagTitle = QStringLiteral("Tag Title");
    track.artist = QStringLiteral("Artist");
    track.album = QStringLiteral("Album");
    track.year = QStringLiteral("2024");
    return track;
}

} // namespace

class tst_mprisproperties : public QObject {
    Q_OBJECT

private slots:
    // Setting a LoopStatus and reading it back, from every mode.
    void loopStatusRoundTrips_data()
    {
        QTest::addColumn<int>("before");
        QTest::addColumn<QString>("set");
        QTest::addColumn<int>("mode");
        QTest::addColumn<QString>("readBack");
        QTest::newRow("None from Random")
            << int(Mode::Random) << "None" << int(Mode::Forward) << "None";
        QTest::newRow("Playlist from Same")
            << int(Mode::SameSong) << "Playlist" << int(Mode::Forward) << "Playlist";
        QTest::newRow("Track from Forward")
            << int(Mode::Forward) << "Track" << int(Mode::SameSong) << "Track";
        QTest::newRow("unknown") << int(Mode::Forward) << "track" << -1 << "";
    }
    void loopStatusRoundTrips()
    {
        QFETCH(QString, set);
        QFETCH(int, mode);
        QFETCH(QString, readBack);
        const std::optional<Mode> chosen = Mpris::playModeForLoopStatus(set);
        QCOMPARE(chosen ? int(*chosen) : -1, mode);
        if (chosen)
            QCOMPARE(Mpris::loopStatus(*chosen, set), readBack);
    }

    void shuffleTurnsRandomOnAndOffWithoutTouchingTheOtherModes()
    {
        for (Mode mode : {Mode::Forward, Mode::Random, Mode::SameSong})
            QCOMPARE(Mpris::playModeForShuffle(true, mode), Mode::Random);
        QCOMPARE(Mpris::playModeForShuffle(false, Mode::Random), Mode::Forward);
        QCOMPARE(Mpris::playModeForShuffle(false, Mode::SameSong), Mode::SameSong);
        // Random goes on without end, as Forward does.
        QCOMPARE(Mpris::loopStatus(Mode::Random, "None"), QString("None"));
    }

    void volumeScalesAndClamps()
    {
        QCOMPARE(Mpris::volumeLevel(0.0), 0);
        QCOMPARE(Mpris::volumeLevel(1.0), Playback::MaxVolume);
        QCOMPARE(Mpris::volumeLevel(0.5), 32768);
        QCOMPARE(Mpris::volumeLevel(-0.3), 0);
        QCOMPARE(Mpris::volumeLevel(7.0), Playback::MaxVolume);
        QCOMPARE(Mpris::volumeLevel(std::nan("")), 0);
        QCOMPARE(Mpris::volumeFraction(Playback::MaxVolume), 1.0);
        for (int level : {0, 1, 12345, Playback::MaxVolume})
            QCOMPARE(Mpris::volumeLevel(Mpris::volumeFraction(level)), level);
    }

    void seeksLandInTheSongOrGoPastItsEnd_data()
    {
        QTest::addColumn<qint64>("positionMs");
        QTest::addColumn<qint64>("offsetUs");
        QTest::addColumn<qint64>("lengthMs");
        QTest::addColumn<int>("seconds"); // -1: past the end
        QTest::newRow("forward") << 1000LL << 1500000LL << 3030LL << 3;
        QTest::newRow("back before the start") << 1000LL << -5000000LL << 3030LL << 0;
        QTest::newRow("past the end") << 2000LL << 2000000LL << 3030LL << -1;
        QTest::newRow("length unknown") << 2000LL << 60000000LL << 0LL << 62;
    }
    void seeksLandInTheSongOrGoPastItsEnd()
    {
        QFETCH(qint64, positionMs);
        QFETCH(qint64, offsetUs);
        QFETCH(qint64, lengthMs);
        QFETCH(int, seconds);
        QCOMPARE(Mpris::seekTargetSeconds(positionMs, offsetUs, lengthMs).value_or(-1), seconds);
    }

    void setPositionAppliesOnlyToTheOpenSongWithinIt()
    {
        const Mpris::Track track = taggedTrack();
        const QString id = Mpris::trackId(7);
        QVERIFY(Mpris::setPositionApplies(track, id, 0));
        QVERIFY(Mpris::setPositionApplies(track, id, 3030000));
        QVERIFY(!Mpris::setPositionApplies(track, id, 3030001));
        QVERIFY(!Mpris::setPositionApplies(track, id, -1));
        QVERIFY(!Mpris::setPositionApplies(track, Mpris::trackId(6), 1000));
        QVERIFY(!Mpris::setPositionApplies(std::nullopt, Mpris::NoTrack, 0));
    }

    void metadataDescribesTheSongAndItsTag()
    {
        const QVariantMap tagged = Mpris::metadata(taggedTrack());
        QCOMPARE(tagged.value("mpris:trackid").value<QDBusObjectPath>().path(),
                 QString("/org/norlplayer/track/7"));
        QCOMPARE(tagged.value("mpris:length").toLongLong(), 3030000LL);
        QCOMPARE(tagged.value("xesam:url").toString(), QString("file:///music/a%20b%23c.mp3"));
        QCOMPARE(tagged.value("xesam:title").toString(), QString("Tag Title"));
        QCOMPARE(tagged.value("xesam:artist").toStringList(), QStringList{"Artist"});
        QCOMPARE(tagged.value("xesam:album").toString(), QString("Album"));
        QCOMPARE(tagged.value("xesam:contentCreated").toString(), QString("2024-01-01"));

        Mpris::Track untagged = taggedTrack();
        untagged.tagTitle = untagged.artist = untagged.album = QString();
        untagged.year = QStringLiteral("20x4");
        const QVariantMap plain = Mpris::metadata(untagged);
        QCOMPARE(plain.value("xesam:title").toString(), QString("a b#c"));
        QCOMPARE(QStringList(plain.keys()),
                 QStringList({"mpris:length", "mpris:trackid", "xesam:title", "xesam:url"}));

        const QVariantMap none = Mpris::metadata(std::nullopt);
        QCOMPARE(none.size(), 1);
        QCOMPARE(none.value("mpris:trackid").value<QDBusObjectPath>().path(),
                 QString(Mpris::NoTrack));
    }

    // Only what really changed is told: a second Stopped, the same song, the same volume are not.
    void onlyChangedPropertiesAreTold()
    {
        Mpris::PlayerSnapshot snapshot;
        snapshot.rows = 2;
        snapshot.track = taggedTrack();
        const QVariantMap before = Mpris::playerProperties(snapshot);
        QVERIFY(Mpris::changedProperties(before, Mpris::playerProperties(snapshot)).isEmpty());

        snapshot.track->serial = 8; // the same song started again
        snapshot.volume = 100;
        snapshot.state = Playback::State::Playing;
        const QVariantMap changed =
            Mpris::changedProperties(before, Mpris::playerProperties(snapshot));
        QCOMPARE(QStringList(changed.keys()),
                 QStringList({"Metadata", "PlaybackStatus", "Volume"}));

        snapshot.rows = 0;
        snapshot.track.reset();
        const QVariantMap emptied = Mpris::playerProperties(snapshot);
        for (const char *name : {"CanGoNext", "CanGoPrevious", "CanPlay", "CanPause", "CanSeek"})
            QCOMPARE(emptied.value(name).toBool(), false);
        QCOMPARE(emptied.value("CanControl").toBool(), true);
    }
};

QTEST_GUILESS_MAIN(tst_mprisproperties)
#include "tst_mprisproperties.moc"
