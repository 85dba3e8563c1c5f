// Fuzz entry for the LZW decoder. Input: width - 1 (6 bits), height - 1 (6 bits), an interlace flag byte,
// then the image data as a GIF frame holds it (code size byte, sub-blocks). Bad data may raise, never stray.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "cvcode2/CvErrorCode.h"
#include "cvcode2/CvFile.h"
#include "cvcode2/CvLzwDecoder.h"
#include "tests/fuzz/FuzzInput.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 3) return 0;
    const uint32_t width = uint32_t(data[0] % 64) + 1;
    const uint32_t height = uint32_t(data[1] % 64) + 1;
    const bool interlaced = data[2] & 1;
    CvFile file;
    file.SetPath(WriteFuzzFile("lzw", data + 3, size - 3).c_str());
    // Exactly the image's bytes, so the address sanitizer sees any write past the last row.
    std::vector<uint8_t> pixels(size_t(width) * height);
    try {
        file.Open(kCvFileRead);
        LzwDecoder decoder(file);
        decoder.Start();
        decoder.DecodeImage(pixels.data(), width, height, width, interlaced);
    } catch (const CvErrorCode&) {
        // Rejected data is a correct outcome.
    }
    return 0;
}
