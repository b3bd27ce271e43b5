// Times what a host does when a song is chosen: ESOpen + ESInitStream + ESGetSize, on one
// handle kept across runs as a player keeps it. One run first warms the page cache and the
// server connection and is reported apart. Prints the median and the slowest of each step in
// ms, then the length the library reported.
#define NORLPLAY_DECLARE_FUNCTIONS
#include "norlplay.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

double msSince(Clock::time_point start)
{
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    size_t n = v.size();
    return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

struct Steps {
    double open = 0, init = 0, size = 0, total = 0;
};

} // namespace

int main(int argc, char **argv)
{
    std::string mode = argc == 5 ? argv[1] : "";
    if (mode != "file" && mode != "server") {
        std::fprintf(stderr, "usage: %s file|server IN.mp3 OUT.wav RUNS\n", argv[0]);
        return 2;
    }
    const char *input = argv[2];
    int runs = std::max(1, std::atoi(argv[4]));

    NpHandle h = ESInitModule();
    ESSetInputMode(h, imFile);
    ESSetInputName(h, input);
    ESSetOutputMode(h, mode == "file" ? omFile : omMMSystem);
    ESSetOutputName(h, argv[3]);

    int32_t length = -1;
    std::vector<Steps> timed;
    for (int run = 0; run <= runs; ++run) {
        Steps s;
        auto start = Clock::now();
        bool ok = ESOpen(h);
        s.open = msSince(start);
        auto initStart = Clock::now();
        ok = ok && ESInitStream(h);
        s.init = msSince(initStart);
        auto sizeStart = Clock::now();
        length = ok ? ESGetSize(h) : -1;
        s.size = msSince(sizeStart);
        s.total = msSince(start);
        if (!ok || length < 0) {
            std::fprintf(stderr, "%s: error %d\n", input, ESLastError(h));
            return 1;
        }
        ESClose(h);
        if (run == 0)
            std::printf("first run: %.2f ms\n", s.total);
        else
            timed.push_back(s);
    }
    ESDeInitModule(h);

    auto report = [&](const char *name, double Steps::*field) {
        std::vector<double> v;
        for (const Steps &s : timed)
            v.push_back(s.*field);
        std::printf("%-6s median %.2f ms, max %.2f ms\n", name, median(v),
                    *std::max_element(v.begin(), v.end()));
    };
    report("open", &Steps::open);
    report("init", &Steps::init);
    report("size", &Steps::size);
    report("total", &Steps::total);
    std::printf("length %d ms\n", length);
    return 0;
}
