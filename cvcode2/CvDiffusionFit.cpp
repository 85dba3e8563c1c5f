// Palette fitting on a regular sample of the picture: diffusion passes without kept runs, entries moved to the mean
// target, and a 3 × 3 blurred error to judge by. Integer arithmetic only, so every build fits the same palette.
#include "cvcode2/CvDiffusionFit.h"

#include <cstring>
#include <new>
#include <vector>

#include "cvcode2/CvErrorCode.h"
#include "cvcode2/CvFineDither.h"
#include "cvcode2/CvLog.h"
#include "cvcode2/CvNearestColor.h"

namespace {
// Enough pixels for the sample to judge as the whole picture would, few enough to cost little beside the remap.
constexpr uint64_t kSamplePixels = 1u << 17;
constexpr uint32_t kWeak = 3, kFull = 15;  // strengths of the two steps
constexpr uint32_t kOne = 256;             // a level in the diffusion's units

// Every step-th pixel of every step-th row, the step chosen for about kSamplePixels.
class Sample {
public:
    Sample(const uint8_t* pixels, uint32_t rowBytes, uint32_t width, uint32_t height) {
        uint32_t step = 1;
        while (uint64_t(step + 1) * (step + 1) * kSamplePixels <= uint64_t(width) * height) ++step;
        w = (width + step - 1) / step;
        h = (height + step - 1) / step;
        try {
            rgb.resize(size_t(w) * h * 3);
            indices.resize(size_t(w) * h);
        } catch (const std::bad_alloc&) {
            CV_THROW(kCvErrNoMemory);
        }
        for (uint32_t y = 0; y < h; ++y) {
            const uint8_t* row = pixels + size_t(rowBytes) * y * step;
            for (uint32_t x = 0; x < w; ++x) std::memcpy(&rgb[(size_t(y) * w + x) * 3], row + size_t(x) * step * 3, 3);
        }
    }

    // Diffuses at `strength` with `palette`; the sums hold what each entry was asked for.
    void Diffuse(const CvColorTable& palette, uint32_t strength, CvDiffusionSums& sums) {
        sums = CvDiffusionSums();
        CvNearestColor nearest(palette);
        FineDither(nearest, {strength, &palette, rgb.data(), indices.data(), w * 3, w, w, h, nullptr, &sums}, nullptr);
    }

    // The squared difference of the sample and its last diffusion after a 3 × 3 box blur of both (edges repeated),
    // in ninths of a level: the blur of the difference, since the blur is linear.
    uint64_t BlurredError(const CvColorTable& palette) const {
        const size_t row = size_t(w) * 3;
        std::vector<int32_t> difference(rgb.size()), across(rgb.size());
        for (size_t i = 0; i < indices.size(); ++i)
            for (uint32_t c = 0; c < 3; ++c)
                difference[3 * i + c] = int32_t(rgb[3 * i + c]) - palette.Entry(indices[i])[c];
        for (uint32_t y = 0; y < h; ++y)
            for (uint32_t x = 0; x < w; ++x) {
                const size_t i = y * row + size_t(x) * 3, left = x ? i - 3 : i, right = x + 1 < w ? i + 3 : i;
                for (uint32_t c = 0; c < 3; ++c)
                    across[i + c] = difference[left + c] + difference[i + c] + difference[right + c];
            }
        uint64_t error = 0;
        for (uint32_t y = 0; y < h; ++y)
            for (size_t i = y * row; i < (y + 1) * row; ++i) {
                const int64_t sum = across[y ? i - row : i] + across[i] + across[y + 1 < h ? i + row : i];
                error += uint64_t(sum * sum);
            }
        return error;
    }

private:
    uint32_t w = 0, h = 0;
    std::vector<uint8_t> rgb, indices;
};

// Each entry from `kept` on that was asked for anything moves to its mean target, rounded.
CvColorTable Moved(const CvColorTable& palette, uint32_t kept, const CvDiffusionSums& sums) {
    CvColorTable moved = palette;
    for (uint32_t i = kept; i < palette.GetCount(); ++i) {
        const int64_t n = sums.count[i];
        if (!n) continue;
        uint8_t c[3];
        for (uint32_t k = 0; k < 3; ++k) c[k] = uint8_t((sums.target[i][k] + n * kOne / 2) / (n * kOne));
        moved.SetEntry(i, c[0], c[1], c[2]);
    }
    return moved;
}
}  // namespace

CvDiffusionFit::CvDiffusionFit(CvProgressIndicator* indicator) : CvProgressTask(indicator) {}

CvColorTable CvDiffusionFit::Fit(const CvColorTable& palette, uint32_t kept, const uint8_t* pixels, uint32_t rowBytes,
                                 uint32_t width, uint32_t height) {
    CV_ASSERT(palette.GetCount() >= 1 && kept <= palette.GetCount());
    Start(0, 3, "Refining");
    CvColorTable result;
    try {
        Sample sample(pixels, rowBytes, width, height);
        CvDiffusionSums sums;
        sample.Diffuse(palette, kWeak, sums);
        const CvColorTable weak = Moved(palette, kept, sums);
        CV_PROGRESS(*this, 1);
        sample.Diffuse(weak, kFull, sums);
        const uint64_t weakError = sample.BlurredError(weak);
        const CvColorTable full = Moved(weak, kept, sums);
        CV_PROGRESS(*this, 2);
        sample.Diffuse(full, kFull, sums);
        const uint64_t fullError = sample.BlurredError(full);
        CV_PROGRESS(*this, 3);
        // A tenth less error, or the rougher gradients and larger files are not worth it.
        result = fullError * 10 < weakError * 9 ? full : weak;
    } catch (const CvErrorCode& error) {
        ReportError(error);
        throw;
    }
    Finish();
    return result;
}
