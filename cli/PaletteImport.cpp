// Reads an ACT or GIF palette and writes a preferences file with it through the plug-in's own preferences code,
// so the module reads it exactly as it reads the user's file.
#include "cli/PaletteImport.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <memory>
#include <stdexcept>

#include "cli/FailureText.h"
#include "cli/Utf8Path.h"
#include "common/HcGlobals.h"
#include "common/Quantize.h"
#include "common/hcprefs.h"
#include "cvcode2/CvErrorCode.h"
#include "cvcode2/CvFile.h"
#include "cvcode2/CvLoadPalette.h"
#include "cvcode2/CvString.h"
#include "platform/HcEmbed.h"
#include "platform/Platform.h"

namespace {

std::unique_ptr<CvColorTable> ReadPaletteFile(const std::string& path) {
    std::error_code missing;
    if (!std::filesystem::exists(PathFromUtf8(path), missing))
        throw std::runtime_error(FileErrorText(path, kCvErrFileNotFound, ENOENT, FileRole::ReadFrom));
    std::unique_ptr<CvColorTable> table;
    try {
        table = LoadPaletteFile(path);
    } catch (const CvErrorCode& error) {
        throw std::runtime_error(FileErrorText(path, error.code, error.detail, FileRole::ReadFrom));
    }
    if (!table) throw std::runtime_error("cannot read " + path + ": a palette file must be an .act or .gif file");
    return table;
}

// Runs the plug-in's preferences code with the configuration folder pointed at `folder` (empty: the user's).
template <class Action>
void WithConfigFolder(const std::string& folder, Action action) {
    HcEmbedHost host{};
    host.version = HC_EMBED_VERSION;
    host.configFolder = folder.c_str();
    Platform::SetEmbedHost(folder.empty() ? nullptr : &host);
    try {
        action();
    } catch (...) {
        Platform::SetEmbedHost(nullptr);
        throw;
    }
    Platform::SetEmbedHost(nullptr);
}

// A call record holding loaded preferences; frees its lists on the way out.
struct PrefsRecord {
    HcCallRecord record{};
    PrefsRecord() {
        record.globals = &record.runData;
        record.runData.settingsPtr = &record.runData.settings;
    }
    ~PrefsRecord() {
        FreePaletteList(record.runData.paletteList);
        FreeColorList(record.runData.colorList);
    }
};

bool IsSavedPalette(const HcGlobals& globals, const std::string& name) {
    unsigned char pascal[256];
    CvPStrFromC(pascal, name.c_str());
    return FindPalette(globals, pascal) != nullptr;
}

}  // namespace

std::string SeedPrefsWithPalette(const std::string& paletteFile, bool startFromDefaults, const std::string& folder) {
    std::unique_ptr<CvColorTable> table = ReadPaletteFile(paletteFile);
    // The name is stored as the plug-in stores a loaded palette's: in the system's code page, at most 255 bytes.
    std::string name = Platform::StoredText(Utf8FromPath(PathFromUtf8(paletteFile).filename())).substr(0, 255);
    std::filesystem::create_directories(PathFromUtf8(folder));

    PrefsRecord prefs;
    HcGlobals& globals = prefs.record.runData;
    if (startFromDefaults)
        SetDefaults(globals);
    else
        LoadPrefs(prefs.record);

    HcPaletteEntry* entry = NewPaletteEntry();
    CvPStrFromC(entry->name, name.c_str());
    entry->count = std::min<uint32_t>(table->GetCount(), 256);
    if (entry->count) std::memcpy(entry->colors, table->Entries(), 3 * size_t(entry->count));
    entry->next = globals.paletteList;
    globals.paletteList = entry;  // first, so it wins over a saved palette of the same name

    try {
        WithConfigFolder(folder, [&] { SavePrefs(prefs.record); });
    } catch (const CvErrorCode& error) {
        throw std::runtime_error(
            FileErrorText("the preferences file in " + folder, error.code, error.detail, FileRole::WrittenTo));
    }
    return name;
}

StoredLevels StoredColorsAndLossy(const std::string& configFolder) {
    PrefsRecord prefs;
    WithConfigFolder(configFolder, [&] { LoadPrefs(prefs.record); });
    const HcSettings& settings = prefs.record.runData.settings;
    return {settings.colors, settings.lossy};
}

std::string PreferencesFilePath(const std::string& configFolder) {
    CvFileLocator location;
    WithConfigFolder(configFolder, [&] { GetPrefsLocation(location); });
    return location.HasPath() ? location.Path() : std::string();
}

void CheckSavedNames(const std::optional<std::string>& palette, const std::optional<std::string>& basePalette,
                     const std::optional<std::string>& backgroundName, const std::string& configFolder) {
    PrefsRecord prefs;
    WithConfigFolder(configFolder, [&] { LoadPrefs(prefs.record); });
    const HcGlobals& globals = prefs.record.runData;
    if (palette && *palette != "Custom" && *palette != kPaletteFine && !IsSavedPalette(globals, *palette))
        throw std::runtime_error("unknown palette '" + *palette +
                                 "' (Custom, Fine, or a saved palette: Netscape, Grayscale, System, ...)");
    if (basePalette && *basePalette != "None" && *basePalette != "Custom" && !IsSavedPalette(globals, *basePalette))
        throw std::runtime_error("unknown base palette '" + *basePalette + "' (None, Custom or a saved palette)");
    if (backgroundName) {
        bool found = false;
        for (const HcColorEntry* colour = globals.colorList; colour && !found; colour = colour->next)
            found = CvString(colour->name) == CvString(backgroundName->c_str());
        if (!found)
            throw std::runtime_error("unknown background colour '" + *backgroundName +
                                     "'; give R,G,B or a saved colour's name");
    }
}
