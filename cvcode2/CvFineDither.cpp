// Serpentine error diffusion with the nearest-entry search: rows alternate direction, each pixel passes its error
// on to the pixel after it and to three pixels of the next row. Errors are kept in 1/256 of a level, so none is lost.
#include "cvcode2/CvFineDither.h"

#include <algorithm>
#include <new>
#include <vector>

#include "cvcode2/CvBitmapImage.h"
#include "cvcode2/CvLog.h"
#include "cvcode2/CvNearestColor.h"

namespace {
constexpr uint32_t kReportInterval = 2000;
constexpr int32_t kOne = 256;  // one level in error units

// The full error at strength 16 lets an error no entry can take up grow until a far entry is chosen, which
// leaves isolated specks: the strongest diffusion passes on 15/16.
constexpr uint32_t kMostDiffused = 15;

// The channel of a packed entry: the index in bits 0-7, red, green and blue in the bytes above.
inline int32_t Channel(uint32_t entry, int c) {
    return int32_t(entry >> (8 + 8 * c) & 255);
}

inline int32_t Distance(const uint8_t value[3], uint32_t entry) {
    int32_t sum = 0;
    for (int c = 0; c < 3; ++c) {
        const int32_t d = int32_t(value[c]) - Channel(entry, c);
        sum += d * d;
    }
    return sum;
}

// One row's accumulated errors and the next row's: three channels per column, with a column of margin on each
// side for the errors that fall off the image.
class ErrorRows {
public:
    explicit ErrorRows(uint32_t width) {
        try {
            rows[0].assign(3 * (size_t(width) + 2), 0);
            rows[1].assign(3 * (size_t(width) + 2), 0);
        } catch (const std::bad_alloc&) {
            CV_THROW(kCvErrNoMemory);
        }
    }
    int32_t* Current() { return rows[current].data() + 3; }
    int32_t* Below() { return rows[1 - current].data() + 3; }
    // The row below becomes the current one; the new row below starts without error.
    void Advance() {
        std::fill(rows[current].begin(), rows[current].end(), 0);
        current = 1 - current;
    }

private:
    std::vector<int32_t> rows[2];
    int current = 0;
};

class FineDitherTask : public CvProgressTask {
public:
    FineDitherTask(CvNearestColor& nearest, const CvFineDitherSetup& setup, const uint8_t* mask, uint32_t maskRowBytes,
                   CvProgressIndicator* indicator)
        : CvProgressTask(indicator),
          nearest(nearest),
          s(setup),
          mask(mask),
          maskRowBytes(maskRowBytes),
          strength(int32_t(std::min(setup.strength, kMostDiffused))),
          // Weaker dithering buys a smaller file: the previous pixel's entry is kept while it is nearly as near
          // as the nearest, which lengthens the runs the GIF's coding thrives on.
          runMargin(int32_t(2 * (17 - setup.strength) + 1)),
          errors(setup.strength ? setup.width : 0) {
        SetPalette(setup.palette);
        // No error may push a pixel outside the range of the palette's own channels: beyond it, no entry
        // could ever take the error up.
        for (int c = 0; c < 3; ++c) low[c] = 255 * kOne, high[c] = 0;
        for (uint32_t i = 0; i < setup.palette->GetCount(); ++i)
            for (int c = 0; c < 3; ++c) {
                low[c] = std::min(low[c], setup.palette->Entry(i)[c] * kOne);
                high[c] = std::max(high[c], setup.palette->Entry(i)[c] * kOne);
            }
    }

    void Run() {
        Start(0, s.width * s.height, "Remapping");
        try {
            if (s.strength == 0)
                Rows<false, false>();
            else if (mask)
                Rows<true, true>();
            else
                Rows<false, true>();
            SetProgress(done);  // the last report only shows completion; its answer is not acted on
        } catch (const CvErrorCode& error) {
            ReportError(error);
            throw;
        }
        Finish();
    }

private:
    template <bool kMasked, bool kDither>
    void Rows() {
        for (uint32_t y = 0; y < s.height; ++y) {
            if (!kDither)
                NearestRow(y);
            else if (y % 2 == 0)
                Row<kMasked, 1>(y);
            else
                Row<kMasked, -1>(y);
            if (kDither) errors.Advance();
            done += s.width;
            if (done - reported >= kReportInterval && y + 1 < s.height) {
                reported = done;
                CV_PROGRESS(*this, done);
            }
        }
    }

    // Without dithering every pixel simply gets the entry nearest to its own colour.
    void NearestRow(uint32_t y) {
        const uint8_t* pixel = s.source + size_t(s.sourceRowBytes) * y;
        uint8_t* out = s.destination + size_t(s.destinationRowBytes) * y;
        for (uint32_t x = 0; x < s.width; ++x, pixel += 3) out[x] = uint8_t(nearest.Index(pixel[0], pixel[1], pixel[2]));
    }

    // Floyd and Steinberg's weights: 7/16 to the next pixel, 3/16, 5/16 and 1/16 to the three below, mirrored on
    // the rows walked leftwards. A masked pixel keeps its own colour's entry and passes on what that leaves.
    template <bool kMasked, int kStep>
    void Row(uint32_t y) {
        const uint8_t* in = s.source + size_t(s.sourceRowBytes) * y;
        uint8_t* out = s.destination + size_t(s.destinationRowBytes) * y;
        const uint8_t* maskRow = kMasked ? mask + size_t(maskRowBytes) * y : nullptr;
        int32_t* here = errors.Current();
        int32_t* below = errors.Below();
        const int32_t width = int32_t(s.width);
        uint32_t previous = UINT32_MAX;
        for (int32_t i = 0; i < width; ++i) {
            const int32_t x = kStep > 0 ? i : width - 1 - i;
            const uint8_t* pixel = in + 3 * size_t(x);
            int32_t target[3];
            uint8_t value[3];
            for (int c = 0; c < 3; ++c) {
                target[c] = std::clamp(pixel[c] * kOne + here[3 * x + c], low[c], high[c]);
                value[c] = uint8_t((target[c] + kOne / 2) / kOne);
            }
            uint32_t entry = nearest.Entry(value[0], value[1], value[2]);
            // An exact match is always kept: a picture of no more colours than the palette keeps every one.
            const int32_t miss = Distance(value, entry);
            if (miss && previous != UINT32_MAX && Distance(value, previous) <= miss + runMargin) entry = previous;
            if (kMasked && (maskRow[x / 8] >> (7 - x % 8) & 1)) entry = nearest.Entry(pixel[0], pixel[1], pixel[2]);
            previous = entry;
            out[x] = uint8_t(entry);
            int32_t* next = here + 3 * (x + kStep);
            int32_t* down = below + 3 * x;
            for (int c = 0; c < 3; ++c) {
                // The error times strength / 16, then spread in sixteenths; rounding keeps the sum within a unit.
                const int32_t error = (target[c] - Channel(entry, c) * kOne) * strength;
                next[c] += (error * 7 + 128) >> 8;
                down[c - 3 * kStep] += (error * 3 + 128) >> 8;
                down[c] += (error * 5 + 128) >> 8;
                down[c + 3 * kStep] += (error + 128) >> 8;
            }
        }
    }

    CvNearestColor& nearest;
    const CvFineDitherSetup& s;
    const uint8_t* mask;
    uint32_t maskRowBytes;
    const int32_t strength, runMargin;
    int32_t low[3], high[3];
    ErrorRows errors;
    uint32_t done = 0, reported = 0;
};

bool Usable(const CvFineDitherSetup& s) {
    return s.strength <= 16 && s.palette && s.palette->GetCount() >= 1 && s.source &&
           s.destination && s.width && s.height && uint64_t(s.width) * s.height <= UINT32_MAX &&
           s.sourceRowBytes >= uint64_t(s.width) * 3 && s.destinationRowBytes >= s.width;
}
}  // namespace

void FineDither(CvNearestColor& nearest, const CvFineDitherSetup& setup, CvProgressIndicator* indicator) {
    const bool usable = Usable(setup);
    CV_ASSERT(usable);
    if (!usable) CV_THROW(kCvErrBadArgument);
    if (!setup.mask) return FineDitherTask(nearest, setup, nullptr, 0, indicator).Run();
    const bool sameSize = setup.mask->GetWidth() == setup.width && setup.mask->GetHeight() == setup.height;
    CV_ASSERT(sameSize);
    if (!sameSize) CV_THROW(kCvErrSizeMismatch);
    CvPixelLock lock(*setup.mask);
    FineDitherTask(nearest, setup, lock.Pixels(), setup.mask->RowBytes(), indicator).Run();
}
