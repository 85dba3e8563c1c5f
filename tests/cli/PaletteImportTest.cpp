#include <gtest/gtest.h>

#include <fstream>
#include <stdexcept>

#include "cli/PaletteImport.h"
#include "common/hcprefs.h"
#include "cvcode2/CvFile.h"
#include "cvcode2/CvString.h"
#include "tests/support/TestPaths.h"

TEST(PaletteImport, ImportedPaletteComesFirstInAPrivatePreferencesFile) {
    std::string dir = MakeScratchDir("palette-import");
    std::string act = dir + "/Web Safe.ACT";
    {
        std::ofstream out(act, std::ios::binary);
        for (int i = 0; i < 30; ++i) out.put(char(i * 7));  // ten colours: nine are kept
    }
    std::string prefs = dir + "/prefs";
    EXPECT_EQ(SeedPrefsWithPalette(act, true, prefs), "Web Safe.ACT");

    HcGlobals globals{};
    LoadPrefsFrom(globals, CvFileLocator((prefs + "/Corvane/Halcyne Prefs").c_str()));
    ASSERT_NE(globals.paletteList, nullptr);
    EXPECT_EQ(CvString(globals.paletteList->name), CvString("Web Safe.ACT"));
    EXPECT_EQ(globals.paletteList->count, 9u);
    EXPECT_EQ(globals.paletteList->colors[8][2], 26 * 7);
    EXPECT_EQ(CvString(globals.paletteList->next->name), CvString("Netscape"));
    FreePaletteList(globals.paletteList);
    FreeColorList(globals.colorList);

    EXPECT_THROW(SeedPrefsWithPalette(dir + "/missing.act", true, prefs), std::runtime_error);
    EXPECT_THROW(SeedPrefsWithPalette(act + ".txt", true, prefs), std::runtime_error);
}
