// GIF through the plug-in's own reader: the first frame becomes RGB samples from its colour table, with alpha where
// it names a transparent index. The frame's own size is the image's, which its data bounds (not the screen's).
#include <algorithm>
#include <memory>

#include "cli/InputImage.h"
#include "cvcode2/CvErrorCode.h"
#include "cvcode2/CvFile.h"
#include "cvcode2/CvGIFFile.h"
#include "cvcode2/CvGIFInfo.h"
#include "cvcode2/CvIndexedImage.h"

namespace {

std::string DamageCause(uint32_t code) {
    switch (code) {
        case kCvErrFileEnd: return "the file ends too early";
        case kCvErrGIFVersion: return "its version is neither 87a nor 89a";
        default: return "damaged data";
    }
}

// Indices past the colour table (a table shorter than the code size allows, or none at all) read black.
void PaintFrame(const CvIndexedImage& frame, const CvGIFFrameInfo& info, InputImage& image) {
    const CvColorTable& table = frame.colorTable;
    const size_t channels = size_t(image.channels);
    CvPixelLock lock(frame);
    uint8_t* out = image.pixels.data();
    for (uint32_t y = 0; y < frame.GetHeight(); ++y) {
        const uint8_t* indices = lock.Row(y);
        for (uint32_t x = 0; x < frame.GetWidth(); ++x, out += channels) {
            const uint8_t index = indices[x];
            if (index < table.GetCount()) std::copy_n(table.Entry(index), 3, out);
            if (channels == 4) out[3] = info.transparentFlag && index == info.transparentIndex ? 0 : 255;
        }
    }
}

InputImage DecodeFirstFrame(CvGIFFile& file, const std::string& path) {
    file.Open(kCvFileRead);
    if (file.GetFrameCount() == 0) throw ImageReadError(path + ": the GIF file holds no image");
    file.SeekFrame(0);
    std::unique_ptr<CvGIFFrameInfo> info(static_cast<CvGIFFrameInfo*>(file.ReadFrameInfo()));
    CheckInputSize(path, info->width, info->height);
    std::unique_ptr<CvIndexedImage> frame(file.ReadFrameImage());
    InputImage image;
    SizeInputImage(image, path, info->width, info->height, info->transparentFlag ? 4 : 3);
    PaintFrame(*frame, *info, image);
    file.Close();
    return image;
}

}  // namespace

InputImage ReadGif(const std::string& path) {
    CvGIFFile file;
    file.SetPath(path.c_str());
    try {
        return DecodeFirstFrame(file, path);
    } catch (const CvErrorCode& error) {
        if (error.code == kCvErrNoMemory)
            throw ImageReadError(path + ": there is not enough memory for an image this large");
        throw ImageReadError(path + ": not a readable GIF image (" + DamageCause(error.code) + ")");
    }
}
