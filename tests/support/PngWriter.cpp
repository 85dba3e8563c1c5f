// PNG files from RGB rows: signature, IHDR, one IDAT holding a zlib stream of stored blocks, IEND.
// Every chunk carries the CRC32 of its type and data; the zlib stream ends with the Adler-32 of the raw rows.
#include "tests/support/PngWriter.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <stdexcept>

namespace {

uint32_t Crc32(const std::string& bytes) {
    uint32_t crc = 0xFFFFFFFFu;
    for (const char byte : bytes) {
        crc ^= uint8_t(byte);
        for (int bit = 0; bit < 8; ++bit) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1)));
    }
    return ~crc;
}

uint32_t Adler32(const std::vector<uint8_t>& bytes) {
    uint32_t a = 1, b = 0;
    for (const uint8_t byte : bytes) {
        a = (a + byte) % 65521;
        b = (b + a) % 65521;
    }
    return b << 16 | a;
}

void PutBigEndian32(std::string& out, uint32_t value) {
    for (int shift = 24; shift >= 0; shift -= 8) out.push_back(char(value >> shift & 0xFF));
}

void PutChunk(std::string& out, const char* type, const std::string& data) {
    PutBigEndian32(out, uint32_t(data.size()));
    const std::string typed = std::string(type, 4) + data;
    out += typed;
    PutBigEndian32(out, Crc32(typed));
}

// The zlib stream of `raw` in stored deflate blocks of at most 65535 bytes each.
std::string StoredZlib(const std::vector<uint8_t>& raw) {
    std::string out("\x78\x01", 2);
    size_t offset = 0;
    do {
        const size_t length = std::min<size_t>(raw.size() - offset, 65535);
        const bool last = offset + length == raw.size();
        out.push_back(char(last ? 1 : 0));
        for (const size_t half : {length, ~length}) out += {char(half & 0xFF), char(half >> 8 & 0xFF)};
        out.append(reinterpret_cast<const char*>(raw.data()) + offset, length);
        offset += length;
    } while (offset < raw.size());
    PutBigEndian32(out, Adler32(raw));
    return out;
}

}  // namespace

void WritePngFile(const std::string& path, int width, int height, const std::vector<uint8_t>& rgb) {
    if (width <= 0 || height <= 0 || rgb.size() != size_t(width) * size_t(height) * 3)
        throw std::invalid_argument("WritePngFile: pixel count does not match the size");
    std::string header;
    PutBigEndian32(header, uint32_t(width));
    PutBigEndian32(header, uint32_t(height));
    header += std::string("\x08\x02\x00\x00\x00", 5);  // 8 bits, RGB, deflate, adaptive filters, no interlace
    const size_t rowBytes = size_t(width) * 3;
    std::vector<uint8_t> raw;
    raw.reserve((rowBytes + 1) * size_t(height));
    for (int y = 0; y < height; ++y) {
        raw.push_back(0);  // filter: none
        raw.insert(raw.end(), rgb.begin() + ptrdiff_t(rowBytes * size_t(y)),
                   rgb.begin() + ptrdiff_t(rowBytes * size_t(y + 1)));
    }
    std::string png("\x89PNG\r\n\x1a\n", 8);
    PutChunk(png, "IHDR", header);
    PutChunk(png, "IDAT", StoredZlib(raw));
    PutChunk(png, "IEND", "");
    const std::filesystem::path file(path);
    if (file.has_parent_path()) std::filesystem::create_directories(file.parent_path());
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out.write(png.data(), std::streamsize(png.size()));
    if (!out.flush()) throw std::runtime_error("cannot write " + path);
}
