// The scripting dictionary inside the Windows module, read back as a host reads it, against the product's
// dictionary; its keys and enumeration codes must be the ones the plug-in reads and records.
#include <gtest/gtest.h>

#include <array>
#include <iterator>
#include <string>
#include <tuple>
#include <vector>

#include "common/HcScriptParams.h"
#include "tests/support/PeFile.h"
#include "tests/support/PluginResources.h"
#include "tests/support/Terminology.h"
#include "tests/support/TestPaths.h"

namespace {

struct ExpectedParameter {
    const char* name;
    const char* key;
    const char* type;
    const char* description;
    uint16_t flags;
};

const ExpectedParameter kParameters[] = {
    {"Colors", "Dpth", "long", "Number of colors", 0},
    {"Palette", "Plt ", "TEXT", "Palette", 0},
    {"Interlaced", "Intr", "bool", "Interlaced", 0},
    {"BasePalette", "bpal", "TEXT", "Base Palette", 0},
    {"Transparency", "tran", "Cvtn", "Transparency Type", 0x2000},
    {"TransIndex", "itrn", "long", "Transparent Index", 0},
    {"TransAlpha", "A   ", "long", "Alpha Channel Index", 0},
    {"Dithering", "Dthr", "long", "Dither Amount", 0},
    {"BGColor", "BgCl", "TEXT", "Background Color Name", 0},
    {"BGRed", "R   ", "long", "Background Color Red", 0},
    {"BGGreen", "G   ", "long", "Background Color Green", 0},
    {"BGBlue", "B   ", "long", "Background Color Blue", 0},
    {"Comment", "comm", "TEXT", "GIF File Comment", 0},
};

void ExpectEvent(const TermEvent& e) {
    EXPECT_EQ(std::tie(e.name, e.description, e.eventClass, e.id, e.replyType, e.replyDescription, e.directType,
                       e.directDescription),
              std::make_tuple("Halcyne", "Corvane Halcyne", "crv1", "crv1", "null", "", "#ImR", ""));
    EXPECT_EQ(e.replyFlags, 0);
    EXPECT_EQ(e.directFlags, 0xB000);
    ASSERT_EQ(e.parameters.size(), std::size(kParameters));
    for (size_t i = 0; i < std::size(kParameters); ++i) {
        const TermParameter& got = e.parameters[i];
        const ExpectedParameter& want = kParameters[i];
        EXPECT_EQ(std::tie(got.name, got.key, got.type, got.description),
                  std::make_tuple(want.name, want.key, want.type, want.description));
        EXPECT_EQ(got.flags, want.flags) << want.name;
        EXPECT_EQ(got.key, FourCC(kScriptKeys[i])) << want.name << ": the plug-in uses another key";
    }
}

void ExpectEnumeration(const TermEnumeration& enumeration) {
    EXPECT_EQ(enumeration.id, "Cvtn");
    EXPECT_EQ(enumeration.id, FourCC(typeTransparency));
    ASSERT_EQ(enumeration.items.size(), 3u);
    const std::string names[] = {"none", "indexed", "alpha"};
    const DescType codes[] = {enumTransNone, enumTransIndexed, enumTransAlpha};
    const std::string descriptions[] = {"No transparency", "Transparency by index", "Trasparency by alpha index"};
    for (size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(enumeration.items[i].name, names[i]);
        EXPECT_EQ(enumeration.items[i].code, FourCC(codes[i]));
        EXPECT_EQ(enumeration.items[i].description, descriptions[i]);
    }
}

}  // namespace

TEST(ModuleTerminology, DictionaryHoldsOneEventWithTheThirteenParameters) {
    std::vector<std::string> modules = WindowsModules(HC_MODULE_FILE);
    if (modules.empty()) GTEST_SKIP() << "no cross-built module named";
    for (const std::string& path : modules) {
        SCOPED_TRACE(path);
        PeFile module(ReadFileBytes(path));
        Terminology terminology = ParseTerminology(module.Resource("AETE", 16000));
        const Terminology& t = terminology;
        EXPECT_EQ((std::array<int, 5>{t.formatVersion, t.major, t.minor, t.language, t.script}),
                  (std::array<int, 5>{1, 1, 0, 0, 0}));
        ASSERT_EQ(t.suites.size(), 1u);
        const TermSuite& suite = t.suites[0];
        EXPECT_EQ(std::tie(suite.name, suite.description, suite.id), std::make_tuple("Corvane", "", "crv1"));
        EXPECT_EQ((std::array<int, 4>{suite.level, suite.version, suite.classCount, suite.comparisonCount}),
                  (std::array<int, 4>{1, 1, 0, 0}));
        ASSERT_EQ(suite.events.size(), 1u);
        ExpectEvent(suite.events[0]);
        ASSERT_EQ(suite.enumerations.size(), 1u);
        ExpectEnumeration(suite.enumerations[0]);
    }
}
