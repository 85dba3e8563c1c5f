// One GIF frame as the plug-in prepares it for writing: a palette image, a 1-bit transparency mask of the same
// size and a background colour. The palette image always carries a CvGIFFrameInfo, which holds the transparency flag.
#pragma once

#include <cstdint>
#include <memory>

#include "cvcode2/CvImage.h"

class CvBitmapImage;
class CvColorTable;
class CvGIFFrameInfo;
class CvIndexedImage;
class CvRGBImage;

class CvGIFFrame : public CvImage {
public:
    using ImagePtr = std::unique_ptr<CvIndexedImage>;
    using MaskPtr = std::unique_ptr<CvBitmapImage>;

    // A new palette image of that size and an all-opaque mask.
    CvGIFFrame(uint32_t width, uint32_t height);
    // Copies the image; the mask marks the pixels of the transparent index when the image's info asks for one.
    explicit CvGIFFrame(const CvIndexedImage& image);
    // Copies both (same size: the caller's duty); the flag follows the mask.
    CvGIFFrame(const CvIndexedImage& image, const CvBitmapImage& mask);
    CvGIFFrame(const CvGIFFrame& from);
    CvGIFFrame& operator=(const CvGIFFrame&) = delete;
    ~CvGIFFrame() override;

    CvIndexedImage* GetIndexedImage() const;
    CvBitmapImage* GetTransparencyMask() const;
    CvGIFFrameInfo& FrameInfo() const;
    const uint8_t* GetBackgroundColor() const { return backgroundColor; }
    void SetBackgroundColor(const uint8_t* rgb);

    bool HasTransparency() const;
    void SetTransparency(bool on);
    uint8_t GetTransparentIndex() const;
    bool MaskHasTransparentPixels() const;
    void MarkIndexTransparent(uint8_t index) { MarkIndex(index, true); }
    void MarkIndexOpaque(uint8_t index) { MarkIndex(index, false); }
    void ClearTransparency();
    // Takes `mask` (same size: the caller's duty) and hands the old mask to the caller.
    CvBitmapImage* SetTransparencyMask(CvBitmapImage* mask);
    void RebuildMask();
    // The palette index that can stand for every transparent pixel without changing any opaque one: an entry no
    // opaque pixel uses, or one merged into another (`into`), or one appended to the table.
    struct TransparentChoice {
        uint8_t index = 0;
        bool merged = false;
        uint8_t into = 0;
        bool appended = false;
    };
    TransparentChoice PlanTransparentIndex() const;
    // Makes the planned choice: the merge or the new entry, the transparent pixels set to the index, the info's index.
    void ChooseTransparentIndex(bool force);
    void ApplyTransparentIndex(uint8_t index);
    // Sets the transparent pixels of row y of `row` (the frame's width) to `index`, leaving the frame as it is.
    void MarkTransparentPixels(uint32_t y, uint8_t index, uint8_t* row) const;

    CvImage* Clone() const override;
    void SetSize(uint32_t width, uint32_t height) override;
    void SetBlockSize(uint32_t width, uint32_t height) override;
    CvImgFmtInfo* GetFormatInfo() const override;
    void SetFormatInfo(CvImgFmtInfo* info) override;
    CvImgFmtInfo* DetachFormatInfo() override;
    void GetRGB(CV_RECT_PARAMS, CV_DST_PARAMS) const override;
    CvImage* CopyRect(const CvRect& rect) const override;
    void Paste(const CvPoint* at, const CvImage* src) override;
    CvImage* Rotate(float angle) const override;
    CvImage* Rotate(float angle, uint32_t fill) const override;
    CvImage* FlipHorizontal() const override;
    CvImage* FlipVertical() const override;
    CvImage* Resize(uint32_t width, uint32_t height) const override;
    void GetRGBMasked(const CvImage*, CV_RECT_UNNAMED, CV_DST_UNNAMED) const override;
    void GetRGBBlended(float, const CvImage*, CV_RECT_UNNAMED, CV_DST_UNNAMED) const override;
    void GetRGBBlended(float opacity, CV_RECT_PARAMS, CV_DST_PARAMS) const override;
    void MaskRGB(CV_RECT_UNNAMED, CV_DST_UNNAMED, uint32_t, const uint8_t*) const override;
    void BlendRGB(float, CV_RECT_UNNAMED, CV_DST_UNNAMED, uint32_t, const uint8_t*) const override;
    void BlendRGBMasked(float, CV_RECT_UNNAMED, CV_DST_UNNAMED, uint32_t, const uint8_t*) const override;
    void Reset() override;

private:
    // Adopts both parts, giving the palette image the default frame info when it has none of its own.
    CvGIFFrame(ImagePtr image, MaskPtr mask, const uint8_t* background);
    // A frame of parts derived from this one's (crops, turns, flips), with this frame's info resized to them.
    CvGIFFrame* Derived(ImagePtr image, MaskPtr mask) const;
    void RequireParts() const;
    void MarkIndex(uint8_t index, bool transparent);
    CvIndexedImage* indexedImage = nullptr;
    CvBitmapImage* transparencyMask = nullptr;
    uint8_t backgroundColor[3] = {0, 0, 0};
};
