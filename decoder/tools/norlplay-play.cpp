// Plays one MP3 file through the sound server with libnorlplay, showing the elapsed time.
// The command-line companion of the library: the README's run command uses it until the
// player's window exists, and the benchmarks use it to measure playback cost.
#define NORLPLAY_DECLARE_FUNCTIONS
#include "norlplay.h"

#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <thread>

namespace {

volatile std::sig_atomic_t interrupted = 0;

void printTime(const char *label, int ms)
{
    std::printf("%s%02d:%02d", label, ms / 60000, ms / 1000 % 60);
}

} // namespace

int main(int argc, char **argv)
{
    bool quiet = argc > 2 && std::strcmp(argv[1], "--quiet") == 0;
    if (argc != 2 + int(quiet)) {
        std::fprintf(stderr, "usage: %s [--quiet] FILE.mp3\n", argv[0]);
        return 2;
    }
    const char *file = argv[1 + int(quiet)];
    std::signal(SIGINT, [](int) { interrupted = 1; });
    std::signal(SIGTERM, [](int) { interrupted = 1; });

    NpHandle h = ESInitModule();
    if (h == 0) {
        std::fprintf(stderr, "cannot create a decoder\n");
        return 1;
    }
    int status = 0;
    if (!ESSetInputName(h, file) || !ESOpen(h) || !ESInitStream(h) || !ESPlay(h)) {
        std::fprintf(stderr, "%s: decoder error %d\n", file, int(ESLastError(h)));
        status = 1;
    } else {
        int length = ESGetSize(h);
        if (!quiet)
            std::printf("Playing %s\n", file);
        while (!interrupted && (ESGetPlayerMode(h) & 0xff) == NP_MODE_PLAYING) {
            if (!quiet) {
                printTime("\r", ESGetPos(h));
                printTime(" / ", length);
                std::fflush(stdout);
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(200));
        }
        if (!quiet)
            std::printf("\n");
        if (ESLastError(h) != NP_ERROR_NONE) {
            std::fprintf(stderr, "%s: decoder error %d\n", file, int(ESLastError(h)));
            status = 1;
        }
    }
    ESClose(h);
    ESDeInitModule(h);
    return status;
}
