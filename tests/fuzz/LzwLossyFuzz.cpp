// Fuzz entry for the lossy LZW coder. Input: colours - 1, level, width - 1 (6 bits; the top 2, modulo 3, say how many
// halves less than all of the error is handed on), height - 1 (6 bits; bit 6 of that byte asks for interlacing), 32
// bytes of locked-entry bits, the palette (3 bytes a colour), then indices (taken modulo the colours). The stream must
// decode, and the decoded pixels must keep every promise of lossy coding.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "cvcode2/CvColorTable.h"
#include "cvcode2/CvErrorCode.h"
#include "cvcode2/CvFile.h"
#include "cvcode2/CvLzw.h"
#include "cvcode2/CvLzwDecoder.h"
#include "cvcode2/CvLzwEncoder.h"
#include "cvcode2/CvLzwLossy.h"
#include "tests/fuzz/FuzzInput.h"
#include "tests/support/LossyPromise.h"

namespace {
constexpr size_t kHeader = 4 + 32;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < kHeader) return 0;
    const uint32_t colors = uint32_t(data[0]) + 1;
    if (size < kHeader + 3 * size_t(colors)) return 0;
    CvLossyOptions options;
    options.level = data[1];
    const uint32_t width = uint32_t(data[2] % 64) + 1;
    options.handOn = uint8_t(kCvLossyFullHandOn - (data[2] >> 6) % 3);
    const uint32_t height = uint32_t(data[3] % 64) + 1;
    const bool interlaced = data[3] & 0x40;
    for (uint32_t i = 0; i < 256; ++i) options.locked[i] = (data[4 + i / 8] >> (i % 8)) & 1;
    CvColorTable table(colors);
    const uint8_t* rgb = data + kHeader;
    for (uint32_t i = 0; i < colors; ++i) table.SetEntry(i, rgb[3 * i], rgb[3 * i + 1], rgb[3 * i + 2]);
    const uint8_t* indices = rgb + 3 * colors;
    const size_t given = size - kHeader - 3 * size_t(colors);
    std::vector<uint8_t> source(size_t(width) * height);
    for (size_t i = 0; i < source.size(); ++i) source[i] = given ? uint8_t(indices[i % given] % colors) : 0;

    const std::string path = WriteFuzzFile("lossy", nullptr, 0);
    std::vector<uint8_t> decoded(source.size(), 0);
    const uint8_t codeSize = CodeSizeForColors(colors);
    auto matcher = std::make_unique<CvLossyMatcher>(table, options);
    {
        CvFile out;
        out.SetPath(path.c_str());
        out.Open(kCvFileWrite);
        LzwEncoder encoder(out);
        encoder.Start(codeSize, matcher.get());
        encoder.EncodeImage(source.data(), width, height, width, interlaced);
        encoder.Finish();
        out.Close();
    }
    CvFile in;
    in.SetPath(path.c_str());
    in.Open(kCvFileRead);
    LzwDecoder decoder(in);
    decoder.Start();
    decoder.DecodeImage(decoded.data(), width, height, width, interlaced);
    decoder.Free();
    in.Close();
    const std::string broken = BrokenLossyPromise(source, decoded, width, height, table, options, interlaced);
    if (!broken.empty()) {
        std::fprintf(stderr, "lossy coding broke a promise: %s\n", broken.c_str());
        std::abort();
    }
    return 0;
}
