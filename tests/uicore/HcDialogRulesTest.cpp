// The dialogs' window-free rules: where a dialog opens (a stored rectangle kept on the screen, the first opening
// grown for the work area and centred on the host, DPI scaling), the sizer and the quantization dialog's pane
// pair, and the texts and counts of both dialogs. Outcomes: tests/data/transcripts/uicore/Dialog*.txt.
#include <gtest/gtest.h>

#include <vector>

#include "tests/support/Transcript.h"
#include "tests/support/UiText.h"
#include "uicore/HcDialogPlacement.h"
#include "uicore/HcOptionsRules.h"
#include "uicore/HcQuantRules.h"
#include "uicore/HcSizerLayout.h"

namespace {

std::string Fields(const HcDialogRect& rect) {
    return "left " + std::to_string(rect.left) + " top " + std::to_string(rect.top) + " height " +
           std::to_string(rect.height) + " width " + std::to_string(rect.width);
}

struct RecordingSizer : HcSizerLayout {
    std::vector<HcPoint> calls;  // width and height each custom placement was given
    void PlaceCustom(const HcSizerItem&, int32_t width, int32_t height) override { calls.push_back({width, height}); }
};

}  // namespace

TEST(DialogRules, PlacementSizerAndPanesFollowTheScreenAndTheClientSize) {
    Transcript t("uicore/DialogLayout");
    // Rectangles are left, top, height, width; a stored one needs a positive size and keeps it on a 1920 x 1080
    // screen, its corner within 4/5 of it.
    const HcDialogRect kept[] = {{0, 0, 0, 0},          {30, 40, 0, 400},    {30, 40, 300, -2}, {0, 0, 1, 1},
                                 {1700, -20, 300, 400}, {-5, 900, 300, 400}, {30, 40, 300, 400}};
    for (const HcDialogRect& stored : kept)
        t("stored", Fields(stored),
          IsStoredPlacement(stored) ? "-> " + Fields(PlaceStoredDialog(stored, 1920, 1080)) : "-> none");
    // Panes of a third of the work area's height where there is room, centred on the host, kept inside the work
    // area. Work area and host: left, top, bottom, right; dialog: width, height, pane side, panes across.
    const std::tuple<HcPixelRect, HcPixelRect, HcDialogShape> openings[] = {
        {{0, 0, 1024, 1280}, {0, 0, 480, 640}, {543, 419, 163, 2}},           // at the host's corner
        {{0, 0, 1024, 1280}, {200, 100, 700, 1000}, {543, 419, 163, 2}},      // around the host
        {{0, 0, 600, 800}, {0, 0, 0, 0}, {543, 419, 163, 2}},                 // no host
        {{0, 0, 1500, 1000}, {0, 0, 1500, 1000}, {543, 419, 163, 2}},         // as wide as it can
        {{0, 0, 480, 640}, {0, 0, 480, 640}, {700, 500, 300, 1}},             // never shrunk
        {{1920, 40, 1080, 3840}, {2000, 100, 900, 3000}, {630, 440, 300, 1}}  // a second screen
    };
    for (const auto& [work, host, dialog] : openings)
        t("work", work, "host", host, "->", Fields(FirstPlacement({work, host}, dialog)));
    // Nearest, halves away from zero: 12.5, 10.5, 4.5 and 3.75; exact at 96; an unknown DPI counts as 96.
    for (const auto& [pixels, dpi] : std::vector<std::pair<int32_t, int32_t>>{
             {-7, 96}, {1052, 96}, {10, 120}, {-10, 120}, {7, 144}, {3, 144}, {5, 72}, {25, 0}})
        t(pixels, "at", dpi, "dpi:", ScaleForDpi(pixels, dpi));

    // A 300 x 200 dialog with one item of each kind: still, right, bottom, corner, custom; and one with no way to
    // find its control again, which is left out. Shrunk below its first size it asks to grow by the shortfall only.
    RecordingSizer sizer;
    sizer.Attach(300, 200);
    const std::pair<int32_t, uint32_t> items[] = {{1, 0},
                                                  {2, kSizerFollowRight},
                                                  {3, kSizerFollowBottom},
                                                  {4, kSizerFollowRight | kSizerFollowBottom},
                                                  {0, kSizerCustom},
                                                  {0, kSizerFollowRight}};
    for (const auto& [id, flags] : items)
        sizer.AddItem({flags, 0, id, HcPixelRect::At(10 * id, 100 + id, 30, 40), 7 * id, 0});
    t("sizer items", sizer.Items().size(), "least size", sizer.MinWidth(), sizer.MinHeight());
    for (const HcPoint size : {HcPoint{350, 260}, HcPoint{290, 260}, HcPoint{250, 150}}) {
        const HcSizerOutcome outcome = sizer.OnSize(size.x, size.y);
        std::vector<std::string> placed;
        for (const HcSizerPlacement& placement : outcome.placements)
            placed.push_back(std::to_string(placement.item->controlId) + TextOf(placement.rect));
        t("size", size, "grow", outcome.growWidth, outcome.growHeight, "placed", Transcript::Listed(placed),
          "custom calls", Transcript::Listed(sizer.calls));
    }

    // The right pane grows with the dialog as the left one does, and moves right by the left one's growth.
    const HcPanePair opening{HcPixelRect::At(15, 15, 163, 163), HcPixelRect::At(201, 15, 163, 163)};
    for (const HcPoint extra : {HcPoint{101, 40}, HcPoint{0, 0}}) {
        const HcPanePair panes = PlacePanePair(opening, extra.x, extra.y);
        t("panes grown by", extra, "->", panes.first, panes.second);
    }
}

// The comment's share of "File Size" is its whole extension (introducer, label, sub-block lengths, terminator), so
// the readout is the size "Save" writes. A two-byte character of the code page is kept whole or not at all: bytes
// from 0x81 start one here. Typed colour counts are clamped without sign; only 9 characters are read.
TEST(DialogRules, TextsCountsPlanesAndToolButtons) {
    Transcript t("uicore/DialogTexts");
    for (uint32_t entries : {0, 2, 3, 4, 5, 9, 16, 17, 33, 64, 65, 128, 129, 256})
        t(entries, "entries:", PaletteBitDepth(entries), "bit");
    t(ColorUseText(12, 17), "|", ImageSizeText(40, 30), "|", FileSizeText(1234));
    for (size_t length : {0, 1, 255, 256}) t("comment of", length, "adds", CommentExtensionSize(length));
    const HcLeadByteTest lead = [](uint8_t byte) { return byte >= 0x81; };
    const std::string pair = "\x82\xA0";
    for (const std::string& typed :
         {std::string("short"), std::string(300, 'c'), std::string(254, 'a') + pair, std::string(253, 'a') + pair + "b",
          std::string(253, 'a') + pair + pair, pair + std::string(254, 'a'),
          std::string(254, 'a') + "\x82",  // a lone lead byte at the end is one byte
          std::string(127, 'a') + std::string(128, '\x82')}) {
        const std::string kept = KeptComment(typed, lead);
        EXPECT_EQ(kept, typed.substr(0, kept.size()));
        t("typed", typed.size(), "bytes, kept", kept.size(), "without a code page", KeptComment(typed).size());
    }
    for (const auto& [count, transparency, layerMask] : std::vector<std::tuple<uint32_t, bool, bool>>{
             {3, true, true}, {2, true, false}, {2, false, true}, {2, false, false}, {0, true, true}}) {
        std::vector<std::string> names;
        for (const HcPlaneItem& item : MaskPlaneItems(count, transparency, layerMask))
            names.push_back(std::to_string(item.plane) + " " + item.name);
        t("planes", count, transparency, layerMask, ":", Transcript::Listed(names));
    }
    // The bar below a pane of 315, then moved down by 40; the column two buttons share belongs to the first.
    HcToolBar large(144);
    large.PlaceBelowPane(480);
    HcToolBar tools;
    tools.PlaceBelowPane(315);
    t("tools at 144 dpi: second", large.Rect(1), "at 96: first", tools.Rect(0), "fourth", tools.Rect(3));
    for (const HcPoint point :
         {HcPoint{15, 325}, HcPoint{40, 330}, HcPoint{41, 330}, HcPoint{115, 346}, HcPoint{116, 330}, HcPoint{20, 347}})
        t("tool at", point, tools.HitTest(point));
    tools.MoveBy(40);
    t("moved down 40: tool at (20,330)", tools.HitTest({20, 330}), "at (20,370)", tools.HitTest({20, 370}), "all",
      tools.Bounds());

    for (const auto& [width, height, gif] : std::vector<std::tuple<uint32_t, uint32_t, uint32_t>>{
             {1, 1, 0}, {170, 1, 3}, {512, 1, 0}, {3840, 2400, 1234}})  // 515, 1022, 2048 bytes; below 1024 is 1
        t(width, "x", height, QuantSizeInfo(width, height, gif));
    for (uint32_t bytes : {0, 1535, 1536}) t(bytes, "bytes:", GifKilobytes(bytes), "K");
    for (const char* text : {"1", "0", "64", "999", "-5", "12ab", "", "abc", "0000000064"})
        t("typed [" + std::string(text) + "] asks for", ColorsFromText(text));
}
