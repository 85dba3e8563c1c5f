// Choosing a reader by the file's first bytes, and the size rule every reader applies.
// A file we cannot name the kind of is refused with the list of kinds we read.
#include "cli/InputImage.h"

#include <filesystem>
#include <fstream>
#include <sstream>

#include "cli/Utf8Path.h"

void SizeInputImage(InputImage& image, const std::string& path, uint64_t width, uint64_t height, int channels) {
    if (width == 0 || height == 0) throw ImageReadError(path + ": the image is empty");
    if (width > uint64_t(kMaxImageSide) || height > uint64_t(kMaxImageSide))
        throw ImageReadError(path + ": the image is " + std::to_string(width) + " x " + std::to_string(height) +
                             " pixels; the largest that can be converted is " + std::to_string(kMaxImageSide) + " x " +
                             std::to_string(kMaxImageSide));
    image.width = int(width);
    image.height = int(height);
    image.channels = channels;
    image.pixels.assign(size_t(width) * size_t(height) * size_t(channels), 0);
}

InputImage ReadImageFile(const std::string& path) {
    std::ifstream in(PathFromUtf8(path), std::ios::binary);
    std::error_code error;
    if (!in)
        throw ImageReadError(path + ": cannot open the file: " +
                             (std::filesystem::exists(PathFromUtf8(path), error) ? "no permission to read it"
                                                                                 : "there is no such file"));
    char magic[8] = {};
    in.read(magic, sizeof magic);
    std::string head(magic, size_t(in.gcount()));
    if (head.size() >= 8 && head.compare(0, 8, "\x89PNG\r\n\x1a\n") == 0) {
#if defined(HC_HAVE_PNG)
        return ReadPng(path);
#else
        throw ImageReadError(path + ": PNG files are not supported by this build; use PNM or PAM");
#endif
    }
    if (head.size() >= 3 && uint8_t(head[0]) == 0xFF && uint8_t(head[1]) == 0xD8 && uint8_t(head[2]) == 0xFF) {
#if defined(HC_HAVE_JPEG)
        return ReadJpeg(path);
#else
        throw ImageReadError(path + ": JPEG files are not supported by this build; use PNM or PAM");
#endif
    }
    if (head.size() >= 2 && head[0] == 'P' && (head[1] == '5' || head[1] == '6' || head[1] == '7')) {
        in.clear();
        in.seekg(0);
        std::ostringstream bytes;
        bytes << in.rdbuf();
        return ReadPnm(path, bytes.str());
    }
    throw ImageReadError(path + ": not a PNG, JPEG, PGM, PPM or PAM image");
}
