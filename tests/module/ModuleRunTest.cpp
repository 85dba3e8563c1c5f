// The real Windows module, loaded as a host loads it, showing its modal boxes. (The native module's whole runs are
// the command's, which loads it the same way: tests/data/transcripts/cli/command-runs.txt.)
#include <gtest/gtest.h>

#if defined(_WIN32)
#include <string>

#include "hostsim/HostSimulator.h"
#include "hostsim/ModuleLoader.h"
#include "tests/support/InProcessHost.h"
#include "tests/support/TestPaths.h"
#include "tests/win/support/BenchModal.h"

// About shows the module's own dialog, an unknown selector the alert box; each is closed as a person pressing OK
// would, and the run ends.
TEST(ModuleRunWindows, AboutAndAnUnknownSelectorShowModalBoxes) {
    const struct {
        const wchar_t *caption, *text;
        int16_t selector, result;
    } cases[] = {{L"About Halcyne", L"Halcyne 4.0", filterSelectorAbout, 0},
                 {L"ALERT", L"Error executing Halcyne (1)", 9, 1}};
    for (const auto& c : cases) {
        ModuleLoader module(ExecutableDir() + "/" HC_MODULE_FILE);
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
