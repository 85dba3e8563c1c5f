// Reading and recording the scripting parameters through the host's descriptor procedures.
// A value is stored only when the host delivers it (negative results are errors), and numbers are pinned here too.
#include "common/HcScriptParams.h"

#include <algorithm>
#include <cstring>
#include <iterator>

#include "common/hcmain.h"
#include "cvcode2/CvList.h"
#include "cvcode2/CvLzwLossy.h"
#include "cvcode2/CvString.h"

namespace {

// The keys announced to the reader, zero-terminated. The host may overwrite entries, so each read takes a copy.
const DescriptorKeyID kReadKeys[] = {keyPalette,    keyColors,     keyBasePalette, keyDithering, keyTransparency,
                                     keyTransIndex, keyInterlaced, keyTransAlpha,  keyBGRed,     keyBGGreen,
                                     keyBGBlue,     keyComment,    keyBGColor,     keyLossy,     0};

// Negative results are errors; positive ones are warnings such as coercedParamErr for a pinned value.
bool Delivered(OSErr result) {
    return result >= 0;
}

bool IsNone(const unsigned char* name) {
    unsigned char none[256];
    CvPStrFromC(none, kPaletteNone);
    return CvPStrCompare(name, none) == 0;
}

const HcColorEntry* FindColorByName(const HcGlobals& globals, const unsigned char* name) {
    for (const HcColorEntry* entry = globals.colorList; entry; entry = entry->next)
        if (CvPStrCompare(entry->name, name) == 0) return entry;
    return nullptr;
}

const HcColorEntry* FindColorByValue(const HcGlobals& globals, const uint8_t* rgb) {
    for (const HcColorEntry* entry = globals.colorList; entry; entry = entry->next)
        if (entry->red == rgb[0] && entry->green == rgb[1] && entry->blue == rgb[2]) return entry;
    return nullptr;
}

// The highest alpha plane index a recording may name: the number of extra planes, kept within the field.
int32_t TransAlphaLimit(const HcGlobals& globals) {
    uint32_t planes = globals.extraPlanes ? globals.extraPlanes->Count() : 0;
    return int32_t(std::min<uint32_t>(planes, UINT16_MAX));
}

// One open reader and the host's procedures for it.
struct DescriptorReader {
    const ReadDescriptorProcs& procs;
    PIReadDescriptor reader;

    // Pinned again after the host pinned it: a careless host must not move an index out of range.
    template <typename Field>
    bool Pinned(int32_t low, int32_t high, Field& field) const {
        int32_t value = low;
        if (!Delivered(procs.getPinnedIntegerProc(reader, low, high, &value))) return false;
        field = Field(std::clamp(value, low, high));
        return true;
    }

    // The whole Str255 is replaced, so no characters of an older, longer value stay behind.
    bool String(unsigned char* field) const {
        Str255 text{};
        if (!Delivered(procs.getStringProc(reader, &text))) return false;
        std::memcpy(field, text, sizeof text);
        return true;
    }
};

void ReadTransparency(const DescriptorReader& in, HcSettings& settings) {
    DescType value = 0;
    if (!Delivered(in.procs.getEnumeratedProc(in.reader, &value))) return;
    switch (value) {
        case enumTransAlpha: settings.transparencyType = TransparencyType::alpha; break;
        case enumTransIndexed: settings.transparencyType = TransparencyType::indexed; break;
        case enumTransNone: settings.transparencyType = TransparencyType::none; break;
        default: break;  // a value this version does not know keeps the current type
    }
}

void ReadBackgroundName(const DescriptorReader& in, const HcGlobals& globals, HcSettings& settings) {
    Str255 name{};
    if (!in.String(name)) return;
    if (const HcColorEntry* entry = FindColorByName(globals, name)) {
        settings.bgColor[0] = entry->red;
        settings.bgColor[1] = entry->green;
        settings.bgColor[2] = entry->blue;
    }
}

void ReadKey(const DescriptorReader& in, DescriptorKeyID key, HcGlobals& globals) {
    HcSettings& settings = *globals.settingsPtr;
    uint8_t index = 0;
    Boolean interlaced = 0;
    switch (key) {
        case keyColors: in.Pinned(2, 256, settings.colors); break;
        case keyDithering: in.Pinned(0, 16, settings.dither); break;
        case keyLossy: in.Pinned(0, kCvLossyMax, settings.lossy); break;
        case keyTransAlpha: in.Pinned(0, TransAlphaLimit(globals), settings.transAlphaIndex); break;
        case keyBGRed: in.Pinned(0, 255, settings.bgColor[0]); break;
        case keyBGGreen: in.Pinned(0, 255, settings.bgColor[1]); break;
        case keyBGBlue: in.Pinned(0, 255, settings.bgColor[2]); break;
        case keyTransIndex:
            if (in.Pinned(0, 255, index)) settings.transIndexes[index] = 1;
            break;
        case keyInterlaced:
            if (Delivered(in.procs.getBooleanProc(in.reader, &interlaced))) settings.interlaced = interlaced ? 1 : 0;
            break;
        case keyPalette: in.String(globals.paletteName); break;
        case keyBasePalette: in.String(globals.basePaletteName); break;
        case keyComment: in.String(settings.comment); break;
        case keyTransparency: ReadTransparency(in, settings); break;
        case keyBGColor: ReadBackgroundName(in, globals, settings); break;
        default: break;  // keys of other versions are skipped
    }
}

void PutTransparency(const HcSettings& settings, const WriteDescriptorProcs& procs, PIWriteDescriptor writer) {
    switch (settings.transparencyType) {
        case TransparencyType::alpha:
            procs.putEnumeratedProc(writer, keyTransparency, typeTransparency, enumTransAlpha);
            procs.putIntegerProc(writer, keyTransAlpha, settings.transAlphaIndex);
            break;
        case TransparencyType::indexed:
            procs.putEnumeratedProc(writer, keyTransparency, typeTransparency, enumTransIndexed);
            for (int32_t index = 0; index < 256; ++index)
                if (settings.transIndexes[index]) procs.putIntegerProc(writer, keyTransIndex, index);
            break;
        case TransparencyType::none:
            procs.putEnumeratedProc(writer, keyTransparency, typeTransparency, enumTransNone);
            break;
    }
}

// A saved colour is recorded by name, so a replay follows later edits of that colour.
void PutBackground(const HcGlobals& globals, const WriteDescriptorProcs& procs, PIWriteDescriptor writer) {
    const uint8_t* rgb = globals.settingsPtr->bgColor;
    if (const HcColorEntry* entry = FindColorByValue(globals, rgb)) {
        procs.putStringProc(writer, keyBGColor, entry->name);
        return;
    }
    procs.putIntegerProc(writer, keyBGRed, rgb[0]);
    procs.putIntegerProc(writer, keyBGGreen, rgb[1]);
    procs.putIntegerProc(writer, keyBGBlue, rgb[2]);
}

void PutSettings(const HcGlobals& globals, const WriteDescriptorProcs& procs, PIWriteDescriptor writer) {
    const HcSettings& settings = *globals.settingsPtr;
    procs.putIntegerProc(writer, keyColors, settings.colors);
    procs.putStringProc(writer, keyPalette, globals.paletteName);
    procs.putBooleanProc(writer, keyInterlaced, settings.interlaced != 0);
    if (!IsNone(globals.basePaletteName)) procs.putStringProc(writer, keyBasePalette, globals.basePaletteName);
    PutTransparency(settings, procs, writer);
    procs.putIntegerProc(writer, keyDithering, settings.dither);
    // Left out at 0, so a recording without lossy coding is the one earlier versions made and still read.
    if (settings.lossy != 0) procs.putIntegerProc(writer, keyLossy, settings.lossy);
    if (settings.transparencyType != TransparencyType::none) PutBackground(globals, procs, writer);
    if (settings.comment[0] != 0) procs.putStringProc(writer, keyComment, settings.comment);
}

// The old descriptor is the host's handle: only the host's own procedure may free it. A host without
// handle procedures keeps it; releasing it as one of the plug-in's handles would corrupt the host's memory.
void DisposeOldDescriptor(const HcGlobals& globals, const FilterRecord& filter, PIDescriptorParameters& parameters) {
    if (parameters.descriptor && globals.hostHasHandleProcs && filter.handleProcs && filter.handleProcs->disposeProc)
        filter.handleProcs->disposeProc(parameters.descriptor);
    parameters.descriptor = nullptr;
}

}  // namespace

bool ReadScriptParams(HcCallRecord& record) {
    const PIDescriptorParameters* parameters = FilterOf(record).descriptorParameters;
    if (!parameters || !parameters->descriptor || !parameters->readDescriptorProcs) return true;
    const ReadDescriptorProcs& procs = *parameters->readDescriptorProcs;
    DescriptorKeyID keys[std::size(kReadKeys)];
    std::copy(std::begin(kReadKeys), std::end(kReadKeys), keys);
    PIReadDescriptor reader = procs.openReadDescriptorProc(parameters->descriptor, keys);
    if (!reader) return true;

    HcGlobals& globals = record.runData;
    globals.basePaletteName[0] = 0;
    std::memset(globals.settingsPtr->transIndexes, 0, sizeof globals.settingsPtr->transIndexes);
    // A recording made before lossy coding existed writes the exact file it always wrote.
    globals.settingsPtr->lossy = 0;
    const DescriptorReader in{procs, reader};
    DescriptorKeyID key = 0;
    DescType type = 0;
    int32_t flags = 0;
    while (procs.getKeyProc(reader, &key, &type, &flags)) ReadKey(in, key, globals);
    procs.closeReadDescriptorProc(reader);

    if (globals.basePaletteName[0] == 0) CvPStrFromC(globals.basePaletteName, kPaletteNone);
    return parameters->playInfo == plugInDialogDisplay;
}

void WriteScriptParams(HcCallRecord& record) {
    FilterRecord& filter = FilterOf(record);
    PIDescriptorParameters* parameters = filter.descriptorParameters;
    if (!parameters || !parameters->writeDescriptorProcs) return;
    const WriteDescriptorProcs& procs = *parameters->writeDescriptorProcs;
    PIWriteDescriptor writer = procs.openWriteDescriptorProc();
    if (!writer) return;  // nothing can be recorded; the old recording stays as it is

    PutSettings(record.runData, procs, writer);
    DisposeOldDescriptor(record.runData, filter, *parameters);
    Handle descriptor = nullptr;
    procs.closeWriteDescriptorProc(writer, &descriptor);
    parameters->descriptor = descriptor;
    parameters->recordInfo = plugInDialogOptional;
}
