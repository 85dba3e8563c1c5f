// The options dialog: the frame in a pane the user paints transparency on, the Transparency, Background and
// Comments pages, "Interlace", and a readout that always ends at the exact size of the file "Save" writes.
#include "win/WnHcOptDlg.h"

#include <commctrl.h>
#include <windowsx.h>

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "common/HcExport.h"
#include "cvcode2/CvBitmapImage.h"
#include "cvcode2/CvErrorCode.h"
#include "cvcode2/CvGIFFrame.h"
#include "cvcode2/CvGIFInfo.h"
#include "cvcode2/CvGrayscaleImage.h"
#include "cvcode2/CvIndexedImage.h"
#include "cvcode2/CvList.h"
#include "cvcode2/CvString.h"
#include "platform/Platform.h"
#include "win/WnHcColPicker.h"
#include "win/WnHcColorPopup.h"
#include "win/WnHcPreview.h"
#include "win/resource_ids.h"
#include "wnatom/WnAtoms.h"
#include "wnatom/WnDialogPlacement.h"
#include "wnatom/WnErrorExit.h"
#include "wnatom/WnGdi.h"
#include "wnatom/WnText.h"

namespace {

constexpr int kPaneId = 1099;
// The pieces the dialog places and draws itself, at 96 DPI; scaled to the dialog's resolution.
constexpr int kPaneLeft = 15, kPaneTop = 15, kPaneAboveZoom = 30, kPaneBeforeTabs = 7;
constexpr int kInfoLineGap = 5, kSwatchGap = 3, kSwatchMargin = 2;
constexpr int kStripCellWidth = 7, kStripCellHeight = 6;
constexpr int kPageLeft = 5, kPageTop = 21, kPageWidthLess = 8, kPageHeightLess = 24;
constexpr int kPageTemplates[WnHcOptDlg::kTabCount] = {IDD_OPTIONS_TRANSPARENCY, IDD_OPTIONS_BACKGROUND,
                                                       IDD_OPTIONS_COMMENTS};
constexpr int kTabNames[WnHcOptDlg::kTabCount] = {IDS_TAB_TRANSPARENCY, IDS_TAB_BACKGROUND, IDS_TAB_COMMENTS};
constexpr int kToolBitmaps[HcToolBar::kCount] = {IDB_TOOL_PENCIL, IDB_TOOL_PICKER, IDB_TOOL_EDGE_BRUSH, IDB_TOOL_HAND};
constexpr int kSelectedToolBitmaps[HcToolBar::kCount] = {IDB_TOOL_PENCIL_SELECTED, IDB_TOOL_PICKER_SELECTED,
                                                         IDB_TOOL_EDGE_BRUSH_SELECTED, IDB_TOOL_HAND_SELECTED};
constexpr int kGreyedToolBitmaps[HcToolBar::kCount - 1] = {IDB_TOOL_PENCIL_GREYED, IDB_TOOL_PICKER_GREYED,
                                                           IDB_TOOL_EDGE_BRUSH_GREYED};
// The colour control on the Background page, at 96 DPI: below the list of saved colours.
constexpr int kSliderBarHeight = 11, kSliderLeft = 40, kSliderTop = 62, kBackgroundRowStep = 25;

void SetItemText(HWND window, int id, const std::string& text) {
    SetDlgItemTextW(window, id, WnWiden(text).c_str());
}

HcRgb ToRgb(const uint8_t* rgb) {
    return {rgb[0], rgb[1], rgb[2]};
}

// The comment as the settings keep it, its two-byte characters of the system's code page never split.
std::string KeptCommentOf(const std::string& text) {
    return KeptComment(text, [](uint8_t byte) { return IsDBCSLeadByte(byte) != FALSE; });
}

}  // namespace

WnHcOptDlg::WnHcOptDlg(HWND parent, HcGlobals* globals, bool cameBack)
    : skipFirstApply(cameBack),
      parent(parent),
      sizer([this](int32_t extraWidth, int32_t extraHeight) { PlacePane(extraWidth, extraHeight); },
            [this](int32_t dy) { MoveBottomPictures(dy); }),
      frame(globals ? globals->gifFrame : nullptr),
      globals(globals),
      instance(static_cast<HINSTANCE>(Platform::ModuleInstance())),
      planes(globals ? globals->extraPlanes : nullptr) {
    if (!frame) CV_THROW(kCvErrBadArgument);
    GiveFreshFrameInfo();
    frame->SetBackgroundColor(globals->settings.bgColor);
}

WnHcOptDlg::~WnHcOptDlg() = default;

void WnHcOptDlg::GiveFreshFrameInfo() {
    std::unique_ptr<CvGIFFrameInfo> info(CvAllocated(new (std::nothrow) CvGIFFrameInfo()));
    info->width = uint16_t(frame->GetWidth());
    info->height = uint16_t(frame->GetHeight());
    info->localColorTable = frame->GetIndexedImage()->colorTable;
    info->interlaced = globals->settings.interlaced ? 1 : 0;
    info->hasGraphicControl = 0;  // until transparency is switched on
    frame->SetFormatInfo(info.release());
}

bool WnHcOptDlg::Run(bool& back) {
    back = false;
    const INT_PTR result = WnModalDialog::Run(instance, L"DISSOLVEPARAM1", parent);
    switch (result) {
        case IDOK: return true;
        case IDCANCEL: return false;
        case IDC_OPT_LAST: back = true; return false;
        default: CV_THROW_DETAIL(kCvErrBadData, uint32_t(result));
    }
}

// ---- Opening

void WnHcOptDlg::OnInit() {
    CreatePane();
    CreateBottomPieces();
    ShowImageInfo();
    CreatePages();
    OpenComment();
    CheckDlgButton(Window(), IDC_OPT_INTERLACE, frame->FrameInfo().interlaced ? BST_CHECKED : BST_UNCHECKED);
    sizer.RegisterControls(Window(), kPageTemplates, kTabCount);
    WnOpenDialog(Window(), globals->optionsDialogRect, parent, paneSize, 1);
    // At the size it opens with, the pane shows the whole picture when it does not fit at 1 : 1.
    brushPane->ShowFitted(false);
}

void WnHcOptDlg::CreatePane() {
    scale = WnDpiScale::Of(Window());
    const int left = scale(kPaneLeft), top = scale(kPaneTop);
    // A square above the zoom buttons, clear of the tab control at its right.
    paneSize = std::min(int(WnControlRect(Window(), IDC_ZOOM_IN).top) - scale(kPaneAboveZoom),
                        int(WnControlRect(Window(), IDC_OPT_TABS).left) - scale(kPaneBeforeTabs) - left);
    HWND pane = CreateWindowExW(0, L"STATIC", L"", WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | SS_NOTIFY, left, top,
                                paneSize, paneSize, Window(), reinterpret_cast<HMENU>(kPaneId), instance, nullptr);
    if (!pane) CV_THROW_DETAIL(kCvErrNoMemory, GetLastError());
    brushPane = std::make_unique<WnHcBrushWindow>(pane, frame);
    brushPane->SetPickListener([this](uint8_t index, HcPickMode mode) { OnPick(index, mode); });
    brushPane->OnViewChanged(false);  // the zoom buttons and label start out right
}

void WnHcOptDlg::CreateBottomPieces() {
    stripTop = WnControlRect(Window(), IDC_OPT_COLORS_LABEL).bottom + scale(kInfoLineGap);
    paletteStrip = std::make_unique<WnPalPicker>(Window(), scale(kPaneLeft), stripTop, scale(kStripCellWidth),
                                                 scale(kStripCellHeight));
    paletteStrip->SetPalette(&frame->GetIndexedImage()->colorTable);

    const RECT label = WnControlRect(Window(), IDC_ENTRY_RGB);
    const int side = label.right - label.left + 2 * scale(kSwatchMargin);
    swatchBaseTop = label.bottom + scale(kSwatchGap);
    swatch = std::make_unique<WnSwatch>(Window(), label.left - scale(kSwatchMargin), swatchBaseTop, side);

    toolRects = HcToolBar(scale.dpi);
    toolRects.PlaceBelowPane(scale(kPaneTop) + paneSize);
    LoadToolButtons();
}

void WnHcOptDlg::LoadToolButtons() {
    const auto load = [&](ControlBitmap& picture, int id) {
        picture.Create(Window(), HcToolBar::kWidth, HcToolBar::kHeight, true);
        picture.LoadResourceBitmap(instance, id);
        picture.ToButtonFace();
    };
    for (int i = 0; i < HcToolBar::kCount; ++i) {
        load(toolButtons[i], kToolBitmaps[i]);
        load(selectedToolButtons[i], kSelectedToolBitmaps[i]);
        if (i < HcToolBar::kCount - 1) load(greyedToolButtons[i], kGreyedToolBitmaps[i]);
    }
}

void WnHcOptDlg::ShowImageInfo() {
    const CvIndexedImage& image = *frame->GetIndexedImage();
    uint32_t counts[256] = {};
    image.CountIndexUsage(counts);
    const uint32_t entries = image.colorTable.GetCount();
    SetItemText(Window(), IDC_OPT_SIZE_LABEL, ImageSizeText(frame->GetWidth(), frame->GetHeight()));
    SetItemText(Window(), IDC_OPT_COLORS_LABEL,
                ColorUseText(CvIndexedImage::CountUsed(counts, std::min<uint32_t>(entries, 256)), entries));
}

void WnHcOptDlg::CreatePages() {
    HWND tabs = GetDlgItem(Window(), IDC_OPT_TABS);
    for (int tab = 0; tab < kTabCount; ++tab) {
        wchar_t name[64] = {};
        LoadStringW(instance, UINT(kTabNames[tab]), name, 64);
        TCITEMW item{};
        item.mask = TCIF_TEXT;
        item.pszText = name;
        if (SendMessageW(tabs, TCM_INSERTITEMW, WPARAM(tab), reinterpret_cast<LPARAM>(&item)) < 0)
            CV_THROW(kCvErrNoMemory);
        pages[tab] = CreateDialogParamW(instance, MAKEINTRESOURCEW(kPageTemplates[tab]), Window(), PageProcedure,
                                        reinterpret_cast<LPARAM>(this));
        if (!pages[tab]) CV_THROW_DETAIL(kCvErrNoMemory, GetLastError());
        SetWindowLongPtrW(pages[tab], GWLP_ID, kPageTemplates[tab]);  // so the sizer finds it
        PlacePage(tab);
    }
    CreateTransparencyPage();
    CreateBackgroundPage();
    currentTab = kTransparencyTab;
    ShowWindow(pages[currentTab], SW_SHOW);
}

void WnHcOptDlg::PlacePage(int tab) const {
    const RECT tabs = WnControlRect(Window(), IDC_OPT_TABS);
    const int width = tabs.right - tabs.left - scale(kPageWidthLess);
    const int height = tabs.bottom - tabs.top - scale(kPageHeightLess);
    SetWindowPos(pages[tab], HWND_TOP, tabs.left + scale(kPageLeft), tabs.top + scale(kPageTop), width, height,
                 SWP_NOACTIVATE);
    if (tab == kCommentsTab)
        SetWindowPos(GetDlgItem(pages[tab], IDC_OPT_COMMENT), nullptr, 0, 0, width - 2 * scale(kPageLeft),
                     height - 2 * scale(kPageLeft), SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void WnHcOptDlg::CreateTransparencyPage() {
    HWND page = pages[kTransparencyTab];
    HWND list = GetDlgItem(page, IDC_OPT_PLANES);
    HcSettings& settings = globals->settings;
    const uint32_t count = planes ? planes->Count() : 0;
    for (const HcPlaneItem& item : MaskPlaneItems(count, globals->hasTransparencyPlane, globals->hasLayerMaskPlane)) {
        const LRESULT at = SendMessageW(list, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(WnWiden(item.name).c_str()));
        SendMessageW(list, CB_SETITEMDATA, WPARAM(at), LPARAM(item.plane));
    }
    if (count == 0) {
        EnableWindow(GetDlgItem(page, IDC_OPT_ALPHA), FALSE);
        if (settings.transparencyType == TransparencyType::alpha) settings.transparencyType = TransparencyType::none;
    } else if (settings.transAlphaIndex >= count) {
        settings.transAlphaIndex = uint16_t(count - 1);
    }
    // The list shows the plane the mask comes from.
    SendMessageW(list, CB_SETCURSEL, count ? settings.transAlphaIndex : 0, 0);
    switch (settings.transparencyType) {
        case TransparencyType::alpha: currentRadio = IDC_OPT_ALPHA; break;
        case TransparencyType::indexed: currentRadio = IDC_OPT_COLOR; break;
        default: currentRadio = IDC_OPT_NONE; break;
    }
    CheckRadioButton(page, IDC_OPT_ALPHA, IDC_OPT_NONE, currentRadio);
    EnableWindow(list, currentRadio == IDC_OPT_ALPHA);
    if (currentRadio == IDC_OPT_ALPHA)
        ApplyAlpha(settings.transAlphaIndex);
    else if (currentRadio == IDC_OPT_COLOR)
        ApplyIndex();
    else
        ApplyNone();
    // Only this first application may keep the mask painted before "<- Last": a mode the user picks later always
    // applies, also after a pass that opened with no transparency.
    skipFirstApply = false;
}

void WnHcOptDlg::CreateBackgroundPage() {
    HWND page = pages[kBackgroundTab];
    colorSlider = std::make_unique<ColorSlider2>(instance, page, kSliderBarHeight, kColorSliderWide);
    colorSlider->SetPosition(kSliderLeft, kSliderTop, kBackgroundRowStep);
    colorSlider->SetEnabled(true, false);
    const HcRgb rgb = ToRgb(globals->settings.bgColor);
    colorSlider->SetColor(rgb);
    ApplyBackground(rgb);
    WnHcColorPopup::Rebuild(globals->colorList, GetDlgItem(page, IDC_OPT_SAVED_COLORS), rgb);
    colorSlider->SetEnabled(false, false);  // active only while its tab shows
}

void WnHcOptDlg::OpenComment() {
    HWND edit = GetDlgItem(pages[kCommentsTab], IDC_OPT_COMMENT);
    SendMessageW(edit, EM_LIMITTEXT, kCommentEditLimit, 0);
    const HcStr255& text = globals->settings.comment;
    SetWindowTextW(edit, WnWiden(CvPStrText(text)).c_str());
    commentSizeStale = true;
    PostMessageW(Window(), WM_COMMAND, MAKEWPARAM(IDM_UPDATE_FILE_SIZE, 0), 0);
}

// ---- Transparency modes

bool WnHcOptDlg::TakeSkip() {
    const bool skip = skipFirstApply;
    skipFirstApply = false;
    return skip;
}

void WnHcOptDlg::SetFrameTransparencyFlags(bool on) {
    CvGIFFrameInfo& info = frame->FrameInfo();
    info.transparentFlag = on ? 1 : 0;
    info.hasGraphicControl = on ? 1 : 0;
}

void WnHcOptDlg::RefreshPane() {
    brushPane->Render();
    brushPane->Paint();
    OnSizeChanged(false);
}

void WnHcOptDlg::ApplyNone() {
    EnableTools(false);
    frame->ClearTransparency();
    SetFrameTransparencyFlags(false);
    RefreshPane();
}

void WnHcOptDlg::OnPick(uint8_t index, HcPickMode mode) {
    if (currentRadio == IDC_OPT_COLOR) HcPickFlags(globals->settings.transIndexes, index, mode);
}

void WnHcOptDlg::ApplyIndex() {
    EnableTools(true);
    if (!TakeSkip()) {
        FlagTopLeftIndexIfNoneFlagged();
        frame->ClearTransparency();
        for (int index = 0; index < 256; ++index)
            if (globals->settings.transIndexes[index] == 1) frame->MarkIndexTransparent(uint8_t(index));
    }
    SetFrameTransparencyFlags(true);
    RefreshPane();
}

void WnHcOptDlg::FlagTopLeftIndexIfNoneFlagged() {
    uint8_t* flags = globals->settings.transIndexes;
    for (int index = 0; index < 256; ++index)
        if (flags[index] == 1) return;
    const CvIndexedImage& image = *frame->GetIndexedImage();
    if (image.GetWidth() == 0 || image.GetHeight() == 0) return;
    CvPixelLock lock(image);
    std::memset(flags, 0, 256);
    flags[lock.Pixels()[0]] = 1;
}

void WnHcOptDlg::ApplyAlpha(uint32_t plane) {
    EnableTools(true);
    if (!TakeSkip() && planes && plane < planes->Count()) {
        const auto* source = static_cast<const CvGrayscaleImage*>(planes->ItemAt(plane));
        std::unique_ptr<CvBitmapImage> mask(source->ToBitmap());
        if (!mask) CV_THROW(kCvErrNoMemory);
        std::unique_ptr<CvBitmapImage> old(frame->SetTransparencyMask(mask.get()));
        mask.release();
        globals->settings.transAlphaIndex = uint16_t(plane);
    }
    SetFrameTransparencyFlags(true);
    RefreshPane();
}

uint32_t WnHcOptDlg::SelectedPlane() const {
    HWND list = GetDlgItem(pages[kTransparencyTab], IDC_OPT_PLANES);
    const LRESULT item = SendMessageW(list, CB_GETCURSEL, 0, 0);
    return item < 0 ? 0 : uint32_t(SendMessageW(list, CB_GETITEMDATA, WPARAM(item), 0));
}

void WnHcOptDlg::OnTransparencyRadio(int id) {
    currentRadio = id;
    HcSettings& settings = globals->settings;
    EnableWindow(GetDlgItem(pages[kTransparencyTab], IDC_OPT_PLANES), id == IDC_OPT_ALPHA);
    if (id == IDC_OPT_ALPHA) {
        ApplyAlpha(SelectedPlane());
        settings.transparencyType = TransparencyType::alpha;
    } else if (id == IDC_OPT_COLOR) {
        settings.transparencyType = TransparencyType::indexed;
        FlagTopLeftIndexIfNoneFlagged();
        ApplyIndex();
    } else {
        ApplyNone();
        settings.transparencyType = TransparencyType::none;
    }
}

// ---- Commands

bool WnHcOptDlg::OnCommand(int id, int notification) {
    switch (id) {
        case IDC_OPT_SAVE:
        case IDC_OPT_CANCEL:
        case IDC_OPT_LAST: Finish(id); return true;
        case IDC_OPT_INTERLACE: {
            const bool on = IsDlgButtonChecked(Window(), IDC_OPT_INTERLACE) == BST_CHECKED;
            frame->FrameInfo().interlaced = on ? 1 : 0;
            globals->settings.interlaced = on ? 1 : 0;
            OnSizeChanged(false);
            return true;
        }
        case IDC_ZOOM_IN:
        case IDC_ZOOM_OUT: brushPane->ZoomStep(id == IDC_ZOOM_IN); return true;
        case IDC_OPT_ALPHA:
        case IDC_OPT_COLOR:
        case IDC_OPT_NONE:
            if (notification == BN_CLICKED) OnTransparencyRadio(id);
            return true;
        case IDC_OPT_PLANES:
            // Another plane while "Alpha" is chosen takes effect at once.
            if (notification == CBN_SELCHANGE && currentRadio == IDC_OPT_ALPHA) ApplyAlpha(SelectedPlane());
            return true;
        case IDC_OPT_COMMENT: OnSizeChanged(true); return true;
        case IDC_OPT_SAVED_COLORS:
            if (notification == CBN_SELCHANGE || notification == CBN_SELENDOK)
                OnSavedColorList(notification == CBN_SELENDOK);
            return true;
        case IDM_SAVED_COLOR_COMMAND: RunSavedColorCommand(notification); return true;
        case IDM_MASK_EDITED: OnSizeChanged(notification == 1); return true;
        case IDM_UPDATE_FILE_SIZE: UpdateFileSize(); return true;
        default: return false;
    }
}

void WnHcOptDlg::Finish(int button) {
    const std::string text = CommentText();
    comment = std::make_unique<CvGIFComment>(uint32_t(text.size()), reinterpret_cast<const uint8_t*>(text.data()));
    const std::string kept = KeptCommentOf(text);
    HcStr255& stored = globals->settings.comment;
    stored[0] = uint8_t(kept.size());
    std::memcpy(stored + 1, kept.data(), kept.size());
    globals->optionsDialogRect = WnDialogRectOf(Window());
    End(button);
}

// ---- File size

void WnHcOptDlg::OnSizeChanged(bool commentChanged) {
    (commentChanged ? commentSizeStale : frameSizeStale) = true;
    SetDlgItemTextW(Window(), IDC_OPT_FILE_SIZE, L" ");
    PostMessageW(Window(), WM_COMMAND, MAKEWPARAM(IDM_UPDATE_FILE_SIZE, 0), 0);
}

void WnHcOptDlg::UpdateFileSize() {
    if (!frameSizeStale && !commentSizeStale) return;
    if (commentSizeStale) commentBytes = CommentExtensionSize(KeptCommentOf(CommentText()).size());
    commentSizeStale = false;
    // The frame as "Save" will write it: transparency settled, the transparent index chosen.
    if (frameSizeStale) frameBytes = CountExportedFrame(*frame, LossyCodingFor(*globals));
    frameSizeStale = false;
    SetItemText(Window(), IDC_OPT_FILE_SIZE, FileSizeText(uint64_t(frameBytes) + commentBytes));
}

// In the system's code page, as the settings keep it; at most 1997 characters.
std::string WnHcOptDlg::CommentText() const {
    std::wstring text(kCommentReadLimit + 1, L'\0');
    text.resize(size_t(GetDlgItemTextW(pages[kCommentsTab], IDC_OPT_COMMENT, text.data(), int(text.size()))));
    return WnNarrow(text);
}

// ---- Tabs and pages

bool WnHcOptDlg::OnMessage(UINT message, WPARAM, LPARAM lParam) {
    switch (message) {
        case WM_NOTIFY: {
            const auto* header = reinterpret_cast<const NMHDR*>(lParam);
            if (header->idFrom != IDC_OPT_TABS) return false;
            if (header->code == TCN_SELCHANGING) OnTabChanging();
            if (header->code == TCN_SELCHANGE) OnTabChanged();
            return true;
        }
        case kPageMessage: {
            auto& forwarded = *reinterpret_cast<PageMessage*>(lParam);
            forwarded.handled = OnPageMessage(forwarded);
            return true;
        }
        case WM_DESTROY:
            // The pieces drawing into the dialog and its pages go while their windows still exist.
            colorSlider.reset();
            brushPane.reset();
            paletteStrip.reset();
            return false;
        default: return false;
    }
}

void WnHcOptDlg::OnTabChanging() {
    previousTab = currentTab;
}

void WnHcOptDlg::OnTabChanged() {
    const int selected = int(SendDlgItemMessageW(Window(), IDC_OPT_TABS, TCM_GETCURSEL, 0, 0));
    if (selected < 0 || selected >= kTabCount) return;
    ShowWindow(pages[previousTab], SW_HIDE);
    currentTab = selected;
    PlacePage(currentTab);
    ShowWindow(pages[currentTab], SW_SHOW);
    colorSlider->SetEnabled(currentTab == kBackgroundTab, false);
}

// The pages' own dialog procedure hands everything that can fail to the dialog, whose procedure guards it.
INT_PTR CALLBACK WnHcOptDlg::PageProcedure(HWND page, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        SetWindowLongPtrW(page, DWLP_USER, lParam);
        return FALSE;
    }
    auto* self = reinterpret_cast<WnHcOptDlg*>(GetWindowLongPtrW(page, DWLP_USER));
    if (!self || !self->Window()) return FALSE;
    switch (message) {
        case WM_COMMAND: SendMessageW(self->Window(), WM_COMMAND, wParam, lParam); return TRUE;
        case WM_PAINT:
        case WM_LBUTTONDOWN:
        case WM_MOUSEMOVE:
        case WM_LBUTTONUP:
        case WM_TIMER:
        case WM_CAPTURECHANGED: {
            // A dialog's SendMessage answers with its message result, not its procedure's: the answer rides back
            // in the record.
            PageMessage forwarded{page, message, wParam, lParam, false};
            SendMessageW(self->Window(), kPageMessage, 0, reinterpret_cast<LPARAM>(&forwarded));
            return forwarded.handled;
        }
        default: return FALSE;
    }
}

bool WnHcOptDlg::OnPageMessage(const PageMessage& forwarded) {
    HWND page = forwarded.page;
    if (page != pages[kBackgroundTab] || !colorSlider) return false;
    const POINT point{GET_X_LPARAM(forwarded.lParam), GET_Y_LPARAM(forwarded.lParam)};
    bool changed = false;
    switch (forwarded.message) {
        case WM_PAINT: {
            {
                WnPaintDC validate(page);
            }
            colorSlider->Draw();
            return true;
        }
        case WM_LBUTTONDOWN: changed = colorSlider->OnMouseDown(point); break;
        case WM_MOUSEMOVE: changed = colorSlider->OnMouseMove(point); break;
        case WM_LBUTTONUP: changed = colorSlider->OnMouseUp(); break;
        case WM_TIMER: changed = colorSlider->OnTimer(UINT_PTR(forwarded.wParam)); break;
        case WM_CAPTURECHANGED: colorSlider->OnCaptureChanged(reinterpret_cast<HWND>(forwarded.lParam)); return true;
        default: return false;
    }
    if (changed) {
        const HcRgb rgb = colorSlider->GetColor();
        ApplyBackground(rgb);
        WnHcColorPopup::SelectMatching(globals->colorList, GetDlgItem(page, IDC_OPT_SAVED_COLORS), rgb);
    }
    return true;
}

// ---- Background

void WnHcOptDlg::OnSavedColorList(bool closing) {
    HWND combo = GetDlgItem(pages[kBackgroundTab], IDC_OPT_SAVED_COLORS);
    const int item = int(SendMessageW(combo, CB_GETCURSEL, 0, 0));
    const bool dropped = SendMessageW(combo, CB_GETDROPPEDSTATE, 0, 0) != FALSE;
    switch (ColorItemAction(item, closing, dropped)) {
        case HcColorItemAction::applyColor: ApplySavedColor(item); break;
        // Asked once the list has closed, so the prompt does not open over a list still rolling up.
        case HcColorItemAction::saveColor:
        case HcColorItemAction::removeColor:
            PostMessageW(Window(), WM_COMMAND, MAKEWPARAM(IDM_SAVED_COLOR_COMMAND, item), 0);
            break;
        case HcColorItemAction::none: break;
    }
}

void WnHcOptDlg::RunSavedColorCommand(int item) {
    HWND combo = GetDlgItem(pages[kBackgroundTab], IDC_OPT_SAVED_COLORS);
    const HcRgb current = ToRgb(globals->settings.bgColor);
    if (item == kColorItemSave)
        WnHcColorPopup::SaveColor(instance, Window(), combo, globals->colorList, current);
    else if (item == kColorItemRemove)
        WnHcColorPopup::RemoveColor(Window(), combo, globals->colorList, current);
}

void WnHcOptDlg::ApplySavedColor(int item) {
    HcRgb rgb{};
    switch (item) {
        case kColorItemWhite: rgb = {255, 255, 255}; break;
        case kColorItemBlack: rgb = {0, 0, 0}; break;
        default: {
            const HcColorEntry* entry = SavedColorAtItem(globals->colorList, item);
            if (!entry) return;
            rgb = {entry->red, entry->green, entry->blue};
        }
    }
    colorSlider->SetColor(rgb);
    ApplyBackground(rgb);
}

void WnHcOptDlg::ApplyBackground(HcRgb rgb) {
    uint8_t* stored = globals->settings.bgColor;
    stored[0] = rgb.red, stored[1] = rgb.green, stored[2] = rgb.blue;
    frame->SetBackgroundColor(stored);
    brushPane->Render();
    brushPane->Paint();
}

// ---- The dialog's own pieces: palette strip, swatch, tool buttons

bool WnHcOptDlg::OnPaint() {
    { WnPaintDC validate(Window()); }  // the pieces draw through their own contexts
    paletteStrip->Draw();
    swatch->Draw();
    DrawTools();
    return true;
}

void WnHcOptDlg::OnMouseDown(POINT point) {
    const HcPoint at{point.x, point.y};
    if (paletteStrip->Rect().Contains(at)) {
        OnStripClick(point);
    } else if (swatch->Rect().Contains(at)) {
        OnSwatchClick();
    } else if (toolsEnabled) {
        const int hit = toolRects.HitTest(at);
        if (hit >= 0) SelectTool(hit);
    }
}

void WnHcOptDlg::OnStripClick(POINT point) {
    if (paletteStrip->Click(point)) ShowSelectedEntry();
}

void WnHcOptDlg::ShowSelectedEntry() {
    uint8_t r = 0, g = 0, b = 0;
    frame->GetIndexedImage()->colorTable.GetEntry(paletteStrip->SelectedIndex(), r, g, b);
    swatch->SetColor({r, g, b});
    char text[32];
    std::snprintf(text, sizeof text, "%d, %d, %d", r, g, b);
    SetItemText(Window(), IDC_ENTRY_RGB, text);
}

void WnHcOptDlg::OnSwatchClick() {
    if (!paletteStrip->HasSelection()) return;
    const uint8_t index = paletteStrip->SelectedIndex();
    CvColorTable& table = frame->GetIndexedImage()->colorTable;
    uint8_t r = 0, g = 0, b = 0;
    table.GetEntry(index, r, g, b);
    if (!PickColor(Window(), instance, r, g, b)) return;
    table.SetEntry(index, r, g, b);
    paletteStrip->SetPalette(&table);
    paletteStrip->Draw();
    ShowSelectedEntry();
    // Colours decide which entry a full palette gives up for transparency, so the size may change too.
    RefreshPane();
}

void WnHcOptDlg::SelectTool(int newTool) {
    tool = newTool;
    brushPane->SetTool(tool);
    DrawTools();
}

void WnHcOptDlg::EnableTools(bool enabled) {
    toolsEnabled = enabled;
    if (!enabled) {
        SelectTool(WnHcBrushWindow::kHand);
        return;
    }
    DrawTools();
}

void WnHcOptDlg::DrawTools() const {
    for (int i = 0; i < HcToolBar::kCount; ++i) {
        const ControlBitmap& picture = i == tool                                    ? selectedToolButtons[i]
                                       : !toolsEnabled && i < HcToolBar::kCount - 1 ? greyedToolButtons[i]
                                                                                    : toolButtons[i];
        WnDrawStretched(picture, toolRects.Rect(i));
    }
}

// ---- Sizing

void WnHcOptDlg::PlacePane(int32_t extraWidth, int32_t extraHeight) {
    SetWindowPos(brushPane->Window(), nullptr, 0, 0, paneSize + extraWidth, paneSize + extraHeight,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void WnHcOptDlg::MoveBottomPictures(int32_t down) {
    const int32_t dy = down - movedDown;
    if (dy == 0) return;
    // The old places are erased, the new ones drawn by the next paint.
    WnInvalidateErasing(Window(), paletteStrip->Rect());
    WnInvalidateErasing(Window(), swatch->Rect());
    WnInvalidateErasing(Window(), toolRects.Bounds());
    movedDown = down;
    paletteStrip->MoveTo(scale(kPaneLeft), stripTop + movedDown);
    swatch->MoveTo(swatch->Rect().left, swatchBaseTop + movedDown);
    toolRects.MoveBy(dy);
    WnInvalidateErasing(Window(), paletteStrip->Rect());
    WnInvalidateErasing(Window(), swatch->Rect());
    WnInvalidateErasing(Window(), toolRects.Bounds());
}
