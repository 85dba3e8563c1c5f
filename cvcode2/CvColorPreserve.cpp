// Exact base-colour detection through the base palette's inverse map: a pixel counts only for the base colour
// its cell maps to, so two base colours of one cell are never both found.
#include "cvcode2/CvColorPreserve.h"

#include <cstring>
#include <new>
#include <optional>

#include "cvcode2/Cv15BitHist.h"
#include "cvcode2/CvLog.h"
#include "cvcode2/CvMakeInvColorMap.h"
#include "cvcode2/CvRGBImage.h"

namespace {}  // namespace

CvColorPreserve::CvColorPreserve(CvProgressIndicator* indicator) : CvProgressTask(indicator) {}

void CvColorPreserve::SetBaseColors(const CvColorTable& colors, uint32_t maxColors_) {
    CV_ASSERT(colors.GetCount() <= 256);
    if (colors.GetCount() > 256) CV_THROW(kCvErrBadArgument);
    Clear();
    baseColors = colors;
    maxColors = maxColors_;
}

void CvColorPreserve::Clear() {
    maxColors = 0;
    baseColors.Clear();
    foundColors.Clear();
    counts.reset();
    mask.reset();
    baseMap.reset();
}

int32_t CvColorPreserve::ExactBase(const uint8_t* rgb) const {
    const uint8_t k = baseMap[ColorIndex15(rgb[0], rgb[1], rgb[2])];
    return std::memcmp(rgb, baseColors.Entry(k), 3) == 0 ? int32_t(k) : -1;
}

template <class Visit>
void CvColorPreserve::EachRow(const CvRGBImage& image, const char* caption, Visit visit) {
    const uint32_t height = image.HasPixels() ? image.GetHeight() : 0;
    Start(0, height, caption);
    try {
        if (height) {
            CvPixelLock lock(image);
            for (uint32_t y = 0; y < height; ++y) {
                visit(lock.Row(y), y);
                CV_PROGRESS(*this, Current() + 1);
            }
        }
    } catch (const CvErrorCode& error) {
        ReportError(error);
        throw;
    }
    Finish();
}

void CvColorPreserve::CheckBaseColors(const CvRGBImage& image) {
    const bool ready = baseColors.GetCount() > 0 && maxColors > 0;
    CV_ASSERT(ready);
    if (!ready) CV_THROW(kCvErrBadArgument);
    if (!counts) counts.reset(CvAllocated(new (std::nothrow) uint32_t[baseColors.GetCount()]()));
    if (!baseMap) {
        baseMap.reset(CvAllocated(new (std::nothrow) uint8_t[kCellCount]()));
        MakeInvColorMap(&baseColors, baseMap.get());
    }
    mask.reset();
    const uint32_t width = image.GetWidth();
    EachRow(image, "Checking base image for base colors", [&](const uint8_t* row, uint32_t) {
        for (uint32_t x = 0; x < width; ++x) {
            const int32_t k = ExactBase(row + 3 * size_t(x));
            if (k >= 0) ++counts[k];
        }
    });
}

uint32_t CvColorPreserve::FoundCount() const {
    uint32_t found = 0;
    for (uint32_t i = 0; counts && i < baseColors.GetCount(); ++i) found += counts[i] != 0;
    return found;
}

uint64_t CvColorPreserve::FoundPixels() const {
    uint64_t pixels = 0;
    for (uint32_t i = 0; counts && i < baseColors.GetCount(); ++i) pixels += counts[i];
    return pixels;
}

void CvColorPreserve::SelectFound(uint32_t limit) {
    CV_ASSERT(counts != nullptr && limit <= maxColors);
    if (!counts) CV_THROW(kCvErrBadArgument);
    const uint32_t n = baseColors.GetCount();
    for (uint32_t found = FoundCount(); found > limit; --found) {
        uint32_t smallest = n;
        for (uint32_t i = 0; i < n; ++i)
            if (counts[i] && (smallest == n || counts[i] < counts[smallest])) smallest = i;
        counts[smallest] = 0;
    }
    foundColors.Clear();
    foundColors.SetCount(FoundCount());
    for (uint32_t i = 0, kept = 0; i < n; ++i)
        if (counts[i]) {
            const uint8_t* c = baseColors.Entry(i);
            foundColors.SetEntry(kept++, c[0], c[1], c[2]);
        }
}

void CvColorPreserve::SubtractFound(uint32_t* histogram) const {
    EachFound([&](const uint8_t* c, uint32_t count) {
        uint32_t& cell = histogram[ColorIndex15(c[0], c[1], c[2])];
        CV_ASSERT(cell >= count);
        cell = cell >= count ? cell - count : 0;
    });
}

void CvColorPreserve::CreateMask(const CvRGBImage& image) {
    CV_ASSERT(counts != nullptr && baseMap != nullptr);
    if (!counts || !baseMap) CV_THROW(kCvErrBadArgument);
    mask.reset();
    const uint32_t width = image.GetWidth();
    std::unique_ptr<CvBitmapImage> made(CvAllocated(new (std::nothrow) CvBitmapImage(width, image.GetHeight())));
    std::optional<CvPixelLock> lock;
    if (made->HasPixels()) lock.emplace(*made);
    const uint32_t maskRowBytes = made->RowBytes();
    EachRow(image, "Creating mask of preserved colors", [&](const uint8_t* row, uint32_t y) {
        uint8_t* bits = lock->Row(y);
        std::memset(bits, 0, maskRowBytes);
        for (uint32_t x = 0; x < width; ++x) {
            const int32_t k = ExactBase(row + 3 * size_t(x));
            if (k >= 0 && counts[k]) bits[x / 8] = uint8_t(bits[x / 8] | 0x80u >> (x % 8));
        }
    });
    mask = std::move(made);
}
