// The options dialog: the frame in a pane the user paints transparency on, the Transparency, Background and
// Comments pages, "Interlace", and a readout that always ends at the exact size of the file "Save" writes.
// The frame keeps every edit made here (mask, palette, background, frame info) once the dialog is gone.
#pragma once

#include <windows.h>

#include <memory>

#include "common/HcGlobals.h"
#include "uicore/HcOptionsRules.h"
#include "win/HcOptionsSizer.h"
#include "win/WnHcBrushWindow.h"
#include "wnatom/ColorSlider2.h"
#include "wnatom/ControlBitmap.h"
#include "wnatom/WnDpi.h"
#include "wnatom/WnModalDialog.h"
#include "wnatom/WnPalPicker.h"
#include "wnatom/WnSwatch.h"

class CvGIFComment;
class CvGIFFrame;
class CvList;

class WnHcOptDlg : public WnModalDialog {
public:
    enum Tab : int { kTransparencyTab = 0, kBackgroundTab = 1, kCommentsTab = 2, kTabCount = 3 };
    // A page's message handed to the dialog (whose procedure guards against errors), lParam pointing at a
    // PageMessage.
    static constexpr UINT kPageMessage = WM_APP + 1;
    struct PageMessage {
        HWND page;
        UINT message;
        WPARAM wParam;
        LPARAM lParam;
        bool handled;  // set by the dialog
    };

    // `globals` must hold the frame; it gets a fresh frame info and the settings' background colour here.
    // `cameBack`: the dialog is shown again after "<- Last", and the mask painted before is kept.
    WnHcOptDlg(HWND parent, HcGlobals* globals, bool cameBack);
    ~WnHcOptDlg() override;

    // True for "Save"; false for "Cancel"; false with `back` set for "<- Last". Errors come out as CvErrorCode.
    bool Run(bool& back);

    // The comment as the dialog ended with it (null before).
    const CvGIFComment* Comment() const { return comment.get(); }
    // What the user works with, for a test driving the open dialog.
    const WnHcBrushWindow* Pane() const { return brushPane.get(); }
    HWND Page(int tab) const { return pages[tab]; }
    HcPixelRect ToolRect(int tool) const { return toolRects.Rect(tool); }
    HcPixelRect StripRect() const { return paletteStrip->Rect(); }
    HcPixelRect SwatchRect() const { return swatch->Rect(); }
    int SelectedTool() const { return tool; }

protected:
    void OnInit() override;
    bool OnCommand(int id, int notification) override;
    bool OnPaint() override;
    void OnMouseDown(POINT point) override;
    void OnSize() override { sizer.OnSize(); }
    bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    static INT_PTR CALLBACK PageProcedure(HWND page, UINT message, WPARAM wParam, LPARAM lParam);

    void GiveFreshFrameInfo();
    void CreatePane();
    void CreateBottomPieces();
    void ShowImageInfo();
    void CreatePages();
    void CreateTransparencyPage();
    void CreateBackgroundPage();
    void OpenComment();
    void LoadToolButtons();

    // The transparency modes; each refreshes the pane and marks the frame's size stale.
    void ApplyNone();
    void ApplyIndex();
    void ApplyAlpha(uint32_t plane);
    bool TakeSkip();
    void FlagTopLeftIndexIfNoneFlagged();
    void SetFrameTransparencyFlags(bool on);
    void RefreshPane();
    uint32_t SelectedPlane() const;
    void OnTransparencyRadio(int id);
    // A pick in the pane while "Color" is chosen changes the colours the mode makes transparent.
    void OnPick(uint8_t index, HcPickMode mode);

    void OnSizeChanged(bool commentChanged);
    void UpdateFileSize();
    std::string CommentText() const;
    void Finish(int button);

    void OnTabChanging();
    void OnTabChanged();
    void PlacePage(int tab) const;
    bool OnPageMessage(const PageMessage& forwarded);

    // The list of saved colours told of a selection that changed, or (`closing`) of one that is final.
    void OnSavedColorList(bool closing);
    void RunSavedColorCommand(int item);
    void ApplySavedColor(int item);
    void ApplyBackground(HcRgb rgb);

    void OnStripClick(POINT point);
    void OnSwatchClick();
    void ShowSelectedEntry();
    void SelectTool(int newTool);
    void EnableTools(bool enabled);
    void DrawTools() const;

    // Told by the sizer: the pane grows by the extra room; the strip, swatch and tool buttons move down.
    void PlacePane(int32_t extraWidth, int32_t extraHeight);
    void MoveBottomPictures(int32_t down);

    bool skipFirstApply;
    HWND parent;
    HcOptionsSizer sizer;
    CvGIFFrame* frame;
    HcGlobals* globals;
    std::unique_ptr<CvGIFComment> comment;
    HINSTANCE instance;
    std::unique_ptr<WnHcBrushWindow> brushPane;
    std::unique_ptr<WnPalPicker> paletteStrip;
    std::unique_ptr<WnSwatch> swatch;
    bool toolsEnabled = true;
    HcToolBar toolRects;
    int tool = WnHcBrushWindow::kHand;
    CvList* planes;
    int currentTab = kTransparencyTab;
    int currentRadio = 0;
    int previousTab = kTransparencyTab;
    std::unique_ptr<ColorSlider2> colorSlider;
    ControlBitmap toolButtons[HcToolBar::kCount];
    ControlBitmap selectedToolButtons[HcToolBar::kCount];
    ControlBitmap greyedToolButtons[HcToolBar::kCount - 1];

    HWND pages[kTabCount] = {};
    bool frameSizeStale = true;
    bool commentSizeStale = true;
    uint32_t frameBytes = 0;
    uint32_t commentBytes = 0;
    // Where the pieces that move with the bottom edge sit at the opening size.
    int32_t paneSize = 0;
    int32_t stripTop = 0;
    int32_t swatchBaseTop = 0;
    int32_t movedDown = 0;
    WnDpiScale scale;
};
