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

// Reads PNG, JPEG (where built in), BMP and TIFF (Windows) and PNM/PAM files, chosen by their first bytes.
InputImage ReadImageFile(const std::string& path);

InputImage ReadPnm(const std::string& path, const std::string& bytes);
#if defined(HC_HAVE_PNG)
InputImage ReadPng(const std::string& path);
#endif
#if defined(HC_HAVE_JPEG)
InputImage ReadJpeg(const std::string& path);
#endif
#if defined(HC_HAVE_WIC)
// PNG, JPEG, BMP or TIFF through the system's decoders; `kind` names the format in messages.
InputImage ReadWic(const std::string& path, const std::string& kind);
#endif

// Throws ImageReadError unless width and height fit the host interface; allocates the pixels.
void SizeInputImage(InputImage& image, const std::string& path, uint64_t width, uint64_t height, int channels);
