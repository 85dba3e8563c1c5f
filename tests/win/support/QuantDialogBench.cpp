// Driving the plug-in's dialogs from outside, for their tests and the speed benchmark: whole runs with them shown,
// their texts, whether a reduction runs, the dithering slider's stops, the lossy control, the options' readout.
#include "tests/win/support/QuantDialogBench.h"

// The trackbar's messages, which need the window types above.
#include <commctrl.h>

#include <algorithm>
#include <cstdio>
#include <utility>

#include "cli/InputImage.h"
#include "cvcode2/CvLzwLossy.h"
#include "hostsim/HostSimulator.h"
#include "tests/support/HostLayers.h"
#include "tests/support/InProcessHost.h"
#include "tests/support/TestPaths.h"
#include "tests/win/support/BenchInput.h"
#include "tests/win/support/BenchWindow.h"
#include "uicore/HcDitherTrack.h"
#include "win/resource_ids.h"
#include "wnatom/WnDialogSizer.h"

namespace {

SizeLineLog* activeLog = nullptr;
constexpr std::chrono::milliseconds kDialogLimit(60000);

}  // namespace

bool ShowsNoGifSize(const std::string& sizeLine) {
    return sizeLine.size() < 6 || sizeLine.compare(sizeLine.size() - 6, 6, "GIF 0K") == 0;
}

bool BenchPhotograph(uint32_t width, uint32_t height, SimImage& image) {
    InputImage photo;
    try {
        photo = ReadImageFile(ExecutableDir() + "\\..\\..\\bench-data\\the-mouse.ppm");
    } catch (const ImageReadError&) {
        return false;
    }
    if (photo.channels != 3) return false;
    image = SimImage{};
    image.width = int(width);
    image.height = int(height);
    image.color.resize(size_t(width) * height * 3);
    for (uint32_t y = 0; y < height; ++y)
        for (uint32_t x = 0; x < width; ++x) {
            const size_t from = (size_t(y) * photo.height / height * photo.width + size_t(x) * photo.width / width) * 3;
            std::copy_n(&photo.pixels[from], 3, &image.color[(size_t(y) * width + x) * 3]);
        }
    return true;
}

SimImage InterleavedHostPicture(int width, int height) {
    SimImage image = HostPicture(plugInModeRGBColor, width, height);
    for (size_t pixel = 0; pixel < image.planes[0].size(); ++pixel)
        for (const std::vector<uint8_t>& plane : image.planes) image.color.push_back(plane[pixel]);
    image.planes.clear();
    return image;
}

std::string DialogText(HWND dialog, int id) {
    return Ascii(WindowText(GetDlgItem(dialog, id)));
}

bool QuantReducing(HWND dialog) {
    return ShowsNoGifSize(DialogText(dialog, IDC_QUANT_SIZE_INFO));
}

bool WaitForReduction(HWND dialog) {
    const bool ended = PumpUntil([&] { return !QuantReducing(dialog); }, std::chrono::milliseconds(60000));
    PumpUntilIdle();
    return ended;
}

std::unique_ptr<BenchOnModal> OnQuantDialog(std::function<void(HWND)> action, std::chrono::milliseconds limit) {
    return std::make_unique<BenchOnModal>(L"Halcyne Filter 4", std::move(action), limit, IDC_QUANT_SIZE_INFO,
                                          [](HWND dialog) { return !QuantReducing(dialog); });
}

HWND DitherPaneOf(HWND dialog) {
    return GetDlgItem(dialog, IDC_QUANT_DITHER_PANE);
}

int DitherShown(HWND dialog) {
    const std::wstring label = WindowText(GetDlgItem(DitherPaneOf(dialog), kDitherLabelControl));
    return std::stoi(label.substr(label.find(L':') + 1));
}

POINT DitherStop(HWND dialog, int stop) {
    HWND pane = DitherPaneOf(dialog);
    const RECT left = WnControlRect(pane, kDitherLeftControl), right = WnControlRect(pane, kDitherRightControl);
    const int x0 = left.right + 2, step = (right.left - left.right - 6) / 10;
    // Just below the thumb's tip, inside its triangle.
    return {x0 + stop * step, MulDiv(kDitherTrackY + 4, BenchExpectedDpi(), 96)};
}

void Choose(HWND dialog, int id, int item) {
    HWND box = GetDlgItem(dialog, id);
    SendMessageW(box, CB_SETCURSEL, WPARAM(item), 0);
    PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, CBN_SELCHANGE), reinterpret_cast<LPARAM>(box));
    PumpUntilIdle();
}

int LossyShown(HWND dialog) {
    return std::stoi(DialogText(dialog, IDC_QUANT_LOSSY_VALUE));
}

void DragLossy(HWND dialog, int level) {
    HWND bar = GetDlgItem(dialog, IDC_QUANT_LOSSY);
    RECT thumb{}, channel{};
    SendMessageW(bar, TBM_GETTHUMBRECT, 0, reinterpret_cast<LPARAM>(&thumb));
    SendMessageW(bar, TBM_GETCHANNELRECT, 0, reinterpret_cast<LPARAM>(&channel));
    const int half = (thumb.right - thumb.left) / 2, y = (thumb.top + thumb.bottom) / 2;
    const int x = channel.left + half + MulDiv(level, channel.right - channel.left - 2 * half, kCvLossyMax);
    Drag(bar, StraightPath({thumb.left + half, y}, {x, y}, 6));
}

SizeLineLog::SizeLineLog() : hook(SetWindowsHookExW(WH_CALLWNDPROCRET, Record, nullptr, GetCurrentThreadId())) {
    activeLog = this;
}

SizeLineLog::~SizeLineLog() {
    UnhookWindowsHookEx(hook);
    activeLog = nullptr;
}

int SizeLineLog::Starts() const {
    int zeros = 0;
    for (const std::string& text : texts) zeros += ShowsNoGifSize(text);
    return zeros - 1;
}

LRESULT CALLBACK SizeLineLog::Record(int code, WPARAM wParam, LPARAM lParam) {
    const auto* message = reinterpret_cast<const CWPRETSTRUCT*>(lParam);
    if (code == HC_ACTION && activeLog && message->message == WM_SETTEXT &&
        GetDlgCtrlID(message->hwnd) == IDC_QUANT_SIZE_INFO)
        activeLog->texts.push_back(DialogText(GetParent(message->hwnd), IDC_QUANT_SIZE_INFO));
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

long OptionsReadout(HWND dialog) {
    PumpUntilIdle();  // the readout follows a change through a posted message
    long bytes = -1;
    return std::sscanf(DialogText(dialog, IDC_OPT_FILE_SIZE).c_str(), "File Size: %ld Bytes", &bytes) == 1 ? bytes : -1;
}

SimOptions SystemBoxes() {
    SimOptions options;
    options.systemSaveBox = options.systemOpenBox = true;
    return options;
}

DialogRun::DialogRun(SimImage image, SimOptions extra, bool inProcess)
    : module(BenchModulePath()),
      folder(extra.configFolder.empty() ? MakeScratchDir("dialogs") : extra.configFolder),
      options(std::move(extra)) {
    options.configFolder = folder;
    options.savePath = folder + "\\out.gif";
    options.showDialogs = true;
    host = inProcess ? std::make_unique<HostSimulator>(InProcessEntry, InProcessEmbed, options)
                     : std::make_unique<HostSimulator>(module.Entry(), module.SetEmbedHost(), options);
    host->SetImage(std::move(image));
}

void DialogRun::OnQuantization(std::function<void(HWND)> action) {
    watchers.push_back(OnQuantDialog(std::move(action), kDialogLimit));
}

void DialogRun::OnOptions(std::function<void(HWND)> action) {
    watchers.push_back(
        std::make_unique<BenchOnModal>(L"Halcyne Filter 4", std::move(action), kDialogLimit, IDC_OPT_TABS));
}

bool DialogRun::Written() const {
    return GetFileAttributesA(options.savePath.c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::string DialogRun::ScriptedBytes(SimImage image) {
    SimOptions scripted = options;
    scripted.showDialogs = false;
    scripted.savePath = folder + "\\scripted.gif";
    HostSimulator again(module.Entry(), module.SetEmbedHost(), scripted);
    again.SetImage(std::move(image));
    if (again.Run(false) != 0) return "the scripted run failed";
    return ReadFileBytes(scripted.savePath);
}
