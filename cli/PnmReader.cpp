// Binary PGM (P5), PPM (P6) and PAM (P7) images, 8 or 16 bits per sample, scaled to 8 bits with rounding.
// The header is parsed strictly and the pixel data must be complete.
#include <cctype>
#include <cstring>

#include "cli/InputImage.h"

namespace {

class HeaderScanner {
public:
    HeaderScanner(const std::string& path, const std::string& bytes) : path_(path), bytes_(bytes) {}

    // The next whitespace-separated word, skipping '#' comments.
    std::string Word() {
        for (;;) {
            while (pos_ < bytes_.size() && std::isspace(uint8_t(bytes_[pos_]))) ++pos_;
            if (pos_ < bytes_.size() && bytes_[pos_] == '#') {
                while (pos_ < bytes_.size() && bytes_[pos_] != '\n') ++pos_;
                continue;
            }
            break;
        }
        size_t start = pos_;
        while (pos_ < bytes_.size() && !std::isspace(uint8_t(bytes_[pos_]))) ++pos_;
        if (start == pos_) Fail("the header ends early");
        return bytes_.substr(start, pos_ - start);
    }

    uint64_t Number() {
        std::string word = Word();
        if (word.size() > 9 || word.find_first_not_of("0123456789") != std::string::npos)
            Fail("the header holds '" + word + "' where a number belongs");
        return std::stoull(word);
    }

    // The single whitespace byte that ends a PGM/PPM header.
    void EndOfHeader() {
        if (pos_ >= bytes_.size() || !std::isspace(uint8_t(bytes_[pos_]))) Fail("the header is not terminated");
        ++pos_;
    }

    // PAM headers end with the line ENDHDR.
    void SkipLine() {
        while (pos_ < bytes_.size() && bytes_[pos_] != '\n') ++pos_;
        if (pos_ < bytes_.size()) ++pos_;
    }

    size_t Position() const { return pos_; }
    [[noreturn]] void Fail(const std::string& why) const { throw ImageReadError(path_ + ": " + why); }

private:
    const std::string& path_;
    const std::string& bytes_;
    size_t pos_ = 0;
};

struct PnmHeader {
    uint64_t width = 0, height = 0, depth = 0, maxval = 0;
    bool hasAlpha = false;
};

PnmHeader ReadPamHeader(HeaderScanner& scanner) {
    PnmHeader header;
    std::string tupleType;
    for (;;) {
        std::string word = scanner.Word();
        if (word == "ENDHDR") break;
        if (word == "WIDTH")
            header.width = scanner.Number();
        else if (word == "HEIGHT")
            header.height = scanner.Number();
        else if (word == "DEPTH")
            header.depth = scanner.Number();
        else if (word == "MAXVAL")
            header.maxval = scanner.Number();
        else if (word == "TUPLTYPE")
            tupleType = scanner.Word();
        else
            scanner.Fail("unknown PAM header field '" + word + "'");
    }
    scanner.SkipLine();
    if (header.depth < 1 || header.depth > 4) scanner.Fail("PAM depth must be 1 to 4");
    header.hasAlpha = tupleType.find("ALPHA") != std::string::npos || header.depth == 2 || header.depth == 4;
    return header;
}

}  // namespace

InputImage ReadPnm(const std::string& path, const std::string& bytes) {
    HeaderScanner scanner(path, bytes);
    std::string magic = scanner.Word();
    PnmHeader header;
    if (magic == "P7") {
        header = ReadPamHeader(scanner);
    } else {
        header.width = scanner.Number();
        header.height = scanner.Number();
        header.maxval = scanner.Number();
        header.depth = magic == "P5" ? 1 : 3;
        scanner.EndOfHeader();
    }
    if (header.maxval < 1 || header.maxval > 65535) scanner.Fail("the maximum sample value must be 1 to 65535");

    // The data is looked for before the pixels are allocated: a few bytes of header cannot claim gigabytes.
    CheckInputSize(path, header.width, header.height);
    const size_t sampleBytes = header.maxval > 255 ? 2 : 1;
    const size_t samples = size_t(header.width * header.height * header.depth);
    if (bytes.size() - scanner.Position() < samples * sampleBytes) scanner.Fail("the pixel data is incomplete");
    InputImage image;
    SizeInputImage(image, path, header.width, header.height, int(header.depth));
    const uint8_t* data = reinterpret_cast<const uint8_t*>(bytes.data()) + scanner.Position();
    for (size_t i = 0; i < samples; ++i) {
        uint32_t value = sampleBytes == 2 ? uint32_t(data[2 * i]) << 8 | data[2 * i + 1] : data[i];
        if (value > header.maxval) scanner.Fail("a sample exceeds the maximum value");
        image.pixels[i] = uint8_t((value * 255 + header.maxval / 2) / header.maxval);
    }
    return image;
}
