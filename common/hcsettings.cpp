// Defaults of the settings, the three built-in palettes, palette lookup by name and the depth list.
// A fresh installation starts from exactly these values; the built-in palettes are part of the product.
#include "common/hcsettings.h"

#include <cstring>
#include <new>
#include <string>
#include <utility>

#include "common/HcGlobals.h"
#include "cvcode2/CvErrorCode.h"
#include "cvcode2/CvString.h"

const char kPaletteCustom[] = "Custom";
const char kPaletteNone[] = "None";
const char kPaletteFine[] = "Fine";

const HcDepthChoice kDepthChoices[kDepthChoiceCount] = {
    {"8-bit (max 256 colors)", 256}, {"7-bit (max 128 colors)", 128}, {"6-bit (max 64 colors)", 64},
    {"5-bit (max 32 colors)", 32},   {"4-bit (max 16 colors)", 16},   {"3-bit (max 8 colors)", 8},
    {"2-bit (max 4 colors)", 4},     {"Black and White", 2},
};

namespace {

// The "System" palette as 256 red, green, blue triples in hexadecimal.
const char kSystemPaletteHex[] =
    "ffffffffffccffff99ffff66ffff33ffff00ffccffffccccffcc99ffcc66ffcc33ffcc00ff99ffff99ccff9999ff9966"
    "ff9933ff9900ff66ffff66ccff6699ff6666ff6633ff6600ff33ffff33ccff3399ff3366ff3333ff3300ff00ffff00cc"
    "ff0099ff0066ff0033ff0000ccffffccffccccff99ccff66ccff33ccff00ccccffcccccccccc99cccc66cccc33cccc00"
    "cc99ffcc99cccc9999cc9966cc9933cc9900cc66ffcc66cccc6699cc6666cc6633cc6600cc33ffcc33cccc3399cc3366"
    "cc3333cc3300cc00ffcc00cccc0099cc0066cc0033cc000099ffff99ffcc99ff9999ff6699ff3399ff0099ccff99cccc"
    "99cc9999cc6699cc3399cc009999ff9999cc9999999999669999339999009966ff9966cc996699996666996633996600"
    "9933ff9933cc9933999933669933339933009900ff9900cc99009999006699003399000066ffff66ffcc66ff9966ff66"
    "66ff3366ff0066ccff66cccc66cc9966cc6666cc3366cc006699ff6699cc6699996699666699336699006666ff6666cc"
    "6666976666666666336666006633ff6633cc6633976633666633336633006600ff6600cc660097660066660033660000"
    "33ffff33ffcc33ff9733ff6633ff3333ff0033ccff33cccc33cc9933cc6633cc3333cc003399ff3399cc339999339966"
    "3399333399003366ff3366cc3366993366663366333366003333ff3333cc3333993333663333333333003300ff3300cc"
    "33009933006633003333000000ffff00ffcc00ff9900ff6600ff3300ff0000ccff00cccc00cc9900cc6600cc3300cc00"
    "0099ff0099cc0099990099660099330099000066ff0066cc0066990066660066330066000033ff0033cc003399003366"
    "0033330033000000ff0000cc000099000066000033ee0000dd0000bb0000aa0000880000770000550000440000220000"
    "11000000ee0000dd0000bb0000aa000088000077000055000044000022000011000000ee0000dd0000bb0000aa000088"
    "000077000055000044000022000011eeeeeeddddddbbbbbbaaaaaa888888777777555555444444222222111111000000";

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return 0;
}

void FillNetscape(HcPaletteEntry& entry) {
    std::memset(entry.colors, 255, sizeof entry.colors);
    for (int i = 0; i < 216; ++i) {
        entry.colors[i][0] = uint8_t(51 * (i / 36));
        entry.colors[i][1] = uint8_t(51 * (i / 6 % 6));
        entry.colors[i][2] = uint8_t(51 * (i % 6));
    }
}

void FillGrayscale(HcPaletteEntry& entry) {
    for (int i = 0; i < 256; ++i) std::memset(entry.colors[i], 255 - i, 3);
}

void FillSystem(HcPaletteEntry& entry) {
    uint8_t* bytes = &entry.colors[0][0];
    for (size_t i = 0; i < sizeof entry.colors; ++i)
        bytes[i] = uint8_t(HexDigit(kSystemPaletteHex[2 * i]) << 4 | HexDigit(kSystemPaletteHex[2 * i + 1]));
}

HcPaletteEntry* NewBuiltIn(const char* name, uint16_t listIndex, void (*fill)(HcPaletteEntry&)) {
    HcPaletteEntry* entry = NewPaletteEntry();
    CvPStrFromC(entry->name, name);
    entry->count = 256;
    entry->listIndex = listIndex;
    fill(*entry);
    return entry;
}

}  // namespace

HcPaletteEntry* NewPaletteEntry() {
    HcPaletteEntry* entry = CvAllocated(new (std::nothrow) HcPaletteEntry());
    return entry;
}

HcColorEntry* NewColorEntry() {
    HcColorEntry* entry = CvAllocated(new (std::nothrow) HcColorEntry());
    return entry;
}

void FreePaletteList(HcPaletteEntry*& head) {
    while (head) delete std::exchange(head, head->next);
}

void FreeColorList(HcColorEntry*& head) {
    while (head) delete std::exchange(head, head->next);
}

void SetDefaults(HcGlobals& globals) {
    HcSettings& settings = globals.settings;
    std::memset(&settings, 0, sizeof settings);
    settings.headerFlag = 1;
    settings.headerWord = 1;
    settings.colors = 256;
    settings.transparencyType = TransparencyType::none;
    std::memset(settings.bgColor, 128, sizeof settings.bgColor);

    FreeColorList(globals.colorList);
    FreePaletteList(globals.paletteList);
    // Link as they are built, so a failure part way leaves a list the run end frees.
    HcPaletteEntry** link = &globals.paletteList;
    *link = NewBuiltIn("Netscape", 3, FillNetscape);
    link = &(*link)->next;
    *link = NewBuiltIn("Grayscale", 4, FillGrayscale);
    link = &(*link)->next;
    *link = NewBuiltIn("System", 5, FillSystem);

    std::memset(globals.paletteName, 0, sizeof globals.paletteName);
    std::memset(globals.basePaletteName, 0, sizeof globals.basePaletteName);
    CvPStrFromC(globals.paletteName, kPaletteCustom);
    CvPStrFromC(globals.basePaletteName, kPaletteNone);
    globals.prefFlag1 = globals.prefFlag2 = globals.prefFlag3 = 1;
    globals.prefMode = 0;
    globals.quantDialogRect = HcDialogRect{};
    globals.optionsDialogRect = HcDialogRect{};
}

const HcPaletteEntry* FindPalette(const HcGlobals& globals, const unsigned char* name) {
    for (const HcPaletteEntry* entry = globals.paletteList; entry; entry = entry->next)
        if (entry->name[0] == name[0] && std::memcmp(entry->name + 1, name + 1, name[0]) == 0) return entry;
    return nullptr;
}

bool IsReservedPaletteName(const unsigned char* name) {
    const std::string text = CvPStrText(name);
    return text == kPaletteNone || text == kPaletteCustom || text == kPaletteFine;
}

void UnreservePaletteName(HcStr255& name) {
    if (IsReservedPaletteName(name)) CvPStrFromC(name, (CvPStrText(name) + " (saved)").c_str());
}

void RenameReservedPalettes(HcPaletteEntry* list) {
    for (HcPaletteEntry* entry = list; entry; entry = entry->next) UnreservePaletteName(entry->name);
}

int DepthPositionForColors(uint32_t colors) {
    if (colors == 0) return 0;
    int position = 0;
    for (int i = 1; i < kDepthChoiceCount; ++i)
        if (colors <= kDepthChoices[i].colors) position = i;
    return position;
}
