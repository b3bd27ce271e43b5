// A skin's bitmaps are checked against their size before they are decoded, so any bytes may be
// there: the check must neither overflow on huge header values nor change its mind the wrong
// way, since a longer file never holds less of the pixel data than a shorter one.
#include <limits>

#include "bitmapfile.h"
#include "fuzzinput.h"

namespace {

constexpr const char *Target = "fuzz_bitmap_file";

} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes = inputBytes(data, size);
    const QByteArray head = bytes.left(BitmapFile::HeadSize);
    const qint64 fileSize = bytes.size();
    const bool whole = BitmapFile::holdsAllPixelData(head, fileSize);
    if (whole) {
        check(BitmapFile::holdsAllPixelData(head, fileSize + 1), Target,
              "one more byte makes a complete bitmap incomplete");
        check(BitmapFile::holdsAllPixelData(head, std::numeric_limits<qint64>::max()), Target,
              "the largest file is incomplete");
    } else {
        check(!BitmapFile::holdsAllPixelData(head, fileSize / 2), Target,
              "half of an incomplete bitmap is complete");
    }
    return 0;
}
