// The real module, loaded as a host loads it, driven through whole runs.
#include <gtest/gtest.h>

#include <future>
#include <string>

#include "hostsim/HostSimulator.h"
#include "hostsim/ModuleLoader.h"
#include "tests/support/HostLayers.h"
#include "tests/support/InProcessHost.h"

#if defined(_WIN32)
#include <windows.h>
#endif

namespace {

std::string ModulePath() {
    return ExecutableDir() + "/" HC_MODULE_FILE;
}

}  // namespace

TEST(ModuleRun, WholeRunWritesTheFileAndEndsWithTheSlotEmpty) {
    ModuleLoader module(ModulePath());
    SimOptions options = PrivatePrefs();
    HostSimulator host(module.Entry(), module.SetEmbedHost(), options);
    host.SetImage(HostLayer(plugInModeGrayScale, 4, 4));
    for (int run = 0; run < 2; ++run) {
        EXPECT_EQ(host.Run(run == 0), 0);
        EXPECT_EQ(host.Data(), 0);
    }
    EXPECT_TRUE(host.Alerts().empty());
    EXPECT_EQ(ReadFileBytes(options.savePath).substr(0, 6), "GIF89a");
}

#if defined(_WIN32)
namespace {

// Copies the first non-empty static text of a dialog into the 512-byte buffer passed as context.
BOOL CALLBACK FirstStaticText(HWND child, LPARAM context) {
    char className[32] = {}, buffer[256] = {};
    GetClassNameA(child, className, sizeof className);
    GetWindowTextA(child, buffer, sizeof buffer);
    if (lstrcmpiA(className, "Static") == 0 && buffer[0]) {
        lstrcpynA(reinterpret_cast<char*>(context), buffer, 512);
        return FALSE;
    }
    return TRUE;
}

// Waits for a visible top-level window with the given caption, closes it as a person pressing OK would and
// gives its text. Gives up after a bound (empty text) so a stuck box fails the test instead of hanging.
std::future<std::string> CloseWindow(const char* caption) {
    return std::async(std::launch::async, [caption] {
        for (int i = 0; i < 400; ++i, Sleep(50)) {
            HWND window = FindWindowA(nullptr, caption);
            if (window && IsWindowVisible(window)) {
                char text[512] = {};
                EnumChildWindows(window, FirstStaticText, reinterpret_cast<LPARAM>(text));
                PostMessageA(window, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
                return std::string(text);
            }
        }
        return std::string();
    });
}

SimOptions RealBoxes() {
    SimOptions options = PrivatePrefs();
    options.answerBoxes = false;
    return options;
}

}  // namespace

// About shows the module's own dialog, an unknown selector the alert box; each is closed as a person pressing OK
// would, and the run ends.
TEST(ModuleRunWindows, AboutAndAnUnknownSelectorShowModalBoxes) {
    const struct {
        const char *caption, *text;
        int16_t selector, result;
    } cases[] = {{"About Halcyne", "Halcyne 4.0", filterSelectorAbout, 0},
                 {"ALERT", "Error executing Halcyne (1)", 9, 1}};
    for (const auto& c : cases) {
        ModuleLoader module(ModulePath());
        HostSimulator host(module.Entry(), module.SetEmbedHost(), RealBoxes());
        std::future<std::string> closed = CloseWindow(c.caption);
        EXPECT_EQ(c.selector == filterSelectorAbout ? host.About() : host.Call(c.selector), c.result);
        const std::string text = closed.get();
        EXPECT_EQ(text.rfind(c.text, 0), 0u) << text;
        host.Call(filterSelectorFinish);
        EXPECT_EQ(host.Data(), 0);
    }
}
#endif
