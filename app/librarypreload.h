// Loads a shared library on another thread while the main thread sets up the toolkit and the
// window: the decoder library and the sound server's client libraries it needs take a few ms to
// map and relocate, which the first show would otherwise wait for. The later load of the same
// file finds it in memory.
#pragma once

#include <QString>
#include <thread>

class LibraryPreload {
public:
    // A file that does not exist or does not load is left to the real load to report.
    explicit LibraryPreload(const QString &fileName);
    ~LibraryPreload();
    LibraryPreload(const LibraryPreload &) = delete;
    LibraryPreload &operator=(const LibraryPreload &) = delete;

private:
    void *m_handle = nullptr;
    std::thread m_thread;
};
