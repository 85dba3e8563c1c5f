// Images read from files for the command-line tool: 8-bit interleaved samples, 1 to 4 channels.
// Every reader checks sizes before allocating and reports failures as one clear sentence.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

struct InputImage {
    int width = 0;
    int height = 0;
    int channels = 0;             // 1 grey, 2 grey + alpha, 3 RGB, 4 RGBA
    std::vector<uint8_t> pixels;  // width × height × channels, rows top first
};

class ImageReadError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The host interface holds sizes in 16-bit fields.
constexpr int kMaxImageSide = 32767;

// Reads PNG, JPEG, GIF, WebP, TIFF, BMP and PNM/PAM files, chosen by their first bytes: through Debian's libraries
// and our own readers, or the system's decoders on Windows (GIF and PNM/PAM through our own there too).
InputImage ReadImageFile(const std::string& path);

InputImage ReadPnm(const std::string& path, const std::string& bytes);
// The first frame of a GIF file through the plug-in's own GIF reader.
InputImage ReadGif(const std::string& path);
#if defined(HC_HAVE_WIC)
// PNG, JPEG, BMP, TIFF or WebP (where the system has its decoder) through the system's decoders; `kind` names the
// format in messages.
InputImage ReadWic(const std::string& path, const std::string& kind);
#else
InputImage ReadPng(const std::string& path);
InputImage ReadJpeg(const std::string& path);
InputImage ReadWebp(const std::string& path);
InputImage ReadTiff(const std::string& path);
InputImage ReadBmp(const std::string& path, const std::string& bytes);
#endif

// Throws ImageReadError unless width and height fit the host interface. Readers call it before they look for the
// pixel data a file states, so a huge size gets its own message.
void CheckInputSize(const std::string& path, uint64_t width, uint64_t height);
// The same check, then allocates the pixels.
void SizeInputImage(InputImage& image, const std::string& path, uint64_t width, uint64_t height, int channels);
