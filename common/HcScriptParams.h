// The settings exchanged with the host's scripting system: the keys of the scripting dictionary, reading a
// recorded descriptor into the settings and recording the settings used. Keys and codes never change once shipped.
#pragma once

#include "common/HcGlobals.h"
#include "hostapi/FilterHost.h"

// The parameter keys, in the order of the module's scripting dictionary (tools/mkresources.py writes the same).
constexpr DescriptorKeyID keyColors = MakeOSType("Dpth");
constexpr DescriptorKeyID keyPalette = MakeOSType("Plt ");
constexpr DescriptorKeyID keyInterlaced = MakeOSType("Intr");
constexpr DescriptorKeyID keyBasePalette = MakeOSType("bpal");
constexpr DescriptorKeyID keyTransparency = MakeOSType("tran");
constexpr DescriptorKeyID keyTransIndex = MakeOSType("itrn");
constexpr DescriptorKeyID keyTransAlpha = MakeOSType("A   ");
constexpr DescriptorKeyID keyDithering = MakeOSType("Dthr");
constexpr DescriptorKeyID keyBGColor = MakeOSType("BgCl");
constexpr DescriptorKeyID keyBGRed = MakeOSType("R   ");
constexpr DescriptorKeyID keyBGGreen = MakeOSType("G   ");
constexpr DescriptorKeyID keyBGBlue = MakeOSType("B   ");
constexpr DescriptorKeyID keyComment = MakeOSType("comm");
// Added after the first thirteen: recorded only when not 0, and 0 when a recording lacks it.
constexpr DescriptorKeyID keyLossy = MakeOSType("Lssy");
constexpr int kScriptKeyCount = 14;
constexpr DescriptorKeyID kScriptKeys[kScriptKeyCount] = {
    keyColors,    keyPalette, keyInterlaced, keyBasePalette, keyTransparency, keyTransIndex, keyTransAlpha,
    keyDithering, keyBGColor, keyBGRed,      keyBGGreen,     keyBGBlue,       keyComment,    keyLossy};

// The enumeration of the "Transparency" parameter and its three values.
constexpr DescType typeTransparency = MakeOSType("Cvtn");
constexpr DescType enumTransNone = MakeOSType("none");
constexpr DescType enumTransIndexed = MakeOSType("indx");
constexpr DescType enumTransAlpha = MakeOSType("alph");

// Loads the recorded parameters of FilterRecord.descriptorParameters into the settings. Returns whether the
// dialogs are to be shown: always without a recording or when no reader opens, else when playInfo asks for them.
bool ReadScriptParams(HcCallRecord& record);

// Records the settings as a new descriptor in FilterRecord.descriptorParameters, replacing the old one.
void WriteScriptParams(HcCallRecord& record);
