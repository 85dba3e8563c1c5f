// The scripting dictionary inside the Windows module: its exact bytes are pinned, and the keys and enumeration
// codes the plug-in reads and records must be the ones it lists, in the plug-in's order.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/HcScriptParams.h"
#include "tests/support/PeFile.h"
#include "tests/support/TestPaths.h"

namespace {
// A four-character code as the dictionary stores it: a little-endian integer.
std::string Stored(uint32_t code) {
    return {char(code), char(code >> 8), char(code >> 16), char(code >> 24)};
}
}  // namespace

TEST(ModuleTerminology, DictionaryIsTheCheckedOneAndListsThePluginsKeys) {
    std::vector<std::string> modules = WindowsModules(HC_MODULE_FILE);
    if (modules.empty()) GTEST_SKIP() << "no cross-built module named";
    for (const std::string& path : modules) {
        SCOPED_TRACE(path);
        const std::string aete = PeFile(ReadFileBytes(path)).Resource("AETE", 16000);
        // One suite "Corvane", one event "Halcyne" with the fourteen parameters and the transparency enumeration,
        // as checked field by field against a host's reading when it was made.
        ExpectGolden("module/terminology", aete);
        size_t at = 0;
        for (uint32_t key : kScriptKeys) {
            at = aete.find(Stored(key), at);
            ASSERT_NE(at, std::string::npos) << Stored(key) << ": the plug-in uses a key the dictionary lacks";
        }
        for (uint32_t code : {typeTransparency, enumTransNone, enumTransIndexed, enumTransAlpha}) {
            at = aete.find(Stored(code), at);
            ASSERT_NE(at, std::string::npos) << Stored(code);
        }
    }
}
