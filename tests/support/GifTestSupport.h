// Shared by the GIF container tests: indexed test pictures, writing one-frame files with our writer, and reading
// a file's frames back with our reader.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "cvcode2/CvGIFFile.h"
#include "cvcode2/CvGIFFrame.h"
#include "cvcode2/CvIndexedImage.h"
#include "cvcode2/CvLzwLossy.h"
#include "tests/support/ImageTestSupport.h"

// An image whose index at (x, y) is (x * 7 + y * 3 + x * y) mod colours: rows and columns all differ, so a
// flipped, transposed or wrongly interlaced image shows. The table's entries are distinct, asymmetric colours.
std::unique_ptr<CvIndexedImage> MakeIndexedPicture(uint32_t width, uint32_t height, uint32_t colors);

struct GifWriteOptions {
    bool interlaced = false;
    std::string comment;
    bool transparent = false;
    uint8_t transparentIndex = 0;
    CvLossyOptions lossy;
};

// One frame with a global table (the image's) and a graphic control extension, as the export writes it.
void WriteOneFrameGif(const std::string& path, CvIndexedImage& image, const GifWriteOptions& options);

struct ReadFrame {
    std::unique_ptr<CvIndexedImage> image;
    const CvGIFFrameInfo* info() const { return static_cast<const CvGIFFrameInfo*>(image->GetFormatInfo()); }
};
// Every frame of a file, through our reader.
std::vector<ReadFrame> ReadAllFrames(const std::string& path);

// A frame of `colors` distinct colours (MakeIndexedPicture's table) with the index and transparency each pixel
// is given; the transparency flag follows the mask.
using PixelRule = std::function<uint32_t(uint32_t x, uint32_t y)>;
std::unique_ptr<CvGIFFrame> MakeFrame(uint32_t width, uint32_t height, uint32_t colors, const PixelRule& index,
                                      const PixelRule& transparent);
// A frame of the image with the pixels `transparent` names transparent.
std::unique_ptr<CvGIFFrame> FrameOf(const CvIndexedImage& image, const PixelRule& transparent);
