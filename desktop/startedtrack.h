// Reads what the desktop is told of the song that has just started: its file, the list's title,
// its length and its ID3 version 1 tag.
#pragma once

#include "mprisproperties.h"

class SongList;

// Call at Playback::songStarted, while the song is open.
Mpris::Track startedTrack(const Playback &playback, const SongList &songs, int serial);
