// Fuzz entry for the GIF reader: any bytes as a GIF file: header, frame scan, frame info and frame image of the
// first frames. Every frame that decodes and can be written again must read back to the same pixels; a difference
// aborts.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

#include "cvcode2/CvErrorCode.h"
#include "cvcode2/CvGIFFile.h"
#include "cvcode2/CvIndexedImage.h"
#include "tests/fuzz/FuzzInput.h"

namespace {

constexpr uint32_t kMostFrames = 8;
constexpr uint64_t kMostRewrittenPixels = 1u << 16;

bool SamePixels(const CvIndexedImage& a, const CvIndexedImage& b) {
    if (a.GetWidth() != b.GetWidth() || a.GetHeight() != b.GetHeight()) return false;
    CvPixelLock la(a), lb(b);
    for (uint32_t y = 0; y < a.GetHeight(); ++y)
        if (std::memcmp(la.Row(y), lb.Row(y), a.GetWidth()) != 0) return false;
    return true;
}

// Writes the frame alone into a second file and reads it back.
void CheckRewrite(const CvGIFFile& source, CvIndexedImage& image) {
    const std::string path = WriteFuzzFile("gif-rewrite", nullptr, 0);
    CvGIFFile out;
    out.SetPath(path.c_str());
    out.SetScreenSize(source.ScreenWidth(), source.ScreenHeight());
    out.SetGlobalInfo(source.GetGlobalInfo());
    out.SetFrameCount(1);
    std::unique_ptr<CvGIFFrameInfo> info(static_cast<const CvGIFFrameInfo*>(image.GetFormatInfo())->Clone());
    try {
        out.Open(kCvFileWrite);
        out.WriteFrame(&image, info.get());
        out.Close();
    } catch (const CvErrorCode&) {
        return;  // not every readable frame is writable (indices past its table, for one)
    }
    try {
        CvGIFFile back;
        back.SetPath(path.c_str());
        back.Open(kCvFileRead);
        std::unique_ptr<CvIndexedImage> again(back.ReadFrameImage());
        if (SamePixels(image, *again)) return;
    } catch (const CvErrorCode&) {
        // What we wrote must read back: fall through to the abort.
    }
    std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    CvGIFFile file;
    file.SetPath(WriteFuzzFile("gif", data, size).c_str());
    try {
        file.Open(kCvFileRead);
        delete file.GetGlobalInfo();
    } catch (const CvErrorCode&) {
        return 0;  // rejected files are a correct outcome
    }
    const uint32_t frames = std::min(file.GetFrameCount(), kMostFrames);
    for (uint32_t i = 0; i < frames; ++i) {
        try {
            file.SeekFrame(i);
            delete file.ReadFrameInfo();
            std::unique_ptr<CvIndexedImage> image(file.ReadFrameImage());
            if (uint64_t(image->GetWidth()) * image->GetHeight() <= kMostRewrittenPixels) CheckRewrite(file, *image);
        } catch (const CvErrorCode&) {
            // A broken frame does not stop the others.
        }
    }
    return 0;
}
