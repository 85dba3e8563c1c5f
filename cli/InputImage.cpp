// Choosing a reader by the file's first bytes, and the size rule every reader applies.
// A file we cannot name the kind of is refused with the list of kinds we read.
#include "cli/InputImage.h"

#include <filesystem>
#include <fstream>
#include <sstream>

#include "cli/Utf8Path.h"

namespace {

#if defined(HC_HAVE_WIC)
const std::string kReadKinds = "PNG, JPEG, GIF, BMP, TIFF, PGM, PPM or PAM";
#else
const std::string kReadKinds = "PNG, JPEG, GIF, WebP, TIFF, BMP, PGM, PPM or PAM";
#endif

constexpr size_t kSignatureBytes = 12;

bool StartsWith(const std::string& head, const char* magic, size_t size, size_t at = 0) {
    return head.size() >= at + size && head.compare(at, size, magic, size) == 0;
}

// The formats by their signatures; empty for anything else.
std::string KindOf(const std::string& head) {
    if (StartsWith(head, "\x89PNG\r\n\x1a\n", 8)) return "PNG";
    if (StartsWith(head, "\xFF\xD8\xFF", 3)) return "JPEG";
    if (StartsWith(head, "GIF8", 4)) return "GIF";
    if (StartsWith(head, "RIFF", 4) && StartsWith(head, "WEBP", 4, 8)) return "WebP";
    if (StartsWith(head, "BM", 2)) return "BMP";
    if (StartsWith(head, "II*\0", 4) || StartsWith(head, "MM\0*", 4) || StartsWith(head, "II+\0", 4) ||
        StartsWith(head, "MM\0+", 4))
        return "TIFF";
    if (head.size() >= 2 && head[0] == 'P' && (head[1] == '5' || head[1] == '6' || head[1] == '7')) return "PNM";
    return "";
}

std::string WholeFile(std::ifstream& in) {
    in.clear();
    in.seekg(0);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

InputImage ReadKind(const std::string& path, const std::string& kind, std::ifstream& in) {
    if (kind == "GIF") return ReadGif(path);
    if (kind == "PNM") return ReadPnm(path, WholeFile(in));
#if defined(HC_HAVE_WIC)
    return ReadWic(path, kind);
#else
    if (kind == "PNG") return ReadPng(path);
    if (kind == "JPEG") return ReadJpeg(path);
    if (kind == "WebP") return ReadWebp(path);
    if (kind == "TIFF") return ReadTiff(path);
    return ReadBmp(path, WholeFile(in));
#endif
}

}  // namespace

void CheckInputSize(const std::string& path, uint64_t width, uint64_t height) {
    if (width == 0 || height == 0) throw ImageReadError(path + ": the image is empty");
    if (width > uint64_t(kMaxImageSide) || height > uint64_t(kMaxImageSide))
        throw ImageReadError(path + ": the image is " + std::to_string(width) + " x " + std::to_string(height) +
                             " pixels; the largest that can be converted is " + std::to_string(kMaxImageSide) + " x " +
                             std::to_string(kMaxImageSide));
}

void SizeInputImage(InputImage& image, const std::string& path, uint64_t width, uint64_t height, int channels) {
    CheckInputSize(path, width, height);
    image.width = int(width);
    image.height = int(height);
    image.channels = channels;
    image.pixels.assign(size_t(width) * size_t(height) * size_t(channels), 0);
}

InputImage ReadImageFile(const std::string& path) {
    std::error_code error;
    if (std::filesystem::is_directory(PathFromUtf8(path), error))
        throw ImageReadError(path + ": it is a folder, not an image (name the images in it, e.g. " +
                             Utf8FromPath(PathFromUtf8(path) / "*.png") + ")");
    std::ifstream in(PathFromUtf8(path), std::ios::binary);
    if (!in)
        throw ImageReadError(path + ": cannot open the file: " +
                             (std::filesystem::exists(PathFromUtf8(path), error) ? "no permission to read it"
                                                                                 : "there is no such file"));
    char magic[kSignatureBytes] = {};
    in.read(magic, sizeof magic);
    const std::string kind = KindOf(std::string(magic, size_t(in.gcount())));
    if (kind.empty()) throw ImageReadError(path + ": not a " + kReadKinds + " image");
    return ReadKind(path, kind, in);
}
