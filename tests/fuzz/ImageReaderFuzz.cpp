// Fuzz entries for the command's own image readers (PGM/PPM/PAM, BMP, and a GIF given as input), one per build:
// any bytes as a file's content. Whatever a reader accepts must be an image of the size it states, within the
// host's limits, with one to four channels; anything else must be refused with an ImageReadError.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <new>
#include <string>

#include "cli/InputImage.h"
#include "tests/fuzz/FuzzInput.h"

namespace {

template <typename Read>
void CheckImageReader(Read read) {
    try {
        const InputImage image = read();
        const bool sound = image.width > 0 && image.width <= kMaxImageSide && image.height > 0 &&
                           image.height <= kMaxImageSide && image.channels >= 1 && image.channels <= 4 &&
                           image.pixels.size() == size_t(image.width) * size_t(image.height) * size_t(image.channels);
        if (!sound) std::abort();
    } catch (const ImageReadError&) {
        // a refusal with a message is a correct outcome
    } catch (const std::bad_alloc&) {
        // an image as large as the limits allow may not fit in the fuzzer's memory
    }
}

#if defined(HC_FUZZ_ENTRY_bmp_reader)
// A few bytes of run-length data may rightly state the largest image, more than the fuzzer lets a process hold;
// such sizes are left out here (plain rows must be in the file, which the reader checks first).
constexpr uint64_t kMostPixels = 1u << 24;

uint64_t StatedPixels(const std::string& bytes) {
    auto field = [&](size_t at, size_t size) {
        uint32_t value = 0;
        for (size_t i = 0; i < size && at + i < bytes.size(); ++i) value |= uint32_t(uint8_t(bytes[at + i])) << (8 * i);
        return value;
    };
    if (field(14, 4) == 12) return uint64_t(field(18, 2)) * field(20, 2);
    return uint64_t(std::llabs(int32_t(field(18, 4)))) * uint64_t(std::llabs(int32_t(field(22, 4))));
}
#endif

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);
#if defined(HC_FUZZ_ENTRY_pnm_reader)
    CheckImageReader([&] { return ReadPnm("fuzz.pnm", bytes); });
#elif defined(HC_FUZZ_ENTRY_bmp_reader)
    if (StatedPixels(bytes) <= kMostPixels) CheckImageReader([&] { return ReadBmp("fuzz.bmp", bytes); });
#elif defined(HC_FUZZ_ENTRY_gif_input)
    const std::string path = WriteFuzzFile("input.gif", data, size);
    CheckImageReader([&] { return ReadGif(path); });
#else
#error "the build names no image reader entry"
#endif
    return 0;
}
