// What the desktop's media controls see of playback, as plain values: the media interface's names
// for the states and play modes, the volume as a fraction, the song's metadata, the seek
// arithmetic, and which properties changed between two looks. No bus is needed for any of it.
#pragma once

#include <QVariantMap>
#include <optional>

#include "playback.h"

namespace Mpris {

// The object path of a song while nothing is open.
inline constexpr char NoTrack[] = "/org/mpris/MediaPlayer2/TrackList/NoTrack";

// The song that was started last.
struct Track {
    int serial = 0; // counts the songs started, so every start has an id of its own
    QString path;
    QString listTitle; // the title the song list shows
    qint64 lengthMs = 0;
    // From the ID3 version 1 tag; empty without one.
    QString tagTitle, artist, album, year;
};

// Everything the Player interface publishes but the position, read at one moment.
struct PlayerSnapshot {
    Playback::State state = Playback::State::Stopped;
    Playback::PlayMode mode = Playback::PlayMode::Forward;
    // What Forward is called: None and Playlist both select it, and a client reads back the one
    // it set.
    QString forwardLoopStatus = QStringLiteral("Playlist");
    int volume = 0;
    int rows = 0;
    std::optional<Track> track; // none while no song is open
};

QString trackId(int serial);
// The tag's title when there is one, else the list's.
QString displayTitle(const Track &track);
QString playbackStatus(Playback::State state);
QString loopStatus(Playback::PlayMode mode, const QString &forwardLoopStatus);
// The mode a LoopStatus value selects; none for a value that is not one of the three.
std::optional<Playback::PlayMode> playModeForLoopStatus(const QString &status);
// Shuffle on is Random; off leaves the other modes alone and turns Random into Forward.
Playback::PlayMode playModeForShuffle(bool shuffle, Playback::PlayMode current);
// 0..1 for 0..Playback::MaxVolume; out-of-range fractions are clamped.
double volumeFraction(int level);
int volumeLevel(double fraction);

// Where a relative seek of `offsetUs` from `positionMs` lands, in whole seconds, never before the
// start; none when it goes past the end of the song, or of any song when the length is unknown
// (the next song then plays).
std::optional<int> seekTargetSeconds(qint64 positionMs, qint64 offsetUs, qint64 lengthMs);
// Whether SetPosition(id, positionUs) applies to `track`: its id, and a position within it.
bool setPositionApplies(const std::optional<Track> &track, const QString &id, qint64 positionUs);

QVariantMap metadata(const std::optional<Track> &track);
QVariantMap playerProperties(const PlayerSnapshot &snapshot);
// The values of `after` that are new or differ from `before`.
QVariantMap changedProperties(const QVariantMap &before, const QVariantMap &after);

} // namespace Mpris
