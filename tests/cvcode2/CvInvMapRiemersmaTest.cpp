#include "cvcode2/CvInvMapRiemersma.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "cvcode2/Cv15BitHist.h"
#include "cvcode2/CvMakeInvColorMap.h"

namespace {
using Positions = std::vector<std::pair<uint32_t, uint32_t>>;

// The curve exactly as defined, every position of the 2^L square visited, none skipped.
struct PlainWalk {
    PlainWalk(uint32_t w, uint32_t h) : width(w), height(h) {}
    uint32_t width, height, x = 0, y = 0;
    Positions met;
    void Move(int dx, int dy) {
        x += dx;
        y += dy;
        if (x < width && y < height) met.emplace_back(x, y);
    }
    void Curve(int level, int direction) {
        if (level == 0) return;
        switch (direction) {
            case 1: Curve(level - 1, 2); Move(0, 1); Curve(level - 1, 1); Move(1, 0); Curve(level - 1, 1); Move(0, -1); Curve(level - 1, 4); break;
            case 2: Curve(level - 1, 1); Move(1, 0); Curve(level - 1, 2); Move(0, 1); Curve(level - 1, 2); Move(-1, 0); Curve(level - 1, 3); break;
            case 3: Curve(level - 1, 4); Move(0, -1); Curve(level - 1, 3); Move(-1, 0); Curve(level - 1, 3); Move(0, 1); Curve(level - 1, 2); break;
            case 4: Curve(level - 1, 3); Move(-1, 0); Curve(level - 1, 4); Move(0, -1); Curve(level - 1, 4); Move(1, 0); Curve(level - 1, 1); break;
        }
    }
    Positions Run() {
        int level = 0;
        for (uint32_t side = std::max(width, height); side; side >>= 1) ++level;
        met.emplace_back(0, 0);
        Curve(level, 1);
        return met;
    }
};

struct Recorder {
    Positions met;
    void operator()(uint32_t x, uint32_t y) { met.emplace_back(x, y); }
    void Block(uint32_t direction, uint32_t x, uint32_t y) {
        for (uint32_t i = 0; i < CvHilbertBlock::kMoves; ++i)
            met.emplace_back(x + HilbertBlock().dx[direction][i], y + HilbertBlock().dy[direction][i]);
    }
};

Positions CurveOrder(uint32_t width, uint32_t height) {
    Recorder recorder;
    CvHilbertCurve<Recorder>(width, height, recorder).Walk();
    return recorder.met;
}

struct Layout {
    uint16_t pixelBytes, r, g, b, outBytes, outOffset;
};

// An image with its own layout: smooth asymmetric gradients plus a little deterministic noise.
struct Image {
    uint32_t width, height, rowBytes, outRowBytes;
    Layout layout;
    std::vector<uint8_t> pixels, out;
    std::vector<uint8_t> mask;
    uint32_t maskRowBytes;

    Image(uint32_t w, uint32_t h, Layout l)
        : width(w), height(h), rowBytes(w * l.pixelBytes + 3), outRowBytes(w * l.outBytes + 1), layout(l),
          pixels(size_t(rowBytes) * h, 0x5A), out(size_t(outRowBytes) * h, 0xEE), maskRowBytes((w + 7) / 8 + 1) {
        uint32_t noise = 1;
        mask.resize(size_t(maskRowBytes) * h);
        for (uint32_t y = 0; y < h; ++y)
            for (uint32_t x = 0; x < w; ++x) {
                noise = noise * 1103515245u + 12345u;
                uint8_t* p = &pixels[size_t(rowBytes) * y + size_t(l.pixelBytes) * x];
                p[l.r] = uint8_t(x * 255 / w + (noise >> 28));
                p[l.g] = uint8_t(y * 200 / h + (noise >> 29));
                p[l.b] = uint8_t((x + 2 * y) % 256);
                if ((noise >> 20) % 3 == 0) mask[size_t(maskRowBytes) * y + x / 8] |= uint8_t(0x80 >> x % 8);
            }
    }
    uint8_t Index(uint32_t x, uint32_t y) const {
        return out[size_t(outRowBytes) * y + size_t(layout.outBytes) * x + layout.outOffset];
    }
    std::vector<uint8_t> Indices() const {
        std::vector<uint8_t> indices;
        for (uint32_t y = 0; y < height; ++y)
            for (uint32_t x = 0; x < width; ++x) indices.push_back(Index(x, y));
        return indices;
    }
};

struct Palette {
    CvColorTable table;
    std::vector<uint8_t> map = std::vector<uint8_t>(kCellCount);
    explicit Palette(const std::vector<uint8_t>& rgb) : table(uint32_t(rgb.size() / 3)) {
        for (uint32_t i = 0; i < table.GetCount(); ++i) table.SetEntry(i, rgb[3 * i], rgb[3 * i + 1], rgb[3 * i + 2]);
        MakeInvColorMap(&table, map.data());
    }
};

const Palette& SixteenColors() {
    static const Palette palette({0, 0, 0, 255, 255, 255, 255, 0, 0, 0, 255, 0, 0, 0, 255, 128, 128, 128,
                                  200, 120, 40, 40, 120, 200, 90, 30, 160, 250, 240, 100, 20, 60, 20, 170,
                                  170, 250, 60, 60, 60, 190, 190, 190, 120, 0, 0, 0, 0, 120});
    return palette;
}

void Remap(Image& image, uint32_t strength, const Palette& palette, bool masked,
           CvProgressIndicator* indicator = nullptr) {
    const Layout& l = image.layout;
    if (masked)
        InvMapRiemersmaMaskBits(image.mask.data(), image.maskRowBytes, strength, palette.map.data(), palette.table,
                                image.pixels.data(), image.out.data(), image.rowBytes, image.outRowBytes, image.width,
                                image.height, l.r, l.g, l.b, l.outOffset, l.pixelBytes, l.outBytes, indicator);
    else
        InvMapRiemersma(strength, palette.map.data(), palette.table, image.pixels.data(), image.out.data(),
                        image.rowBytes, image.outRowBytes, image.width, image.height, l.r, l.g, l.b, l.outOffset,
                        l.pixelBytes, l.outBytes, indicator);
}

// The per-pixel rule written out plainly over the plain walk.
std::vector<uint8_t> ReferenceRemap(const Image& image, int s, const Palette& palette, bool masked) {
    std::vector<uint8_t> indices(size_t(image.width) * image.height);
    int errors[4][3] = {};
    const int weights[4] = {s, 3 * s, 5 * s, 7 * s};
    for (auto [x, y] : PlainWalk(image.width, image.height).Run()) {
        const uint8_t* p = &image.pixels[size_t(image.rowBytes) * y + size_t(image.layout.pixelBytes) * x];
        const int read[3] = {p[image.layout.r], p[image.layout.g], p[image.layout.b]};
        int value[3];
        for (int c = 0; c < 3; ++c) {
            int sum = 0;
            for (int k = 0; k < 4; ++k) sum += weights[k] * errors[k][c];
            // floor(sum / 256), plus 1 for negative sums
            const int term = (sum >= 0 ? sum / 256 : -((-sum + 255) / 256)) + (sum < 0 ? 1 : 0);
            value[c] = std::min(255, std::max(0, read[c] + term));
        }
        uint8_t index = palette.map[ColorIndex15(uint8_t(value[0]), uint8_t(value[1]), uint8_t(value[2]))];
        for (int c = 0; c < 3; ++c) {
            for (int k = 0; k < 3; ++k) errors[k][c] = errors[k + 1][c];
            errors[3][c] = value[c] - palette.table.Entry(index)[c];
        }
        if (masked && (image.mask[size_t(image.maskRowBytes) * y + x / 8] & (0x80 >> x % 8)))
            index = palette.map[ColorIndex15(uint8_t(read[0]), uint8_t(read[1]), uint8_t(read[2]))];
        indices[size_t(y) * image.width + x] = index;
    }
    return indices;
}

const Layout kRgb3{3, 0, 1, 2, 1, 0}, kBgrx4{4, 2, 1, 0, 1, 0}, kOdd{5, 4, 0, 2, 2, 1};

struct RecordingIndicator : CvProgressIndicator {
    std::vector<std::string> calls;
    bool stop = false;
    void Start(CvProgressTask* task) override { calls.push_back(std::string("start ") + task->Caption()); }
    void Step(CvProgressTask*) override {}
    void Finish(CvProgressTask*) override { calls.push_back("finish"); }
    bool Update(CvProgressTask* task) override {
        calls.push_back("update " + std::to_string(task->Current()));
        return stop;
    }
    void Error(CvProgressTask*, CvErrorCode error) override { calls.push_back("error " + std::to_string(error.code)); }
};
}  // namespace

TEST(RiemersmaErrorTerm, ShiftsAndRoundsNegativeSumsUp) {
    EXPECT_EQ(RiemersmaErrorTerm(256), 1);
    EXPECT_EQ(RiemersmaErrorTerm(255), 0);
    EXPECT_EQ(RiemersmaErrorTerm(-1), 0);
    EXPECT_EQ(RiemersmaErrorTerm(-256), 0);
    EXPECT_EQ(RiemersmaErrorTerm(-257), -1);
    EXPECT_EQ(RiemersmaErrorTerm(-512), -1);
}

TEST(CvHilbertCurve, SmallWalksMeetPixelsInCurveOrder) {
    EXPECT_EQ(CurveOrder(1, 1), (Positions{{0, 0}}));
    EXPECT_EQ(CurveOrder(3, 1), (Positions{{0, 0}, {1, 0}, {2, 0}}));
    // A 4 × 4 image lies in the first quarter of an 8 × 8 curve.
    EXPECT_EQ(CurveOrder(4, 4), (Positions{{0, 0}, {0, 1}, {1, 1}, {1, 0}, {2, 0}, {3, 0}, {3, 1}, {2, 1},
                                           {2, 2}, {3, 2}, {3, 3}, {2, 3}, {1, 3}, {1, 2}, {0, 2}, {0, 3}}));
}

TEST(CvHilbertCurve, SkippingOffImageSquaresKeepsThePlainOrder) {
    for (auto [w, h] : Positions{{1, 1}, {3, 1}, {1, 300}, {257, 3}, {640, 480}, {5, 17}, {1024, 1}, {16, 16}, {33, 47}}) {
        Positions plain = PlainWalk(w, h).Run();
        ASSERT_EQ(plain.size(), size_t(w) * h);
        ASSERT_EQ(CurveOrder(w, h), plain) << w << "x" << h;
    }
}

TEST(InvMapRiemersma, MatchesThePlainRuleForEveryLayoutAndSize) {
    for (auto [w, h] : Positions{{1, 1}, {3, 1}, {1, 300}, {257, 3}, {97, 61}, {640, 480}})
        for (const Layout& layout : {kRgb3, kBgrx4, kOdd})
            for (uint32_t strength : {0u, 5u, 16u})
                for (bool masked : {false, true}) {
                    if (w * h > 100000 && (strength != 5 || layout.pixelBytes == 5)) continue;
                    Image image(w, h, layout);
                    Remap(image, strength, SixteenColors(), masked);
                    ASSERT_EQ(image.Indices(), ReferenceRemap(image, int(strength), SixteenColors(), masked))
                        << w << "x" << h << " bytes " << layout.pixelBytes << " strength " << strength
                        << (masked ? " masked" : "");
                }
}

TEST(InvMapRiemersma, FixedLayoutsGiveTheGeneralRoutinesResult) {
    for (const Layout& fixed : {kRgb3, kBgrx4}) {
        Layout general = fixed;
        general.outBytes = 2;  // any other destination layout takes the general routine
        Image a(131, 77, fixed), b(131, 77, general);
        Remap(a, 7, SixteenColors(), false);
        Remap(b, 7, SixteenColors(), false);
        EXPECT_EQ(a.Indices(), b.Indices());
    }
}

TEST(InvMapRiemersma, StrengthZeroIsPlainInverseMapping) {
    Image image(45, 33, kOdd);
    Remap(image, 0, SixteenColors(), false);
    for (uint32_t y = 0; y < image.height; ++y)
        for (uint32_t x = 0; x < image.width; ++x) {
            const uint8_t* p = &image.pixels[size_t(image.rowBytes) * y + 5 * x];
            ASSERT_EQ(image.Index(x, y), SixteenColors().map[ColorIndex15(p[4], p[0], p[2])]);
        }
    // Padding bytes of the destination stay untouched.
    EXPECT_EQ(image.out[0], 0xEE);
    EXPECT_EQ(image.out[image.outRowBytes - 1], 0xEE);
}

TEST(InvMapRiemersma, UniformPaletteColourCarriesNoError) {
    const Palette palette({0, 0, 0, 100, 150, 200, 255, 255, 255});
    Image image(50, 40, kRgb3);
    for (uint32_t y = 0; y < 40; ++y)
        for (uint32_t x = 0; x < 50; ++x) {
            uint8_t* p = &image.pixels[size_t(image.rowBytes) * y + 3 * x];
            p[0] = 100, p[1] = 150, p[2] = 200;
        }
    Remap(image, 16, palette, false);
    EXPECT_EQ(image.Indices(), std::vector<uint8_t>(2000, 1));
}

TEST(InvMapRiemersma, ReportsEvery2000PixelsAndStopsWithError3) {
    RecordingIndicator indicator;
    Image image(100, 50, kRgb3);
    Remap(image, 5, SixteenColors(), false, &indicator);
    EXPECT_EQ(indicator.calls, (std::vector<std::string>{"start Remapping", "update 2000", "update 4000",
                                                         "update 5000", "finish"}));

    RecordingIndicator stopping;
    stopping.stop = true;
    Image stopped(100, 50, kRgb3);
    try {
        Remap(stopped, 5, SixteenColors(), false, &stopping);
        FAIL() << "the remap must stop";
    } catch (const CvErrorCode& error) {
        EXPECT_EQ(error.code, 3u);
    }
    EXPECT_EQ(stopping.calls, (std::vector<std::string>{"start Remapping", "update 2000", "error 3"}));
    // The pixel that asked is left unwritten.
    std::vector<uint8_t> indices = stopped.Indices();
    EXPECT_EQ(std::count(indices.begin(), indices.end(), 0xEE), 5000 - 1999);
}

TEST(InvMapRiemersma, RefusesBadArguments) {
    Image image(9, 2, kRgb3);
    const Palette& palette = SixteenColors();
    // Nine mask bits need two bytes per row.
    EXPECT_THROW(InvMapRiemersmaMaskBits(image.mask.data(), 1, 5, palette.map.data(), palette.table,
                                         image.pixels.data(), image.out.data(), image.rowBytes, image.outRowBytes, 9,
                                         2, 0, 1, 2, 0, 3, 1, nullptr),
                 CvErrorCode);
    EXPECT_THROW(InvMapRiemersma(17, palette.map.data(), palette.table, image.pixels.data(), image.out.data(),
                                 image.rowBytes, image.outRowBytes, 9, 2, 0, 1, 2, 0, 3, 1, nullptr),
                 CvErrorCode);
    EXPECT_THROW(InvMapRiemersma(5, palette.map.data(), palette.table, image.pixels.data(), image.out.data(),
                                 image.rowBytes, image.outRowBytes, 9, 2, 0, 1, 3, 0, 3, 1, nullptr),
                 CvErrorCode);
    EXPECT_EQ(std::count(image.out.begin(), image.out.end(), 0xEE), long(image.out.size()));
}
