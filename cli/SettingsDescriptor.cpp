// Flag values become scripting keys exactly as the plug-in records them, so a replay sets the same fields.
// Every setting is recorded, a flag not given with its default, so nothing an earlier run stored reaches the file.
#include "cli/SettingsDescriptor.h"

#include "common/HcScriptParams.h"
#include "common/hcsettings.h"

namespace {

// The settings record's defaults, which a flag not given takes.
constexpr int kDefaultColors = 256;
constexpr int kDefaultDither = 0;
const std::vector<int> kDefaultBackground = {128, 128, 128};

void AddTransparency(const HalcyneOptions& options, bool inputHasAlpha, std::vector<SimDescriptorItem>& items) {
    TransparencyChoice choice = options.transparency;
    if (choice == TransparencyChoice::FromInput)
        choice = inputHasAlpha ? TransparencyChoice::Alpha : TransparencyChoice::None;
    switch (choice) {
        case TransparencyChoice::Alpha:
            items.push_back(SimDescriptorItem::Enumerated(keyTransparency, typeTransparency, enumTransAlpha));
            items.push_back(SimDescriptorItem::Integer(keyTransAlpha, options.alphaPlane));
            break;
        case TransparencyChoice::Indexed:
            items.push_back(SimDescriptorItem::Enumerated(keyTransparency, typeTransparency, enumTransIndexed));
            for (int index : options.transparentIndexes)
                items.push_back(SimDescriptorItem::Integer(keyTransIndex, index));
            break;
        default:
            items.push_back(SimDescriptorItem::Enumerated(keyTransparency, typeTransparency, enumTransNone));
            break;
    }
}

// The flags with their defaults filled in, unless the stored settings are to supply what is missing.
HalcyneOptions WithDefaults(HalcyneOptions options) {
    if (options.lastSettings) return options;
    if (!options.colors) options.colors = kDefaultColors;
    if (!options.dither) options.dither = kDefaultDither;
    if (!options.palette) options.palette = kPaletteFine;
    if (!options.interlaced) options.interlaced = false;
    if (!options.backgroundName && !options.backgroundRgb) options.backgroundRgb = kDefaultBackground;
    if (!options.comment) options.comment = std::string();
    return options;
}

}  // namespace

std::vector<SimDescriptorItem> SettingsDescriptor(const HalcyneOptions& given, bool inputHasAlpha) {
    const HalcyneOptions options = WithDefaults(given);
    std::vector<SimDescriptorItem> items;
    if (options.colors) items.push_back(SimDescriptorItem::Integer(keyColors, *options.colors));
    if (options.palette) items.push_back(SimDescriptorItem::Text(keyPalette, *options.palette));
    if (options.interlaced) items.push_back(SimDescriptorItem::Bool(keyInterlaced, *options.interlaced));
    items.push_back(SimDescriptorItem::Text(keyBasePalette, options.basePalette.value_or(kPaletteNone)));
    AddTransparency(options, inputHasAlpha, items);
    if (options.dither) items.push_back(SimDescriptorItem::Integer(keyDithering, *options.dither));
    // A recording without the key means no lossy coding, as the plug-in records it.
    if (options.lossy.value_or(0) != 0) items.push_back(SimDescriptorItem::Integer(keyLossy, *options.lossy));
    if (options.backgroundName) items.push_back(SimDescriptorItem::Text(keyBGColor, *options.backgroundName));
    if (options.backgroundRgb) {
        const std::vector<int>& rgb = *options.backgroundRgb;
        items.push_back(SimDescriptorItem::Integer(keyBGRed, rgb[0]));
        items.push_back(SimDescriptorItem::Integer(keyBGGreen, rgb[1]));
        items.push_back(SimDescriptorItem::Integer(keyBGBlue, rgb[2]));
    }
    if (options.comment) items.push_back(SimDescriptorItem::Text(keyComment, *options.comment));
    return items;
}
