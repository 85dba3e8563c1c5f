// The Windows module file as a host sees it: exports, imports, property list and other resources.
// Under Windows the test inspects the module beside it; natively it inspects the cross-built modules
// named by HALCYNE_WIN32_MODULE and HALCYNE_WIN64_MODULE.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <string>
#include <vector>

#include "tests/support/PeFile.h"
#include "tests/support/PluginResources.h"
#include "tests/support/TestPaths.h"

namespace {

std::string Lower(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return char(std::tolower(c)); });
    return text;
}

std::string Pascal(const std::string& data) { return data.substr(1, size_t(uint8_t(data[0]))); }

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
        const std::vector<std::string> system = {"kernel32.dll", "user32.dll",   "gdi32.dll",  "comdlg32.dll",
                                                 "comctl32.dll", "shell32.dll",  "msvcrt.dll", "advapi32.dll",
                                                 "ole32.dll",    "shlwapi.dll"};
        for (const std::string& import : module.Imports())
            EXPECT_NE(std::find(system.begin(), system.end(), Lower(import)), system.end()) << import;

        auto properties = ParsePropertyList(module.Resource("PIPL", 16000));
        std::vector<std::string> keys;
        for (const auto& property : properties) {
            EXPECT_EQ(property.vendor, "8BIM");
            keys.push_back(property.key);
        }
        std::string entryKey = module.Is64Bit() ? "8664" : "wx86";
        EXPECT_EQ(keys, (std::vector<std::string>{"kind", "name", "catg", "vers", entryKey, "mode", "enbl", "hstm",
                                                  "fici"}));
        EXPECT_EQ(FourCC(ReadLE32(FindProperty(properties, "kind")->data, 0)), "8BFM");
        EXPECT_EQ(Pascal(FindProperty(properties, "name")->data), "Halcyne...");
        EXPECT_EQ(Pascal(FindProperty(properties, "catg")->data), "Corvane Web Tools");
        EXPECT_EQ(ReadLE32(FindProperty(properties, "vers")->data, 0), 0x00040000u);
        EXPECT_STREQ(FindProperty(properties, entryKey)->data.c_str(), "ENTRYPOINT");
        EXPECT_EQ(FindProperty(properties, "mode")->data, std::string("\x50\0\0\0", 4));
        EXPECT_STREQ(FindProperty(properties, "enbl")->data.c_str(), "in( PSHOP_ImageMode, GrayScaleMode, RGBMode)");
        const std::string& hstm = FindProperty(properties, "hstm")->data;
        EXPECT_EQ(FourCC(ReadLE32(hstm, 4)), "crv1");
        EXPECT_EQ(FourCC(ReadLE32(hstm, 8)), "crv1");
        EXPECT_EQ(uint8_t(hstm[12]) | uint8_t(hstm[13]) << 8, 16000);
        EXPECT_STREQ(hstm.c_str() + 14, "Corvane Halcyne");
        const std::string& fici = FindProperty(properties, "fici")->data;
        ASSERT_EQ(fici.size(), 28u);
        const uint8_t flags[7] = {0x06, 0x0E, 0x0E, 0x06, 0x0E, 0x06, 0x0E};
        for (int c = 0; c < 7; ++c) {
            EXPECT_EQ(uint8_t(fici[c * 4]), 4) << "case " << c + 1;
            EXPECT_EQ(uint8_t(fici[c * 4 + 1]), 4) << "case " << c + 1;
            EXPECT_EQ(uint8_t(fici[c * 4 + 2]), flags[c]) << "case " << c + 1;
        }

        EXPECT_TRUE(module.HasResource(16, 1)) << "version resource";
        EXPECT_TRUE(module.HasResource(5, 100)) << "About dialog";
    }
}
