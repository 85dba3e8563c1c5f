// How fast the quantization dialog follows a dithering change: the real module in an interactive run under a
// stand-in host, the slider dragged with real mouse messages, timed from the button's release until the result
// pane and the "GIF %uK" size have been redrawn. Prints the median of several changes per picture size and palette,
// and what the remap alone costs in this build. Then, on a 7200 x 4800 picture: how long the dialog takes to show
// (and its first reduction's bar), and the longest time its thread goes without handling a message while it opens,
// reduces, counts and follows a change.
#include <windows.h>

#include <commctrl.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "bench/BenchPicture.h"
#include "cli/SettingsDescriptor.h"
#include "cvcode2/CvFineDither.h"
#include "cvcode2/CvInvMapRiemersma.h"
#include "cvcode2/CvNearestColor.h"
#include "hostsim/HostSimulator.h"
#include "hostsim/ModuleLoader.h"
#include "tests/support/TestPaths.h"
#include "tests/win/support/BenchInput.h"
#include "tests/win/support/BenchModal.h"
#include "tests/win/support/BenchWindow.h"
#include "tests/win/support/QuantDialogBench.h"
#include "uicore/HcPreviewRaster.h"
#include "win/resource_ids.h"

namespace {

using Clock = std::chrono::steady_clock;
constexpr int kChanges = 7;

SimImage Crop(const BenchPicture& photo, uint32_t width, uint32_t height) {
    SimImage image;
    image.width = int(width);
    image.height = int(height);
    image.color.resize(size_t(width) * height * 3);
    for (uint32_t y = 0; y < height; ++y)
        std::copy_n(&photo.rgb[size_t(y) * photo.width * 3], size_t(width) * 3, &image.color[size_t(y) * width * 3]);
    return image;
}

// The stages of a change as the dialog's bar shows them: every task sets the bar back to 0 as it starts (the
// remap, then the showing of the result, then the size count), and the bar is hidden once the reduction has ended.
// A hook on the thread's sent messages notes when, in milliseconds from the release.
class StageLog {
public:
    StageLog(HWND bar, Clock::time_point start)
        : bar(bar), start(start), hook(SetWindowsHookExW(WH_CALLWNDPROC, Seen, nullptr, GetCurrentThreadId())) {
        active = this;
    }
    ~StageLog() {
        UnhookWindowsHookEx(hook);
        active = nullptr;
    }
    StageLog(const StageLog&) = delete;
    StageLog& operator=(const StageLog&) = delete;

    const std::vector<double>& TaskStarts() const { return starts; }
    double Hidden() const { return hidden; }

private:
    static LRESULT CALLBACK Seen(int code, WPARAM wParam, LPARAM lParam) {
        const auto* message = reinterpret_cast<const CWPSTRUCT*>(lParam);
        if (code == HC_ACTION && active && message->hwnd == active->bar) active->Note(*message);
        return CallNextHookEx(nullptr, code, wParam, lParam);
    }
    void Note(const CWPSTRUCT& message) {
        const double now = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
        if (message.message == PBM_SETPOS && message.wParam == 0) starts.push_back(now);
        if (message.message == WM_SHOWWINDOW && !message.wParam) hidden = now;
    }

    static inline StageLog* active = nullptr;
    HWND bar;
    Clock::time_point start;
    HHOOK hook;
    std::vector<double> starts;
    double hidden = -1;
};

// What one change took, in milliseconds: the whole, and its parts as the bar shows them.
struct ChangeTiming {
    double total = 0;
    double toRemap = 0, remap = 0, show = 0, count = 0, after = 0;
    double threadCpu = 0;  // the dialog thread's processor time over the change (the system's clock ticks)
};

double ThreadCpuMs() {
    FILETIME created, exited, kernel, user;
    if (!GetThreadTimes(GetCurrentThread(), &created, &exited, &kernel, &user)) return 0;
    const auto ticks = [](const FILETIME& t) { return (uint64_t(t.dwHighDateTime) << 32 | t.dwLowDateTime) / 1e4; };
    return ticks(kernel) + ticks(user);
}

// One change: the thumb is pressed and moved beforehand; the clock runs from the release (which posts the
// change) until the size line has been set twice, at the reduction's start and with the new size, the result pane
// having been redrawn before the size is known.
ChangeTiming TimeOneChange(HWND dialog, int to) {
    HWND pane = DitherPaneOf(dialog);
    MouseDown(pane, DitherStop(dialog, DitherShown(dialog)));
    MouseMove(pane, DitherStop(dialog, to));
    PumpUntilIdle();
    SizeLineLog sizes;
    // The release is posted as the system posts it; the bench's own MouseUp would wait for idle time as well.
    const POINT up = DitherStop(dialog, to);
    const double cpuBefore = ThreadCpuMs();
    const Clock::time_point start = Clock::now();
    StageLog stages(GetDlgItem(dialog, IDC_QUANT_PROGRESS), start);
    PostMessageW(pane, WM_LBUTTONUP, 0, MAKELPARAM(up.x, up.y));
    MSG message;
    while (sizes.Texts().size() < 2 || QuantReducing(dialog)) {
        if (!PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) continue;
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    ChangeTiming timing;
    timing.total = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
    timing.threadCpu = ThreadCpuMs() - cpuBefore;
    const auto& starts = stages.TaskStarts();
    if (starts.size() == 3 && stages.Hidden() > 0) {
        timing.toRemap = starts[0];
        timing.remap = starts[1] - starts[0];
        timing.show = starts[2] - starts[1];
        timing.count = stages.Hidden() - starts[2];
        timing.after = timing.total - stages.Hidden();
    }
    return timing;
}

double Median(std::vector<double> values) {
    if (values.empty()) return 0;
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// A host running the module with its dialogs shown, its preferences in a fresh folder; with a palette, the run
// starts from recorded settings naming it, as a scripted run with its dialogs shown does.
std::unique_ptr<HostSimulator> DialogHost(const ModuleLoader& module, SimImage image, const char* palette = nullptr) {
    SimOptions options;
    options.configFolder = MakeScratchDir("dialogbench");
    options.showDialogs = true;
    options.descriptors = palette != nullptr;
    auto host = std::make_unique<HostSimulator>(module.Entry(), module.SetEmbedHost(), options);
    host->SetImage(std::move(image));
    if (palette) {
        HalcyneOptions settings;
        settings.palette = palette;
        host->Descriptors().playInfo = plugInDialogDisplay;
        host->Descriptors().descriptor = SimMakeDescriptor(SettingsDescriptor(settings, false));
    }
    return host;
}

void Measure(const ModuleLoader& module, const BenchPicture& photo, uint32_t width, uint32_t height,
             const char* palette, double target) {
    const auto host = DialogHost(module, Crop(photo, width, height), palette);
    std::vector<ChangeTiming> changes;
    const auto watcher = OnQuantDialog(
        [&](HWND dialog) {
            PumpUntil([&] { return !QuantReducing(dialog); }, std::chrono::minutes(2));
            for (int i = 0; i < kChanges; ++i) changes.push_back(TimeOneChange(dialog, i % 2 ? 4 : 6));
            PressDialogButton(dialog, IDCANCEL);
        },
        std::chrono::minutes(2));
    host->Run(true);
    if (changes.empty()) return (void)std::printf("%u x %u %s: the dialog did not open\n", width, height, palette);
    const auto median = [&](double ChangeTiming::*part) {
        std::vector<double> values;
        for (const ChangeTiming& change : changes) values.push_back(change.*part);
        return Median(values);
    };
    std::vector<double> totals;
    for (const ChangeTiming& change : changes) totals.push_back(change.total);
    std::sort(totals.begin(), totals.end());
    const double middle = Median(totals);
    std::printf(
        "%u x %u %s: dithering change to new preview and size: median %.1f ms (min %.1f, max %.1f) over %zu; "
        "target <= %.0f ms: %s\n",
        width, height, palette, middle, totals.front(), totals.back(), totals.size(), target,
        middle <= target ? "met" : "NOT MET");
    std::printf(
        "    stages (medians, ms): to the remap %.1f, remap %.1f, result shown and its count prepared %.1f, count "
        "%.1f, after %.1f; dialog thread's processor time %.0f\n",
        median(&ChangeTiming::toRemap), median(&ChangeTiming::remap), median(&ChangeTiming::show),
        median(&ChangeTiming::count), median(&ChangeTiming::after), median(&ChangeTiming::threadCpu));
}

// The remap alone, without the dialog, its indicator or its message loop: set beside the native benchmarks
// (BM_InvMapRiemersma/10, BM_FineRemap/16) it shows what this build's code costs by itself.
void MeasureRemapAlone(const BenchPicture& photo) {
    CvColorTable palette;
    std::vector<uint8_t> map;
    BenchAdaptivePalette(photo, palette, map);
    const CvColorTable fine = BenchFinePalette(photo);
    std::vector<uint8_t> indices(photo.Pixels());
    auto median = [](auto run) {
        std::vector<double> times;
        for (int i = 0; i < kChanges; ++i) {
            const Clock::time_point start = Clock::now();
            run();
            times.push_back(std::chrono::duration<double, std::milli>(Clock::now() - start).count());
        }
        std::sort(times.begin(), times.end());
        return times[times.size() / 2];
    };
    const double custom = median([&] {
        InvMapRiemersma(10, map.data(), palette, photo.rgb.data(), indices.data(), photo.width * 3, photo.width,
                        photo.width, photo.height, 0, 1, 2, 0, 3, 1, nullptr);
    });
    const double fineDither = median([&] {
        CvNearestColor nearest(fine);
        FineDither(nearest,
                   {16, &fine, photo.rgb.data(), indices.data(), photo.width * 3, photo.width, photo.width,
                    photo.height, nullptr},
                   nullptr);
    });
    std::printf("%u x %u: remap alone, median of %d: Custom strength 10 %.1f ms, Fine strength 16 %.1f ms\n",
                photo.width, photo.height, kChanges, custom, fineDither);
}

// The photo mirrored into a picture of any size, so that no seam shows a jump.
SimImage Mirrored(const BenchPicture& photo, uint32_t width, uint32_t height) {
    SimImage image;
    image.width = int(width);
    image.height = int(height);
    image.color.resize(size_t(width) * height * 3);
    const auto fold = [](uint32_t v, uint32_t size) {
        const uint32_t period = v % (2 * size);
        return period < size ? period : 2 * size - 1 - period;
    };
    for (uint32_t y = 0; y < height; ++y)
        for (uint32_t x = 0; x < width; ++x)
            std::copy_n(&photo.rgb[(size_t(fold(y, photo.height)) * photo.width + fold(x, photo.width)) * 3], 3,
                        &image.color[(size_t(y) * width + x) * 3]);
    return image;
}

// Watches the thread that runs the dialog from a second thread: a probe message is posted to it every 2 ms and
// a hook on its queue notes how late each one is taken, so the largest lateness is the longest time the thread
// went without looking at its messages. Each probe also carries the thread's processor time when it was posted:
// on a busy machine a wait may be the system's doing (the thread not running), so the longest stretch of the
// thread's own work between two looks is noted too. The second thread also notes when the dialog and its bar
// first show.
class Responsiveness {
public:
    explicit Responsiveness(Clock::time_point start)
        : start(start),
          uiThread(GetCurrentThreadId()),
          uiHandle(OpenThread(THREAD_QUERY_LIMITED_INFORMATION, FALSE, GetCurrentThreadId())),
          hook(SetWindowsHookExW(WH_GETMESSAGE, Taken, nullptr, GetCurrentThreadId())) {
        active = this;
        watcher = std::thread([this] { Watch(); });
    }
    ~Responsiveness() {
        stop = true;
        watcher.join();
        UnhookWindowsHookEx(hook);
        CloseHandle(uiHandle);
        active = nullptr;
    }
    // Starts a new measuring period (after the opening, say).
    void Restart() { longest = longestBusy = 0; }
    // The most processor time the thread spent between a probe's posting and its taking (the system's ticks).
    double LongestBusyMs() const { return longestBusy / 1000.0; }
    double LongestMs() const { return longest / 1000.0; }
    // When the longest wait ended, from the start.
    double LongestEndMs() const { return longestEnd / 1000.0; }
    double DialogShownMs() const { return dialogShown / 1000.0; }
    double BarShownMs() const { return barShown / 1000.0; }

private:
    static constexpr UINT kProbe = WM_APP + 0x2F1;

    int64_t Micros() const {
        return std::chrono::duration_cast<std::chrono::microseconds>(Clock::now() - start).count();
    }
    void Watch() {
        while (!stop) {
            HWND dialog = FindWindowW(L"#32770", L"Halcyne Filter 4");
            if (dialog && dialogShown < 0 && IsWindowVisible(dialog)) dialogShown = Micros();
            if (dialog && barShown < 0 && IsWindowVisible(GetDlgItem(dialog, IDC_QUANT_PROGRESS))) barShown = Micros();
            PostThreadMessageW(uiThread, kProbe, WPARAM(ThreadMicros(uiHandle)), LPARAM(Micros()));
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
    }
    static LRESULT CALLBACK Taken(int code, WPARAM removal, LPARAM lParam) {
        const auto* message = reinterpret_cast<const MSG*>(lParam);
        if (code == HC_ACTION && removal == PM_REMOVE && message->message == kProbe && active) {
            const int64_t now = active->Micros(), late = now - int64_t(message->lParam);
            if (late > active->longest) active->longest = late, active->longestEnd = now;
            const int64_t busy = ThreadMicros(GetCurrentThread()) - int64_t(message->wParam);
            if (busy > active->longestBusy) active->longestBusy = busy;
        }
        return CallNextHookEx(nullptr, code, removal, lParam);
    }

    static int64_t ThreadMicros(HANDLE thread) {
        FILETIME created, exited, kernel, user;
        if (!GetThreadTimes(thread, &created, &exited, &kernel, &user)) return 0;
        const auto micros = [](const FILETIME& t) {
            return int64_t(uint64_t(t.dwHighDateTime) << 32 | t.dwLowDateTime) / 10;
        };
        return micros(kernel) + micros(user);
    }

    static inline Responsiveness* active = nullptr;
    Clock::time_point start;
    DWORD uiThread;
    HANDLE uiHandle;
    HHOOK hook;
    std::atomic<bool> stop{false};
    std::atomic<int64_t> dialogShown{-1}, barShown{-1};
    int64_t longest = 0, longestEnd = 0, longestBusy = 0;
    std::thread watcher;
};

void MeasureLargePicture(const ModuleLoader& module, const BenchPicture& photo) {
    constexpr uint32_t kWidth = 7200, kHeight = 4800;
    const auto host = DialogHost(module, Mirrored(photo, kWidth, kHeight));
    double opening = -1, openingEnd = -1, openingBusy = -1, change = -1, changeBusy = -1;
    // The planes are read before the dialog can open: the clock starts when the host hands over to the export.
    if (host->Call(filterSelectorParameters) != 0 || host->ReadPlanes() != 0)
        return (void)std::printf("%u x %u: the planes could not be read\n", kWidth, kHeight);
    host->ForgetPlanes();
    Responsiveness watch(Clock::now());
    const auto watcher = OnQuantDialog(
        [&](HWND dialog) {
            PumpUntil([&] { return !QuantReducing(dialog); }, std::chrono::minutes(2));
            PumpUntilIdle();
            opening = watch.LongestMs();
            openingEnd = watch.LongestEndMs();
            openingBusy = watch.LongestBusyMs();
            watch.Restart();
            TimeOneChange(dialog, 6);
            PumpUntilIdle();  // the messages that waited for the end of the change are taken now
            change = watch.LongestMs();
            changeBusy = watch.LongestBusyMs();
            PressDialogButton(dialog, IDCANCEL);
        },
        std::chrono::minutes(2));
    host->Call(filterSelectorFinish);
    std::printf(
        "%u x %u: dialog shown after %.0f ms, the first reduction's bar after %.0f ms (target < 300 ms); longest time "
        "without handling messages: %.0f ms from the opening through the first reduction and size (ending %.0f ms "
        "after the start), %.0f ms for a dithering change (target <= 50 ms); the dialog thread's own work between "
        "two looks at its messages, at most: %.0f ms and %.0f ms (processor time, in the system's ticks)\n",
        kWidth, kHeight, watch.DialogShownMs(), watch.BarShownMs(), opening, openingEnd, change, openingBusy,
        changeBusy);
}

// What opening a 9-megapixel picture fitted adds: the block averages of its 1 : 16 view, once per pane.
void MeasureFittedAveraging(const BenchPicture& photo) {
    constexpr uint32_t kWidth = 3672, kHeight = 2448, kDen = 16;
    const SimImage picture = Mirrored(photo, kWidth, kHeight);
    std::vector<uint8_t> full(size_t(kWidth + 7) * (kHeight + 7) * 4),
        reduced(size_t(kWidth / 2 + 1) * (kHeight / 2 + 1) * 4);
    for (size_t i = 0; i < size_t(kWidth) * kHeight; ++i)
        std::copy_n(&picture.color[i * 3], 3, &full[((i / kWidth) * (kWidth + 7) + i % kWidth) * 4]);
    const HcPreviewRaster raster({full.data(), kWidth + 7, kHeight + 7},
                                 {reduced.data(), kWidth / 2 + 1, kHeight / 2 + 1}, kWidth, kHeight);
    std::vector<double> times;
    for (int i = 0; i < 7; ++i) {
        const Clock::time_point start = Clock::now();
        raster.Downsample(kDen);
        times.push_back(std::chrono::duration<double, std::milli>(Clock::now() - start).count());
    }
    std::sort(times.begin(), times.end());
    std::printf(
        "%u x %u fitted at 1 : %u: block averages of one pane %.1f ms (median of 7); two panes add %.1f ms "
        "(target <= 50 ms)\n",
        kWidth, kHeight, kDen, times[3], 2 * times[3]);
}

}  // namespace

// An argument runs only the measures whose names contain it: "remap alone", "crop Custom", "crop Fine",
// "photograph Custom", "photograph Fine", "large picture", "fitted averaging" ("photograph" runs both palettes).
int main(int argc, char** argv) {
    const std::string only = argc > 1 ? argv[1] : "";
    const auto wanted = [&](const std::string& name) { return name.find(only) != std::string::npos; };
    const ModuleLoader module(BenchModulePath());
    const BenchPicture& photo = BenchPhoto();
    if (wanted("remap alone")) MeasureRemapAlone(photo);
    const uint32_t cropWidth = std::min(photo.width, 1000u), cropHeight = std::min(photo.height, 1000u);
    if (wanted("crop Custom")) Measure(module, photo, cropWidth, cropHeight, "Custom", 25);
    if (wanted("crop Fine")) Measure(module, photo, cropWidth, cropHeight, "Fine", 40);
    if (wanted("photograph Custom")) Measure(module, photo, photo.width, photo.height, "Custom", 150);
    if (wanted("photograph Fine")) Measure(module, photo, photo.width, photo.height, "Fine", 250);
    if (wanted("large picture")) MeasureLargePicture(module, photo);
    if (wanted("fitted averaging")) MeasureFittedAveraging(photo);
    return 0;
}
