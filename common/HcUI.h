// What the plug-in shell asks of the user interface: the About box for now.
// Implemented by the Win32 layer on Windows and by the headless layer elsewhere.
#pragma once

#include <cstdint>

// A modal About box owned by the given host window.
void ShowAboutBox(intptr_t owner);

extern const char kAboutCaption[];  // "About Halcyne"
extern const char kAboutText[];
