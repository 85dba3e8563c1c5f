// The GIF file-level decisions for one frame: global colour table, background index, no local table, the comment.
// Leaves the caller's frame as it is; a file written by path appears under its name only when it is complete.
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

const CvGIFFrame& AsFrame(const CvImage& image) {
    const auto* frame = dynamic_cast<const CvGIFFrame*>(&image);
    if (!frame) CV_THROW(kCvErrBadArgument);
    return *frame;
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

// The frame as the file codes it, the frame itself left as it is: the file's table with the background colour in
// its entry, the frame's info as written, and how each row's indices are coded when some differ from the frame's
// (an entry merged away, the transparent pixels given the transparent index).
struct FileCoding {
    const CvGIFFrame* frame = nullptr;
    std::unique_ptr<CvGIFGlobalInfo> global;
    CvLossyOptions lossy;
    CvColorTable table;
    uint8_t background = 0;
    std::unique_ptr<CvGIFFrameInfo> info;
    uint8_t map[256];
    bool remapped = false;
    bool transparent = false;
    CvGIFFile::FrameCoding rows;
};

// The entry the background colour goes into: the transparent one, else a free, a merged or an appended entry.
void ChooseBackgroundIndex(const CvGIFFrame& frame, FileCoding& coding) {
    const CvIndexedImage& image = *frame.GetIndexedImage();
    if (frame.HasTransparency()) {
        const CvGIFFrame::TransparentChoice choice = frame.PlanTransparentIndex();
        if (choice.merged) coding.map[choice.index] = choice.into, coding.remapped = true;
        if (choice.appended) coding.table.SetCount(choice.index + 1u);
        coding.transparent = true;
        coding.info->transparentIndex = choice.index;
        coding.background = choice.index;
        return;
    }
    uint32_t counts[256] = {};
    image.CountIndexUsage(counts);
    const uint32_t n = std::min<uint32_t>(image.colorTable.GetCount(), 256);
    bool found = false;
    const uint32_t free = CvIndexedImage::FindUnused(counts, n, &found);
    if (found) {
        coding.background = uint8_t(free);
    } else if (n == 256 || n == 128 || n == 64) {
        // One entry more would double the table written to the file: merge the cheapest entry instead.
        uint8_t index = 0, into = 0;
        image.ChooseMergePair(counts, 5, &index, &into);
        coding.map[index] = into;
        coding.remapped = true;
        coding.background = index;
    } else {
        coding.table.SetCount(n + 1);
        coding.background = uint8_t(n);
    }
}

// Chooses the background entry, puts the background colour into the file's table and describes the frame as the
// file has it. The rows are coded as the frame's own unless an entry was merged or some pixels are transparent.
void PlanCoding(const CvGIFFrame& frame, FileCoding& coding) {
    CvGIFGlobalInfo& global = *coding.global;
    coding.frame = &frame;
    coding.table = frame.GetIndexedImage()->colorTable;
    coding.info.reset(frame.FrameInfo().Clone());
    if (!coding.info) CV_THROW(kCvErrNoMemory);
    for (uint32_t i = 0; i < 256; ++i) coding.map[i] = uint8_t(i);
    ChooseBackgroundIndex(frame, coding);
    const uint8_t* rgb = frame.GetBackgroundColor();
    coding.table.SetEntry(coding.background, rgb[0], rgb[1], rgb[2]);
    global.globalColorTable = coding.table;
    global.globalColorTableSize = uint16_t(coding.table.GetCount());
    global.backgroundIndex = coding.background;
    CvGIFFrameInfo& info = *coding.info;
    info.hasLocalColorTable = 0;
    info.left = info.top = 0;
    info.width = uint16_t(frame.GetWidth());
    info.height = uint16_t(frame.GetHeight());
    coding.rows.table = &coding.table;
    if (!coding.remapped && !coding.transparent) return;
    const CvIndexedImage& image = *frame.GetIndexedImage();
    coding.rows.rows = [&frame, &image, &coding](uint32_t y, uint8_t* out) {
        const CvPixelLock pixels(image);
        const uint8_t* in = pixels.Row(y);
        for (uint32_t x = 0; x < image.GetWidth(); ++x) out[x] = coding.map[in[x]];
        if (coding.transparent) frame.MarkTransparentPixels(y, coding.info->transparentIndex, out);
    };
}

std::unique_ptr<CvGIFGlobalInfo> NewGlobalInfo(const CvGIFComment* comment) {
    std::unique_ptr<CvGIFGlobalInfo> global(CvAllocated(new (std::nothrow) CvGIFGlobalInfo()));
    global->hasGlobalColorTable = 1;
    global->hasLoopExtension = 0;
    if (comment) global->AddComment(comment->Clone());
    return global;
}

// The encoder's freedom for the prepared frame: base entries and the background (or transparent) index locked.
CvLossyOptions LossyOptionsFor(const HcLossyCoding& lossy, const CvGIFGlobalInfo& global) {
    CvLossyOptions options;
    options.level = lossy.level;
    options.handOn = lossy.handOn;
    std::fill_n(options.locked, std::min<uint32_t>(lossy.baseEntries, 256), uint8_t(1));
    options.locked[global.backgroundIndex] = 1;
    return options;
}

// Writes (or counts) the whole file through an already set-up CvGIFFile and returns its length.
uint32_t Emit(CvGIFFile& file, const FileCoding& coding, uint16_t mode, int32_t handle,
              CvProgressIndicator* progress) {
    const CvGIFFrame& frame = *coding.frame;
    file.SetLossy(coding.lossy);
    file.SetProgressIndicator(progress);
    file.SetFrameCoding(&coding.rows);
    file.SetScreenSize(frame.GetWidth(), frame.GetHeight());
    file.SetGlobalInfo(coding.global->Clone());
    file.SetFrameCount(1);
    file.Open(mode, handle == 0, handle);
    file.WriteFrame(frame.GetIndexedImage(), coding.info.get());
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

uint32_t WriteReplacing(const CvFileLocator& target, const FileCoding& coding, bool createFirst,
                        CvProgressIndicator* progress) {
    if (!target.HasPath()) CV_THROW(kCvErrFileNoPath);
    const std::string temporary = TemporaryNameBeside(target.Path());
    try {
        uint32_t length = 0;
        {
            CvGIFFile file;
            file.SetPath(temporary.c_str());
            if (createFirst) CreateFresh(file);
            length = Emit(file, coding, kCvFileWrite, 0, progress);
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
    const CvGIFFrame* frame = &AsFrame(frameImage);
    FramePtr onePixel;
    if (frame->GetWidth() == 0 || frame->GetHeight() == 0) frame = (onePixel = OnePixelFor(*frame)).get();
    if (frame->GetWidth() > kMaxSide || frame->GetHeight() > kMaxSide) CV_THROW(kCvErrSizeMismatch);
    FileCoding coding;
    coding.global = NewGlobalInfo(comment);
    PlanCoding(*frame, coding);
    coding.lossy = LossyOptionsFor(lossy, *coding.global);
    if (!writeToFile) {
        CvGIFFile counter;
        return Emit(counter, coding, kCvFileWrite | kCvFileCountOnly, 0, progress);
    }
    if (handle != 0) {
        CvGIFFile file;
        if (locator.HasPath()) file.SetPath(locator.Path());
        return Emit(file, coding, kCvFileWrite, handle, progress);
    }
    return WriteReplacing(locator, coding, createFirst, progress);
}
