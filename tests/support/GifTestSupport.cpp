// Test pictures and whole-file helpers for the GIF container tests.
// Files are written and read only through the classes under test.
#include "tests/support/GifTestSupport.h"

#include <algorithm>

#include "cvcode2/CvBitmapImage.h"
#include "cvcode2/CvRealImage.h"

std::unique_ptr<CvIndexedImage> MakeIndexedPicture(uint32_t width, uint32_t height, uint32_t colors) {
    CvColorTable table(colors);
    for (uint32_t i = 0; i < colors; ++i) table.SetEntry(i, uint8_t(i), uint8_t(255 - i), uint8_t(i * 37 + 5));
    auto image = std::make_unique<CvIndexedImage>(width, height, &table);
    CvPixelLock lock(*image);
    for (uint32_t y = 0; y < height; ++y)
        for (uint32_t x = 0; x < width; ++x) lock.Row(y)[x] = uint8_t((x * 7 + y * 3 + x * y) % colors);
    return image;
}

void WriteOneFrameGif(const std::string& path, CvIndexedImage& image, const GifWriteOptions& options) {
    auto* global = new CvGIFGlobalInfo;
    global->hasGlobalColorTable = 1;
    global->globalColorTable = image.colorTable;
    global->hasLoopExtension = 0;
    if (!options.comment.empty())
        global->AddComment(uint32_t(options.comment.size()), reinterpret_cast<const uint8_t*>(options.comment.data()));
    CvGIFFile file;
    file.SetPath(path.c_str());
    file.SetLossy(options.lossy);
    file.SetScreenSize(image.GetWidth(), image.GetHeight());
    file.SetGlobalInfo(global);
    file.SetFrameCount(1);
    file.Open(kCvFileWrite);
    std::unique_ptr<CvGIFFrameInfo> info(static_cast<CvGIFFrameInfo*>(file.NewFrameInfo(&image)));
    info->hasLocalColorTable = 0;
    info->hasGraphicControl = 1;
    info->interlaced = options.interlaced;
    info->transparentFlag = options.transparent;
    info->transparentIndex = options.transparentIndex;
    file.WriteFrame(&image, info.get());
    file.Close();
}

std::vector<ReadFrame> ReadAllFrames(const std::string& path) {
    CvGIFFile file;
    file.SetPath(path.c_str());
    file.Open(kCvFileRead);
    std::vector<ReadFrame> frames;
    for (uint32_t i = 0; i < file.GetFrameCount(); ++i) {
        file.SeekFrame(i);
        frames.push_back(ReadFrame{std::unique_ptr<CvIndexedImage>(file.ReadFrameImage())});
    }
    file.Close();
    return frames;
}

std::unique_ptr<CvGIFFrame> MakeFrame(uint32_t width, uint32_t height, uint32_t colors, const PixelRule& index,
                                      const PixelRule& transparent) {
    auto image = MakeIndexedPicture(width, height, colors);
    {
        CvPixelLock pixels(*image);
        for (uint32_t y = 0; y < height; ++y)
            for (uint32_t x = 0; x < width; ++x) pixels.Row(y)[x] = uint8_t(index(x, y));
    }
    return FrameOf(*image, transparent);
}

std::unique_ptr<CvGIFFrame> FrameOf(const CvIndexedImage& image, const PixelRule& transparent) {
    CvBitmapImage mask(image.GetWidth(), image.GetHeight(), nullptr, nullptr, false);
    mask.SetPolarity(1);
    {
        CvPixelLock bits(mask);
        for (uint32_t y = 0; y < image.GetHeight(); ++y) {
            std::fill(bits.Row(y), bits.Row(y) + mask.RowBytes(), uint8_t(0));
            for (uint32_t x = 0; x < image.GetWidth(); ++x)
                if (transparent(x, y)) bits.Row(y)[x / 8] |= uint8_t(0x80 >> (x % 8));
        }
    }
    return std::make_unique<CvGIFFrame>(image, mask);
}
