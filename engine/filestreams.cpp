#include "filestreams.h"

#include <QMutexLocker>
#include <limits>
#include <sys/file.h>

#include "player.h"

QFile *FileStreams::find(int32_t userData)
{
    auto it = m_streams.find(userData);
    return it == m_streams.end() ? nullptr : it->second.get();
}

bool FileStreams::open(const QString &path, int32_t &userData, bool &canSetPos)
{
    auto stream = std::make_unique<QFile>(path);
    if (!stream->exists() || !stream->open(QIODevice::ReadOnly))
        return false;
    // Others may read the file while it plays; a writer holding an exclusive lock keeps us out.
    if (::flock(stream->handle(), LOCK_SH | LOCK_NB) != 0)
        return false;
    QMutexLocker lock(&m_mutex);
    do {
        m_lastId = m_lastId == std::numeric_limits<int32_t>::max() ? 1 : m_lastId + 1;
    } while (m_streams.count(m_lastId));
    userData = m_lastId;
    canSetPos = true;
    m_streams.emplace(m_lastId, std::move(stream));
    return true;
}

void FileStreams::close(int32_t userData)
{
    QMutexLocker lock(&m_mutex);
    m_streams.erase(userData);
}

bool FileStreams::size(int32_t userData, int32_t &size)
{
    QMutexLocker lock(&m_mutex);
    QFile *stream = find(userData);
    if (!stream || stream->size() > std::numeric_limits<int32_t>::max())
        return false;
    size = int32_t(stream->size());
    return true;
}

bool FileStreams::seek(int32_t userData, int32_t newPos, int32_t seekMode)
{
    QMutexLocker lock(&m_mutex);
    QFile *stream = find(userData);
    if (!stream)
        return false;
    int64_t base;
    switch (seekMode) {
    case 0:
        base = 0;
        break;
    case 1:
        base = stream->pos();
        break;
    case 2:
        base = stream->size();
        break;
    default:
        return false;
    }
    // Positions the 32-bit interface cannot express count as an overflow.
    int64_t expected = base + newPos;
    if (expected < 0 || expected > std::numeric_limits<int32_t>::max())
        return false;
    return stream->seek(expected) && stream->pos() == expected;
}

bool FileStreams::read(int32_t userData, void *buffer, int32_t bytesToRead, int32_t &bytesRead)
{
    QMutexLocker lock(&m_mutex);
    QFile *stream = find(userData);
    if (!stream || bytesToRead < 0)
        return false;
    qint64 got = stream->read(static_cast<char *>(buffer), bytesToRead);
    if (got < 0)
        return false;
    bytesRead = int32_t(got);
    return true;
}

int FileStreams::openCount() const
{
    QMutexLocker lock(&m_mutex);
    return int(m_streams.size());
}

void bindFileStreamEvents(TElPlayer &player, FileStreams &streams)
{
    player.SetOnInputOpen([&streams](QObject *sender, int32_t &userData, bool &canSetPos,
                                     bool &success) {
        success = streams.open(static_cast<TElPlayer *>(sender)->InputName(), userData, canSetPos);
    });
    player.SetOnInputClose(
        [&streams](QObject *, int32_t userData, bool &) { streams.close(userData); });
    player.SetOnInputGetSize([&streams](QObject *, int32_t userData, int32_t &size, bool &success) {
        success = streams.size(userData, size);
    });
    player.SetOnInputSeek(
        [&streams](QObject *, int32_t userData, int32_t newPos, int32_t seekMode, bool &success) {
            success = streams.seek(userData, newPos, seekMode);
        });
    player.SetOnInputRead(
        [&streams](QObject *, int32_t userData, void *buffer, int32_t want, int32_t &got,
                   bool &success) { success = streams.read(userData, buffer, want, got); });
}
