// One byte per pixel indexing a colour table of at most 256 entries: what colour reduction produces and the GIF
// writer encodes. Carries the palette operations the writer needs; every pixel index stays below the table's count.
#pragma once

#include "cvcode2/CvColorTable.h"
#include "cvcode2/CvRealImage.h"

class CvBitmapImage;

class CvIndexedImage : public CvRealImage {
public:
    // The table is copied; null gives one black entry.
    explicit CvIndexedImage(uint32_t width, uint32_t height, const CvColorTable* table = nullptr,
                            CvRowBytesFunction rowBytesFunction = nullptr, CvBaseBuffer* buffer = nullptr,
                            bool clear = true);
    CvIndexedImage(const CvIndexedImage& from, CvRowBytesFunction rowBytesFunction, CvBaseBuffer* buffer);

    CvImage* Clone() const override;
    void GetRGB(CV_RECT_PARAMS, CV_DST_PARAMS) const override;
    CvImage* Rotate(float angle) const override;
    // Not a right angle: a new CvRGBImage with interpolated colours; a right angle: the indexed Rotate90.
    CvImage* Rotate(float angle, uint32_t fill) const override;
    CvImage* Resize(uint32_t width, uint32_t height) const override;
    CvRealImage* NewImage(const CvRect& rect) const override;
    void CheckPasteSource(const CvPoint* at, const CvImage* src) const override;
    void Clear() override;
    virtual CvIndexedImage* Rotate90(float angle) const;

    void CopyFrom(const CvImage& from);
    // counts[i] = pixels with index i, for i below the table's count.
    void CountIndexUsage(uint32_t* counts) const;
    // The same, counting only pixels where `mask` (this image's size) is white.
    void CountIndexUsageMasked(uint32_t* counts, const CvBitmapImage* mask) const;
    static uint32_t CountUsed(const uint32_t* counts, uint32_t n);
    static uint32_t FindUnused(const uint32_t* counts, uint32_t n, bool* found);
    // Every pixel index i becomes map[i] (256 entries).
    void RemapIndices(const uint8_t* map);
    void ReplaceIndex(uint8_t from, uint8_t to);
    // A new table without unused and duplicate entries; map[i] is old entry i's new index.
    static CvColorTable* CompactTable(const CvColorTable& table, const uint32_t* counts, uint8_t* map);
    void RemoveUnusedColors();
    void MergeSimilarColors(uint32_t threshold);
    // Drops unused entries, then merges the least used entry into its nearest (ties: lower index) until at most
    // `maxColors` remain. Colours that survive keep their exact values.
    void LimitColors(uint32_t maxColors);
    // Picks the entry whose merging into its nearest other entry costs least among the `candidates` least used.
    void ChooseMergePair(uint32_t* counts, uint32_t candidates, uint8_t* index, uint8_t* into) const;

    uint8_t FillIndex() const { return fillIndex; }
    void SetFillIndex(uint8_t index) { fillIndex = index; }

    CvColorTable colorTable;

private:
    // The table as 256 entries of R, G, B; indexes past the count read black instead of past the end.
    void Palette256(uint8_t* palette) const;
    void CountInto(uint32_t* counts, const CvBitmapImage* mask) const;
    static void GetRGBWords(const uint8_t* palette, const CvPixelLock& lock, const CvRect& rect,
                            const CvDstLayout& out);

    uint8_t fillIndex = 0;
};
