// The quantization dialog: the source and the reduced image side by side, the palette, base palette, colour count
// and dithering, each change re-reducing at once while the dialog stays responsive.
// Only the reduction handler touches the engine's data; handlers that run inside it set flags and post commands.
// A change of the lossy level counts the size again without reducing again.
#pragma once

#include <windows.h>

#include <functional>
#include <memory>

#include "common/HcGlobals.h"
#include "common/Quantize.h"
#include "cvcode2/CvProgImage.h"
#include "cvcode2/CvTransImage.h"
#include "win/HcQuantSizer.h"
#include "wnatom/WnModalDialog.h"

class CvBitmapImage;
class CvColorTable;
class CvProgressTask;
class CvRGBImage;
class WnHcPreview;
class WnImagePreview;
class WnHcProgInd;
class WnPalPicker;
class WnSwatch;
class DitherPane;

// Commands the dialog posts to itself. A changed setting comes as kCommandSettingChanged (of the dithering slider)
// with the setting in the message's lParam: kSettingDither or one of these.
constexpr int kQuantSettingColors = 45102;
constexpr int kQuantSettingLossy = 45103;
constexpr int kQuantCommandReduce = 45106;
constexpr int kQuantCommandReductionEnded = 45107;
constexpr int kQuantCommandCatchUp = 45108;  // bring the result's 1 : 1 picture up a band, while the dialog waits

class WnHcQuantDlg : public WnModalDialog {
public:
    // The settings' colour count must be 2..256; the run data must hold the RGB source and the frame.
    WnHcQuantDlg(HWND parent, HcGlobals* globals);
    ~WnHcQuantDlg() override;

    // True for "Next ->", false for "Cancel"; an error inside the dialog is raised again here.
    bool Run();

protected:
    void OnInit() override;
    bool OnCommand(int id, int notification) override;
    bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    bool OnPaint() override;
    void OnMouseDown(POINT point) override;
    void OnSize() override;

private:
    // Opening.
    void CreatePanes();
    void CreateDitherPane();
    void FillDepthBox();
    void FillPaletteBoxes();
    void SetUpLossy();
    void CreateStripAndSwatch();
    void MoveBottomPictures(int32_t dy);

    // The reduction and its progress.
    void Reduce();
    void ReduceOnce();
    void ShowResultImage();
    void OnProgressStart(CvProgressTask* task);
    void ShowResult();
    // Renders a pane's picture from row `from` on, in bands, with the bar; then shows it whole.
    void ShowInBands(WnImagePreview& pane, uint32_t from);
    // Runs `band` over the rows from..height of a picture `width` wide, in bands, as a task on the bar between
    // whose reports the dialog handles its messages (a change stops it as it stops the reduction).
    void InBands(uint32_t from, uint32_t width, uint32_t height, const std::function<void(uint32_t, uint32_t)>& band);
    // The last result's 1 : 1 picture, which it was shown without, before a reduction takes its rows away.
    void CatchUpResult();
    void OnCatchUp();
    bool ShouldStop() const;
    void MeasureGifSize();
    void ShowSizeInfo() const;
    // The frame holds the reduction of the current settings, and the size shown counts it at the current level.
    bool UpToDate() const;

    // Commands.
    void OnEndButton(int button);
    void OnColorsEdited();
    void OnDepthChosen();
    void OnSettingChanged(int which);
    void OnLossyMoved();
    void OnLossyChanged();
    uint8_t LossyShown() const;
    void OnBaseChosen();
    void OnPaletteChosen();
    // "Custom" or "Fine".
    void UseAdaptivePalette(const char* name);
    void UseSavedPalette(const HcPaletteEntry& entry);
    void OnLoad();
    void OnUnload();
    void OnZoom(bool in);
    void SettingsChanged();
    void RequestReduction();
    void EndWith(int button);

    HcGlobals* globals;
    CvRGBImage* source;
    HINSTANCE instance;
    HWND parent;
    std::unique_ptr<WnHcPreview> previewSource, previewResult;
    std::unique_ptr<DitherPane> ditherSlider;
    std::unique_ptr<WnPalPicker> paletteStrip;
    std::unique_ptr<WnHcProgInd> progress;
    std::unique_ptr<WnHcProgInd> stepProgress;  // showing the result and counting its size, on the same bar
    CvProgImage resultView{nullptr};
    CvTransImage sourceTrans, resultTrans;
    std::unique_ptr<CvBitmapImage> mask;
    bool busy = false;
    bool restart = false;
    bool cancelPressed = false, nextPressed = false;
    uint32_t colors;
    uint8_t dither;
    bool dirty = false;
    bool counting = false;  // the running work is the size count
    // Every change that needs a new reduction moves the first; the second is the one the frame was reduced for.
    uint32_t settingsSerial = 1, reducedSerial = 0;
    uint8_t countedLossy = 0;  // the level of the last count started
    bool adaptive = true;
    CvGIFFrame* frame;
    std::unique_ptr<WnSwatch> swatch;
    uint32_t gifKilobytes = 0;
    bool endPending = false;
    int pendingButton = 0;
    HcQuantSizer sizer;
    QuantizeReuse reuse;  // what the last reduction of this source found, for the next one
    POINT stripOpening{}, swatchOpening{};
};
