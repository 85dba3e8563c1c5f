// The off-screen control picture and the self-drawn controls on a real window, each on a canvas of the button face
// that routes the mouse to it, each walked as one replay: real mouse and timer messages reach the arithmetic (tested
// in uicore) and its results reach the screen. The steps, the state after each and the pixels shown are the lines
// of tests/data/transcripts/wnatom/ControlBitmap.txt, ColorSlider.txt, Atoms.txt, PalPicker.txt and ImagePreview.txt
// (the base preview pane, whose layout and block arithmetic are tested in uicore).
#include <gtest/gtest.h>
#include <windowsx.h>

#include <map>
#include <set>

#include "tests/support/ErrorOf.h"
#include "tests/support/PixelMismatches.h"
#include "tests/support/Transcript.h"
#include "tests/support/UiText.h"
#include "tests/win/support/BenchInput.h"
#include "tests/win/support/ControlCanvas.h"
#include "tests/win/support/PaneBench.h"
#include "win/resource_ids.h"
#include "wnatom/ColorSlider2.h"
#include "wnatom/ControlBitmap.h"
#include "wnatom/WnImagePreview.h"
#include "wnatom/WnPalPicker.h"

namespace {

POINT PointOf(LPARAM lParam) {
    return {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
}

// A captured or stored pixel as text: "face" for the button face.
std::string Colour(uint32_t rgb) {
    return rgb == ButtonFaceRgb() ? "face" : TextOf(HcRgb{uint8_t(rgb >> 16), uint8_t(rgb >> 8), uint8_t(rgb)});
}

// What a step reads from `shown`, on the points its numbers give: the pixels there; whether a rectangle left, top,
// right, bottom holds ink (text may be smoothed into greys); how many pixels of a rectangle left, top, width,
// height differ from AsymmetricPixel from (sx, sy) enlarged by a factor, or from the averages of its blocks of a
// side in a picture of a width and height. Empty for any other step.
std::string ShownStep(const BenchPixels& shown, const std::string& op, const Transcript::Step& step) {
    const auto number = [&](size_t i) { return uint32_t(step(i)); };
    if (op == "matches")
        return std::to_string(PixelMismatches(shown, step(1), step(2), step(3), step(4), [&](int x, int y) {
            return AsymmetricPixel(number(5) + x / number(7), number(6) + y / number(7));
        }));
    if (op == "averages")
        return std::to_string(PixelMismatches(shown, step(1), step(2), step(3), step(4), [&](int x, int y) {
            return BlockAverage(AsymmetricPixel, x, y, number(5), number(6), number(7));
        }));
    if (op == "ink") {
        bool ink = false;
        for (int y = step(2); y < step(4); ++y)
            for (int x = step(1); x < step(3); ++x) ink |= (shown.At(x, y) & 0x808080) == 0;
        return std::to_string(ink);
    }
    if (op != "pixels") return "";
    std::vector<std::string> colours;
    for (size_t i = 1; i + 1 < step.words.size(); i += 2) colours.push_back(Colour(shown.At(step(i), step(i + 1))));
    return Transcript::Listed(colours);
}

// The canvas's part of a step: mouse input at the points its numbers give, or the whole canvas painted again ("done";
// a drag of one point is a click), or what the step reads from the pixels as the controls last drew them.
std::string CanvasStep(ControlCanvas& canvas, const std::string& op, const Transcript::Step& step) {
    std::vector<POINT> points;
    for (size_t i = 1; i + 1 < step.words.size(); i += 2) points.push_back({step(i), step(i + 1)});
    if (op == "down") MouseDown(canvas.Handle(), points.at(0));
    if (op == "up") MouseUp(canvas.Handle(), points.at(0));
    if (op == "drag") Drag(canvas.Handle(), points);  // one point: a click
    if (op == "paint") canvas.Shown();
    if (op == "down" || op == "up" || op == "drag" || op == "paint") return "done";
    return ShownStep(CaptureClient(canvas.Handle()), op, step);
}

}  // namespace

// Pictures named by their first word after the step's, asymmetric (AsymmetricPixel, distinct red and blue, so flips,
// offsets and channel swaps show), copied onto the canvas at each paint by the blits queued since "clear", read back
// from the display (as ShownStep reads them; a row's pixels by the legend below) and as kept in memory (a pixel's
// four bytes; pixels read from its row).
TEST(ControlBitmapTest, PicturesComeBackTheRightWayRoundWholeInPartStretchedFramedAndFromResources) {
    ControlCanvas canvas(280, 200);
    std::map<std::string, ControlBitmap> bitmaps;
    std::vector<std::function<void()>> draws;
    canvas.draw = [&] {
        for (const auto& draw : draws) draw();
    };
    const std::map<uint32_t, char> legend = {
        {0, '#'}, {0xFFFFFF, '.'}, {ButtonFaceRgb(), ' '}, {BenchRgb(200, 0, 100), 'o'}, {BenchRgb(0, 90, 255), 'b'}};
    const std::set<std::string> kActions = {"fill",  "set",  "asymmetric", "checker", "frame", "inside",
                                            "cross", "face", "blit",       "stretch", "clear"};
    Transcript::Replay("wnatom/ControlBitmap", [&](const std::string& op, const Transcript::Step& step) -> std::string {
        ControlBitmap& bitmap = bitmaps[step.words.size() > 1 ? step.words[1] : ""];
        const auto set = [&](int x, int y, uint32_t rgb) {
            bitmap.SetPixel(x, y, uint8_t(rgb >> 16), uint8_t(rgb >> 8), uint8_t(rgb));
        };
        const auto tried = [&](auto action) {  // the outcome, the picture's size, row order and where row 0 lies
            const uint32_t error = ErrorOf(action);
            return Transcript::Line(error ? "error " + std::to_string(error) : "ok", bitmap.Width(), bitmap.Height(),
                                    "top-down", bitmap.TopDown(), "row 0 at",
                                    bitmap.Pixels() ? (bitmap.Row(0) - bitmap.Pixels()) / 4 : -1);
        };
        if (op == "create") return tried([&] { bitmap.Create(canvas.Handle(), step(2), step(3), step(4)); });
        if (op == "resize") return tried([&] { EXPECT_EQ(bitmap.Resize(step(2), step(3)), step(4) == 1); });
        if (op == "load") return tried([&] { bitmap.LoadResourceBitmap(GetModuleHandleW(nullptr), step(2)); });
        if (op == "fill") bitmap.Fill(uint8_t(step(2)), uint8_t(step(3)), uint8_t(step(4)));
        if (op == "set") set(step(2), step(3), BenchRgb(uint8_t(step(4)), uint8_t(step(5)), uint8_t(step(6))));
        for (int y = 0; op == "asymmetric" && y < step(3); ++y)  // width, height, factor
            for (int x = 0; x < step(2); ++x) set(x, y, AsymmetricPixel(x / step(4), y / step(4)));
        for (int y = 0; op == "checker" && y < bitmap.Height(); ++y)  // red and green from this column on
            for (int x = step(2); x < bitmap.Width(); ++x) set(x, y, (x + y) % 2 ? 0xFF0000 : 0x00FF00);
        if (op == "frame") bitmap.DrawFrame();
        if (op == "inside") bitmap.FillInside(uint8_t(step(2)), uint8_t(step(3)), uint8_t(step(4)));
        if (op == "cross") bitmap.DrawCross();
        if (op == "face") bitmap.ToButtonFace();
        if (op == "blit") draws.push_back([&bitmap, s = step] { bitmap.Blit(s(2), s(3), s(4), s(5), s(6), s(7)); });
        if (op == "stretch")
            draws.push_back(
                [&bitmap, s = step] { bitmap.StretchBlit(s(2), s(3), s(4), s(5), s(6), s(7), s(8), s(9)); });
        if (op == "clear") draws.clear();
        if (kActions.count(op)) return "done";
        const auto bytes = [&](int x, int y) { return bitmap.Row(y) + 4 * x; };  // B, G, R, 0
        if (op == "bytes")
            return Transcript::Listed(std::vector<uint8_t>(bytes(step(2), step(3)), bytes(step(2), step(3)) + 4));
        std::vector<std::string> pixels;
        for (int y = 0; op == "stored" && y < bitmap.Height(); ++y)  // every pixel, row after row
            for (int x = 0; x < bitmap.Width(); ++x)
                pixels.push_back(Colour(BenchRgb(bytes(x, y)[2], bytes(x, y)[1], bytes(x, y)[0])));
        if (op == "stored") return Transcript::Listed(pixels);
        const BenchPixels shown = CaptureClient(canvas.Handle());
        std::string row;
        for (int x = 0; op == "row" && x < step(2); ++x)  // y, width
            row += legend.count(shown.At(x, step(1))) ? legend.at(shown.At(x, step(1))) : '?';
        if (op == "row") return row;
        return CanvasStep(canvas, op, step);
    });
}

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

// The base preview pane, 300 x 200, in a real window: asymmetric pictures reach the screen the right way round at
// 1 : 1, zoomed in and zoomed out, a real WM_SIZE keeps the view centre and the wheel, turned towards the user with
// the pointer at (10, 20) while the host window has the focus, reaches the pane and scrolls or zooms. A step's outcome
// ends with the zoom level, the origin, the view's size and the full buffer's width.
TEST(WnImagePreviewTest, PicturesZoomsResizesAndTheWheelReachTheScreen) {
    PaneBench bench;
    HWND window = bench.AddPane({10, 10, 310, 210}, 1);
    std::vector<std::unique_ptr<CvRGBImage>> images;
    std::optional<WnImagePreview> pane;
    POINT pointer{10, 20};
    ClientToScreen(window, &pointer);
    Transcript::Replay("wnatom/ImagePreview", [&](const std::string& op, const Transcript::Step& step) -> std::string {
        if (op == "image") images.push_back(AsymmetricImage(uint32_t(step(1)), uint32_t(step(2))));
        if (op == "image" && pane) pane->SetImage(images.back().get());
        if (op == "image" && !pane) pane.emplace(window, images.back().get());
        if (op == "zoom") pane->SetZoomLevel(step(1), true);
        if (op == "size") SetWindowPos(window, nullptr, 0, 0, step(1), step(2), SWP_NOMOVE | SWP_NOZORDER);
        const WPARAM keys = op == "wheel-shift" ? MK_SHIFT : op == "wheel-ctrl" ? MK_CONTROL : 0;
        if (op.rfind("wheel", 0) == 0)  // to the window with the focus, the part of a notch given or a whole one
            TurnWheel(bench.Host(), pointer, keys, step.words.size() > 1 ? step(1) : -WHEEL_DELTA);
        PumpUntilIdle();
        const HcPreviewLayout& layout = pane->Layout();
        if (op == "image" || op == "zoom" || op == "size" || op.rfind("wheel", 0) == 0)
            return Transcript::Line("zoom", layout.Zoom().level, "origin", layout.Origin(), "view", layout.ViewWidth(),
                                    layout.ViewHeight(), "buffer", pane->FullBuffer().Width());
        return ShownStep(CaptureClient(window), op, step);
    });
}
