// The command's view of the preferences: a private folder seeded with an imported palette (--palette-file),
// and the check that every palette and colour named on the command line exists there.
#pragma once

#include <optional>
#include <string>

// Fills `folder` and returns the name under which the palette was saved (the file's name).
// Throws std::runtime_error with a one-line reason when the palette file cannot be read.
std::string SeedPrefsWithPalette(const std::string& paletteFile, bool startFromDefaults, const std::string& folder);

// Refuses palette and background colour names that the preferences the run will use (those in `configFolder`,
// or the user's own when it is empty) do not hold; "Custom" and "None" are always known.
void CheckSavedNames(const std::optional<std::string>& palette, const std::optional<std::string>& basePalette,
                     const std::optional<std::string>& backgroundName, const std::string& configFolder);

// The colour count and lossy level of the preferences the run will use (see CheckSavedNames): what --last-settings
// leaves to them, and what the command needs to know when it searches for a size.
struct StoredLevels {
    int colors;
    int lossy;
};
StoredLevels StoredColorsAndLossy(const std::string& configFolder);

// The preferences file the module will use with `configFolder` (empty: the user's own), its folders made;
// empty when no folder is known for it (neither HOME nor XDG_CONFIG_HOME is set).
std::string PreferencesFilePath(const std::string& configFolder);
