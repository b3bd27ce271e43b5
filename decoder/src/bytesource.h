// Where the compressed bytes come from: a local file or the host's input callbacks.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "norlplay.h"

namespace norl {

class ByteSource {
public:
    virtual ~ByteSource() = default;
    // Reads up to `bytes`; 0 at the end. Throws DecoderError(NP_ERROR_INPUT) on a read failure.
    virtual size_t read(void *buffer, size_t bytes) = 0;
    // Moves to an absolute offset; false when the source cannot seek there.
    virtual bool seek(int64_t offset) = 0;
    // Total size in bytes, or -1 when unknown.
    virtual int64_t size() const = 0;
    virtual bool canSeek() const = 0;
};

struct InputCallbacks {
    NpInputOpenProc open = nullptr;
    NpInputCloseProc close = nullptr;
    NpInputGetSizeProc getSize = nullptr;
    NpInputSeekProc seek = nullptr;
    NpInputReadProc read = nullptr;
    void *context = nullptr;

    bool complete() const { return open && close && getSize && seek && read; }
};

// Both throw DecoderError(NP_ERROR_INPUT) when the input cannot be opened.
std::unique_ptr<ByteSource> openFileSource(const std::string &path);
std::unique_ptr<ByteSource> openCallbackSource(const InputCallbacks &callbacks);

} // namespace norl
