// The dialogs' window-free rules: where a dialog opens (a stored rectangle kept on the screen, the first opening
// grown for the work area and centred on the host, DPI scaling), the sizer and the quantization dialog's pane
// pair, and the texts and counts of both dialogs. The steps and their reviewed outcomes are the lines of
// tests/data/transcripts/uicore/DialogLayout.txt and DialogTexts.txt.
#include <gtest/gtest.h>

#include <optional>
#include <vector>

#include "tests/support/Transcript.h"
#include "tests/support/UiText.h"
#include "uicore/HcDialogPlacement.h"
#include "uicore/HcOptionsRules.h"
#include "uicore/HcQuantRules.h"
#include "uicore/HcSizerLayout.h"

namespace {

std::string Fields(const HcDialogRect& rect) {
    return Transcript::Line("left", rect.left, "top", rect.top, "height", rect.height, "width", rect.width);
}

struct RecordingSizer : HcSizerLayout {
    std::vector<HcPoint> calls;  // width and height each custom placement was given
    void PlaceCustom(const HcSizerItem&, int32_t width, int32_t height) override { calls.push_back({width, height}); }
};

}  // namespace

// Rectangles are left, top, height, width; work area and host left, top, bottom, right; a dialog's shape width,
// height, pane side and panes across. Sizer items: the control's id and what it follows.
TEST(DialogRules, PlacementSizerAndPanesFollowTheScreenAndTheClientSize) {
    RecordingSizer sizer;
    sizer.Attach(300, 200);
    Transcript::Replay("uicore/DialogLayout", [&](const std::string& op, const Transcript::Step& step) -> std::string {
        if (op == "stored") {  // kept on a 1920 x 1080 screen
            const HcDialogRect stored{step(1), step(2), step(3), step(4)};
            return IsStoredPlacement(stored) ? Fields(PlaceStoredDialog(stored, 1920, 1080)) : "none";
        }
        if (op == "open")
            return Fields(FirstPlacement({{step(1), step(2), step(3), step(4)}, {step(5), step(6), step(7), step(8)}},
                                         {step(9), step(10), step(11), step(12)}));
        if (op == "scale") return std::to_string(ScaleForDpi(step(1), step(2)));
        if (op == "item") {  // at (10 id, 100 + id), 30 x 40
            uint32_t flags = 0;
            for (const std::string& word : step.words)
                flags |= word == "right" ? kSizerFollowRight : word == "bottom" ? kSizerFollowBottom : 0u;
            if (step.words.back() == "custom") flags = kSizerCustom;
            sizer.AddItem({flags, 0, step(1), HcPixelRect::At(10 * step(1), 100 + step(1), 30, 40), 7 * step(1), 0});
            return Transcript::Line(sizer.Items().size(), "items, least size", sizer.MinWidth(), sizer.MinHeight());
        }
        if (op == "size") {
            const HcSizerOutcome outcome = sizer.OnSize(step(1), step(2));
            std::vector<std::string> placed;
            for (const HcSizerPlacement& placement : outcome.placements)
                placed.push_back(std::to_string(placement.item->controlId) + TextOf(placement.rect));
            return Transcript::Line("grow", outcome.growWidth, outcome.growHeight, "placed", Transcript::Listed(placed),
                                    "custom calls", Transcript::Listed(sizer.calls));
        }
        if (op == "panes") {  // the opening pair grown by width and height
            const HcPanePair panes = PlacePanePair(
                {HcPixelRect::At(15, 15, 163, 163), HcPixelRect::At(201, 15, 163, 163)}, step(1), step(2));
            return Transcript::Line(panes.first, panes.second);
        }
        return "";
    });
}

// Typed comments: a two-byte character of the code page is kept whole or not at all (bytes from 0x81 start one
// here); a lone lead byte at the end is one byte.
TEST(DialogRules, TextsCountsPlanesAndToolButtons) {
    const std::string pair = "\x82\xA0";
    const std::string typed[] = {"short",
                                 std::string(300, 'c'),
                                 std::string(254, 'a') + pair,
                                 std::string(253, 'a') + pair + "b",
                                 std::string(253, 'a') + pair + pair,
                                 pair + std::string(254, 'a'),
                                 std::string(254, 'a') + "\x82",
                                 std::string(127, 'a') + std::string(128, '\x82')};
    std::optional<HcToolBar> tools;
    Transcript::Replay("uicore/DialogTexts", [&](const std::string& op, const Transcript::Step& step) -> std::string {
        if (op == "bits") return std::to_string(PaletteBitDepth(uint32_t(step(1))));
        if (op == "texts")
            return Transcript::Line(ColorUseText(12, 17), "|", ImageSizeText(40, 30), "|", FileSizeText(1234));
        if (op == "comment-size") return std::to_string(CommentExtensionSize(size_t(step(1))));
        if (op == "typed") {
            const std::string kept = KeptComment(typed[step(1)], [](uint8_t byte) { return byte >= 0x81; });
            EXPECT_EQ(kept, typed[step(1)].substr(0, kept.size()));
            return Transcript::Line(typed[step(1)].size(), "bytes, kept", kept.size(), "without a code page",
                                    KeptComment(typed[step(1)]).size());
        }
        if (op == "planes") {  // count, transparency, layer mask
            std::vector<std::string> names;
            for (const HcPlaneItem& item : MaskPlaneItems(uint32_t(step(1)), step(2), step(3)))
                names.push_back(std::to_string(item.plane) + " " + item.name);
            return "[" + Transcript::Listed(names) + "]";
        }
        if (op == "tools") {  // dpi, the pane's bottom
            tools.emplace(step(1));
            tools->PlaceBelowPane(step(2));
            return Transcript::Line(tools->Rect(0), tools->Rect(1), tools->Rect(3), "all", tools->Bounds());
        }
        if (op == "tool-at") return std::to_string(tools->HitTest({step(1), step(2)}));
        if (op == "move-by") {
            tools->MoveBy(step(1));
            return TextOf(tools->Bounds());
        }
        if (op == "sizes") return QuantSizeInfo(uint32_t(step(1)), uint32_t(step(2)), uint32_t(step(3)));
        if (op == "kilobytes") return std::to_string(GifKilobytes(uint32_t(step(1))));
        if (op == "colours") return std::to_string(ColorsFromText(step.words.size() > 1 ? step.words[1].c_str() : ""));
        return "";
    });
}
