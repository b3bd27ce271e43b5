#include "startedtrack.h"

#include "elsexception.h"
#include "player.h"
#include "songentries.h"
#include "songlist.h"
#include "streamrecords.h"

Mpris::Track startedTrack(const Playback &playback, const SongList &songs, int serial)
{
    Mpris::Track track;
    track.serial = serial;
    track.path = songs.pathAt(playback.currentRow());
    track.listTitle = SongEntries::titleOf(track.path);
    TElPlayer *player = playback.player();
    if (!player)
        return track;
    track.lengthMs = std::max(player->Size(), 0);
    // A song without a tag is no failure here: it is described without one.
    const void *tag = nullptr;
    try {
        tag = player->GetID3Info();
    } catch (const TElSException &) {
    }
    if (tag) {
        QString comment;
        uint8_t genre = 0;
        DecodeID3Info(tag, track.tagTitle, track.artist, track.album, track.year, comment, genre);
    }
    return track;
}
