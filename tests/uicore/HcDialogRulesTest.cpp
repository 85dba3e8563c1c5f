// The dialogs' window-free rules and the custom controls' arithmetic, each walked as one session: where a dialog
// opens (a stored rectangle kept on the screen, the first opening grown for the work area and centred on the host,
// DPI scaling), the sizer and the quantization dialog's pane pair, the texts and counts of both dialogs (the depth
// box's choice for a colour count among them); the colour slider block (geometry, drags clamped to the bar, held
// arrows that step at once and then per tick, gradients, the disabled state, the value texts), the dithering track
// (geometry, the nearest stop, a drag that reports only a release on another stop) and the palette grid (cells,
// hits, clicks that select only new cells holding a colour).
// The steps and their reviewed outcomes are the lines of tests/data/transcripts/uicore/DialogLayout.txt,
// DialogTexts.txt, ControlCores.txt, DitherTrack.txt and PalGrid.txt.
#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>
#include <optional>
#include <vector>

#include "common/hcsettings.h"
#include "tests/support/Transcript.h"
#include "tests/support/UiText.h"
#include "uicore/HcColorSliderCore.h"
#include "uicore/HcDialogPlacement.h"
#include "uicore/HcDitherTrack.h"
#include "uicore/HcOptionsRules.h"
#include "uicore/HcPalGrid.h"
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

const char* const kChannels[] = {"red", "green", "blue", "none"};

HcPoint CentreOf(const HcPixelRect& rect) {
    return {rect.left + rect.Width() / 2, rect.top + rect.Height() / 2};
}

// What an event asked of the window (the channel to redraw, the value it replaced, repeat started, interaction
// ended), the colour, and the channels being dragged and repeated with the repeat's direction.
std::string Said(const HcColorSliderCore& slider, const HcSliderResponse& response) {
    return Transcript::Line(kChannels[int(response.changed)], response.previousValue, response.startRepeat,
                            response.endInteraction, "colour", slider.Color(), "dragging",
                            kChannels[int(slider.DragChannel())], "repeating", kChannels[int(slider.RepeatChannel())],
                            slider.RepeatDirection());
}

}  // namespace

// Rectangles are left, top, height, width; work area and host left, top, bottom, right; a dialog's shape width,
// height, pane side and panes across. Sizer items: the control's id and what it follows. Typed comments: a two-byte
// character of the code page is kept whole or not at all (bytes from 0x81 start one here); a lone lead byte at the
// end is one byte. The dithering track: control 1052 ends at 100 and 1053 starts at 166, so x0 102, step 6; controls
// too close still give a usable step.
TEST(DialogRules, PlacementSizerPanesTextsToolButtonsAndDitherTrackWalks) {
    RecordingSizer sizer;
    sizer.Attach(300, 200);
    std::optional<HcToolBar> tools;
    std::optional<HcDitherTrack> track;
    const auto act = [&](const std::string& op, const Transcript::Step& step) -> std::string {
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
        if (op == "bits") return std::to_string(PaletteBitDepth(uint32_t(step(1))));
        if (op == "depth") return std::to_string(DepthPositionForColors(uint32_t(step(1))));
        if (op == "texts")
            return Transcript::Line(ColorUseText(12, 17), "|", ImageSizeText(40, 30), "|", FileSizeText(1234));
        if (op == "comment-size") return std::to_string(CommentExtensionSize(size_t(step(1))));
        if (op == "typed") {  // N*x: N copies of x; "pair" a two-byte character, "lead" its first byte alone
            std::string text;
            for (size_t i = 1; i < step.words.size(); ++i) {
                const std::string& word = step.words[i];
                const std::string piece = word.substr(word.find('*') + 1);
                for (int n = word.find('*') == std::string::npos ? 1 : std::stoi(word); n > 0; --n)
                    text += piece == "pair" ? "\x82\xA0" : piece == "lead" ? "\x82" : piece;
            }
            const std::string kept = KeptComment(text, [](uint8_t byte) { return byte >= 0x81; });
            EXPECT_EQ(kept, text.substr(0, kept.size()));
            return Transcript::Line(text.size(), "bytes, kept", kept.size(), "without a code page",
                                    KeptComment(text).size());
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
        if (op == "track") {  // the two controls' edges, the value
            track.emplace(step(1), step(2), uint8_t(step(3)));
            const HcDitherThumb thumb = track->Thumb();
            return Transcript::Line("x0, step, right", track->X0(), track->Step(), track->TrackRight(), "value",
                                    track->Value(), "thumb", thumb.tip, thumb.baseLeft, thumb.baseRight,
                                    track->ThumbRect(), DitherLabelText(7));
        }
        if (op == "tick")
            return Transcript::Line(track->Tick(step(1)).x, track->Tick(step(1)).top, track->Tick(step(1)).bottom);
        if (op == "stop-at") return std::to_string(track->ValueAt(step(1)));
        const auto said = [&](bool result) { return Transcript::Line(result, "value", track->Value()); };
        if (op == "press") return said(track->Press({step(1), step(2)}));
        if (op == "move") return said(track->Move({step(1), step(2)}));
        if (op == "release") return said(track->Release());
        return "";
    };
    for (const char* name : {"uicore/DialogLayout", "uicore/DialogTexts", "uicore/DitherTrack"})
        Transcript::Replay(name, act);
}

// The colour picker's block: bars 11 high at (45, 110), rows 25 apart; a thumb stands below its bar at
// left + value / 2 - 4. The palette grid's cells are 5 wide and 7 high, so a swapped axis shows; the grid is at
// (100, 50) in the dialog.
TEST(ControlCores, ColorSliderAndPalGridWalks) {
    HcColorSliderCore slider(11);
    slider.SetPosition(45, 110, 25);
    HcPalGrid grid(5, 7);
    grid.SetPosition(100, 50);
    const auto act = [&](const std::string& op, const Transcript::Step& step) -> std::string {
        const auto channel = [&] {
            return HcSliderChannel(std::find(std::begin(kChannels), std::end(kChannels), step.words.at(1)) -
                                   std::begin(kChannels));
        };
        if (op == "colour") {
            slider.SetColor({uint8_t(step(1)), uint8_t(step(2)), uint8_t(step(3))});
            return TextOf(slider.Color());
        }
        if (op == "enable") {
            const bool changed = slider.SetEnabled(step(1), step(2));
            return Transcript::Line("changed", changed, "colour", slider.Color(), "gradients",
                                    slider.GradientColor(HcSliderChannel::red, 0),
                                    slider.GradientColor(HcSliderChannel::red, 127),
                                    slider.GradientColor(HcSliderChannel::green, 64));
        }
        if (op == "geometry")
            return Transcript::Line("bar", slider.BarRect(channel()), "thumb", slider.ThumbRect(channel()), "arrows",
                                    slider.LeftArrowRect(channel()), slider.RightArrowRect(channel()), "texts",
                                    slider.LabelOrigin(channel()), slider.DecimalOrigin(channel()),
                                    slider.HexOrigin(channel()));
        if (op == "headers") return Transcript::Line(slider.DecimalHeaderOrigin(), slider.HexHeaderOrigin());
        if (op == "press-thumb") return Said(slider, slider.MouseDown(CentreOf(slider.ThumbRect(channel()))));
        if (op == "press-left") return Said(slider, slider.MouseDown(CentreOf(slider.LeftArrowRect(channel()))));
        if (op == "press-right") return Said(slider, slider.MouseDown(CentreOf(slider.RightArrowRect(channel()))));
        if (op == "move") return Said(slider, slider.MouseMove({45 + step(1), 0}));
        if (op == "release") return Said(slider, slider.MouseUp());
        if (op == "tick") return Said(slider, slider.RepeatTick());
        if (op == "texts")
            return "[" + SliderHexText(uint8_t(step(1))) + "] [" + SliderDecimalText(uint8_t(step(1))) + "]";
        if (op == "colours") {
            grid.SetColorCount(step(1));
            return Transcript::Line("palette", grid.HasPalette(), "selection", grid.HasSelection());
        }
        if (op == "bitmap") return Transcript::Line(grid.BitmapWidth(), grid.BitmapHeight());
        if (op == "highlight") return TextOf(grid.HighlightRect(step(1)));
        if (op == "cell") return TextOf(grid.CellRect(step(1)));
        if (op == "point") return std::to_string(grid.CellAt({step(1), step(2)}));
        if (op == "click") {  // near the cell's lower left corner
            const HcPixelRect rect = grid.CellRect(step(1));
            const bool selects = grid.Click({100 + rect.left + 2, 50 + rect.bottom - 1});
            return Transcript::Line(selects, "selected", grid.HasSelection() ? grid.SelectedIndex() : -1);
        }
        return "";
    };
    for (const char* name : {"uicore/ControlCores", "uicore/PalGrid"}) Transcript::Replay(name, act);
}
