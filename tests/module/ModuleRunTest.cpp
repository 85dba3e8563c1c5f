// The real module, loaded as a host loads it, driven through whole runs.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <string>
#include <thread>

#include "hostsim/HostSimulator.h"
#include "hostsim/ModuleLoader.h"
#include "tests/support/TestPaths.h"

#if defined(_WIN32)
#include <windows.h>
#endif

namespace {

std::string ModulePath() { return ExecutableDir() + "/" HC_MODULE_FILE; }

// Runs never read or write the user's own preferences.
SimOptions PrivatePrefs() {
    SimOptions options;
    options.configFolder = MakeScratchDir("module-prefs");
    return options;
}

SimImage GreyImage() {
    SimImage image;
    image.mode = plugInModeGrayScale;
    image.colorPlanes = 1;
    image.width = image.height = 4;
    image.planes.assign(1, std::vector<uint8_t>(16, 200));
    return image;
}

}  // namespace

TEST(ModuleRun, WholeRunWritesTheFileAndEndsWithTheSlotEmpty) {
    ModuleLoader module(ModulePath());
    SimOptions options = PrivatePrefs();
    options.savePath = MakeScratchDir("module-out") + "/grey.gif";
    HostSimulator host(module.Entry(), module.SetEmbedHost(), options);
    host.SetImage(GreyImage());
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

// Watches for a top-level window of this process with the given caption, reads its text and closes it
// as a person pressing OK would. Gives up after a bound so a stuck box fails the test instead of hanging.
class WindowCloser {
public:
    explicit WindowCloser(const char* caption) : caption_(caption), thread_([this] { Watch(); }) {}
    ~WindowCloser() { stop_ = true, thread_.join(); }
    bool Closed() const { return closed_; }
    std::string Text() const { return text_; }

private:
    void Watch() {
        for (int i = 0; i < 400 && !stop_; ++i) {
            HWND window = FindWindowA(nullptr, caption_.c_str());
            if (window && IsWindowVisible(window)) {
                char text[512] = {};
                EnumChildWindows(window, FirstStaticText, reinterpret_cast<LPARAM>(text));
                text_ = text;
                PostMessageA(window, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
                closed_ = true;
                return;
            }
            Sleep(50);
        }
    }
    std::string caption_;
    std::string text_;
    std::atomic<bool> stop_{false};
    std::atomic<bool> closed_{false};
    std::thread thread_;
};

SimOptions RealBoxes() {
    SimOptions options = PrivatePrefs();
    options.answerBoxes = false;
    return options;
}

}  // namespace

TEST(ModuleRunWindows, AboutShowsAModalDialogOwnedByTheHostWindow) {
    ModuleLoader module(ModulePath());
    HostSimulator host(module.Entry(), module.SetEmbedHost(), RealBoxes());
    WindowCloser closer("About Halcyne");
    EXPECT_EQ(host.About(), 0);
    EXPECT_TRUE(closer.Closed());
    EXPECT_NE(closer.Text().find("Halcyne 4.0"), std::string::npos) << closer.Text();
    EXPECT_EQ(host.Call(filterSelectorFinish), 0);
}

TEST(ModuleRunWindows, UnknownSelectorShowsTheAlertBox) {
    ModuleLoader module(ModulePath());
    HostSimulator host(module.Entry(), module.SetEmbedHost(), RealBoxes());
    WindowCloser closer("ALERT");
    EXPECT_EQ(host.Call(9), 1);
    EXPECT_TRUE(closer.Closed());
    EXPECT_EQ(closer.Text(), "Error executing Halcyne (1)");
    EXPECT_EQ(host.Data(), 0);
}
#endif
