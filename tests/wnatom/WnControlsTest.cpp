// The self-drawn controls on a real window, each on a canvas of the button face that routes the mouse to it, each
// walked as one replay: real mouse and timer messages reach the arithmetic (tested in uicore) and its results reach
// the screen. The steps, the control's state after each and the pixels shown are the lines of
// tests/data/transcripts/wnatom/ColorSlider.txt, Atoms.txt and PalPicker.txt.
#include <gtest/gtest.h>
#include <windowsx.h>

#include "tests/support/Transcript.h"
#include "tests/support/UiText.h"
#include "tests/win/support/BenchInput.h"
#include "tests/win/support/ControlCanvas.h"
#include "win/resource_ids.h"
#include "wnatom/ColorSlider2.h"
#include "wnatom/WnPalPicker.h"

namespace {

POINT PointOf(LPARAM lParam) {
    return {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
}

// The canvas's part of a step, on the points its numbers give: mouse input or the whole canvas painted again
// ("done"; a drag of one point is a click), the pixels as the control last drew them ("face" for the button face)
// or whether a rectangle left, top, right, bottom holds ink (text may be smoothed into greys). Empty for any other
// step.
std::string CanvasStep(ControlCanvas& canvas, const std::string& op, const Transcript::Step& step) {
    std::vector<POINT> points;
    for (size_t i = 1; i + 1 < step.words.size(); i += 2) points.push_back({step(i), step(i + 1)});
    if (op == "pixels" || op == "ink") {
        const BenchPixels shown = CaptureClient(canvas.Handle());
        std::vector<std::string> colours;
        bool ink = false;
        for (int y = points.at(0).y; op == "ink" && y < points.at(1).y; ++y)
            for (int x = points[0].x; x < points[1].x; ++x) ink |= (shown.At(x, y) & 0x808080) == 0;
        for (const POINT point : points) {
            const uint32_t rgb = shown.At(point.x, point.y);
            colours.push_back(
                rgb == ButtonFaceRgb() ? "face" : TextOf(HcRgb{uint8_t(rgb >> 16), uint8_t(rgb >> 8), uint8_t(rgb)}));
        }
        return op == "ink" ? std::to_string(ink) : Transcript::Listed(colours);
    }
    if (op == "down") MouseDown(canvas.Handle(), points.at(0));
    if (op == "up") MouseUp(canvas.Handle(), points.at(0));
    if (op == "drag") Drag(canvas.Handle(), points);  // one point: a click
    if (op == "paint") canvas.Shown();
    return op == "down" || op == "up" || op == "drag" || op == "paint" ? "done" : "";
}

}  // namespace

// The slider block at (40, 30), bars 11 high, rows 20 apart. A drag is captured, so its point may leave the window,
// and the thumb's old place is erased; a held arrow steps at once and then per timer tick until released, or until
// another window takes the capture (as when the user switches programs with the button held).
TEST(ColorSlider2Test, MouseAndTimerReachTheSliderAndItsStateReachesTheScreen) {
    ControlCanvas canvas(400, 140);
    ColorSlider2 slider(BenchModule(), canvas.Handle(), 11, kColorSliderSquare);
    slider.SetPosition(40, 30);
    canvas.draw = [&] { slider.Draw(); };
    canvas.canvas.onMessage = [&](UINT message, WPARAM wParam, LPARAM lParam) {
        if (message == WM_LBUTTONDOWN) slider.OnMouseDown(PointOf(lParam));
        if (message == WM_MOUSEMOVE) slider.OnMouseMove(PointOf(lParam));
        if (message == WM_LBUTTONUP) slider.OnMouseUp();
        if (message == WM_TIMER) slider.OnTimer(wParam);
        if (message == WM_CAPTURECHANGED) slider.OnCaptureChanged(reinterpret_cast<HWND>(lParam));
    };
    slider.SetEnabled(true, true);
    canvas.Shown();
    Transcript::Replay("wnatom/ColorSlider", [&](const std::string& op, const Transcript::Step& step) -> std::string {
        const auto state = [&](auto... more) {
            return Transcript::Line(more..., "colour", slider.GetColor(), "captured", GetCapture() == canvas.Handle());
        };
        if (op == "tick")  // waits for the repeat timer at most this many milliseconds
            return state(WaitForTimer(canvas.Handle(), kSliderRepeatTimerId, std::chrono::milliseconds(step(1))));
        if (op == "capture-elsewhere") {
            SetCapture(canvas.host.Handle());
            PumpUntilIdle();
            return state();
        }
        if (op == "release-capture") return state(ReleaseCapture() != 0);
        if (op == "colour") slider.SetColor({uint8_t(step(1)), uint8_t(step(2)), uint8_t(step(3))});
        if (op == "disable") slider.SetEnabled(false, false);
        if (op == "colour" || op == "disable") return state();
        const std::string said = CanvasStep(canvas, op, step);
        return said == "done" ? state() : said;
    });
}

// The eraser sprite is all face; the left arrow's tip is on the left, the right arrow's on the right; text lines
// stand 14 pixels apart on their ground, an empty line left empty.
TEST(WnAtomsTest, SpritesBlendIntoTheButtonFaceSwitchPicturesAndPrintLines) {
    ControlCanvas canvas(100, 60);
    WnSBRBAtom eraser(BenchModule(), canvas.Handle(), IDB_SLIDER_THUMB_ERASER, 5, 5);
    WnDBRBAtom arrows(BenchModule(), canvas.Handle(), IDB_SLIDER_LEFT_ARROW, IDB_SLIDER_RIGHT_ARROW, 30, 5);
    WnSTBAtom text(canvas.Handle(), 52, 3, 40, 44, {255, 255, 200}, "Ab\r\n\nCd");
    canvas.draw = [&] {
        for (const WnCustomAtom* atom : std::initializer_list<const WnCustomAtom*>{&eraser, &arrows, &text})
            atom->Draw();
    };
    Transcript::Replay("wnatom/Atoms", [&](const std::string& op, const Transcript::Step& step) -> std::string {
        if (op == "eraser-rect") return TextOf(eraser.Rect());
        if (op == "arrow-state") arrows.SetState(step(1));
        if (op == "text") text.SetText(step.words.size() > 1 ? step.words[1] : "");
        if (op == "arrow-state" || op == "text") return "done";
        return CanvasStep(canvas, op, step);
    });
}

// Cells 8 x 10 at (10, 12), the centre of cell i at (18 + 9i, 21) in the first row; colour i is
// (12i, 250 - 9i, i % 3 * 100). A step's outcome ends with whether the last click selected and the selection.
TEST(WnPalPickerTest, ClicksSelectOnlyColouredCellsAndTheGridShowsThePaletteAndTheSelection) {
    ControlCanvas canvas(340, 120);
    WnPalPicker picker(canvas.Handle(), 10, 12, 8, 10);
    bool clicked = false;
    canvas.draw = [&] { picker.Draw(); };
    canvas.canvas.onMessage = [&](UINT message, WPARAM, LPARAM lParam) {
        if (message == WM_LBUTTONDOWN) clicked = picker.Click(PointOf(lParam));
    };
    CvColorTable table(20);
    for (uint32_t index = 0; index < 20; ++index)
        table.SetEntry(index, uint8_t(12 * index), uint8_t(250 - 9 * index), uint8_t(index % 3 * 100));
    Transcript::Replay("wnatom/PalPicker", [&](const std::string& op, const Transcript::Step& step) -> std::string {
        if (op == "palette") picker.SetPalette(step.words.at(1) == "none" ? nullptr : &table);
        const std::string said = op == "palette" ? "done" : CanvasStep(canvas, op, step);
        if (said != "done") return said;
        return Transcript::Line("clicked", clicked, "selection", picker.HasSelection() ? picker.SelectedIndex() : -1);
    });
}
