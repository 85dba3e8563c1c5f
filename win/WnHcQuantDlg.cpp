// The quantization dialog: the source and the reduced image side by side, the palette, base palette, colour count
// and dithering, each change re-reducing at once while the dialog stays responsive.
// Only the reduction handler touches the engine's data; handlers that run inside it set flags and post commands.
// A change of the lossy level counts the size again without reducing again.
#include "win/WnHcQuantDlg.h"

#include <commctrl.h>

#include <algorithm>
#include <cstdio>
#include <string>

#include "common/HcExport.h"
#include "common/Quantize.h"
#include "cvcode2/CvBitmapImage.h"
#include "cvcode2/CvErrorCode.h"
#include "cvcode2/CvFile.h"
#include "cvcode2/CvGIFFrame.h"
#include "cvcode2/CvGIFInfo.h"
#include "cvcode2/CvGrayscaleImage.h"
#include "cvcode2/CvIndexedImage.h"
#include "cvcode2/CvList.h"
#include "cvcode2/CvLzwLossy.h"
#include "cvcode2/CvRGBImage.h"
#include "cvcode2/CvString.h"
#include "platform/Platform.h"
#include "uicore/HcDitherTrack.h"
#include "uicore/HcQuantRules.h"
#include "uicore/HcSavedPalettes.h"
#include "win/WnDitherSlider.h"
#include "win/WnHcLoadColorTable.h"
#include "win/WnHcPreview.h"
#include "win/WnHcProgInd.h"
#include "win/resource_ids.h"
#include "wnatom/WnDialogPlacement.h"
#include "wnatom/WnDialogSizer.h"
#include "wnatom/WnDpi.h"
#include "wnatom/WnErrorExit.h"
#include "wnatom/WnGdi.h"
#include "wnatom/WnPalPicker.h"
#include "wnatom/WnSwatch.h"
#include "wnatom/WnText.h"

// The dithering slider's own child window: a child dialog whose painting and mouse input go to the slider, which
// posts its changes to the quantization dialog.
class DitherPane {
public:
    DitherPane(HINSTANCE module, HWND dialog, POINT at, uint8_t value) {
        window = CreateDialogParamW(module, MAKEINTRESOURCEW(IDD_DITHER_PANE), dialog, Procedure,
                                    reinterpret_cast<LPARAM>(this));
        if (!window) CV_THROW_DETAIL(kCvErrNoMemory, GetLastError());
        SetWindowLongPtrW(window, GWLP_ID, IDC_QUANT_DITHER_PANE);
        SetWindowPos(window, nullptr, at.x, at.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        slider = std::make_unique<WnDitherSlider>(window, value);
        InvalidateRect(window, nullptr, TRUE);
    }
    ~DitherPane() { DestroyWindow(window); }
    DitherPane(const DitherPane&) = delete;
    DitherPane& operator=(const DitherPane&) = delete;

    uint8_t Value() const { return slider->Value(); }
    // Ends a drag in progress and takes no more input: the dialog is about to close.
    void Close() {
        slider->CancelDrag();
        EnableWindow(window, FALSE);
    }

private:
    static INT_PTR CALLBACK Procedure(HWND window, UINT message, WPARAM, LPARAM lParam) {
        if (message == WM_INITDIALOG) SetWindowLongPtrW(window, DWLP_USER, lParam);
        auto* self = reinterpret_cast<DitherPane*>(GetWindowLongPtrW(window, DWLP_USER));
        if (!self || !self->slider) return FALSE;
        const POINT point{short(LOWORD(lParam)), short(HIWORD(lParam))};
        bool handled = true;
        WnGuarded(window, [&] {
            switch (message) {
                case WM_PAINT: {
                    {
                        WnPaintDC paint(window);
                    }
                    self->slider->Draw();
                    break;
                }
                case WM_LBUTTONDOWN: self->slider->OnMouseDown(point); break;
                case WM_MOUSEMOVE: self->slider->OnMouseMove(point); break;
                case WM_LBUTTONUP: self->slider->OnMouseUp(point); break;
                case WM_CAPTURECHANGED: self->slider->OnCaptureChanged(reinterpret_cast<HWND>(lParam)); break;
                default: handled = false;
            }
        });
        return handled;
    }

    HWND window = nullptr;
    std::unique_ptr<WnDitherSlider> slider;
};

namespace {

// Layout at 96 DPI, scaled to the dialog's.
constexpr int kPaneLeft = 15, kPaneTop = 15, kPaneSize = 163, kPaneGap = 23;
constexpr int kStripGapBelowLoad = 11, kSliderGapBelowColors = 5;
// The reduced picture is shown in bands of about this many pixels, the dialog's messages handled between them.
constexpr uint32_t kPixelsPerShownBand = 1u << 20;
constexpr ULONGLONG kShownPaintInterval = 100;  // milliseconds
constexpr UINT kPaneStyle = WS_CHILD | WS_VISIBLE;

HWND CreatePaneWindow(HWND dialog, int id, int left, int top, int size) {
    HWND pane = CreateWindowExW(0, L"STATIC", L"", kPaneStyle | SS_NOTIFY, left, top, size, size, dialog,
                                reinterpret_cast<HMENU>(INT_PTR(id)), nullptr, nullptr);
    if (!pane) CV_THROW_DETAIL(kCvErrNoMemory, GetLastError());
    return pane;
}

// Saved names are bytes in the system code page, as the preferences file keeps them.
void AddItem(HWND combo, const std::string& text) {
    if (SendMessageA(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str())) < 0) CV_THROW(kCvErrNoMemory);
}

int Selection(HWND dialog, int id) {
    return int(SendDlgItemMessageW(dialog, id, CB_GETCURSEL, 0, 0));
}

void Select(HWND dialog, int id, int item) {
    SendDlgItemMessageW(dialog, id, CB_SETCURSEL, WPARAM(item), 0);
}

}  // namespace

WnHcQuantDlg::WnHcQuantDlg(HWND parent, HcGlobals* globals)
    : globals(globals),
      source(globals->rgbImage),
      instance(static_cast<HINSTANCE>(Platform::ModuleInstance())),
      parent(parent),
      colors(globals->settings.colors),
      dither(globals->settings.dither),
      frame(globals->gifFrame),
      sizer([this](int32_t dy) { MoveBottomPictures(dy); }) {
    if (!source || !frame || colors < 2 || colors > 256) CV_THROW(kCvErrBadArgument);
}

WnHcQuantDlg::~WnHcQuantDlg() = default;

bool WnHcQuantDlg::Run() {
    const INT_PTR result = WnModalDialog::Run(instance, L"DISSOLVEPARAM", parent);
    if (result != IDOK && result != IDCANCEL) CV_THROW_DETAIL(kCvErrBadData, uint32_t(result));
    return result == IDOK;
}

void WnHcQuantDlg::OnInit() {
    endPending = false;
    CreatePanes();
    CreateDitherPane();
    SendDlgItemMessageW(Window(), IDC_QUANT_COLORS, EM_LIMITTEXT, 3, 0);
    SetDlgItemInt(Window(), IDC_QUANT_COLORS, colors, FALSE);
    FillDepthBox();
    FillPaletteBoxes();
    SetUpLossy();
    CreateStripAndSwatch();
    HWND bar = GetDlgItem(Window(), IDC_QUANT_PROGRESS);
    progress = std::make_unique<WnHcProgInd>(Window(), bar, [this] { return ShouldStop(); },
                                             [this](CvProgressTask* task) { OnProgressStart(task); });
    stepProgress = std::make_unique<WnHcProgInd>(Window(), bar, [this] { return ShouldStop(); });
    // A reduction's tasks follow one another on the bar, which goes only once the reduction has ended.
    progress->KeepBarBetweenTasks();
    stepProgress->KeepBarBetweenTasks();
    ShowSizeInfo();
    sizer.RegisterControls(Window());
    RECT pane{};
    GetClientRect(previewSource->Window(), &pane);
    WnOpenDialog(Window(), globals->quantDialogRect, parent, pane.bottom, 2);
    // At the size they open with, the panes show the whole picture when it does not fit at 1 : 1.
    previewSource->ShowFitted(false);
    previewResult->ShowFitted(false);
    // Seen at once: the first reduction runs in the open dialog, with its bar, as every later one does. It is
    // painted at that reduction's first report, a few milliseconds on, so the dialog's messages are handled from
    // then on rather than only after a first painting of the whole dialog.
    ShowWindow(Window(), SW_SHOW);
    PostMessageW(Window(), WM_COMMAND, kQuantCommandReduce, 0);
}

void WnHcQuantDlg::CreatePanes() {
    const WnDpiScale scale = WnDpiScale::Of(Window());
    const int size = scale(kPaneSize), left = scale(kPaneLeft), top = scale(kPaneTop);
    HWND sourceWindow = CreatePaneWindow(Window(), IDC_QUANT_SOURCE_PANE, left, top, size);
    HWND resultWindow = CreatePaneWindow(Window(), IDC_QUANT_RESULT_PANE, left + size + scale(kPaneGap), top, size);
    CvImage* shown = source;
    if (globals->hasTransparencyPlane && globals->extraPlanes && globals->extraPlanes->Count() > 0) {
        const auto* plane = static_cast<const CvGrayscaleImage*>(globals->extraPlanes->ItemAt(0));
        sourceTrans.Set(source, plane);
        mask.reset(plane->ToBitmap());
        shown = &sourceTrans;
    }
    // Both pictures are rendered band by band once the dialog shows, in its first reduction.
    previewSource = std::make_unique<WnHcPreview>(sourceWindow, nullptr, true);
    previewSource->SetImageHidden(shown);
    previewResult = std::make_unique<WnHcPreview>(resultWindow, nullptr, false);
    ShowResultImage();
}

void WnHcQuantDlg::CreateDitherPane() {
    const RECT depth = WnControlRect(Window(), IDC_QUANT_DEPTH);
    const RECT colorsEdit = WnControlRect(Window(), IDC_QUANT_COLORS);
    const POINT at{depth.left, colorsEdit.bottom + WnDpiScale::Of(Window())(kSliderGapBelowColors)};
    ditherSlider = std::make_unique<DitherPane>(instance, Window(), at, dither);
}

void WnHcQuantDlg::FillDepthBox() {
    HWND box = GetDlgItem(Window(), IDC_QUANT_DEPTH);
    for (const HcDepthChoice& choice : kDepthChoices) AddItem(box, choice.label);
    Select(Window(), IDC_QUANT_DEPTH, DepthPositionForColors(colors));
}

void WnHcQuantDlg::FillPaletteBoxes() {
    NumberSavedPalettes(globals->paletteList);
    HWND base = GetDlgItem(Window(), IDC_QUANT_BASE), palette = GetDlgItem(Window(), IDC_QUANT_PALETTE);
    for (const std::string& item : BaseBoxItems(globals->paletteList)) AddItem(base, item);
    for (const std::string& item : PaletteBoxItems(globals->paletteList)) AddItem(palette, item);

    const int baseItem = BaseBoxItemFor(*globals);
    Select(Window(), IDC_QUANT_BASE, baseItem);
    // A base name nothing matches shows as "None", and so it is used: the reduction must do what the box says.
    if (baseItem == kBaseItemNone) CvPStrFromC(globals->basePaletteName, kPaletteNone);
    const int chosen = PaletteBoxItemFor(*globals);
    Select(Window(), IDC_QUANT_PALETTE, chosen);
    // Opening on a saved palette is opening on a fixed one: the base palette does not apply to it.
    adaptive = AdaptivePaletteAt(chosen) != nullptr;
    EnableWindow(GetDlgItem(Window(), IDC_QUANT_UNLOAD), !adaptive);
    EnableWindow(base, adaptive);
}

void WnHcQuantDlg::SetUpLossy() {
    HWND bar = GetDlgItem(Window(), IDC_QUANT_LOSSY);
    SendMessageW(bar, TBM_SETRANGE, FALSE, MAKELPARAM(0, kCvLossyMax));
    SendMessageW(bar, TBM_SETTICFREQ, 10, 0);
    SendMessageW(bar, TBM_SETPAGESIZE, 0, 10);
    SendMessageW(bar, TBM_SETPOS, TRUE, globals->settings.lossy);
    SetDlgItemInt(Window(), IDC_QUANT_LOSSY_VALUE, LossyShown(), FALSE);
}

void WnHcQuantDlg::CreateStripAndSwatch() {
    const RECT load = WnControlRect(Window(), IDC_QUANT_LOAD), unload = WnControlRect(Window(), IDC_QUANT_UNLOAD);
    const RECT label = WnControlRect(Window(), IDC_QUANT_PALETTE_LABEL), rgb = WnControlRect(Window(), IDC_ENTRY_RGB);
    const WnDpiScale scale = WnDpiScale::Of(Window());
    const int stripTop = load.bottom + scale(kStripGapBelowLoad);
    const int cellWidth = (unload.right - label.left) / 32, cellHeight = cellWidth * 10 / 8;
    stripOpening = {scale(kPaneLeft), stripTop};
    paletteStrip = std::make_unique<WnPalPicker>(Window(), stripOpening.x, stripOpening.y, cellWidth, cellHeight);
    const HcPaletteEntry* chosen = FindPalette(*globals, globals->paletteName);
    if (chosen) {
        const CvColorTable table = SavedPaletteColors(*chosen);
        paletteStrip->SetPalette(&table);
    }
    const int swatchSize = (rgb.right - rgb.left) + 4;
    swatchOpening = {rgb.left - 2, stripTop};
    swatch = std::make_unique<WnSwatch>(Window(), swatchOpening.x, swatchOpening.y, swatchSize);
    SetDlgItemTextW(Window(), IDC_ENTRY_RGB, L" ");
}

void WnHcQuantDlg::MoveBottomPictures(int32_t dy) {
    for (const HcPixelRect& old : {paletteStrip->Rect(), swatch->Rect()}) WnInvalidateErasing(Window(), old);
    paletteStrip->MoveTo(stripOpening.x, stripOpening.y + dy);
    swatch->MoveTo(swatchOpening.x, swatchOpening.y + dy);
    for (const HcPixelRect& now : {paletteStrip->Rect(), swatch->Rect()}) WnInvalidateErasing(Window(), now);
}

// --- the reduction -------------------------------------------------------------------------------------------

void WnHcQuantDlg::Reduce() {
    if (busy) return;  // the running reduction sees the change at its next progress report
    for (;;) {
        if (!cancelPressed && !nextPressed) ShowResultImage();
        try {
            ReduceOnce();
            // A task's last report is never acted on: a change handled in its pump is taken up here.
            if (cancelPressed || UpToDate()) break;
        } catch (const CvErrorCode& error) {
            busy = counting = false;
            PostMessageW(Window(), WM_COMMAND, kQuantCommandReductionEnded, 0);
            // A reduction stopped by a change starts again at once, on the bar still shown.
            const bool again = error.code == kCvErrCancelled && !cancelPressed;
            if (!again) progress->HideBar();
            if (error.code != kCvErrCancelled) throw;
            restart = true;
            if (!again) return;
        }
    }
    progress->HideBar();
    busy = false;
    PostMessageW(Window(), WM_COMMAND, kQuantCommandReductionEnded, 0);
}

void WnHcQuantDlg::ReduceOnce() {
    busy = true;
    gifKilobytes = 0;
    ShowSizeInfo();
    restart = false;
    dirty = false;
    if (previewSource->Hidden()) ShowInBands(*previewSource, previewSource->RenderedRows());
    if (reducedSerial != settingsSerial) {
        const uint32_t asked = settingsSerial;
        CatchUpResult();
        // The engine writes into the run's indexed image: lend it the frame's, and take it back on every way out.
        CvIndexedImage* const own = globals->indexedImage;
        globals->indexedImage = frame->GetIndexedImage();
        try {
            Quantize(*globals, progress.get(), &reuse);
        } catch (...) {
            globals->indexedImage = own;
            throw;
        }
        globals->indexedImage = own;
        ShowResult();
        reducedSerial = asked;
    }
    MeasureGifSize();
}

bool WnHcQuantDlg::UpToDate() const {
    return reducedSerial == settingsSerial && countedLossy == globals->settings.lossy;
}

void WnHcQuantDlg::ShowResultImage() {
    CvImage* reduced = frame->GetIndexedImage();
    if (mask) {
        resultTrans.Set(reduced, mask.get());
        resultView.SetSource(&resultTrans);
    } else {
        resultView.SetSource(reduced);
    }
    // Rows stay as ready as they were: the frame holds no picture before the first reduction has finished. The
    // pane is told only of a new picture; a reduction redraws it once its rows are ready.
    if (previewResult->Image() != &resultView) previewResult->SetImageHidden(&resultView);
}

void WnHcQuantDlg::MeasureGifSize() {
    const CvFileLocator countOnly(kCountOnlyPath);
    const CvGIFComment empty(0, nullptr);
    // The count reports like the reduction: the dialog keeps handling messages, and a change stops it.
    countedLossy = globals->settings.lossy;
    counting = true;
    const uint32_t bytes =
        HCWriteSingleFile(countOnly, *frame, &empty, false, 0, true, LossyCodingFor(*globals), stepProgress.get());
    counting = false;
    gifKilobytes = GifKilobytes(bytes);
    ShowSizeInfo();
}

void WnHcQuantDlg::ShowSizeInfo() const {
    const std::string text = QuantSizeInfo(source->GetWidth(), source->GetHeight(), gifKilobytes);
    SetDlgItemTextA(Window(), IDC_QUANT_SIZE_INFO, text.c_str());
}

void WnHcQuantDlg::OnProgressStart(CvProgressTask* task) {
    if (globals->settings.colors != colors) {
        colors = globals->settings.colors;
        SetDlgItemInt(Window(), IDC_QUANT_COLORS, colors, FALSE);
    }
    SetDlgItemTextW(Window(), IDC_QUANT_STATUS, L"");
    if (adaptive && task->Palette()) {
        paletteStrip->SetPalette(task->Palette());
        paletteStrip->Draw();
    }
    // No row of the new result is ready: the pane keeps showing the last result until they all are, so its 1 : 1
    // picture must hold that result before the rows go.
    previewResult->BringFullUpToDate();
    resultView.SetRowsReady(0);
}

void WnHcQuantDlg::ShowResult() {
    resultView.SetRowsReady(frame->GetHeight());
    ShowInBands(*previewResult, 0);
}

void WnHcQuantDlg::ShowInBands(WnImagePreview& pane, uint32_t from) {
    // The rows not yet shown keep what the pane showed before. Each paint costs a trip to the window system, so a
    // picture shown quickly is painted once, at the end, and a large one as it goes, now and then.
    ULONGLONG painted = GetTickCount64();
    InBands(from, pane.Image()->GetWidth(), pane.Image()->GetHeight(), [&](uint32_t top, uint32_t bottom) {
        pane.RenderRows(top, bottom);
        if (GetTickCount64() - painted < kShownPaintInterval) return;
        pane.Paint();
        painted = GetTickCount64();
    });
    pane.Reveal();
}

void WnHcQuantDlg::InBands(uint32_t from, uint32_t width, uint32_t height,
                           const std::function<void(uint32_t, uint32_t)>& band) {
    const uint32_t rows = std::max<uint32_t>(1, kPixelsPerShownBand / std::max<uint32_t>(1, width));
    CvProgressTask showing(stepProgress.get());
    showing.Start(0, height, "Showing");
    for (uint32_t top = from; top < height; top += rows) {
        const uint32_t bottom = std::min(height, top + rows);
        band(top, bottom);
        CV_PROGRESS(showing, bottom);
    }
    showing.Finish();
}

void WnHcQuantDlg::CatchUpResult() {
    if (!previewResult->FullBehind()) return;
    const CvImage& shown = *previewResult->Image();
    InBands(0, shown.GetWidth(), shown.GetHeight(), [&](uint32_t, uint32_t bottom) {
        previewResult->BringFullUpTo(bottom);
    });
}

// One band at a time, the rest posted behind whatever else waits, so that the dialog stays as responsive as when
// idle; a reduction that starts meanwhile brings up the rest itself.
void WnHcQuantDlg::OnCatchUp() {
    if (busy || endPending || !previewResult->FullBehind()) return;
    const CvImage& shown = *previewResult->Image();
    const uint32_t rows = std::max<uint32_t>(1, kPixelsPerShownBand / std::max<uint32_t>(1, shown.GetWidth()));
    previewResult->BringFullUpTo(previewResult->FullRows() + rows);
    if (previewResult->FullBehind()) PostMessageW(Window(), WM_COMMAND, kQuantCommandCatchUp, 0);
}

bool WnHcQuantDlg::ShouldStop() const {
    return cancelPressed || restart || dirty;
}

// --- commands --------------------------------------------------------------------------------------------------

bool WnHcQuantDlg::OnCommand(int id, int notification) {
    switch (id) {
        case IDOK:
        case IDCANCEL: OnEndButton(id); return true;
        case kQuantCommandReduce: Reduce(); return true;
        case kQuantCommandReductionEnded:
            if (endPending) return EndWith(pendingButton), true;
            // The result was shown zoomed out, straight from its blocks: its 1 : 1 picture is made now, while the
            // dialog waits for the user, rather than when the next reduction starts.
            OnCatchUp();
            return true;
        case kQuantCommandCatchUp: OnCatchUp(); return true;
        case IDC_QUANT_COLORS: OnColorsEdited(); return true;
        case IDC_QUANT_LOAD: OnLoad(); return true;
        case IDC_QUANT_UNLOAD: OnUnload(); return true;
        case IDC_ZOOM_IN:
        case IDC_ZOOM_OUT: OnZoom(id == IDC_ZOOM_IN); return true;
        default: break;
    }
    if (notification != CBN_SELCHANGE) return false;
    switch (id) {
        case IDC_QUANT_DEPTH: OnDepthChosen(); return true;
        case IDC_QUANT_BASE: OnBaseChosen(); return true;
        case IDC_QUANT_PALETTE: OnPaletteChosen(); return true;
        default: return false;
    }
}

bool WnHcQuantDlg::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_HSCROLL && reinterpret_cast<HWND>(lParam) == GetDlgItem(Window(), IDC_QUANT_LOSSY)) {
        OnLossyMoved();
        return true;
    }
    // A changed setting names itself in lParam, as the dithering slider posts it.
    if (message != WM_COMMAND || LOWORD(wParam) != kCommandSettingChanged) return false;
    OnSettingChanged(int(lParam));
    return true;
}

void WnHcQuantDlg::OnEndButton(int button) {
    if (button == IDOK) nextPressed = true;
    if (button == IDCANCEL) cancelPressed = true;
    if (!busy) return EndWith(button);
    // A reduction is running inside a handler further up: end once it has finished ("Next ->") or stopped.
    endPending = true;
    pendingButton = button;
    ditherSlider->Close();
    for (int id :
         {IDOK, IDCANCEL, IDC_QUANT_COLORS, IDC_QUANT_DEPTH, IDC_QUANT_BASE, IDC_QUANT_PALETTE, IDC_QUANT_LOSSY})
        EnableWindow(GetDlgItem(Window(), id), FALSE);
}

void WnHcQuantDlg::EndWith(int button) {
    globals->quantDialogRect = WnDialogRectOf(Window());
    End(button);
}

void WnHcQuantDlg::OnColorsEdited() {
    char text[16] = {};
    GetDlgItemTextA(Window(), IDC_QUANT_COLORS, text, sizeof text);
    const uint32_t asked = ColorsFromText(text);
    if (asked == 0 || asked == colors) return;
    colors = asked;
    globals->settings.colors = uint16_t(asked);
    PostMessageW(Window(), WM_COMMAND, kCommandSettingChanged, kQuantSettingColors);
}

void WnHcQuantDlg::OnDepthChosen() {
    const int item = Selection(Window(), IDC_QUANT_DEPTH);
    if (item < 0 || item >= kDepthChoiceCount || kDepthChoices[item].colors == colors) return;
    colors = kDepthChoices[item].colors;
    globals->settings.colors = uint16_t(colors);
    SetDlgItemInt(Window(), IDC_QUANT_COLORS, colors, FALSE);
    PostMessageW(Window(), WM_COMMAND, kCommandSettingChanged, kQuantSettingColors);
}

void WnHcQuantDlg::OnSettingChanged(int which) {
    if (which == kQuantSettingLossy) return OnLossyChanged();
    if (which == kSettingDither) {
        dither = ditherSlider->Value();
        globals->settings.dither = dither;
    } else if (adaptive) {
        paletteStrip->SetPalette(nullptr);
        paletteStrip->Draw();
    }
    SettingsChanged();
}

void WnHcQuantDlg::SettingsChanged() {
    ++settingsSerial;
    dirty = true;
    RequestReduction();
}

// The value follows the thumb at once; the setting follows through the posted command, as the other settings do.
void WnHcQuantDlg::OnLossyMoved() {
    const uint8_t level = LossyShown();
    SetDlgItemInt(Window(), IDC_QUANT_LOSSY_VALUE, level, FALSE);
    if (level != globals->settings.lossy)
        PostMessageW(Window(), WM_COMMAND, kCommandSettingChanged, kQuantSettingLossy);
}

void WnHcQuantDlg::OnLossyChanged() {
    const uint8_t level = LossyShown();
    if (level == globals->settings.lossy) return;
    globals->settings.lossy = level;
    // The level matters to the count alone: a reduction under way goes on, and the count after it takes the new
    // level; a count under way is of the old one and starts again.
    if (counting) dirty = true;
    RequestReduction();
}

uint8_t WnHcQuantDlg::LossyShown() const {
    const LRESULT position = SendDlgItemMessageW(Window(), IDC_QUANT_LOSSY, TBM_GETPOS, 0, 0);
    return uint8_t(std::clamp<LRESULT>(position, 0, kCvLossyMax));
}

void WnHcQuantDlg::RequestReduction() {
    if (!busy) PostMessageW(Window(), WM_COMMAND, kQuantCommandReduce, 0);
}

void WnHcQuantDlg::OnBaseChosen() {
    const int item = Selection(Window(), IDC_QUANT_BASE);
    if (item == kBaseItemNone) {
        CvPStrFromC(globals->basePaletteName, kPaletteNone);
    } else if (item == kBaseItemCustom) {
        CvPStrFromC(globals->basePaletteName, kPaletteCustom);
    } else {
        const HcPaletteEntry* entry = SavedPaletteAt(globals->paletteList, uint32_t(item - kBaseItemFirstSaved));
        if (!entry) CV_THROW(kCvErrBadArgument);
        CvPStrCopy(globals->basePaletteName, entry->name);
    }
    if (adaptive) {
        paletteStrip->SetPalette(nullptr);
        paletteStrip->Draw();
    }
    SettingsChanged();
}

void WnHcQuantDlg::OnPaletteChosen() {
    const int item = Selection(Window(), IDC_QUANT_PALETTE);
    if (const char* adaptiveName = AdaptivePaletteAt(item)) return UseAdaptivePalette(adaptiveName);
    const HcPaletteEntry* entry = SavedPaletteAt(globals->paletteList, uint32_t(item - kPaletteItemFirstSaved));
    if (!entry) CV_THROW(kCvErrBadArgument);
    UseSavedPalette(*entry);
}

void WnHcQuantDlg::UseAdaptivePalette(const char* name) {
    // Whatever the dialog opened on or came from, a palette the settings do not name so was another one.
    const bool unchanged = adaptive && CvPStrText(globals->paletteName) == name;
    adaptive = true;
    CvPStrFromC(globals->paletteName, name);
    EnableWindow(GetDlgItem(Window(), IDC_QUANT_BASE), TRUE);
    EnableWindow(GetDlgItem(Window(), IDC_QUANT_UNLOAD), FALSE);
    if (unchanged) return;
    paletteStrip->SetPalette(nullptr);
    paletteStrip->Draw();
    SettingsChanged();
}

void WnHcQuantDlg::UseSavedPalette(const HcPaletteEntry& entry) {
    adaptive = false;
    EnableWindow(GetDlgItem(Window(), IDC_QUANT_BASE), FALSE);
    const CvColorTable table = SavedPaletteColors(entry);
    paletteStrip->SetPalette(&table);
    paletteStrip->Draw();
    CvPStrCopy(globals->paletteName, entry.name);
    EnableWindow(GetDlgItem(Window(), IDC_QUANT_UNLOAD), TRUE);
    SettingsChanged();
}

void WnHcQuantDlg::OnLoad() {
    std::string name;
    const std::unique_ptr<CvColorTable> table = WnHcLoadColorTable(Window(), &name);
    if (!table) return;
    const HcLoadedPalette loaded = AddLoadedPalette(*globals, name, *table);
    if (loaded.appended) {
        AddItem(GetDlgItem(Window(), IDC_QUANT_BASE), CvPStrText(loaded.entry->name));
        AddItem(GetDlgItem(Window(), IDC_QUANT_PALETTE), CvPStrText(loaded.entry->name));
    }
    Select(Window(), IDC_QUANT_BASE, kBaseItemNone);
    Select(Window(), IDC_QUANT_PALETTE, kPaletteItemFirstSaved + int(loaded.entry->listIndex));
    UseSavedPalette(*loaded.entry);
}

void WnHcQuantDlg::OnUnload() {
    const int item = Selection(Window(), IDC_QUANT_PALETTE);
    if (item < kPaletteItemFirstSaved) return;
    const HcPaletteEntry* entry = SavedPaletteAt(globals->paletteList, uint32_t(item - kPaletteItemFirstSaved));
    if (!entry || !UnloadSavedPalette(*globals, entry)) CV_THROW(kCvErrBadArgument);
    SendDlgItemMessageW(Window(), IDC_QUANT_PALETTE, CB_DELETESTRING, WPARAM(item), 0);
    SendDlgItemMessageW(Window(), IDC_QUANT_BASE, CB_DELETESTRING,
                        WPARAM(item - kPaletteItemFirstSaved + kBaseItemFirstSaved), 0);
    Select(Window(), IDC_QUANT_PALETTE, kPaletteItemCustom);
    Select(Window(), IDC_QUANT_BASE, kBaseItemNone);
    adaptive = false;  // so that switching to the adaptive palette reduces again
    UseAdaptivePalette(kPaletteCustom);
}

void WnHcQuantDlg::OnZoom(bool in) {
    previewSource->ZoomStep(in);
    previewResult->ZoomStep(in);
}

// --- painting, mouse and size ------------------------------------------------------------------------------------

bool WnHcQuantDlg::OnPaint() {
    { WnPaintDC paint(Window()); }  // validates; the pictures draw through their own contexts
    paletteStrip->Draw();
    swatch->Draw();
    return true;
}

void WnHcQuantDlg::OnMouseDown(POINT point) {
    if (!paletteStrip->Click(point)) return;
    const uint8_t* rgb = paletteStrip->Palette()->Entry(paletteStrip->SelectedIndex());
    swatch->SetColor({rgb[0], rgb[1], rgb[2]});
    char text[32];
    std::snprintf(text, sizeof text, "%d, %d, %d", rgb[0], rgb[1], rgb[2]);
    SetDlgItemTextA(Window(), IDC_ENTRY_RGB, text);
}

void WnHcQuantDlg::OnSize() {
    sizer.OnSize();
}
