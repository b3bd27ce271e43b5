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
    void playModesAndVolume()
    {
        QCOMPARE(Mpris::playModeForLoopStatus("Track").value_or(Mode::Random), Mode::SameSong);
        QCOMPARE(Mpris::playModeForLoopStatus("None").value_or(Mode::Random), Mode::Forward);
        QVERIFY(!Mpris::playModeForLoopStatus("track"));
        // Forward reads back as the name a client set; Random goes on as Forward does.
        QCOMPARE(Mpris::loopStatus(Mode::Random, "None"), QString("None"));
        QCOMPARE(Mpris::loopStatus(Mode::SameSong, "None"), QString("Track"));
        QCOMPARE(Mpris::playModeForShuffle(true, Mode::SameSong), Mode::Random);
        QCOMPARE(Mpris::playModeForShuffle(false, Mode::Random), Mode::Forward);
        QCOMPARE(Mpris::playModeForShuffle(false, Mode::SameSong), Mode::SameSong);
        QCOMPARE(Mpris::volumeLevel(0.5), 32768);
        QCOMPARE(Mpris::volumeLevel(-0.3), 0);
        QCOMPARE(Mpris::volumeLevel(std::nan("")), 0);
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
        // A caller's huge offset must not wrap into a position in whole seconds.
        QTest::newRow("length unknown, beyond any song")
            << 2000LL << std::numeric_limits<qint64>::max() << 0LL << -1;
    }
    void seeksLandInTheSongOrGoPastItsEnd()
    {
        QFETCH(qint64, positionMs);
        QFETCH(qint64, offsetUs);
        QFETCH(qint64, lengthMs);
        QFETCH(int, seconds);
        QCOMPARE(Mpris::seekTargetSeconds(positionMs, offsetUs, lengthMs).value_or(-1), seconds);
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
