// The 128-byte ID3v1 record made from an ID3v2 tag's texts, for files that carry only ID3v2:
// the record is the one shape the interface hands out.
#pragma once

#include <string_view>

#include "mpegstream.h"

namespace norl {

// ID3v2 texts as UTF-8; a text may hold several strings separated by NULs, the first counts.
struct Id3v2Texts {
    std::string_view title, artist, album, year, comment, genre;
};

// "TAG", then each text cut to its field without splitting a UTF-8 sequence, NUL-padded; the
// genre byte from a numeric genre ("17", "(17)Rock"), 255 when there is none.
Id3v1Tag id3v1RecordFrom(const Id3v2Texts &texts);

} // namespace norl
