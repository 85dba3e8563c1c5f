// Choosing a reader by the file's first bytes, and the size rule every reader applies.
// A file we cannot name the kind of is refused with the list of kinds we read.
#include "cli/InputImage.h"

#include <filesystem>
#include <fstream>
#include <sstream>

#include "cli/Utf8Path.h"

namespace {

#if defined(HC_HAVE_WIC)
const std::string kReadKinds = "PNG, JPEG, BMP, TIFF, PGM, PPM or PAM";
#else
const std::string kReadKinds = "PNG, JPEG, PGM, PPM or PAM";
#endif

bool StartsWith(const std::string& head, const char* magic, size_t size) {
    return head.size() >= size && head.compare(0, size, magic, size) == 0;
}

// The compressed formats by their signatures; empty for anything else.
std::string KindOf(const std::string& head) {
    if (StartsWith(head, "\x89PNG\r\n\x1a\n", 8)) return "PNG";
    if (StartsWith(head, "\xFF\xD8\xFF", 3)) return "JPEG";
    if (StartsWith(head, "BM", 2)) return "BMP";
    if (StartsWith(head, "II*\0", 4) || StartsWith(head, "MM\0*", 4)) return "TIFF";
    return "";
}

InputImage ReadKind(const std::string& path, const std::string& kind) {
#if defined(HC_HAVE_WIC)
    return ReadWic(path, kind);
#else
#if defined(HC_HAVE_PNG)
    if (kind == "PNG") return ReadPng(path);
#endif
#if defined(HC_HAVE_JPEG)
    if (kind == "JPEG") return ReadJpeg(path);
#endif
    throw ImageReadError(path + ": " + kind + " images are not read by this build; use a " + kReadKinds + " image");
#endif
}

}  // namespace

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
    const std::string head(magic, size_t(in.gcount()));
    const std::string kind = KindOf(head);
    if (!kind.empty()) return ReadKind(path, kind);
    if (head.size() >= 2 && head[0] == 'P' && (head[1] == '5' || head[1] == '6' || head[1] == '7')) {
        in.clear();
        in.seekg(0);
        std::ostringstream bytes;
        bytes << in.rdbuf();
        return ReadPnm(path, bytes.str());
    }
    throw ImageReadError(path + ": not a " + kReadKinds + " image");
}
