// Fuzz entry for the command's BMP reader: any bytes as a file's content, the headers, masks, palettes and runs
// all taken from them. Whatever it accepts must be an image of the promised size; anything else a refusal.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "cli/InputImage.h"
#include "tests/fuzz/ImageReaderCheck.h"

namespace {

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

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    if (StatedPixels(bytes) > kMostPixels) return 0;
    CheckImageReader([&] { return ReadBmp("fuzz.bmp", bytes); });
    return 0;
}
