// Brings a colour image back onto a frame's colour table, each pixel to its nearest entry, without dithering.
// Stands in until the engine's remapper is connected here; every index it writes is below the table's count.
#include <memory>
#include <vector>

#include "cvcode2/CvGIFFrame.h"
#include "cvcode2/CvIndexedImage.h"
#include "cvcode2/CvRGBImage.h"

CvIndexedImage* CvGIFFrameRemap(const CvRGBImage& image, const CvColorTable& table) {
    const uint32_t width = image.GetWidth(), height = image.GetHeight();
    std::unique_ptr<CvIndexedImage> mapped(CvNewImage<CvIndexedImage>(width, height, &table));
    if (table.GetCount() == 0 || width == 0 || height == 0) return mapped.release();
    std::vector<uint8_t> row(size_t(width) * 3);
    CvPixelLock out(*mapped);
    for (uint32_t y = 0; y < height; ++y) {
        image.GetRGB(0, y, y + 1, width, 0, 0, width * 3, 3, 0, 1, 2, row.data());
        uint8_t* indexes = out.Row(y);
        for (uint32_t x = 0; x < width; ++x) {
            const uint8_t* c = &row[size_t(x) * 3];
            indexes[x] = uint8_t(table.FindNearest(CvColorTable::Pack(c[0], c[1], c[2]), -1));
        }
    }
    return mapped.release();
}
