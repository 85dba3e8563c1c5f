// The GIF frame: palette image plus transparency mask plus background colour, and the choice of one palette index
// for all transparent pixels. Derived frames never share parts, and every frame's palette image has a frame info.
#include "cvcode2/CvGIFFrame.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <new>

#include "cvcode2/CvBitmapImage.h"
#include "cvcode2/CvErrorCode.h"
#include "cvcode2/CvGIFInfo.h"
#include "cvcode2/CvIndexedImage.h"
#include "cvcode2/CvQuantRemap.h"
#include "cvcode2/CvRGBImage.h"

namespace {

using ImagePtr = CvGIFFrame::ImagePtr;
using MaskPtr = CvGIFFrame::MaskPtr;

// The settings a frame starts from when its image brings none of its own.
const CvGIFFrameInfo kDefaultFrameInfo;

MaskPtr NewMask(uint32_t width, uint32_t height) {
    MaskPtr mask(CvAllocated(new (std::nothrow) CvBitmapImage(width, height, nullptr, nullptr, false)));
    mask->SetPolarity(1);
    mask->SetFillColor(1);  // white: opaque
    mask->Clear();
    return mask;
}

ImagePtr CopyOf(const CvIndexedImage& image) {
    return ImagePtr(static_cast<CvIndexedImage*>(image.Clone()));
}
MaskPtr CopyOf(const CvBitmapImage& mask) {
    return MaskPtr(static_cast<CvBitmapImage*>(mask.Clone()));
}

// A transparent pixel's bit equals the mask's polarity.
bool BitTransparent(const uint8_t* row, uint32_t x, uint8_t polarity) {
    return ((row[x / 8] >> (7 - x % 8)) & 1) == (polarity & 1);
}

void SetBit(uint8_t* row, uint32_t x, bool value) {
    const uint8_t bit = uint8_t(0x80 >> (x % 8));
    row[x / 8] = value ? uint8_t(row[x / 8] | bit) : uint8_t(row[x / 8] & ~bit);
}

void FitInfoToImage(CvGIFFrameInfo& info, const CvIndexedImage& image) {
    info.left = info.top = 0;
    info.width = uint16_t(std::min<uint32_t>(image.GetWidth(), 0xFFFF));
    info.height = uint16_t(std::min<uint32_t>(image.GetHeight(), 0xFFFF));
}

void EnsureFrameInfo(CvIndexedImage& image) {
    if (dynamic_cast<CvGIFFrameInfo*>(image.GetFormatInfo())) return;
    std::unique_ptr<CvGIFFrameInfo> info(kDefaultFrameInfo.Clone());
    FitInfoToImage(*info, image);
    info->hasLocalColorTable = 1;
    info->localColorTable = image.colorTable;
    info->codeSize = 8;
    image.SetFormatInfo(info.release());
}

}  // namespace

// ---- Construction

CvGIFFrame::CvGIFFrame(ImagePtr image, MaskPtr mask, const uint8_t* background)
    : CvImage(image->GetWidth(), image->GetHeight(), kCvKindGeneric) {
    EnsureFrameInfo(*image);
    if (background) std::memcpy(backgroundColor, background, 3);
    indexedImage = image.release();
    transparencyMask = mask.release();
}

CvGIFFrame::CvGIFFrame(uint32_t w, uint32_t h)
    : CvGIFFrame(ImagePtr(CvAllocated(new (std::nothrow) CvIndexedImage(w, h))), NewMask(w, h), nullptr) {}

CvGIFFrame::CvGIFFrame(const CvIndexedImage& from)
    : CvGIFFrame(CopyOf(from), NewMask(from.GetWidth(), from.GetHeight()), nullptr) {
    RebuildMask();
}

CvGIFFrame::CvGIFFrame(const CvIndexedImage& from, const CvBitmapImage& mask)
    : CvGIFFrame(CopyOf(from), CopyOf(mask), nullptr) {
    if (mask.GetWidth() != width || mask.GetHeight() != height) CV_THROW(kCvErrSizeMismatch);
    SetTransparency(MaskHasTransparentPixels());
}

CvGIFFrame::CvGIFFrame(const CvGIFFrame& from)
    : CvGIFFrame(CopyOf(*from.GetIndexedImage()), CopyOf(*from.GetTransparencyMask()), from.backgroundColor) {}

CvGIFFrame::~CvGIFFrame() {
    delete indexedImage;
    delete transparencyMask;
}

CvGIFFrame* CvGIFFrame::Derived(ImagePtr image, MaskPtr mask) const {
    image->CopyFormatInfo(GetIndexedImage());
    EnsureFrameInfo(*image);
    FitInfoToImage(static_cast<CvGIFFrameInfo&>(*image->GetFormatInfo()), *image);
    auto* frame = CvAllocated(new (std::nothrow) CvGIFFrame(std::move(image), std::move(mask), backgroundColor));
    return frame;
}

CvImage* CvGIFFrame::Clone() const {
    return CvAllocated(new (std::nothrow) CvGIFFrame(*this));
}

// ---- Parts and transparency

void CvGIFFrame::RequireParts() const {
    if (!indexedImage || !transparencyMask) CV_THROW(kCvErrBadArgument);
}

CvIndexedImage* CvGIFFrame::GetIndexedImage() const {
    if (!indexedImage) CV_THROW(kCvErrBadArgument);
    return indexedImage;
}

CvBitmapImage* CvGIFFrame::GetTransparencyMask() const {
    if (!transparencyMask) CV_THROW(kCvErrBadArgument);
    return transparencyMask;
}

CvGIFFrameInfo& CvGIFFrame::FrameInfo() const {
    RequireParts();
    auto* info = dynamic_cast<CvGIFFrameInfo*>(indexedImage->GetFormatInfo());
    if (!info) CV_THROW(kCvErrBadArgument);
    return *info;
}

void CvGIFFrame::SetBackgroundColor(const uint8_t* rgb) {
    std::memcpy(backgroundColor, rgb, 3);
}

bool CvGIFFrame::HasTransparency() const {
    return FrameInfo().transparentFlag != 0;
}
void CvGIFFrame::SetTransparency(bool on) {
    FrameInfo().transparentFlag = on ? 1 : 0;
}
uint8_t CvGIFFrame::GetTransparentIndex() const {
    return FrameInfo().transparentIndex;
}

bool CvGIFFrame::MaskHasTransparentPixels() const {
    RequireParts();
    if (width == 0 || height == 0) return false;
    CvPixelLock bits(*transparencyMask);
    const uint8_t polarity = transparencyMask->Polarity();
    for (uint32_t y = 0; y < height; ++y)
        for (uint32_t x = 0; x < width; ++x)
            if (BitTransparent(bits.Row(y), x, polarity)) return true;
    return false;
}

void CvGIFFrame::MarkIndex(uint8_t index, bool transparent) {
    RequireParts();
    if (width == 0 || height == 0) return;
    bool found = false;
    {
        CvPixelLock pixels(*indexedImage);
        CvPixelLock bits(*transparencyMask);
        const bool bit = transparent == (transparencyMask->Polarity() == 1);
        for (uint32_t y = 0; y < height; ++y)
            for (uint32_t x = 0; x < width; ++x)
                if (pixels.Row(y)[x] == index) {
                    SetBit(bits.Row(y), x, bit);
                    found = true;
                }
    }
    if (found) SetTransparency(MaskHasTransparentPixels());
}

void CvGIFFrame::ClearTransparency() {
    RequireParts();
    if (width != 0 && height != 0) {
        CvPixelLock bits(*transparencyMask);
        std::memset(bits.Pixels(), transparencyMask->Polarity() == 1 ? 0x00 : 0xFF,
                    size_t(transparencyMask->RowBytes()) * height);
    }
    SetTransparency(false);
}

CvBitmapImage* CvGIFFrame::SetTransparencyMask(CvBitmapImage* mask) {
    if (!mask) CV_THROW(kCvErrBadArgument);
    CvGIFFrameInfo& info = FrameInfo();
    // A mask of another size would be read past its rows.
    if (mask->GetWidth() != width || mask->GetHeight() != height) CV_THROW(kCvErrSizeMismatch);
    CvBitmapImage* old = transparencyMask;
    transparencyMask = mask;
    info.transparentFlag = MaskHasTransparentPixels() ? 1 : 0;
    return old;
}

void CvGIFFrame::RebuildMask() {
    const bool transparent = HasTransparency();
    ClearTransparency();
    if (transparent) MarkIndexTransparent(GetTransparentIndex());
}

void CvGIFFrame::ApplyTransparentIndex(uint8_t index) {
    RequireParts();
    if (width == 0 || height == 0) return;
    CvPixelLock pixels(*indexedImage);
    for (uint32_t y = 0; y < height; ++y) MarkTransparentPixels(y, index, pixels.Row(y));
}

void CvGIFFrame::MarkTransparentPixels(uint32_t y, uint8_t index, uint8_t* row) const {
    RequireParts();
    if (y >= height) CV_THROW(kCvErrBadArgument);
    CvPixelLock bits(*transparencyMask);
    const uint8_t polarity = transparencyMask->Polarity();
    for (uint32_t x = 0; x < width; ++x)
        if (BitTransparent(bits.Row(y), x, polarity)) row[x] = index;
}

CvGIFFrame::TransparentChoice CvGIFFrame::PlanTransparentIndex() const {
    uint32_t counts[256] = {};
    if (width != 0 && height != 0) indexedImage->CountIndexUsageMasked(counts, transparencyMask);
    const uint32_t n = std::min<uint32_t>(indexedImage->colorTable.GetCount(), 256);
    const uint32_t used = CvIndexedImage::CountUsed(counts, n);
    TransparentChoice choice;
    // At 64, 128 or 256 used entries one more would double the table the file carries: merge instead.
    if (used == 64 || used == 128 || used == 256) {
        indexedImage->ChooseMergePair(counts, 5, &choice.index, &choice.into);
        choice.merged = true;
    } else if (used == n) {
        choice.index = uint8_t(n);
        choice.appended = true;
    } else {
        bool found = false;
        choice.index = uint8_t(CvIndexedImage::FindUnused(counts, n, &found));
    }
    return choice;
}

void CvGIFFrame::ChooseTransparentIndex(bool force) {
    if (!HasTransparency() && !force) return;
    const TransparentChoice choice = PlanTransparentIndex();
    if (choice.merged) indexedImage->ReplaceIndex(choice.index, choice.into);
    if (choice.appended) indexedImage->colorTable.SetCount(choice.index + 1u);
    ApplyTransparentIndex(choice.index);
    FrameInfo().transparentIndex = choice.index;
}

// ---- The image interface

void CvGIFFrame::SetSize(uint32_t w, uint32_t h) {
    RequireParts();
    ImagePtr saved(CopyOf(*indexedImage));
    try {
        indexedImage->SetSize(w, h);
        transparencyMask->SetSize(w, h);
    } catch (...) {
        delete indexedImage;
        indexedImage = saved.release();
        throw;
    }
    CvImage::SetSize(w, h);
    FitInfoToImage(FrameInfo(), *indexedImage);
}

void CvGIFFrame::SetBlockSize(uint32_t w, uint32_t h) {
    RequireParts();
    indexedImage->SetBlockSize(w, h);
    transparencyMask->SetBlockSize(w, h);
    CvImage::SetBlockSize(w, h);
}

CvImgFmtInfo* CvGIFFrame::GetFormatInfo() const {
    return indexedImage ? indexedImage->GetFormatInfo() : nullptr;
}

void CvGIFFrame::SetFormatInfo(CvImgFmtInfo* info) {
    RequireParts();
    if (!dynamic_cast<CvGIFFrameInfo*>(info)) CV_THROW(kCvErrBadArgument);
    indexedImage->SetFormatInfo(info);
}

CvImgFmtInfo* CvGIFFrame::DetachFormatInfo() {
    return GetIndexedImage()->DetachFormatInfo();
}

void CvGIFFrame::GetRGB(CV_RECT_PARAMS, CV_DST_PARAMS) const {
    RequireParts();
    if (!HasTransparency()) {
        indexedImage->GetRGB(left, top, bottom, right, CV_DST_ARGS(CV_DST_LAYOUT));
        return;
    }
    CvRect rect{left, top, bottom, right};
    if (!dst) CV_THROW(kCvErrBadArgument);
    if (!ClipRect(rect, width, height)) return;
    const CvDstLayout out = CV_DST_LAYOUT;
    for (uint32_t j = 0; j < rect.Height(); ++j)
        for (uint32_t i = 0; i < rect.Width(); ++i) {
            uint8_t* p = out.At(i, j);
            p[rOffset] = backgroundColor[0];
            p[gOffset] = backgroundColor[1];
            p[bOffset] = backgroundColor[2];
        }
    indexedImage->GetRGBMasked(transparencyMask, rect.left, rect.top, rect.bottom, rect.right, CV_DST_ARGS(out));
}

CvImage* CvGIFFrame::CopyRect(const CvRect& rect) const {
    RequireParts();
    ImagePtr image(static_cast<CvIndexedImage*>(indexedImage->CopyRect(rect)));
    MaskPtr mask(static_cast<CvBitmapImage*>(transparencyMask->CopyRect(rect)));
    return Derived(std::move(image), std::move(mask));
}

void CvGIFFrame::Paste(const CvPoint* at, const CvImage* src) {
    RequireParts();
    const auto* frame = dynamic_cast<const CvGIFFrame*>(src);
    if (!frame) CV_THROW(kCvErrBadArgument);
    frame->RequireParts();
    ImagePtr saved(CopyOf(*indexedImage));
    try {
        indexedImage->Paste(at, frame->indexedImage);
        transparencyMask->Paste(at, frame->transparencyMask);
    } catch (...) {
        delete indexedImage;
        indexedImage = saved.release();
        throw;
    }
    SetTransparency(MaskHasTransparentPixels());
}

CvImage* CvGIFFrame::Rotate(float angle) const {
    return Rotate(angle, CvColorTable::Pack(backgroundColor[0], backgroundColor[1], backgroundColor[2]));
}

CvImage* CvGIFFrame::Rotate(float angle, uint32_t fill) const {
    RequireParts();
    std::unique_ptr<CvImage> turned(indexedImage->Rotate(angle, fill));
    ImagePtr image;
    if (const auto* colours = dynamic_cast<const CvRGBImage*>(turned.get())) {
        // The interpolated colours come back onto the frame's own table, undithered.
        CvQuantRemap remap;
        remap.SetPalette(indexedImage->colorTable);
        remap.SetDither(0);
        remap.SetSource(colours);
        image.reset(remap.Remap(nullptr));
    } else
        image.reset(static_cast<CvIndexedImage*>(turned.release()));
    MaskPtr mask(static_cast<CvBitmapImage*>(transparencyMask->Rotate(angle, 1)));  // corners opaque
    return Derived(std::move(image), std::move(mask));
}

CvImage* CvGIFFrame::FlipHorizontal() const {
    RequireParts();
    ImagePtr image(static_cast<CvIndexedImage*>(indexedImage->FlipHorizontal()));
    MaskPtr mask(static_cast<CvBitmapImage*>(transparencyMask->FlipHorizontal()));
    return Derived(std::move(image), std::move(mask));
}

CvImage* CvGIFFrame::FlipVertical() const {
    RequireParts();
    ImagePtr image(static_cast<CvIndexedImage*>(indexedImage->FlipVertical()));
    MaskPtr mask(static_cast<CvBitmapImage*>(transparencyMask->FlipVertical()));
    return Derived(std::move(image), std::move(mask));
}

CvImage* CvGIFFrame::Resize(uint32_t w, uint32_t h) const {
    RequireParts();
    ImagePtr image(static_cast<CvIndexedImage*>(indexedImage->Resize(w, h)));
    MaskPtr mask(static_cast<CvBitmapImage*>(transparencyMask->Resize(w, h)));
    return Derived(std::move(image), std::move(mask));
}

void CvGIFFrame::GetRGBBlended(float opacity, CV_RECT_PARAMS, CV_DST_PARAMS) const {
    RequireParts();
    indexedImage->GetRGBBlended(opacity, transparencyMask, left, top, bottom, right, CV_DST_ARGS(CV_DST_LAYOUT));
}

void CvGIFFrame::GetRGBMasked(const CvImage*, CV_RECT_UNNAMED, CV_DST_UNNAMED) const {
    CV_THROW(kCvErrNotSupported);
}
void CvGIFFrame::GetRGBBlended(float, const CvImage*, CV_RECT_UNNAMED, CV_DST_UNNAMED) const {
    CV_THROW(kCvErrNotSupported);
}
void CvGIFFrame::MaskRGB(CV_RECT_UNNAMED, CV_DST_UNNAMED, uint32_t, const uint8_t*) const {
    CV_THROW(kCvErrNotSupported);
}
void CvGIFFrame::BlendRGB(float, CV_RECT_UNNAMED, CV_DST_UNNAMED, uint32_t, const uint8_t*) const {
    CV_THROW(kCvErrNotSupported);
}
void CvGIFFrame::BlendRGBMasked(float, CV_RECT_UNNAMED, CV_DST_UNNAMED, uint32_t, const uint8_t*) const {
    CV_THROW(kCvErrNotSupported);
}

void CvGIFFrame::Reset() {
    CvImage::Reset();
    indexedImage = nullptr;
    transparencyMask = nullptr;
    std::memset(backgroundColor, 0, 3);
}
