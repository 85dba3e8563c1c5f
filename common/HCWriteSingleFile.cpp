// The GIF file-level decisions for one frame: global colour table, background index, no local table, the comment.
// Works on a clone of the frame; a file written by path appears under its name only when it is complete.
#include "common/HCWriteSingleFile.h"

#include <algorithm>
#include <cerrno>
#include <memory>
#include <new>
#include <string>

#include "cvcode2/CvErrorCode.h"
#include "cvcode2/CvFile.h"
#include "cvcode2/CvGIFFile.h"
#include "cvcode2/CvGIFFrame.h"
#include "cvcode2/CvGIFInfo.h"
#include "cvcode2/CvIndexedImage.h"
#include "platform/PlatformFile.h"

const char kCountOnlyPath[] = " ";

namespace {

using FramePtr = std::unique_ptr<CvGIFFrame>;
constexpr uint32_t kMaxSide = 0xFFFF;

FramePtr CloneFrame(const CvImage& image) {
    std::unique_ptr<CvImage> clone(image.Clone());
    if (!clone) CV_THROW(kCvErrNoMemory);
    if (!dynamic_cast<CvGIFFrame*>(clone.get())) CV_THROW(kCvErrBadArgument);
    return FramePtr(static_cast<CvGIFFrame*>(clone.release()));
}

// A file whose image has no pixels is refused or misdrawn by many readers: such a frame goes out as one
// transparent pixel of the same palette and background colour.
FramePtr OnePixelFor(const CvGIFFrame& empty) {
    FramePtr one(CvAllocated(new (std::nothrow) CvGIFFrame(1u, 1u)));
    const CvColorTable& table = empty.GetIndexedImage()->colorTable;
    if (table.GetCount() > 0) one->GetIndexedImage()->colorTable = table;
    CvGIFFrameInfo& info = one->FrameInfo();
    info = empty.FrameInfo();
    info.width = info.height = 1;
    info.hasGraphicControl = 1;
    one->SetBackgroundColor(empty.GetBackgroundColor());
    one->MarkIndexTransparent(0);
    return one;
}

// The index the background colour goes into: the transparent one, else a free, a merged or an appended entry.
uint8_t ChooseBackgroundIndex(CvGIFFrame& frame) {
    if (frame.HasTransparency()) {
        frame.ChooseTransparentIndex(false);
        return frame.GetTransparentIndex();
    }
    CvIndexedImage& image = *frame.GetIndexedImage();
    uint32_t counts[256] = {};
    image.CountIndexUsage(counts);
    const uint32_t n = std::min<uint32_t>(image.colorTable.GetCount(), 256);
    bool found = false;
    const uint32_t free = CvIndexedImage::FindUnused(counts, n, &found);
    if (found) return uint8_t(free);
    // One entry more would double the table written to the file: merge the cheapest entry instead.
    if (n == 256 || n == 128 || n == 64) {
        uint8_t index = 0, into = 0;
        image.ChooseMergePair(counts, 5, &index, &into);
        image.ReplaceIndex(index, into);
        return index;
    }
    image.colorTable.SetCount(n + 1);
    return uint8_t(n);
}

std::unique_ptr<CvGIFGlobalInfo> NewGlobalInfo(const CvGIFComment* comment) {
    std::unique_ptr<CvGIFGlobalInfo> global(CvAllocated(new (std::nothrow) CvGIFGlobalInfo()));
    global->is89a = 1;
    global->hasGlobalColorTable = 1;
    global->colorResolution = 8;
    global->sortFlag = 0;
    global->hasLoopExtension = 0;
    global->loopCount = 0;
    global->pixelAspectRatio = 0;
    if (comment) global->AddComment(comment->Clone());
    return global;
}

// Puts the background colour into the frame's table and makes that table the file's global one.
void PrepareFrame(CvGIFFrame& frame, CvGIFGlobalInfo& global) {
    const uint8_t background = ChooseBackgroundIndex(frame);
    CvIndexedImage& image = *frame.GetIndexedImage();
    const uint8_t* rgb = frame.GetBackgroundColor();
    image.colorTable.SetEntry(background, rgb[0], rgb[1], rgb[2]);
    global.globalColorTable = image.colorTable;
    global.globalColorTableSize = uint16_t(image.colorTable.GetCount());
    global.backgroundIndex = background;
    CvGIFFrameInfo& info = frame.FrameInfo();
    info.hasLocalColorTable = 0;
    info.left = info.top = 0;
    info.width = uint16_t(frame.GetWidth());
    info.height = uint16_t(frame.GetHeight());
}

// The encoder's freedom for the prepared frame: base entries and the background (or transparent) index locked.
CvLossyOptions LossyOptionsFor(const HcLossyCoding& lossy, const CvGIFGlobalInfo& global) {
    CvLossyOptions options;
    options.level = lossy.level;
    std::fill_n(options.locked, std::min<uint32_t>(lossy.baseEntries, 256), uint8_t(1));
    options.locked[global.backgroundIndex] = 1;
    return options;
}

// Writes (or counts) the whole file through an already set-up CvGIFFile and returns its length.
uint32_t Emit(CvGIFFile& file, CvGIFFrame& frame, const CvGIFGlobalInfo& global, const CvLossyOptions& lossy,
              uint16_t mode, int32_t handle, CvProgressIndicator* progress) {
    file.SetLossy(lossy);
    file.SetProgressIndicator(progress);
    file.SetScreenSize(frame.GetWidth(), frame.GetHeight());
    file.SetGlobalInfo(global.Clone());
    file.SetFrameCount(1);
    file.Open(mode, handle == 0, handle);
    file.WriteFrame(frame.GetIndexedImage(), &frame.FrameInfo());
    const uint32_t length = file.GetLength();
    file.Close();
    return length;
}

// A name beside `target` that no file has yet, so a failed write never touches an existing file.
std::string TemporaryNameBeside(const std::string& target) {
    for (int n = 0; n < 1000; ++n) {
        std::string name = target + "." + std::to_string(n) + ".tmp";
        const int fd = Platform::FdOpen(name.c_str(), Platform::FileAccess::Read);
        if (fd < 0) return name;
        Platform::FdClose(fd);
    }
    CV_THROW(kCvErrFileExists);
}

// Creates or empties the file; one that cannot be is removed and created once more.
void CreateFresh(CvGIFFile& file) {
    try {
        file.CreateEmpty();
    } catch (const CvErrorCode&) {
        file.Delete();
        file.CreateEmpty();
    }
}

uint32_t WriteReplacing(const CvFileLocator& target, CvGIFFrame& frame, const CvGIFGlobalInfo& global,
                        const CvLossyOptions& lossy, bool createFirst, CvProgressIndicator* progress) {
    if (!target.HasPath()) CV_THROW(kCvErrFileNoPath);
    const std::string temporary = TemporaryNameBeside(target.Path());
    try {
        uint32_t length = 0;
        {
            CvGIFFile file;
            file.SetPath(temporary.c_str());
            if (createFirst) CreateFresh(file);
            length = Emit(file, frame, global, lossy, kCvFileWrite, 0, progress);
        }
        const int failure = Platform::RenameReplacing(temporary.c_str(), target.Path());
        if (failure != 0) CV_THROW_DETAIL(CvFileErrorForSystemError(failure), uint32_t(failure));
        return length;
    } catch (...) {
        Platform::FileRemove(temporary.c_str());
        throw;
    }
}

}  // namespace

uint32_t HCWriteSingleFile(const CvFileLocator& locator, const CvImage& frameImage, const CvGIFComment* comment,
                           bool writeToFile, int32_t handle, bool createFirst, const HcLossyCoding& lossy,
                           CvProgressIndicator* progress) {
    std::unique_ptr<CvGIFGlobalInfo> global(NewGlobalInfo(comment));
    FramePtr frame = CloneFrame(frameImage);
    if (frame->GetWidth() == 0 || frame->GetHeight() == 0) frame = OnePixelFor(*frame);
    if (frame->GetWidth() > kMaxSide || frame->GetHeight() > kMaxSide) CV_THROW(kCvErrSizeMismatch);
    PrepareFrame(*frame, *global);
    const CvLossyOptions options = LossyOptionsFor(lossy, *global);
    if (!writeToFile) {
        CvGIFFile counter;
        return Emit(counter, *frame, *global, options, kCvFileWrite | kCvFileCountOnly, 0, progress);
    }
    if (handle != 0) {
        CvGIFFile file;
        if (locator.HasPath()) file.SetPath(locator.Path());
        return Emit(file, *frame, *global, options, kCvFileWrite, handle, progress);
    }
    return WriteReplacing(locator, *frame, *global, options, createFirst, progress);
}
