// The custom controls' arithmetic, each walked as one session: the colour slider block (geometry, drags clamped to
// the bar, held arrows that step at once and then per tick, gradients, the disabled state, the value texts), the
// dithering track (geometry, the nearest stop, a drag that reports only a release on another stop) and the palette
// grid (cells, hits, clicks that select only new cells holding a colour). The steps and their reviewed outcomes
// are the lines of tests/data/transcripts/uicore/ControlCores.txt, DitherTrack.txt and PalGrid.txt.
#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>
#include <optional>

#include "tests/support/Transcript.h"
#include "tests/support/UiText.h"
#include "uicore/HcColorSliderCore.h"
#include "uicore/HcDitherTrack.h"
#include "uicore/HcPalGrid.h"

namespace {

const char* const kChannels[] = {"red", "green", "blue", "none"};

HcSliderChannel ChannelNamed(const std::string& name) {
    return HcSliderChannel(std::find(std::begin(kChannels), std::end(kChannels), name) - std::begin(kChannels));
}

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

// The colour picker's block: bars 11 high at (45, 110), rows 25 apart. A thumb stands below its bar at
// left + value / 2 - 4.
TEST(ControlCores, ColorSliderGeometryDragsArrowsGradientsAndTexts) {
    HcColorSliderCore slider(11);
    slider.SetPosition(45, 110, 25);
    Transcript::Replay("uicore/ControlCores", [&](const std::string& op, const Transcript::Step& step) -> std::string {
        const auto channel = [&] { return ChannelNamed(step.words.at(1)); };
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
        return "";
    });
}

// Control 1052 ends at 100 and 1053 starts at 166: x0 102, step 6; controls too close still give a usable step.
TEST(ControlCores, DitherTrackGeometryNearestStopAndDrag) {
    std::optional<HcDitherTrack> track;
    Transcript::Replay("uicore/DitherTrack", [&](const std::string& op, const Transcript::Step& step) -> std::string {
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
    });
}

// Cells 5 wide and 7 high, so a swapped axis shows; the grid at (100, 50) in the dialog.
TEST(ControlCores, PalGridCellsHitsAndClicks) {
    HcPalGrid grid(5, 7);
    grid.SetPosition(100, 50);
    Transcript::Replay("uicore/PalGrid", [&](const std::string& op, const Transcript::Step& step) -> std::string {
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
    });
}
