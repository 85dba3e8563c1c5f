// Fuzz entry for the preferences loader: any bytes as the preferences file. Whatever loads (the file's
// content or the defaults) must save and load back unchanged; a difference aborts.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "common/HcGlobals.h"
#include "common/hcprefs.h"
#include "cvcode2/CvErrorCode.h"
#include "cvcode2/CvFile.h"
#include "tests/fuzz/FuzzInput.h"

namespace {

bool SameLists(const HcGlobals& a, const HcGlobals& b) {
    const HcColorEntry *ca = a.colorList, *cb = b.colorList;
    for (; ca && cb; ca = ca->next, cb = cb->next)
        if (std::memcmp(ca->name, cb->name, sizeof ca->name) || ca->red != cb->red || ca->green != cb->green ||
            ca->blue != cb->blue || ca->colorSpare != cb->colorSpare)
            return false;
    const HcPaletteEntry *pa = a.paletteList, *pb = b.paletteList;
    for (; pa && pb; pa = pa->next, pb = pb->next)
        if (std::memcmp(pa->name, pb->name, sizeof pa->name) || std::memcmp(pa->colors, pb->colors, sizeof pa->colors) ||
            pa->count != pb->count || pa->listIndex != pb->listIndex)
            return false;
    return !ca && !cb && !pa && !pb;
}

bool SameState(const HcGlobals& a, const HcGlobals& b) {
    return std::memcmp(&a.settings, &b.settings, sizeof a.settings) == 0 &&
           std::memcmp(a.paletteName, b.paletteName, sizeof a.paletteName) == 0 &&
           std::memcmp(a.basePaletteName, b.basePaletteName, sizeof a.basePaletteName) == 0 &&
           a.prefMode == b.prefMode && a.prefFlag1 == b.prefFlag1 && a.prefFlag2 == b.prefFlag2 &&
           a.prefFlag3 == b.prefFlag3 &&
           std::memcmp(&a.quantDialogRect, &b.quantDialogRect, sizeof a.quantDialogRect) == 0 &&
           std::memcmp(&a.optionsDialogRect, &b.optionsDialogRect, sizeof a.optionsDialogRect) == 0 && SameLists(a, b);
}

void FreeLists(HcGlobals& globals) {
    FreePaletteList(globals.paletteList);
    FreeColorList(globals.colorList);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    CvFileLocator input(WriteFuzzFile("prefs", data, size).c_str());
    CvFileLocator again(WriteFuzzFile("prefs-again", nullptr, 0).c_str());
    HcGlobals loaded{};
    HcGlobals reloaded{};
    LoadPrefsFrom(loaded, input);
    SavePrefsTo(loaded, again);
    LoadPrefsFrom(reloaded, again);
    if (!SameState(loaded, reloaded)) std::abort();
    FreeLists(loaded);
    FreeLists(reloaded);
    return 0;
}
