// How fast the quantization dialog follows a dithering change: the real module in an interactive run under a
// stand-in host, the slider dragged with real mouse messages, timed from the button's release until the result
// pane and the "GIF %uK" size have been redrawn. Prints the median of several changes per picture size.
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>

#include "bench/BenchPicture.h"
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

void Measure(const ModuleLoader& module, const BenchPicture& photo, uint32_t width, uint32_t height, double target) {
    const std::string folder = MakeScratchDir("dialogbench");
    SimOptions options;
    options.configFolder = folder;
    options.showDialogs = true;
    HostSimulator host(module.Entry(), module.SetEmbedHost(), options);
    host.SetImage(Crop(photo, width, height));
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
    if (times.empty()) return (void)std::printf("%u x %u: the dialog did not open\n", width, height);
    std::printf(
        "%u x %u: dithering change to new preview and size: median %.1f ms (min %.1f, max %.1f) over %zu; "
        "target <= %.0f ms: %s\n",
        width, height, times[times.size() / 2], times.front(), times.back(), times.size(), target,
        times[times.size() / 2] <= target ? "met" : "NOT MET");
}

}  // namespace

int main() {
    const ModuleLoader module(BenchModulePath());
    const BenchPicture& photo = BenchPhoto();
    Measure(module, photo, std::min(photo.width, 1000u), std::min(photo.height, 1000u), 40);
    Measure(module, photo, photo.width, photo.height, 250);
    return 0;
}
