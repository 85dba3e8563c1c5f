// The settings record, the saved-palette and saved-colour nodes, the built-in palettes and the depth list.
// Field order and widths match the preferences file, which stores them field by field.
#pragma once

#include <cstdint>

struct HcGlobals;

typedef unsigned char HcStr255[256];

enum class TransparencyType : uint32_t { alpha = 0, indexed = 1, none = 2 };

struct HcSettings {
    uint32_t headerFlag;
    uint16_t headerWord;
    uint16_t colors;
    uint8_t lossy;  // 0 (every index coded exactly) to 100: how far the GIF coding may stray to save bytes
    uint8_t spareByte2;
    uint8_t spareByte3;
    uint8_t interlaced;
    uint8_t bgColor[3];
    HcStr255 comment;
    uint8_t pad1;
    TransparencyType transparencyType;
    uint16_t transAlphaIndex;
    uint8_t transIndexes[256];
    uint8_t dither;
    uint8_t pad2;
};

struct HcPaletteEntry {
    HcPaletteEntry* next;
    HcStr255 name;
    uint8_t colors[256][3];
    uint32_t count;
    uint16_t listIndex;
    uint8_t pad[2];
};

struct HcColorEntry {
    HcColorEntry* next;
    HcStr255 name;
    uint8_t red;
    uint8_t green;
    uint8_t blue;
    uint8_t pad;
    uint32_t colorSpare;
};

extern const char kPaletteCustom[];  // "Custom": adaptive palette, or base colours found by the reduction
extern const char kPaletteNone[];    // "None": no base palette
extern const char kPaletteFine[];    // "Fine": adaptive palette from full colours, pixels mapped to their nearest entry

// True for a name the palette and base boxes give a meaning of their own ("None", "Custom", "Fine"); a saved
// palette of such a name could never be chosen by it.
bool IsReservedPaletteName(const unsigned char* name);
// Gives a reserved name the suffix " (saved)", so that the palette it names stays choosable; others stay as they are.
void UnreservePaletteName(HcStr255& name);
// Gives every saved palette whose name is reserved the suffix " (saved)".
void RenameReservedPalettes(HcPaletteEntry* list);

// Fills the settings and the settings fields of the run data with their defaults and builds the built-in palettes.
// Frees any saved lists the run data held. Raises out-of-memory when an entry cannot be allocated.
void SetDefaults(HcGlobals& globals);

// The first saved palette whose name equals `name` (length-prefixed, compared byte for byte), or null.
const HcPaletteEntry* FindPalette(const HcGlobals& globals, const unsigned char* name);

// New zero-filled list nodes; they raise out-of-memory instead of returning null.
HcPaletteEntry* NewPaletteEntry();
HcColorEntry* NewColorEntry();
void FreePaletteList(HcPaletteEntry*& head);
void FreeColorList(HcColorEntry*& head);

struct HcDepthChoice {
    const char* label;
    uint16_t colors;
};
constexpr int kDepthChoiceCount = 8;
extern const HcDepthChoice kDepthChoices[kDepthChoiceCount];
// The position of the smallest depth that holds `colors` colours (0 for 0).
int DepthPositionForColors(uint32_t colors);
