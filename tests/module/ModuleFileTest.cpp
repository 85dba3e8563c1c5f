// The Windows module file as a host sees it: exports, imports, property list, scripting dictionary and other
// resources, read by the MinGW toolchain's objdump. The test runs natively on the cross-built modules named by
// HALCYNE_WIN32_MODULE and HALCYNE_WIN64_MODULE, and on the release archive.
#include <gtest/gtest.h>

#if !defined(_WIN32)
#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <iterator>
#include <string>
#include <vector>

#include "common/HcScriptParams.h"
#include "tests/support/ModuleFacts.h"
#include "tests/support/TestPaths.h"

namespace {

// What a host needs of a module file: the entry point, only the system's own DLLs, the property list and the
// resources the dialogs use.
void ExpectHostLoadableFilter(const std::string& path) {
    SCOPED_TRACE(path);
    const ModuleFacts module = ReadModuleFacts(path);
    EXPECT_NE(std::find(module.exports.begin(), module.exports.end(), "ENTRYPOINT"), module.exports.end());

    // Only the system's own DLLs: a host machine has nothing else.
    const std::vector<std::string> system = {"kernel32.dll", "user32.dll",  "gdi32.dll",  "comdlg32.dll",
                                             "comctl32.dll", "shell32.dll", "msvcrt.dll", "advapi32.dll",
                                             "ole32.dll",    "shlwapi.dll"};
    for (std::string import : module.imports) {
        std::transform(import.begin(), import.end(), import.begin(),
                       [](unsigned char c) { return char(std::tolower(c)); });
        EXPECT_NE(std::find(system.begin(), system.end(), import), system.end()) << import;
    }

    // The property list: kind 8BFM, name "Halcyne...", category "Corvane Web Tools", version 4.0, the
    // ENTRYPOINT under this architecture's key, mode flags, the enable expression, the scripting key crv1 and
    // the seven-case filter flags; pinned as checked property by property against a host's reading.
    ExpectGolden(module.is64Bit ? "module/property-list-x86_64" : "module/property-list-i686",
                 module.resources.at({"PIPL", 16000}));

    // The scripting dictionary: one suite "Corvane", one event "Halcyne" with the fourteen parameters and the
    // transparency enumeration, as checked field by field against a host's reading when it was made. The keys and
    // enumeration codes the plug-in reads and records must be the ones it lists, in the plug-in's order.
    const std::string aete = module.resources.at({"AETE", 16000});
    ExpectGolden("module/terminology", aete);
    std::vector<uint32_t> codes(std::begin(kScriptKeys), std::end(kScriptKeys));
    codes.insert(codes.end(), {typeTransparency, enumTransNone, enumTransIndexed, enumTransAlpha});
    size_t at = 0;
    for (uint32_t code : codes) {
        const std::string stored = {char(code), char(code >> 8), char(code >> 16), char(code >> 24)};  // little-endian
        at = aete.find(stored, at);
        ASSERT_NE(at, std::string::npos) << stored << ": the plug-in uses a code the dictionary lacks";
    }

    EXPECT_TRUE(module.resources.count({"#16", 1})) << "version resource";
    EXPECT_TRUE(module.resources.count({"#5", 100})) << "About dialog";
    for (int cursor : {300, 109, 332, 301, 335})
        EXPECT_TRUE(module.resources.count({"#12", cursor})) << "tool cursor " << cursor;
}

}  // namespace

TEST(ModuleFile, EveryBuiltModuleIsAHostLoadableFilter) {
    bool named = false;
    for (const char* variable : {"HALCYNE_WIN32_MODULE", "HALCYNE_WIN64_MODULE"})
        if (const char* path = std::getenv(variable)) named = true, ExpectHostLoadableFilter(path);
    if (!named) GTEST_SKIP() << "no cross-built module named";
}

// The release archive named by HALCYNE_RELEASE_ARCHIVE (scripts/test.sh makes it): a host-loadable module for 32-
// and for 64-bit hosts in folders that say which, the command beside the 64-bit module, the note on installing,
// and the version in the archive's name the one the command reports.
TEST(ModuleFile, TheReleaseArchiveHoldsBothModulesTheCommandAndTheNote) {
    const char* archive = std::getenv("HALCYNE_RELEASE_ARCHIVE");
    if (!archive) GTEST_SKIP() << "HALCYNE_RELEASE_ARCHIVE names no archive";
    const std::string version = CommandOutput("'" + ExecutableDir() + "/halcyne' -V");
    ASSERT_EQ(version.rfind("halcyne ", 0), 0u) << version;
    const std::string number = version.substr(8, version.size() - 9);
    EXPECT_EQ(std::filesystem::path(archive).filename(), "Halcyne-" + number + "-windows.zip");
    const std::string dir = MakeScratchDir("archive");
    ASSERT_EQ(std::system(("cd '" + dir + "' && cmake -E tar xf '" + archive + "'").c_str()), 0);
    const std::string top = dir + "/Halcyne-" + number + "-windows";
    ASSERT_EQ(NamesInFolder(top, true),
              (std::vector<std::string>{"32-bit hosts/Halcyne.8bf", "64-bit hosts/Halcyne.8bf", "INSTALL.txt",
                                        "command/Halcyne.8bf", "command/halcyne.exe"}));
    for (const char* module : {"32-bit hosts/Halcyne.8bf", "64-bit hosts/Halcyne.8bf"})
        ExpectHostLoadableFilter(top + "/" + module);
    EXPECT_FALSE(ReadModuleFacts(top + "/32-bit hosts/Halcyne.8bf").is64Bit);
    EXPECT_TRUE(ReadModuleFacts(top + "/64-bit hosts/Halcyne.8bf").is64Bit);
    EXPECT_EQ(ReadFileBytes(top + "/command/Halcyne.8bf"), ReadFileBytes(top + "/64-bit hosts/Halcyne.8bf"));
    EXPECT_NE(ReadFileBytes(top + "/INSTALL.txt").find("Halcyne " + number), std::string::npos);
    // The command from the archive, under Wine in the 64-bit suite's prefix.
    const char* windowsBin = std::getenv("HALCYNE_WIN64_BIN");
    if (!windowsBin) return;
    EXPECT_EQ(CommandOutput("HALCYNE_WINEPREFIX='" + std::string(windowsBin) +
                            "/../wineprefix' '" HC_TEST_DATA_DIR "/../../scripts/wine-run.sh' '" + top +
                            "/command/halcyne.exe' -V | tr -d '\\r'"),
              version);
}
#endif
