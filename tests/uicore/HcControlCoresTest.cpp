// The custom controls' arithmetic, each walked as one session: the colour slider block (geometry, drags clamped to
// the bar, held arrows that step at once and then per tick, gradients, the disabled state, the value texts), the
// dithering track (geometry, the nearest stop, a drag that reports only a release on another stop) and the palette
// grid (cells, hits, clicks that select only new cells holding a colour). Outcomes: the lines of
// tests/data/transcripts/uicore/ControlCores.txt.
#include <gtest/gtest.h>

#include "tests/support/Transcript.h"
#include "tests/support/UiText.h"
#include "uicore/HcColorSliderCore.h"
#include "uicore/HcDitherTrack.h"
#include "uicore/HcPalGrid.h"

namespace {

const char* const kChannels[] = {"red", "green", "blue", "none"};

HcPoint CentreOf(const HcPixelRect& rect) {
    return {rect.left + rect.Width() / 2, rect.top + rect.Height() / 2};
}

// What an event asked of the window (the channel to redraw, the value it replaced, repeat started, interaction
// ended), then the colour.
void Log(Transcript& t, const std::string& step, const HcColorSliderCore& slider, const HcSliderResponse& response) {
    t(step, "->", kChannels[int(response.changed)], response.previousValue, response.startRepeat,
      response.endInteraction, "colour", slider.Color());
}

}  // namespace

// The colour picker's block: bars 11 high at (45, 110), rows 25 apart. A thumb stands below its bar at
// left + value / 2 - 4.
TEST(ControlCores, ColorSliderGeometryDragsArrowsGradientsAndTexts) {
    Transcript t("uicore/ControlCores");
    HcColorSliderCore slider(11);
    slider.SetPosition(45, 110, 25);
    slider.SetColor({10, 20, 30});
    Log(t, "disabled: press the right arrow", slider,
        slider.MouseDown(CentreOf(slider.RightArrowRect(HcSliderChannel::red))));
    // Enabling without a colour (the picker before a colour is chosen) starts from black; disabling keeps it.
    for (const auto& [enabled, reset] : {std::pair{false, true}, {true, false}, {true, false}, {false, true}}) {
        const bool changed = slider.SetEnabled(enabled, reset);
        t("enabled", enabled, "reset", reset, "changed", changed, "colour", slider.Color(),
          "gradients red 0, red 127,"
          " green 64",
          slider.GradientColor(HcSliderChannel::red, 0), slider.GradientColor(HcSliderChannel::red, 127),
          slider.GradientColor(HcSliderChannel::green, 64));
    }
    const bool changed = slider.SetEnabled(true, true);
    t("enabled with reset: changed", changed, "colour", slider.Color());
    slider.SetColor({0, 255, 9});
    for (auto channel : {HcSliderChannel::red, HcSliderChannel::green, HcSliderChannel::blue})
        t(kChannels[int(channel)], "bar", slider.BarRect(channel), "thumb", slider.ThumbRect(channel), "arrows",
          slider.LeftArrowRect(channel), slider.RightArrowRect(channel), "texts", slider.LabelOrigin(channel),
          slider.DecimalOrigin(channel), slider.HexOrigin(channel));
    t("headers", slider.DecimalHeaderOrigin(), slider.HexHeaderOrigin());

    slider.SetColor({7, 8, 0});
    Log(t, "press blue's thumb", slider, slider.MouseDown(CentreOf(slider.ThumbRect(HcSliderChannel::blue))));
    t("  dragging", kChannels[int(slider.DragChannel())]);
    for (int offset : {126, 127, 500, -1, 1, 0})  // the drag is clamped to the bar
        Log(t, "  move to left + " + std::to_string(offset), slider, slider.MouseMove({45 + offset, 0}));
    Log(t, "  release", slider, slider.MouseUp());
    Log(t, "move after the release", slider, slider.MouseMove({45 + 100, 0}));

    slider.SetColor({1, 252, 40});
    Log(t, "press green's right arrow", slider,
        slider.MouseDown(CentreOf(slider.RightArrowRect(HcSliderChannel::green))));
    t("  repeating", kChannels[int(slider.RepeatChannel())], "direction", slider.RepeatDirection());
    for (int tick = 0; tick < 3; ++tick) Log(t, "  tick", slider, slider.RepeatTick());
    Log(t, "  release", slider, slider.MouseUp());
    Log(t, "tick after the release", slider, slider.RepeatTick());
    Log(t, "press red's left arrow", slider, slider.MouseDown(CentreOf(slider.LeftArrowRect(HcSliderChannel::red))));
    Log(t, "  tick", slider, slider.RepeatTick());
    Log(t, "  release", slider, slider.MouseUp());
    t("texts [" + SliderHexText(10) + "] [" + SliderHexText(255) + "] [" + SliderDecimalText(0) + "] [" +
      SliderDecimalText(255) + "]");
}

// Control 1052 ends at 100 and 1053 starts at 166: x0 102, step 6; controls too close still give a usable step.
TEST(ControlCores, DitherTrackGeometryNearestStopAndDrag) {
    Transcript t("uicore/DitherTrack");
    HcDitherTrack track(100, 166, 3);
    const HcDitherThumb thumb = track.Thumb();
    t("x0, step, right", track.X0(), track.Step(), track.TrackRight(), "thumb", thumb.tip, thumb.baseLeft,
      thumb.baseRight, track.ThumbRect(), DitherLabelText(7));
    for (int stop : {0, 1, 5, 9, 10})
        t("tick", stop, track.Tick(stop).x, track.Tick(stop).top, track.Tick(stop).bottom);
    for (int x : {102, 104, 105, 98, 0, -50, 131, 159, 1000}) t("stop at", x, track.ValueAt(x));
    const HcDitherTrack tooClose(100, 104, 20);  // 20 clamps
    t("controls 4 apart: step, value, stop at 105", tooClose.Step(), tooClose.Value(), tooClose.ValueAt(105));
    const auto step = [&](const std::string& what, bool result) { t(what, result, "value", track.Value()); };
    step("press left of the thumb (113,45)", track.Press({113, 45}));
    step("move (150,45)", track.Move({150, 45}));
    step("press the thumb (114,43)", track.Press({114, 43}));
    for (int x : {144, 145, 120}) step("move " + std::to_string(x), track.Move({x, 45}));
    step("release on the starting stop", track.Release());
    step("release again", track.Release());
    step("press (120,50)", track.Press({120, 50}));
    step("move -400", track.Move({-400, 45}));
    step("release", track.Release());
}

// Cells 5 wide and 7 high, so a swapped axis shows; the grid at (100, 50) in the dialog. The frame left of and above
// cell 0 is outside, not cell 0; so is everything past the last column and row.
TEST(ControlCores, PalGridCellsHitsAndClicks) {
    Transcript t("uicore/PalGrid");
    HcPalGrid grid(5, 7);
    grid.SetPosition(100, 50);
    grid.SetColorCount(256);
    t("bitmap", grid.BitmapWidth(), grid.BitmapHeight(), "highlight 33", grid.HighlightRect(33));
    for (int cell : {0, 1, 32, 33, 255}) t("cell", cell, grid.CellRect(cell));
    for (const HcPoint point :
         {HcPoint{103, 54}, HcPoint{104, 53}, HcPoint{104, 54}, HcPoint{108, 61}, HcPoint{109, 54}, HcPoint{110, 54},
          HcPoint{104 + 32 * 6, 54}, HcPoint{104, 54 + 8 * 8}, HcPoint{104 + 32 * 6 - 1, 54 + 8 * 8 - 1}})
        t("point", point, "cell", grid.CellAt(point));
    grid.SetColorCount(20);
    const auto click = [&](int cell) {
        const HcPixelRect rect = grid.CellRect(cell);
        const bool selects = grid.Click({100 + rect.left + 2, 50 + rect.bottom - 1});
        t("click cell", cell, selects, "selected", grid.HasSelection() ? grid.SelectedIndex() : -1);
    };
    for (int cell : {19, 19, 25, 20, 12}) click(cell);  // again, past the palette's end, then another
    for (int count : {13, 12, -1}) {
        grid.SetColorCount(count);
        t("colours", count, "palette", grid.HasPalette(), "selection", grid.HasSelection());
    }
    click(0);
}
