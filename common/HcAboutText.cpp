// The About box's words, shared by the Win32 dialog and the headless alert.
// Kept beside the version so both always agree.
#include "common/HcUI.h"

const char kAboutCaption[] = "About Halcyne";
const char kAboutText[] =
    "Halcyne 4.0\n"
    "Reduces an image to a palette of at most 256 colours and saves it as a GIF89a file.";
