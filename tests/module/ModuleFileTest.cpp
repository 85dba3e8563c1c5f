// The Windows module file as a host sees it: exports, imports, property list and other resources.
// Under Windows the test inspects the module beside it; natively it inspects the cross-built modules
// named by HALCYNE_WIN32_MODULE and HALCYNE_WIN64_MODULE.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <string>
#include <vector>

#include "tests/support/PeFile.h"
#include "tests/support/TestPaths.h"

namespace {

std::string Lower(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return char(std::tolower(c)); });
    return text;
}

}  // namespace

TEST(ModuleFile, EveryBuiltModuleIsAHostLoadableFilter) {
    std::vector<std::string> modules = WindowsModules(HC_MODULE_FILE);
    if (modules.empty()) GTEST_SKIP() << "no cross-built module named";
    for (const std::string& path : modules) {
        SCOPED_TRACE(path);
        PeFile module(ReadFileBytes(path));

        const auto& exports = module.Exports();
        EXPECT_NE(std::find(exports.begin(), exports.end(), "ENTRYPOINT"), exports.end());

        // Only the system's own DLLs: a host machine has nothing else.
        const std::vector<std::string> system = {"kernel32.dll", "user32.dll",  "gdi32.dll",  "comdlg32.dll",
                                                 "comctl32.dll", "shell32.dll", "msvcrt.dll", "advapi32.dll",
                                                 "ole32.dll",    "shlwapi.dll"};
        for (const std::string& import : module.Imports())
            EXPECT_NE(std::find(system.begin(), system.end(), Lower(import)), system.end()) << import;

        // The property list: kind 8BFM, name "Halcyne...", category "Corvane Web Tools", version 4.0, the
        // ENTRYPOINT under this architecture's key, mode flags, the enable expression, the scripting key crv1 and
        // the seven-case filter flags; pinned as checked property by property against a host's reading.
        const std::string pipl = module.Resource("PIPL", 16000);
        ExpectGolden(module.Is64Bit() ? "module/property-list-x86_64" : "module/property-list-i686", pipl);

        EXPECT_TRUE(module.HasResource(16, 1)) << "version resource";
        EXPECT_TRUE(module.HasResource(5, 100)) << "About dialog";
        for (int cursor : {300, 109, 332, 301, 335})
            EXPECT_TRUE(module.HasResource(12, cursor)) << "tool cursor " << cursor;
    }
}
