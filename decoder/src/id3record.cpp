#include "id3record.h"

#include <cstring>

namespace norl {
namespace {

// The longest start of `text` (up to its first NUL) that fits `size` bytes and ends on a
// character boundary.
std::string_view cutUtf8(std::string_view text, size_t size)
{
    text = text.substr(0, text.find('\0'));
    if (text.size() <= size)
        return text;
    size_t end = size;
    // Step back over continuation bytes to the lead byte of the character that was cut.
    while (end > 0 && (uint8_t(text[end]) & 0xc0) == 0x80)
        --end;
    return text.substr(0, end);
}

void putField(Id3v1Tag &tag, size_t offset, size_t size, std::string_view text)
{
    const std::string_view cut = cutUtf8(text, size);
    if (!cut.empty()) // an empty text may have no data at all
        std::memcpy(tag.data() + offset, cut.data(), cut.size());
}

uint8_t genreByte(std::string_view genre)
{
    if (genre.size() > 1 && genre.front() == '(')
        genre.remove_prefix(1);
    int number = 0, digits = 0;
    for (char c : genre) {
        if (c < '0' || c > '9')
            break;
        number = number * 10 + (c - '0');
        if (++digits > 3)
            return 255;
    }
    return digits > 0 && number < 255 ? uint8_t(number) : 255;
}

} // namespace

Id3v1Tag id3v1RecordFrom(const Id3v2Texts &texts)
{
    Id3v1Tag tag{};
    std::memcpy(tag.data(), "TAG", 3);
    putField(tag, 3, 30, texts.title);
    putField(tag, 33, 30, texts.artist);
    putField(tag, 63, 30, texts.album);
    putField(tag, 93, 4, texts.year);
    putField(tag, 97, 30, texts.comment);
    tag[127] = genreByte(texts.genre);
    return tag;
}

} // namespace norl
