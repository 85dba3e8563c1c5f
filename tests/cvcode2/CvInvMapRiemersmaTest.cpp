// The Riemersma dither along the Hilbert curve, every routine and layout against the plain rule written out over
// the curve as defined; the packed error lanes against the rule for every sum; stop requests and unsafe arguments.
#include <gtest/gtest.h>

#include <algorithm>
#include <utility>
#include <vector>

#include "cvcode2/Cv15BitHist.h"
#include "cvcode2/CvBitmapImage.h"
#include "cvcode2/CvInvMapRiemersma.h"
#include "cvcode2/CvMakeInvColorMap.h"
#include "tests/support/RecordingIndicator.h"

namespace {
using Positions = std::vector<std::pair<uint32_t, uint32_t>>;

// The curve exactly as defined: every position of the 2^L square visited, none skipped.
struct PlainWalk {
    PlainWalk(uint32_t w, uint32_t h) : width(w), height(h) {}
    uint32_t width, height, x = 0, y = 0;
    Positions met{{0, 0}};
    void Move(int dx, int dy) {
        x += dx, y += dy;
        if (x < width && y < height) met.emplace_back(x, y);
    }
    void Curve(int l, int d) {
        if (l-- == 0) return;
        if (d == 1) Curve(l, 2), Move(0, 1), Curve(l, 1), Move(1, 0), Curve(l, 1), Move(0, -1), Curve(l, 4);
        if (d == 2) Curve(l, 1), Move(1, 0), Curve(l, 2), Move(0, 1), Curve(l, 2), Move(-1, 0), Curve(l, 3);
        if (d == 3) Curve(l, 4), Move(0, -1), Curve(l, 3), Move(-1, 0), Curve(l, 3), Move(0, 1), Curve(l, 2);
        if (d == 4) Curve(l, 3), Move(-1, 0), Curve(l, 4), Move(0, -1), Curve(l, 4), Move(1, 0), Curve(l, 1);
    }
    Positions Run() {
        int level = 0;
        for (uint32_t side = std::max(width, height); side; side >>= 1) ++level;
        Curve(level, 1);
        return met;
    }
};

struct Layout {
    uint16_t pixelBytes, r, g, b, outBytes, outOffset;
};
const Layout kRgb3{3, 0, 1, 2, 1, 0}, kBgrx4{4, 2, 1, 0, 1, 0}, kGeneral{5, 4, 0, 2, 2, 1};

// Smooth asymmetric gradients with deterministic noise, the same colours whatever the layout; padded rows.
struct Image {
    uint32_t width, height;
    Layout layout;
    uint32_t rowBytes, outRowBytes, maskRowBytes;
    std::vector<uint8_t> pixels, out, mask;

    Image(uint32_t w, uint32_t h, Layout l) : width(w), height(h), layout(l) {
        rowBytes = w * l.pixelBytes + 3, outRowBytes = w * l.outBytes + 1, maskRowBytes = (w + 7) / 8 + 1;
        pixels.resize(size_t(rowBytes) * h), out.resize(size_t(outRowBytes) * h, 0xEE);
        mask.resize(size_t(maskRowBytes) * h);
        uint32_t noise = 1;
        for (uint32_t y = 0; y < h; ++y)
            for (uint32_t x = 0; x < w; ++x) {
                noise = noise * 1103515245u + 12345u;
                uint8_t* p = Pixel(x, y);
                p[l.r] = uint8_t(x * 255 / w + (noise >> 28));
                p[l.g] = uint8_t(y * 200 / h + (noise >> 29));
                p[l.b] = uint8_t((x + 2 * y) % 256);
                if ((noise >> 20) % 3 == 0) mask[size_t(maskRowBytes) * y + x / 8] |= uint8_t(0x80 >> x % 8);
            }
    }
    uint8_t* Pixel(uint32_t x, uint32_t y) { return &pixels[size_t(rowBytes) * y + size_t(layout.pixelBytes) * x]; }
    std::vector<uint8_t> Indices() const {
        std::vector<uint8_t> indices;
        for (uint32_t y = 0; y < height; ++y)
            for (uint32_t x = 0; x < width; ++x)
                indices.push_back(out[size_t(outRowBytes) * y + size_t(layout.outBytes) * x + layout.outOffset]);
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

const Palette& Sixteen() {
    static const Palette palette({0,   0,   0,   255, 255, 255, 255, 0,   0,   0,   255, 0,   0,   0,   255, 128,
                                  128, 128, 200, 120, 40,  40,  120, 200, 90,  30,  160, 250, 240, 100, 20,  60,
                                  20,  170, 170, 250, 60,  60,  60,  190, 190, 190, 120, 0,   0,   0,   0,   120});
    return palette;
}

void Remap(Image& image, uint32_t strength, const Palette& palette, bool masked,
           CvProgressIndicator* indicator = nullptr, uint32_t maskRowBytes = 0) {
    const Layout& l = image.layout;
    if (masked)
        InvMapRiemersmaMaskBits(image.mask.data(), maskRowBytes ? maskRowBytes : image.maskRowBytes, strength,
                                palette.map.data(), palette.table, image.pixels.data(), image.out.data(),
                                image.rowBytes, image.outRowBytes, image.width, image.height, l.r, l.g, l.b,
                                l.outOffset, l.pixelBytes, l.outBytes, indicator);
    else
        InvMapRiemersma(strength, palette.map.data(), palette.table, image.pixels.data(), image.out.data(),
                        image.rowBytes, image.outRowBytes, image.width, image.height, l.r, l.g, l.b, l.outOffset,
                        l.pixelBytes, l.outBytes, indicator);
}

// The per-pixel rule written out plainly over the plain walk; colours go through their cell's inverse map entry.
std::vector<uint8_t> ReferenceRemap(Image& image, int s, const Palette& palette, bool masked) {
    auto lookup = [&](const uint8_t* rgb) { return palette.map[ColorIndex15(rgb[0], rgb[1], rgb[2])]; };
    std::vector<uint8_t> indices(size_t(image.width) * image.height);
    int errors[4][3] = {};
    for (auto [x, y] : PlainWalk(image.width, image.height).Run()) {
        const uint8_t* p = image.Pixel(x, y);
        const int read[3] = {p[image.layout.r], p[image.layout.g], p[image.layout.b]};
        uint8_t value[3];
        for (int c = 0; c < 3; ++c) {
            const int sum = s * errors[0][c] + 3 * s * errors[1][c] + 5 * s * errors[2][c] + 7 * s * errors[3][c];
            const int term = (sum >= 0 ? sum / 256 : -((-sum + 255) / 256)) + (sum < 0);  // floor, +1 if negative
            value[c] = uint8_t(std::clamp(read[c] + term, 0, 255));
        }
        uint8_t index = lookup(value);
        for (int c = 0; c < 3; ++c) {
            for (int k = 0; k < 3; ++k) errors[k][c] = errors[k + 1][c];
            errors[3][c] = value[c] - palette.table.Entry(index)[c];
        }
        const uint8_t own[3] = {uint8_t(read[0]), uint8_t(read[1]), uint8_t(read[2])};
        if (masked && (image.mask[size_t(image.maskRowBytes) * y + x / 8] & (0x80 >> x % 8))) index = lookup(own);
        indices[size_t(y) * image.width + x] = index;
    }
    return indices;
}
}  // namespace

// Every layout, fixed or general, with and without mask, gives the plain rule's result on the same colours.
TEST(InvMapRiemersma, EveryRoutineMatchesThePlainRule) {
    for (auto [w, h] : Positions{{1, 1}, {3, 1}, {1, 300}, {257, 3}, {97, 61}, {640, 480}})
        for (uint32_t strength : {0u, 5u, 10u, 16u})
            for (bool masked : {false, true}) {
                if (w == 640 && strength != 16) continue;
                Image general(w, h, kGeneral);
                const std::vector<uint8_t> expected = ReferenceRemap(general, int(strength), Sixteen(), masked);
                for (const Layout& layout : {kGeneral, kRgb3, kBgrx4}) {
                    Image image(w, h, layout);
                    Remap(image, strength, Sixteen(), masked);
                    ASSERT_EQ(image.Indices(), expected) << w << "x" << h << " pixel bytes " << layout.pixelBytes
                                                         << " strength " << strength << (masked ? " masked" : "");
                }
            }
}

// A stop asked at the report after 2000 pixels leaves that pixel and the rest unwritten; arguments it cannot use
// safely are refused before anything is written.
TEST(InvMapRiemersma, StopsAtTheReportThatAskedAndRefusesUnsafeArguments) {
    RecordingIndicator stopping;
    stopping.stop = true;
    Image stopped(100, 50, kRgb3);
    EXPECT_THROW(Remap(stopped, 5, Sixteen(), false, &stopping), CvErrorCode);
    EXPECT_EQ(stopping.calls, (std::vector<std::string>{"start Remapping", "update 2000", "error 3"}));
    std::vector<uint8_t> indices = stopped.Indices();
    EXPECT_EQ(std::count(indices.begin(), indices.end(), 0xEE), 5000 - 1999);
    Image image(9, 2, kRgb3);
    EXPECT_THROW(Remap(image, 17, Sixteen(), false), CvErrorCode);
    EXPECT_THROW(Remap(image, 5, Sixteen(), true, nullptr, 1), CvErrorCode);  // 9 mask bits need 2 bytes
    EXPECT_THROW(
        InvMapRiemersmaMasked(CvBitmapImage(8, 2), 5, Sixteen().map.data(), Sixteen().table, image.pixels.data(),
                              image.out.data(), image.rowBytes, image.outRowBytes, 9, 2, 0, 1, 2, 0, 3, 1, nullptr),
        CvErrorCode);  // a mask of another size
    image.layout.b = 3;
    EXPECT_THROW(Remap(image, 5, Sixteen(), false), CvErrorCode);
    EXPECT_EQ(std::count(image.out.begin(), image.out.end(), 0xEE), long(image.out.size()));
}

// Every sum the queue can hold, on the channel's extremes and between them, against the rule written out; the
// middle lane is checked between neighbours at opposite extremes, which would show a carry or borrow across lanes.
TEST(RiemersmaShiftedChannels, AreTheChannelsPlusTheirErrorTermsForEverySum) {
    constexpr int kLargest = 16 * 16 * 255;
    const auto expected = [](int sum, int channel) {
        return uint64_t(channel + (sum >= 0 ? sum / 256 : -((-sum + 255) / 256)) + (sum < 0) + 255);
    };
    const auto lanes = [](int r, int g, int b) { return RiemersmaLanes(uint64_t(r), uint64_t(g), uint64_t(b)); };
    for (int channel : {0, 1, 100, 254, 255})
        for (int sum = -kLargest; sum <= kLargest; ++sum) {
            const uint64_t sums =
                lanes(kRiemersmaSumBias + kLargest, kRiemersmaSumBias + sum, kRiemersmaSumBias - kLargest);
            const uint64_t at = RiemersmaShiftedChannels(sums, lanes(255, channel, 0) << 8);
            ASSERT_EQ(at, lanes(int(expected(kLargest, 255)), int(expected(sum, channel)), int(expected(-kLargest, 0))))
                << "sum " << sum << " channel " << channel;
        }
    EXPECT_EQ(
        RiemersmaShiftedChannels(lanes(kRiemersmaSumBias + 256, kRiemersmaSumBias - 256, kRiemersmaSumBias - 257), 0),
        lanes(256, 255, 254));
}
