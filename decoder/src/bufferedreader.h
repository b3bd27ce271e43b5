// Sits between libmpg123 and a ByteSource. libmpg123 reads in tiny pieces and seeks relative
// to where it is and to the end; this answers from a buffer, tracks the position itself and
// latches read failures, which libmpg123 would otherwise take for a normal end of stream.
#pragma once

#include <sys/types.h>
#include <vector>

#include "bytesource.h"

namespace norl {

class BufferedReader {
public:
    explicit BufferedReader(ByteSource &source);

    // The reader interface libmpg123 expects (a -1 result reports a failure).
    ssize_t read(void *buffer, size_t bytes);
    off_t seek(off_t offset, int whence);

    bool failed() const { return m_failed; }
    int64_t position() const { return m_position; }

private:
    bool refill();

    ByteSource &m_source;
    std::vector<unsigned char> m_buffer;
    int64_t m_bufferStart = 0; // offset in the source of m_buffer[0]
    size_t m_bufferLength = 0;
    int64_t m_position = 0;
    bool m_failed = false;
};

} // namespace norl
