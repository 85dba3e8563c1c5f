// How fast the quantization dialog follows a dithering change: the real module in an interactive run under a
// stand-in host, the slider dragged with real mouse messages, timed from the button's release until the result
// pane and the "GIF %uK" size have been redrawn. Prints the median of several changes per picture size and palette,
// and what the remap alone costs in this build.
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
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

// One change: the thumb is pressed and moved beforehand; the clock runs from the release (which posts the
// change) until the size line has been set twice, at the reduction's start and with the new size, the result pane
// having been redrawn before the size is known.
double TimeOneChange(HWND dialog, int to) {
    HWND pane = DitherPaneOf(dialog);
    MouseDown(pane, DitherStop(dialog, DitherShown(dialog)));
    MouseMove(pane, DitherStop(dialog, to));
    PumpUntilIdle();
    SizeLineLog sizes;
    // The release is posted as the system posts it; the bench's own MouseUp would wait for idle time as well.
    const POINT up = DitherStop(dialog, to);
    const Clock::time_point start = Clock::now();
    PostMessageW(pane, WM_LBUTTONUP, 0, MAKELPARAM(up.x, up.y));
    MSG message;
    while (sizes.Texts().size() < 2 || QuantReducing(dialog)) {
        if (!PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) continue;
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// The run starts from recorded settings naming the palette, as a scripted run with its dialogs shown does.
void Measure(const ModuleLoader& module, const BenchPicture& photo, uint32_t width, uint32_t height,
             const char* palette, double target) {
    const std::string folder = MakeScratchDir("dialogbench");
    SimOptions options;
    options.configFolder = folder;
    options.showDialogs = true;
    options.descriptors = true;
    HostSimulator host(module.Entry(), module.SetEmbedHost(), options);
    host.SetImage(Crop(photo, width, height));
    HalcyneOptions settings;
    settings.palette = palette;
    host.Descriptors().playInfo = plugInDialogDisplay;
    host.Descriptors().descriptor = SimMakeDescriptor(SettingsDescriptor(settings, false));
    std::vector<double> times;
    BenchOnModal watcher(
        L"Halcyne Filter 4",
        [&](HWND dialog) {
            PumpUntil([&] { return !QuantReducing(dialog); }, std::chrono::minutes(2));
            for (int i = 0; i < kChanges; ++i) times.push_back(TimeOneChange(dialog, i % 2 ? 4 : 6));
            PressDialogButton(dialog, IDCANCEL);
        },
        std::chrono::minutes(2));
    host.Run(true);
    std::sort(times.begin(), times.end());
    if (times.empty()) return (void)std::printf("%u x %u %s: the dialog did not open\n", width, height, palette);
    std::printf(
        "%u x %u %s: dithering change to new preview and size: median %.1f ms (min %.1f, max %.1f) over %zu; "
        "target <= %.0f ms: %s\n",
        width, height, palette, times[times.size() / 2], times.front(), times.back(), times.size(), target,
        times[times.size() / 2] <= target ? "met" : "NOT MET");
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

}  // namespace

int main() {
    const ModuleLoader module(BenchModulePath());
    const BenchPicture& photo = BenchPhoto();
    MeasureRemapAlone(photo);
    const uint32_t cropWidth = std::min(photo.width, 1000u), cropHeight = std::min(photo.height, 1000u);
    Measure(module, photo, cropWidth, cropHeight, "Custom", 25);
    Measure(module, photo, cropWidth, cropHeight, "Fine", 40);
    Measure(module, photo, photo.width, photo.height, "Custom", 150);
    Measure(module, photo, photo.width, photo.height, "Fine", 250);
    return 0;
}
