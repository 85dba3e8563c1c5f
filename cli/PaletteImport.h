// --palette-file: a private preferences folder holding the user's preferences (or the defaults) with the
// imported palette first in the saved list, so the run can name it without changing the user's own file.
#pragma once

#include <string>

// Fills `folder` and returns the name under which the palette was saved (the file's name).
// Throws std::runtime_error with a one-line reason when the palette file cannot be read.
std::string SeedPrefsWithPalette(const std::string& paletteFile, bool startFromDefaults, const std::string& folder);
