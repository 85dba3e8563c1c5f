// BMP files: the OS/2 and Windows headers, 1-, 4- and 8-bit palettes (also run-length encoded) and 16-, 24- and
// 32-bit pixels with their channel masks. Every size, offset and count is checked against the file before use.
#include <algorithm>
#include <array>
#include <cstring>

#include "cli/InputImage.h"

namespace {

enum BmpCompression : uint32_t {
    kRgb = 0,
    kRle8 = 1,
    kRle4 = 2,
    kBitFields = 3,
    kJpeg = 4,
    kPng = 5,
    kAlphaBitFields = 6
};

constexpr uint32_t kFileHeaderSize = 14;
constexpr uint32_t kCoreHeaderSize = 12;  // OS/2: 16-bit sizes, three-byte palette entries
constexpr uint32_t kInfoHeaderSize = 40;
constexpr uint32_t kOs2InfoHeaderSize = 64;

// Little-endian fields of the file, each read only where the file has it.
class BmpBytes {
public:
    BmpBytes(const std::string& path, const std::string& bytes) : path_(path), bytes_(bytes) {}
    size_t Size() const { return bytes_.size(); }
    uint8_t U8(uint64_t at) const {
        Need(at, 1);
        return uint8_t(bytes_[size_t(at)]);
    }
    uint32_t U16(uint64_t at) const { return uint32_t(U8(at)) | uint32_t(U8(at + 1)) << 8; }
    uint32_t U32(uint64_t at) const { return U16(at) | U16(at + 2) << 16; }
    const uint8_t* Span(uint64_t at, uint64_t count, const char* what) const {
        if (at > bytes_.size() || count > bytes_.size() - at) Fail(std::string("the ") + what + " is incomplete");
        return reinterpret_cast<const uint8_t*>(bytes_.data()) + at;
    }
    [[noreturn]] void Fail(const std::string& why) const {
        throw ImageReadError(path_ + ": not a readable BMP image (" + why + ")");
    }

private:
    void Need(uint64_t at, uint64_t count) const {
        if (at > bytes_.size() || count > bytes_.size() - at) Fail("the header is incomplete");
    }
    const std::string& path_;
    const std::string& bytes_;
};

// A channel's bits within a pixel, scaled to 8 bits with rounding; a channel without bits reads `absent`.
struct ChannelMask {
    uint32_t mask = 0;
    uint32_t shift = 0;
    uint64_t top = 0;  // the channel's largest value

    bool Valid() const { return mask == 0 || ((mask >> shift) & ((mask >> shift) + 1)) == 0; }
    uint8_t Sample(uint32_t pixel, uint8_t absent) const {
        if (mask == 0) return absent;
        return uint8_t((uint64_t((pixel & mask) >> shift) * 255 + top / 2) / top);
    }
};

ChannelMask MaskOf(uint32_t mask) {
    ChannelMask channel;
    channel.mask = mask;
    while (mask != 0 && !(mask >> channel.shift & 1)) ++channel.shift;
    channel.top = mask == 0 ? 1 : uint64_t(mask >> channel.shift);
    return channel;
}

struct BmpLayout {
    uint64_t width = 0, height = 0;
    bool topDown = false;
    uint32_t bits = 0;
    uint32_t compression = kRgb;
    std::array<ChannelMask, 4> masks;  // red, green, blue, alpha
    std::vector<std::array<uint8_t, 3>> palette;
    uint64_t pixelOffset = 0;
};

void ReadMasks(const BmpBytes& file, uint64_t at, int count, BmpLayout& layout) {
    for (int i = 0; i < count; ++i) layout.masks[size_t(i)] = MaskOf(file.U32(at + 4 * uint64_t(i)));
    for (const ChannelMask& channel : layout.masks)
        if (!channel.Valid()) file.Fail("a channel mask is not one run of bits");
}

void DefaultMasks(BmpLayout& layout) {
    const bool bits16 = layout.bits == 16;
    layout.masks = {MaskOf(bits16 ? 0x7C00 : 0xFF0000), MaskOf(bits16 ? 0x03E0 : 0xFF00), MaskOf(bits16 ? 0x1F : 0xFF),
                    MaskOf(0)};
}

void ReadPalette(const BmpBytes& file, uint64_t at, uint32_t entrySize, uint32_t colorsUsed, BmpLayout& layout) {
    const uint32_t entries = colorsUsed != 0 ? colorsUsed : 1u << layout.bits;
    if (entries > 256) file.Fail("the colour table holds more than 256 colours");
    const uint8_t* table = file.Span(at, uint64_t(entries) * entrySize, "colour table");
    for (uint32_t i = 0; i < entries; ++i, table += entrySize) layout.palette.push_back({table[2], table[1], table[0]});
}

void CheckFormat(const BmpBytes& file, const BmpLayout& layout, uint32_t infoSize) {
    if (layout.compression == kJpeg || layout.compression == kPng)
        file.Fail("it holds a compressed JPEG or PNG image, which is not read");
    const uint32_t bits = layout.bits;
    const bool palette = bits == 1 || bits == 4 || bits == 8;
    const bool valid = (layout.compression == kRgb && (palette || bits == 16 || bits == 24 || bits == 32)) ||
                       (layout.compression == kRle8 && bits == 8) || (layout.compression == kRle4 && bits == 4) ||
                       ((layout.compression == kBitFields || layout.compression == kAlphaBitFields) &&
                        (bits == 16 || bits == 32) && infoSize != kOs2InfoHeaderSize);
    if (!valid)
        file.Fail(std::to_string(bits) + " bits per pixel with compression " + std::to_string(layout.compression) +
                  " is not a kind that is read");
    if (layout.width == 0 || layout.height == 0) file.Fail("the image is empty");
    if (layout.topDown && (layout.compression == kRle8 || layout.compression == kRle4))
        file.Fail("a run-length encoded image is stored top row first");
}

BmpLayout ReadLayout(const BmpBytes& file) {
    BmpLayout layout;
    if (file.U16(0) != ('B' | 'M' << 8)) file.Fail("the signature is missing");
    layout.pixelOffset = file.U32(10);
    const uint32_t infoSize = file.U32(kFileHeaderSize);
    const uint64_t info = kFileHeaderSize;
    if (infoSize == kCoreHeaderSize) {
        layout.width = file.U16(info + 4);
        layout.height = file.U16(info + 6);
        layout.bits = file.U16(info + 10);
    } else if (infoSize >= kInfoHeaderSize && infoSize <= file.Size()) {
        layout.width = file.U32(info + 4);
        const int32_t height = int32_t(file.U32(info + 8));
        layout.topDown = height < 0;
        layout.height = uint64_t(height < 0 ? -int64_t(height) : int64_t(height));
        layout.bits = file.U16(info + 14);
        layout.compression = file.U32(info + 16);
        if (int32_t(layout.width) < 0) file.Fail("the width is negative");
    } else {
        file.Fail("a header of " + std::to_string(infoSize) + " bytes is not a kind that is read");
    }
    CheckFormat(file, layout, infoSize);
    uint64_t tableAt = info + infoSize;
    if (layout.compression == kBitFields || layout.compression == kAlphaBitFields) {
        // Masks follow a 40-byte header; larger headers hold them (the alpha mask from 56 bytes on).
        const int count = layout.compression == kAlphaBitFields || infoSize >= 56 ? 4 : 3;
        ReadMasks(file, info + kInfoHeaderSize, count, layout);
        if (infoSize == kInfoHeaderSize) tableAt += 4 * uint64_t(count);
    } else if (layout.bits > 8) {
        DefaultMasks(layout);
    }
    if (layout.bits <= 8) {
        const bool core = infoSize == kCoreHeaderSize;
        ReadPalette(file, tableAt, core ? 3 : 4, core ? 0 : file.U32(info + 32), layout);
    }
    return layout;
}

// The palette indices of a run-length encoded image, bottom row first as stored; pixels the runs skip stay 0.
std::vector<uint8_t> DecodeRuns(const BmpBytes& file, const BmpLayout& layout) {
    const bool nibbles = layout.compression == kRle4;
    const uint64_t width = layout.width, height = layout.height;
    std::vector<uint8_t> indices(size_t(width * height), 0);
    uint64_t x = 0, y = 0;
    auto put = [&](uint8_t index) {
        if (x < width && y < height) indices[size_t(y * width + x)] = index;
        ++x;
    };
    const uint8_t* data = file.Span(layout.pixelOffset, 0, "pixel data");
    const uint8_t* end = data + (file.Size() - layout.pixelOffset);
    while (end - data >= 2 && y < height) {
        const uint8_t count = data[0], value = data[1];
        data += 2;
        if (count > 0) {
            for (int i = 0; i < count; ++i) put(!nibbles ? value : i % 2 == 0 ? value >> 4 : value & 15);
        } else if (value == 0) {
            x = 0, ++y;  // end of line
        } else if (value == 1) {
            break;  // end of bitmap
        } else if (value == 2) {
            if (end - data < 2) break;
            x += data[0], y += data[1];
            data += 2;
        } else {
            // A literal run, padded to an even number of bytes.
            const size_t bytes = nibbles ? (value + 1u) / 2 : value;
            if (size_t(end - data) < bytes) file.Fail("the pixel data is incomplete");
            for (int i = 0; i < value; ++i) put(!nibbles ? data[i] : i % 2 == 0 ? data[i / 2] >> 4 : data[i / 2] & 15);
            data += std::min(bytes + (bytes & 1), size_t(end - data));
        }
    }
    return indices;
}

uint32_t PackedIndex(const uint8_t* row, uint64_t x, uint32_t bits) {
    if (bits == 8) return row[x];
    const uint64_t bit = x * bits;
    return (row[bit / 8] >> (8 - bits - bit % 8)) & ((1u << bits) - 1);
}

uint32_t PackedPixel(const uint8_t* row, uint64_t x, uint32_t bits) {
    const uint8_t* at = row + x * (bits / 8);
    uint32_t pixel = 0;
    for (uint32_t byte = 0; byte < bits / 8; ++byte) pixel |= uint32_t(at[byte]) << (8 * byte);
    return pixel;
}

void PutIndex(const BmpLayout& layout, uint32_t index, uint8_t* out) {
    static const std::array<uint8_t, 3> kBlack{};
    const std::array<uint8_t, 3>& colour = index < layout.palette.size() ? layout.palette[index] : kBlack;
    std::memcpy(out, colour.data(), 3);
}

// An alpha mask whose every sample is 0 is an unused fourth byte, not a picture that is all transparent.
void DropUnusedAlpha(InputImage& image) {
    for (size_t i = 3; i < image.pixels.size(); i += 4)
        if (image.pixels[i] != 0) return;
    size_t to = 0;
    for (size_t from = 0; from < image.pixels.size(); from += 4, to += 3)
        std::memmove(image.pixels.data() + to, image.pixels.data() + from, 3);
    image.pixels.resize(to);
    image.channels = 3;
}

bool RunLengthEncoded(const BmpLayout& layout) {
    return layout.compression == kRle8 || layout.compression == kRle4;
}

uint64_t StoredRowBytes(const BmpLayout& layout) {
    return (layout.width * layout.bits + 31) / 32 * 4;
}

void DecodePixels(const BmpBytes& file, const BmpLayout& layout, InputImage& image) {
    const bool runs = RunLengthEncoded(layout);
    const std::vector<uint8_t> indices = runs ? DecodeRuns(file, layout) : std::vector<uint8_t>();
    const uint64_t stride = runs ? layout.width : StoredRowBytes(layout);
    const uint8_t* data = runs ? indices.data() : file.Span(layout.pixelOffset, stride * layout.height, "pixel data");
    const size_t channels = size_t(image.channels);
    for (uint64_t y = 0; y < layout.height; ++y) {
        const uint8_t* row = data + stride * (layout.topDown ? y : layout.height - 1 - y);
        uint8_t* out = image.pixels.data() + size_t(y * layout.width) * channels;
        for (uint64_t x = 0; x < layout.width; ++x, out += channels) {
            if (runs) {
                PutIndex(layout, row[x], out);
            } else if (layout.bits <= 8) {
                PutIndex(layout, PackedIndex(row, x, layout.bits), out);
            } else {
                const uint32_t pixel = PackedPixel(row, x, layout.bits);
                for (size_t c = 0; c < channels; ++c) out[c] = layout.masks[c].Sample(pixel, 255);
            }
        }
    }
    if (channels == 4) DropUnusedAlpha(image);
}

}  // namespace

InputImage ReadBmp(const std::string& path, const std::string& bytes) {
    const BmpBytes file(path, bytes);
    const BmpLayout layout = ReadLayout(file);
    // Plain rows are looked for before the pixels are allocated: a few bytes of header cannot claim gigabytes.
    CheckInputSize(path, layout.width, layout.height);
    if (!RunLengthEncoded(layout)) file.Span(layout.pixelOffset, StoredRowBytes(layout) * layout.height, "pixel data");
    InputImage image;
    const bool alpha = layout.bits > 8 && layout.masks[3].mask != 0;
    SizeInputImage(image, path, layout.width, layout.height, alpha ? 4 : 3);
    DecodePixels(file, layout, image);
    return image;
}
