#include "mprisproperties.h"

#include <QDBusObjectPath>
#include <QUrl>
#include <cmath>
#include <limits>

namespace Mpris {

QString trackId(int serial)
{
    return QStringLiteral("/org/norlplayer/track/%1").arg(serial);
}

QString displayTitle(const Track &track)
{
    return track.tagTitle.isEmpty() ? track.listTitle : track.tagTitle;
}

QString playbackStatus(Playback::State state)
{
    switch (state) {
    case Playback::State::Playing:
        return QStringLiteral("Playing");
    case Playback::State::Paused:
        return QStringLiteral("Paused");
    case Playback::State::Stopped:
        break;
    }
    return QStringLiteral("Stopped");
}

QString loopStatus(Playback::PlayMode mode, const QString &forwardLoopStatus)
{
    // Random, like Forward, goes on from song to song without end.
    return mode == Playback::PlayMode::SameSong ? QStringLiteral("Track") : forwardLoopStatus;
}

std::optional<Playback::PlayMode> playModeForLoopStatus(const QString &status)
{
    if (status == QLatin1String("None") || status == QLatin1String("Playlist"))
        return Playback::PlayMode::Forward;
    if (status == QLatin1String("Track"))
        return Playback::PlayMode::SameSong;
    return std::nullopt;
}

Playback::PlayMode playModeForShuffle(bool shuffle, Playback::PlayMode current)
{
    if (shuffle)
        return Playback::PlayMode::Random;
    return current == Playback::PlayMode::Random ? Playback::PlayMode::Forward : current;
}

double volumeFraction(int level)
{
    return std::clamp(double(level) / Playback::MaxVolume, 0.0, 1.0);
}

int volumeLevel(double fraction)
{
    if (std::isnan(fraction))
        return 0;
    return int(std::lround(std::clamp(fraction, 0.0, 1.0) * Playback::MaxVolume));
}

std::optional<int> seekTargetSeconds(qint64 positionMs, qint64 offsetUs, qint64 lengthMs)
{
    // Without a known length, a target the seconds of a seek cannot hold counts as past the end.
    constexpr qint64 LongestMs = qint64(std::numeric_limits<int>::max() / 1000) * 1000;
    const qint64 targetMs = std::max<qint64>(positionMs + offsetUs / 1000, 0);
    if (targetMs > (lengthMs > 0 ? lengthMs : LongestMs))
        return std::nullopt;
    return int((targetMs + 500) / 1000);
}

bool setPositionApplies(const std::optional<Track> &track, const QString &id, qint64 positionUs)
{
    return track && id == trackId(track->serial) && positionUs >= 0 &&
           positionUs <= track->lengthMs * 1000;
}

QVariantMap metadata(const std::optional<Track> &track)
{
    if (!track)
        return {{QStringLiteral("mpris:trackid"), QVariant::fromValue(QDBusObjectPath(NoTrack))}};
    QVariantMap map{
        {QStringLiteral("mpris:trackid"),
         QVariant::fromValue(QDBusObjectPath(trackId(track->serial)))},
        {QStringLiteral("xesam:url"),
         QString::fromLatin1(QUrl::fromLocalFile(track->path).toEncoded())},
        {QStringLiteral("xesam:title"), displayTitle(*track)},
    };
    if (track->lengthMs > 0)
        map.insert(QStringLiteral("mpris:length"), track->lengthMs * 1000);
    if (!track->artist.isEmpty())
        map.insert(QStringLiteral("xesam:artist"), QStringList{track->artist});
    if (!track->album.isEmpty())
        map.insert(QStringLiteral("xesam:album"), track->album);
    // The tag's year is four characters of any kind; only a real year makes a date.
    bool isYear = false;
    const int year = track->year.toInt(&isYear);
    if (isYear && track->year.size() == 4 && year > 0)
        map.insert(QStringLiteral("xesam:contentCreated"), QStringLiteral("%1-01-01").arg(year));
    return map;
}

QVariantMap playerProperties(const PlayerSnapshot &snapshot)
{
    const bool songs = snapshot.rows > 0;
    return {
        {QStringLiteral("PlaybackStatus"), playbackStatus(snapshot.state)},
        {QStringLiteral("LoopStatus"), loopStatus(snapshot.mode, snapshot.forwardLoopStatus)},
        {QStringLiteral("Shuffle"), snapshot.mode == Playback::PlayMode::Random},
        {QStringLiteral("Rate"), 1.0},
        {QStringLiteral("MinimumRate"), 1.0},
        {QStringLiteral("MaximumRate"), 1.0},
        {QStringLiteral("Volume"), volumeFraction(snapshot.volume)},
        {QStringLiteral("Metadata"), metadata(snapshot.track)},
        {QStringLiteral("CanGoNext"), songs},
        {QStringLiteral("CanGoPrevious"), songs},
        {QStringLiteral("CanPlay"), songs},
        {QStringLiteral("CanPause"), songs},
        {QStringLiteral("CanSeek"), snapshot.track.has_value()},
        {QStringLiteral("CanControl"), true},
    };
}

QVariantMap changedProperties(const QVariantMap &before, const QVariantMap &after)
{
    QVariantMap changed;
    for (auto it = after.cbegin(); it != after.cend(); ++it) {
        const auto old = before.constFind(it.key());
        if (old == before.cend() || old.value() != it.value())
            changed.insert(it.key(), it.value());
    }
    return changed;
}

} // namespace Mpris
