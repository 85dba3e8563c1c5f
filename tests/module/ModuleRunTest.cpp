// The real module, loaded as a host loads it, driven through whole runs.
#include <gtest/gtest.h>

#include <string>

#include "hostsim/HostSimulator.h"
#include "hostsim/ModuleLoader.h"
#include "tests/support/HostLayers.h"
#include "tests/support/InProcessHost.h"

#if defined(_WIN32)
#include "tests/win/support/BenchModal.h"
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
// About shows the module's own dialog, an unknown selector the alert box; each is closed as a person pressing OK
// would, and the run ends.
TEST(ModuleRunWindows, AboutAndAnUnknownSelectorShowModalBoxes) {
    const struct {
        const wchar_t *caption, *text;
        int16_t selector, result;
    } cases[] = {{L"About Halcyne", L"Halcyne 4.0", filterSelectorAbout, 0},
                 {L"ALERT", L"Error executing Halcyne (1)", 9, 1}};
    for (const auto& c : cases) {
        ModuleLoader module(ModulePath());
        SimOptions options = PrivatePrefs();
        options.answerBoxes = false;
        HostSimulator host(module.Entry(), module.SetEmbedHost(), options);
        BenchAnswerBox box(c.caption, IDOK);
        EXPECT_EQ(c.selector == filterSelectorAbout ? host.About() : host.Call(c.selector), c.result);
        EXPECT_EQ(box.Texts().rfind(c.text, 0), 0u) << std::string(box.Texts().begin(), box.Texts().end());
        host.Call(filterSelectorFinish);
        EXPECT_EQ(host.Data(), 0);
    }
}
#endif
