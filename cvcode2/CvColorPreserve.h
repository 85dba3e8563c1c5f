// Base-palette protection: finds which base colours occur exactly in an RGB image, keeps the most frequent that
// fit, takes their pixels out of the histogram and marks them in a mask. A kept colour always has a non-zero count.
#pragma once

#include <cstdint>
#include <memory>

#include "cvcode2/CvBitmapImage.h"
#include "cvcode2/CvColorTable.h"
#include "cvcode2/CvProgressTask.h"

class CvRGBImage;

class CvColorPreserve : public CvProgressTask {
public:
    explicit CvColorPreserve(CvProgressIndicator* indicator = nullptr);

    // Up to 256 base colours (kCvErrBadArgument otherwise); maxColors is the most that may be kept.
    void SetBaseColors(const CvColorTable& colors, uint32_t maxColors);
    // Counts the pixels exactly equal to the base colour their cell's nearest base colour.
    void CheckBaseColors(const CvRGBImage& image);
    // Number of base colours found, and the pixels they cover, before any trimming.
    uint32_t FoundCount() const;
    uint64_t FoundPixels() const;
    // Keeps the `limit` (at most maxColors) most frequent found colours; ties drop the earlier colour first.
    void SelectFound(uint32_t limit);
    // Takes the kept colours' pixels out of a kCellCount-counter histogram.
    void SubtractFound(uint32_t* histogram) const;
    // Calls take(rgb, count) for each kept colour with its pixel count, in base-palette order.
    template <class Take>
    void EachFound(Take take) const {
        for (uint32_t i = 0; counts && i < baseColors.GetCount(); ++i)
            if (counts[i]) take(baseColors.Entry(i), counts[i]);
    }
    // A mask of the image's size whose set bits are the pixels of kept colours.
    void CreateMask(const CvRGBImage& image);
    const CvBitmapImage* Mask() const { return mask.get(); }
    // The kept colours in base-palette order.
    const CvColorTable& FoundColors() const { return foundColors; }
    void Clear();

private:
    // Runs visit(row, y) over the image's rows as a progress task, reporting each row.
    template <class Visit>
    void EachRow(const CvRGBImage& image, const char* caption, Visit visit);
    // The base colour index a pixel equals exactly, or -1.
    int32_t ExactBase(const uint8_t* rgb) const;

    uint32_t maxColors = 0;
    CvColorTable baseColors;
    CvColorTable foundColors;
    std::unique_ptr<uint32_t[]> counts;
    std::unique_ptr<CvBitmapImage> mask;
    std::unique_ptr<uint8_t[]> baseMap;
};
