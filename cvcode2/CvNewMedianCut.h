// Adaptive palette by median cut over the occupied 5-bit cells: the box widest along its own widest channel
// is cut at its pixel-weighted median until there are as many boxes as colours asked for.
#pragma once

#include <cstdint>

#include "cvcode2/CvColorTable.h"
#include "cvcode2/CvProgressTask.h"

class CvNewMedianCut : public CvProgressTask {
public:
    static constexpr uint32_t kMaxBoxes = 256;

    explicit CvNewMedianCut(CvProgressIndicator* indicator);

    // At most maxColors (1..256) entries: the occupied cells' colours when they are few enough, else one
    // weighted mean colour per box.
    void MakePalette(CvColorTable& palette, const uint32_t* histogram, uint32_t maxColors);

    // In-place heapsort of cells by their level along `axis`; the order of equal keys is part of the
    // result, since later cuts split the sorted stretch.
    static void SortCells(uint16_t* cells, uint32_t count, uint32_t axis);

private:
    struct Box {
        const uint32_t* histogram;
        uint16_t* cells;
        uint32_t cellCount;  // 1..32768, so wider than the 16 bits a cell index needs
        uint8_t minR, minG, minB, maxR, maxG, maxB;
        uint32_t axis;
        uint64_t total;
        uint8_t hasParent;
        uint32_t parentAxis;

        uint32_t Range(uint32_t channel) const;
    };

    Box MakeBox(uint16_t* cells, uint32_t cellCount, bool hasParent, uint32_t parentAxis) const;
    void CutBoxes();
    // Index of the box to cut next, or kMaxBoxes when none holds two cells.
    uint32_t ChooseBox() const;
    void Cut(uint32_t index);
    void BoxColor(const Box& box, uint8_t rgb[3]) const;

    const uint32_t* histogram = nullptr;
    uint16_t maxColors = 0;
    Box boxes[kMaxBoxes] = {};
    uint16_t boxCount = 0;
};
