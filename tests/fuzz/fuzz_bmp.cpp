// Feeds arbitrary bytes to the BMP decoder: it must refuse or decode, never read past
// the input or produce a picture of the wrong size.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "platform/gdi/gdi.h"
#include "session/session.h"

namespace {

// Run-length files may claim pictures up to the loader's limit (256 MB of pixels) in a
// few bytes; decoding those is correct but makes each run take a second. The limit is
// covered by the unit tests, so the fuzzer stays with smaller claims.
bool Claims_Huge_Picture(const uint8_t* data, size_t size) {
    if (size < 26) return false;
    auto read_32 = [&](size_t at) {
        return static_cast<int32_t>(static_cast<uint32_t>(data[at]) | (static_cast<uint32_t>(data[at + 1]) << 8) |
                                    (static_cast<uint32_t>(data[at + 2]) << 16) |
                                    (static_cast<uint32_t>(data[at + 3]) << 24));
    };
    if (read_32(14) == 12) return false;  // no compression: rows are bounded by the file
    const int64_t width = std::llabs(static_cast<int64_t>(read_32(18)));
    const int64_t height = std::llabs(static_cast<int64_t>(read_32(22)));
    return width * height > (1 << 16);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (Claims_Huge_Picture(data, size)) return 0;
    Bitmap bitmap;
    std::string why;
    if (Decode_Bmp(data, size, bitmap, &why)) {
        if (bitmap.width <= 0 || bitmap.height <= 0 ||
            bitmap.pixels.size() != static_cast<size_t>(bitmap.width) * static_cast<size_t>(bitmap.height) ||
            static_cast<int64_t>(bitmap.pixels.size()) > Bmp_Max_Pixels)
            __builtin_trap();
    }
    return 0;
}
