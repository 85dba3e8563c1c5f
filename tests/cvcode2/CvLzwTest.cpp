// The LZW coder and decoder by themselves: hand-computed bytes of tiny images and lossy rows, streams other writers
// produce, where the decoder leaves the file, and malformed streams refused without stray access.
#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "cvcode2/CvErrorCode.h"
#include "cvcode2/CvLzw.h"
#include "cvcode2/CvLzwLossy.h"
#include "tests/support/ErrorOf.h"
#include "tests/support/GifTestSupport.h"
#include "tests/support/ImageTestSupport.h"
#include "tests/support/LzwTestData.h"

namespace {

std::string Bytes(std::initializer_list<int> values) {
    std::string bytes;
    for (int v : values) bytes += char(v);
    return bytes;
}

// Packs codes into a frame's data (code size byte, 255-byte sub-blocks, terminator), widening as GIF decoders do:
// reset by a clear code, one bit wider when the next free code reaches the current limit, never beyond 12 bits.
std::string PackCodes(int codeSize, const std::vector<int>& codes) {
    const int clear = 1 << codeSize;
    int width = codeSize + 1, next = clear + 2;
    bool first = true;
    std::string data;
    uint32_t buffer = 0;
    int bits = 0;
    for (int code : codes) {
        buffer |= uint32_t(code) << bits;
        for (bits += width; bits >= 8; bits -= 8, buffer >>= 8) data += char(buffer);
        if (code == clear) {
            width = codeSize + 1, next = clear + 2, first = true;
        } else if (first) {
            first = false;
        } else if (++next == (1 << width) && width < 12) {
            ++width;
        }
    }
    if (bits > 0) data += char(buffer);
    std::string packed(1, char(codeSize));
    for (size_t at = 0; at < data.size(); at += 255) {
        const size_t length = std::min<size_t>(255, data.size() - at);
        packed += char(length) + data.substr(at, length);
    }
    return packed + '\0';
}

LzwPicture Row(const std::string& digits) {
    LzwPicture picture{uint32_t(digits.size()), 1, {}};
    for (char c : digits) picture.pixels.push_back(uint8_t(c - '0'));
    return picture;
}

uint32_t DecodeError(const std::string& bytes, uint32_t width, uint32_t height) {
    return ErrorOf([&] { DecodeBytes(bytes, width, height, false); });
}

}  // namespace

TEST(CvLzwEncoder, TinyImagesAndLossyRowsGiveTheHandComputedBytesAndBadSizesAreRefused) {
    // 1x1, two colours: size byte 2, then clear 4, index 1, end 5 in 3 bits each, least significant first.
    EXPECT_EQ(EncodeToBytes(LzwPicture{1, 1, {1}}, 1, false), Bytes({2, 2, 0x4C, 0x01, 0}));
    // No pixels: clear and end only.
    EXPECT_EQ(EncodeToBytes(LzwPicture{0, 0, {}}, 2, false), Bytes({2, 1, 0x2C, 0}));
    EXPECT_THROW(EncodeToBytes(LzwPicture{1, 1, {4}}, 2, false), CvErrorCode);  // index beyond the code size
    EXPECT_THROW(EncodeToBytes(LzwPicture{1, 1, {0}}, 9, false), CvErrorCode);
    // The code size for each colour count and the interlaced pass order show in the engine's whole runs and the
    // independent readers' cases of heights 1 to 9.
    EXPECT_THROW(CodeSizeForColors(0), CvErrorCode);
    EXPECT_THROW(CodeSizeForColors(257), CvErrorCode);
    CvRowPass passes[4];
    EXPECT_EQ(CvRowPasses(0, false, passes), 0u);
    // The lossy rows, their codes and what our decoder reads back are kept, with what each row shows, in the data
    // file.
    for (const std::vector<std::string>& row : DataTable("lzw/lossy-rows.txt")) {
        SCOPED_TRACE(row[0] + " at level " + row[2] + ", hand-on " + row[3]);
        CvLossyOptions options;
        options.level = uint8_t(std::stoi(row[2]));
        options.handOn = uint8_t(std::stoi(row[3]));
        const LzwPicture source = Row(row[0]);
        // Reds 0 and 1 row[1] units apart; 2 and 3 beyond any tolerance.
        const uint8_t apart = uint8_t(std::stoi(row[1]));
        const CvColorTable reds = PaletteOf({{0, 0, 0}, {apart, 0, 0}, {100, 0, 0}, {200, 0, 0}});
        const std::string encoded = EncodeToBytes(source, 2, false, &reds, options);
        std::istringstream codeText(row[4]);
        EXPECT_EQ(encoded, PackCodes(2, std::vector<int>(std::istream_iterator<int>(codeText), {})));
        EXPECT_EQ(DecodeBytes(encoded, source.width, 1, false).pixels, Row(row[5]).pixels);
    }
}

// Unusual but readable streams are decoded, the file left after the sub-block holding the end code; malformed ones
// are refused.
TEST(CvLzwDecoder, UnusualStreamsAreReadMalformedOnesRefused) {
    // No clear code before the data: decoded as if it came first. Codes 1, 2, 6 ("1 2"), end (4 bits by then).
    EXPECT_EQ(DecodeBytes(Bytes({2, 2, 0x91, 0x0B, 0}), 4, 1, false).pixels, (std::vector<uint8_t>{1, 2, 1, 2}));
    // Clear, clear, 3, end: repeated clear codes are skipped.
    EXPECT_EQ(DecodeBytes(Bytes({2, 2, 0xE4, 0x0A, 0}), 2, 1, false).pixels, (std::vector<uint8_t>{3, 0xEE}));
    // Clear, 2, then the terminator without an end code: what is there is decoded, the rest stays as it was.
    EXPECT_EQ(DecodeBytes(Bytes({2, 1, 0x14, 0}), 3, 1, false).pixels, (std::vector<uint8_t>{2, 0xEE, 0xEE}));
    // Clear, 1, 1, 6 ("1 1"), end in a wider row: the decoded strings fill four pixels and not one more.
    std::vector<uint8_t> partRow(16, 0xEE);
    std::fill_n(partRow.begin(), 4, 1);
    EXPECT_EQ(DecodeBytes(PackCodes(2, {4, 1, 1, 6, 5}), 16, 1, false).pixels, partRow);
    // A full table that is never cleared: 70000 codes 0 stay 70000 single indices, long after 16 bits of code count.
    std::vector<int> zeros(70000, 0);
    zeros.insert(zeros.begin(), 256);
    zeros.push_back(257);
    EXPECT_EQ(DecodeBytes(PackCodes(8, zeros), 70000, 1, false).pixels, std::vector<uint8_t>(70000, 0));
    // The decoder reads ahead; bytes past that sub-block (terminator, trailer) must be there for the next reader.
    const LzwPicture picture{97, 61, IndexBytes(*MakeIndexedPicture(97, 61, 256))};
    const std::string encoded = EncodeToBytes(picture, 8, true);
    ASSERT_GT(encoded.size(), 600u);
    uint64_t endsAt = 0;
    EXPECT_EQ(DecodeBytes(encoded + "XYZ", 97, 61, true, 0, &endsAt).pixels, picture.pixels);
    EXPECT_EQ(endsAt, encoded.size() - 1);  // at the terminator
    // Malformed streams are refused without stray access.
    for (int size : {0, 1, 9, 12, 255}) EXPECT_EQ(DecodeError(Bytes({size, 1, 0x2C, 0}), 2, 2), 28u) << size;
    EXPECT_EQ(DecodeError(Bytes({2, 2, 0xCC, 0x01, 0}), 4, 1), 28u);  // clear, 1, then 7: beyond the next code
    EXPECT_EQ(DecodeError(Bytes({2, 1, 0x34, 0}), 4, 1), 28u);        // clear, then 6: a string before any exists
    EXPECT_EQ(DecodeError(Bytes({2, 4, 0x4C}), 4, 1), uint32_t(kCvErrFileEnd));  // the file ends inside a sub-block
}
