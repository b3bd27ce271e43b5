// Runs the fuzz target once on each file named on the command line, without libFuzzer: the
// regression inputs replay as an ordinary test with any compiler.
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <vector>

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv);
extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size);

int main(int argc, char **argv)
{
    LLVMFuzzerInitialize(&argc, &argv);
    int failed = 0;
    for (int i = 1; i < argc; ++i) {
        std::ifstream file(argv[i], std::ios::binary);
        std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(file)),
                                   std::istreambuf_iterator<char>());
        if (!file.good() && !file.eof()) {
            std::fprintf(stderr, "cannot read %s\n", argv[i]);
            ++failed;
            continue;
        }
        LLVMFuzzerTestOneInput(bytes.data(), bytes.size()); // aborts on a broken promise
    }
    std::printf("%d passed, %d failed\n", argc - 1 - failed, failed);
    return failed == 0 ? 0 : 1;
}
