// Fuzz entries for the LZW codec, one per build. lzw_decoder: any image data as a GIF frame holds it (code size
// byte, sub-blocks) must decode or raise, never stray. lzw_lossy: what the lossy coder writes must decode, and the
// decoded pixels must keep every promise of lossy coding; a broken promise aborts.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "cvcode2/CvColorTable.h"
#include "cvcode2/CvErrorCode.h"
#include "cvcode2/CvLzw.h"
#include "cvcode2/CvLzwLossy.h"
#include "tests/support/LzwTestData.h"

#if defined(HC_FUZZ_ENTRY_lzw_decoder)
// Input: width - 1 (6 bits), height - 1 (6 bits), an interlace flag byte, then the image data.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 3) return 0;
    try {
        DecodeBytes(std::string(data + 3, data + size), data[0] % 64 + 1u, data[1] % 64 + 1u, data[2] & 1);
    } catch (const CvErrorCode&) {
        // Rejected data is a correct outcome.
    }
    return 0;
}
#elif defined(HC_FUZZ_ENTRY_lzw_lossy)
// Input: colours - 1, level, width - 1 (6 bits; the top 2, modulo 3, say how many halves less than all of the error
// is handed on), height - 1 (6 bits; bit 6 of that byte asks for interlacing), 32 bytes of locked-entry bits, the
// palette (3 bytes a colour), then indices (taken modulo the colours).
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    constexpr size_t kHeader = 4 + 32;
    if (size < kHeader) return 0;
    const uint32_t colors = uint32_t(data[0]) + 1;
    if (size < kHeader + 3 * size_t(colors)) return 0;
    CvLossyOptions options;
    options.level = data[1];
    options.handOn = uint8_t(kCvLossyFullHandOn - (data[2] >> 6) % 3);
    const bool interlaced = data[3] & 0x40;
    for (uint32_t i = 0; i < 256; ++i) options.locked[i] = (data[4 + i / 8] >> (i % 8)) & 1;
    CvColorTable table(colors);
    const uint8_t* rgb = data + kHeader;
    for (uint32_t i = 0; i < colors; ++i) table.SetEntry(i, rgb[3 * i], rgb[3 * i + 1], rgb[3 * i + 2]);
    const uint8_t* indices = rgb + 3 * colors;
    const size_t given = size - kHeader - 3 * size_t(colors);
    LzwPicture source{data[2] % 64 + 1u, data[3] % 64 + 1u, {}};
    source.pixels.resize(size_t(source.width) * source.height);
    for (size_t i = 0; i < source.pixels.size(); ++i)
        source.pixels[i] = given ? uint8_t(indices[i % given] % colors) : 0;

    const std::string coded = EncodeToBytes(source, CodeSizeForColors(colors), interlaced, &table, options);
    const LzwPicture decoded = DecodeBytes(coded, source.width, source.height, interlaced, 0);
    const std::string broken = BrokenLossyPromise(source, decoded, table, options, interlaced);
    if (!broken.empty()) {
        std::fprintf(stderr, "lossy coding broke a promise: %s\n", broken.c_str());
        std::abort();
    }
    return 0;
}
#else
#error "the build names no LZW entry"
#endif
