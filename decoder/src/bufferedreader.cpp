#include "bufferedreader.h"

#include <cstdio>
#include <cstring>

#include "decodererror.h"

namespace norl {

namespace {
constexpr size_t BufferSize = 64 * 1024;
}

BufferedReader::BufferedReader(ByteSource &source) : m_source(source), m_buffer(BufferSize) {}

bool BufferedReader::refill()
{
    if (m_position != m_bufferStart + int64_t(m_bufferLength) && !m_source.seek(m_position))
        return false;
    m_bufferStart = m_position;
    m_bufferLength = 0;
    m_bufferLength = m_source.read(m_buffer.data(), m_buffer.size());
    return true;
}

ssize_t BufferedReader::read(void *buffer, size_t bytes)
{
    if (m_failed)
        return -1;
    auto *out = static_cast<unsigned char *>(buffer);
    size_t done = 0;
    try {
        while (done < bytes) {
            int64_t offset = m_position - m_bufferStart;
            if (offset < 0 || offset >= int64_t(m_bufferLength)) {
                if (!refill()) {
                    m_failed = true;
                    return -1;
                }
                if (m_bufferLength == 0)
                    break;
                continue;
            }
            size_t chunk = std::min(bytes - done, m_bufferLength - size_t(offset));
            std::memcpy(out + done, m_buffer.data() + offset, chunk);
            done += chunk;
            m_position += int64_t(chunk);
        }
    } catch (const DecoderError &) {
        m_failed = true;
        return -1;
    }
    return ssize_t(done);
}

off_t BufferedReader::seek(off_t offset, int whence)
{
    int64_t target;
    switch (whence) {
    case SEEK_SET:
        target = offset;
        break;
    case SEEK_CUR:
        target = m_position + offset;
        break;
    case SEEK_END:
        if (m_source.size() < 0)
            return -1;
        target = m_source.size() + offset;
        break;
    default:
        return -1;
    }
    if (target < 0 || m_failed)
        return -1;
    bool buffered = target >= m_bufferStart && target <= m_bufferStart + int64_t(m_bufferLength);
    if (!buffered && !m_source.canSeek())
        return -1;
    // The source itself moves at the next refill.
    m_position = target;
    return off_t(target);
}

} // namespace norl
