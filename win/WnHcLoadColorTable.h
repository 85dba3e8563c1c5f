// Loading a palette file the user picks in an Open box: ACT or GIF by the name's ending, an alert when it fails.
// The caller owns what is returned; the chosen file's name is reported whether or not a palette came of it.
#pragma once

#include <windows.h>

#include <memory>
#include <string>

#include "cvcode2/CvColorTable.h"

// Null when the box is cancelled, when the name ends in neither ".ACT" nor ".GIF" (silently), or when the file
// cannot be loaded (after "Could Not Load Palette"). `nameOut`, when given, receives the chosen file's name
// (its last path component) as soon as a file is chosen.
std::unique_ptr<CvColorTable> WnHcLoadColorTable(HWND owner, std::string* nameOut);
