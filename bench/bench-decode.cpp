// Decodes one MP3 file as fast as the library goes, to a WAV file (omFile) or to an OutputProc
// that only counts bytes (omCallback), and prints the seconds from ESOpen to the end and the
// PCM bytes produced. The mode is polled every millisecond, as a host's timer would.
#define NORLPLAY_DECLARE_FUNCTIONS
#include "norlplay.h"

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <sys/stat.h>
#include <thread>

namespace {

constexpr int64_t WavHeaderBytes = 44;

NpBool NP_STDCALL countBytes(const void *, int32_t, int32_t, int32_t, int32_t size, void *context)
{
    *static_cast<uint64_t *>(context) += uint64_t(size);
    return 1;
}

int usage(const char *self)
{
    std::fprintf(stderr, "usage: %s file IN.mp3 OUT.wav\n       %s callback IN.mp3\n", self, self);
    return 2;
}

} // namespace

int main(int argc, char **argv)
{
    if (argc < 3)
        return usage(argv[0]);
    std::string mode = argv[1];
    const char *input = argv[2];
    bool toFile = mode == "file";
    if (!(toFile && argc == 4) && !(mode == "callback" && argc == 3))
        return usage(argv[0]);

    uint64_t bytes = 0;
    auto start = std::chrono::steady_clock::now();
    NpHandle h = ESInitModule();
    ESSetInputMode(h, imFile);
    ESSetInputName(h, input);
    if (toFile) {
        ESSetOutputMode(h, omFile);
        ESSetOutputName(h, argv[3]);
    } else {
        ESSetOutputMode(h, omCallback);
        ESSetOutCB(h, countBytes, nullptr, &bytes);
    }
    if (!ESOpen(h) || !ESInitStream(h) || !ESPlay(h)) {
        std::fprintf(stderr, "%s: error %d\n", input, ESLastError(h));
        return 1;
    }
    int playerMode;
    while ((playerMode = ESGetPlayerMode(h) & 0xff) == NP_MODE_PLAYING)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    double elapsed =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    int error = ESLastError(h);
    ESClose(h);
    ESDeInitModule(h);
    if (playerMode != NP_MODE_ENDED || error != NP_ERROR_NONE) {
        std::fprintf(stderr, "%s: stopped in mode %d with error %d\n", input, playerMode, error);
        return 1;
    }
    if (toFile) {
        struct stat st {};
        if (stat(argv[3], &st) != 0) {
            std::perror(argv[3]);
            return 1;
        }
        bytes = uint64_t(st.st_size - WavHeaderBytes);
    }
    std::printf("%.4f %llu\n", elapsed, static_cast<unsigned long long>(bytes));
    return 0;
}
