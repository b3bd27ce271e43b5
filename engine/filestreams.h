// The file streams the main window serves to the decoder library through its input handlers.
// UserData is a small non-zero id of a stream in this table, never a pointer: a value that is
// not a live id is simply "not a file stream".
#pragma once

#include <QFile>
#include <QMutex>
#include <QString>
#include <cstdint>
#include <map>
#include <memory>

class FileStreams {
public:
    FileStreams() = default;
    FileStreams(const FileStreams &) = delete;
    FileStreams &operator=(const FileStreams &) = delete;

    // Opens an existing file for reading; false (and nothing written) when it cannot.
    bool open(const QString &path, int32_t &userData, bool &canSetPos);
    // Closes the stream; a value that is not a stream is ignored.
    void close(int32_t userData);
    bool size(int32_t userData, int32_t &size);
    // SeekMode 0 from the start, 1 from the current position, 2 from the end. True exactly when
    // the stream stands where the seek asked.
    bool seek(int32_t userData, int32_t newPos, int32_t seekMode);
    // Short reads (down to 0) at the end of the file are not failures.
    bool read(int32_t userData, void *buffer, int32_t bytesToRead, int32_t &bytesRead);

    int openCount() const;

private:
    QFile *find(int32_t userData);

    mutable QMutex m_mutex;
    std::map<int32_t, std::unique_ptr<QFile>> m_streams;
    int32_t m_lastId = 0;
};

class TElPlayer;

// Binds the player's five input events to these streams, opening the player's InputName: the
// main window's handlers, ready to bind.
void bindFileStreamEvents(TElPlayer &player, FileStreams &streams);
