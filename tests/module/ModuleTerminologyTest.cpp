// The scripting dictionary inside the Windows module, read back as a host reads it, against the product's
// dictionary; its keys and enumeration codes must be the ones the plug-in reads and records.
#include <gtest/gtest.h>

#include <iterator>
#include <string>
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

void ExpectEvent(const TermEvent& event) {
    EXPECT_EQ(event.name, "Halcyne");
    EXPECT_EQ(event.description, "Corvane Halcyne");
    EXPECT_EQ(event.eventClass, "crv1");
    EXPECT_EQ(event.id, "crv1");
    EXPECT_EQ(event.replyType, "null");
    EXPECT_EQ(event.replyDescription, "");
    EXPECT_EQ(event.replyFlags, 0);
    EXPECT_EQ(event.directType, "#ImR");
    EXPECT_EQ(event.directDescription, "");
    EXPECT_EQ(event.directFlags, 0xB000);
    ASSERT_EQ(event.parameters.size(), std::size(kParameters));
    for (size_t i = 0; i < std::size(kParameters); ++i) {
        const TermParameter& parameter = event.parameters[i];
        SCOPED_TRACE(kParameters[i].name);
        EXPECT_EQ(parameter.name, kParameters[i].name);
        EXPECT_EQ(parameter.key, kParameters[i].key);
        EXPECT_EQ(parameter.key, FourCC(kScriptKeys[i])) << "the plug-in uses another key";
        EXPECT_EQ(parameter.type, kParameters[i].type);
        EXPECT_EQ(parameter.description, kParameters[i].description);
        EXPECT_EQ(parameter.flags, kParameters[i].flags);
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
        EXPECT_EQ(terminology.formatVersion, 1);
        EXPECT_EQ(terminology.major, 1);
        EXPECT_EQ(terminology.minor, 0);
        EXPECT_EQ(terminology.language, 0);
        EXPECT_EQ(terminology.script, 0);
        ASSERT_EQ(terminology.suites.size(), 1u);
        const TermSuite& suite = terminology.suites[0];
        EXPECT_EQ(suite.name, "Corvane");
        EXPECT_EQ(suite.description, "");
        EXPECT_EQ(suite.id, "crv1");
        EXPECT_EQ(suite.level, 1);
        EXPECT_EQ(suite.version, 1);
        EXPECT_EQ(suite.classCount, 0);
        EXPECT_EQ(suite.comparisonCount, 0);
        ASSERT_EQ(suite.events.size(), 1u);
        ExpectEvent(suite.events[0]);
        ASSERT_EQ(suite.enumerations.size(), 1u);
        ExpectEnumeration(suite.enumerations[0]);
    }
}
