// Reads an ACT or GIF palette and writes a preferences file with it through the plug-in's own preferences code,
// so the module reads it exactly as it reads the user's file.
#include "cli/PaletteImport.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <filesystem>
#include <memory>
#include <stdexcept>

#include "common/HcGlobals.h"
#include "common/hcprefs.h"
#include "cvcode2/CvErrorCode.h"
#include "cvcode2/CvLoadPalette.h"
#include "cvcode2/CvString.h"
#include "platform/HcEmbed.h"
#include "platform/Platform.h"

namespace {

std::unique_ptr<CvColorTable> LoadPaletteFile(const std::string& path) {
    std::string extension = std::filesystem::path(path).extension().string();
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char c) { return char(std::tolower(c)); });
    try {
        if (extension == ".act") return LoadACT(path);
        if (extension == ".gif") return LoadGIFPalette(path);
    } catch (const CvErrorCode& error) {
        throw std::runtime_error(path + ": could not load the palette (error " + std::to_string(error.code) + ")");
    }
    throw std::runtime_error(path + ": a palette file must be an .act or .gif file");
}

// The plug-in's preferences code, pointed at `folder` for the one call.
void SaveInto(HcCallRecord& record, const std::string& folder) {
    HcEmbedHost host{};
    host.version = HC_EMBED_VERSION;
    host.configFolder = folder.c_str();
    Platform::SetEmbedHost(&host);
    try {
        SavePrefs(record);
    } catch (...) {
        Platform::SetEmbedHost(nullptr);
        throw;
    }
    Platform::SetEmbedHost(nullptr);
}

}  // namespace

std::string SeedPrefsWithPalette(const std::string& paletteFile, bool startFromDefaults, const std::string& folder) {
    std::unique_ptr<CvColorTable> table = LoadPaletteFile(paletteFile);
    std::string name = std::filesystem::path(paletteFile).filename().string().substr(0, 255);
    std::filesystem::create_directories(folder);

    HcCallRecord record{};
    record.globals = &record.runData;
    record.runData.settingsPtr = &record.runData.settings;
    if (startFromDefaults) SetDefaults(record.runData);
    else LoadPrefs(record);

    HcPaletteEntry* entry = NewPaletteEntry();
    CvPStrFromC(entry->name, name.c_str());
    entry->count = std::min<uint32_t>(table->GetCount(), 256);
    if (entry->count) std::memcpy(entry->colors, table->Entries(), 3 * size_t(entry->count));
    entry->next = record.runData.paletteList;
    record.runData.paletteList = entry;  // first, so it wins over a saved palette of the same name

    try {
        SaveInto(record, folder);
    } catch (const CvErrorCode& error) {
        FreePaletteList(record.runData.paletteList);
        FreeColorList(record.runData.colorList);
        throw std::runtime_error("cannot prepare the palette (error " + std::to_string(error.code) + ")");
    }
    FreePaletteList(record.runData.paletteList);
    FreeColorList(record.runData.colorList);
    return name;
}
