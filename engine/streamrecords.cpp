#include "streamrecords.h"

#include <QByteArray>
#include <QStringDecoder>
#include <cstring>

namespace {

int32_t int32At(const uint8_t *record, int offset)
{
    int32_t value;
    std::memcpy(&value, record + offset, sizeof value);
    return value;
}

// A tag field: its bytes up to the first NUL, without characters below 33 at either end, as UTF-8
// when they are valid UTF-8 and as Latin-1 otherwise.
QString tagField(const uint8_t *tag, int offset, int length)
{
    const char *start = reinterpret_cast<const char *>(tag + offset);
    int end = 0;
    while (end < length && start[end] != '\0')
        ++end;
    int begin = 0;
    while (begin < end && uint8_t(start[begin]) < 33)
        ++begin;
    while (end > begin && uint8_t(start[end - 1]) < 33)
        --end;
    // Tags made from ID3v2 are UTF-8; ID3v1 tags are mostly Latin-1, which is seldom valid UTF-8.
    const QByteArrayView bytes(start + begin, end - begin);
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = utf8(bytes);
    return utf8.hasError() ? QString::fromLatin1(bytes) : text;
}

} // namespace

void DecodeStreamInfo(const void *Info, int &Layer, int &Bitrate, int &Frequency,
                      uint8_t &StereoMode)
{
    const auto *record = static_cast<const uint8_t *>(Info);
    StereoMode = record[0];
    Layer = int32At(record, 4);
    Bitrate = int32At(record, 8);
    Frequency = int32At(record, 12);
}

void DecodeID3Info(const void *Tag, QString &Title, QString &Artist, QString &Album, QString &Year,
                   QString &Comment, uint8_t &Genre)
{
    const auto *tag = static_cast<const uint8_t *>(Tag);
    Title = tagField(tag, 3, 30);
    Artist = tagField(tag, 33, 30);
    Album = tagField(tag, 63, 30);
    Year = tagField(tag, 93, 4);
    Comment = tagField(tag, 97, 30);
    Genre = tag[127];
}
