// Shared by the fuzz targets of the file readers: the input as Qt bytes, and the check that
// aborts (so that libFuzzer keeps the input) when a reader breaks a promise.
#pragma once

#include <QByteArray>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

inline void check(bool ok, const char *target, const char *what)
{
    if (ok)
        return;
    std::fprintf(stderr, "%s: %s\n", target, what);
    std::abort();
}

// The input without a copy; it lives as long as the call.
inline QByteArray inputBytes(const uint8_t *data, size_t size)
{
    return QByteArray::fromRawData(reinterpret_cast<const char *>(data), qsizetype(size));
}
