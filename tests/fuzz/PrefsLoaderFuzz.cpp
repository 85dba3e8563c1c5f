// Fuzz entry for the preferences loader: any bytes as the preferences file. Whatever loads (the file's
// content or the defaults) must save, load back and save again to the same bytes; a difference aborts.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>

#include "common/hcprefs.h"
#include "cvcode2/CvFile.h"
#include "tests/fuzz/FuzzInput.h"
#include "tests/support/SettingsLists.h"

namespace {

// The file layout holds every stored field, so equal bytes mean an unchanged state.
std::string SavedBytes(const HcGlobals& globals, const std::string& path) {
    SavePrefsTo(globals, CvFileLocator(path.c_str()));
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string saved = WriteFuzzFile("prefs-saved", nullptr, 0);
    OwnedGlobals loaded(false), reloaded(false);
    LoadPrefsFrom(loaded, CvFileLocator(WriteFuzzFile("prefs", data, size).c_str()));
    const std::string first = SavedBytes(loaded, saved);
    LoadPrefsFrom(reloaded, CvFileLocator(saved.c_str()));
    if (SavedBytes(reloaded, WriteFuzzFile("prefs-resaved", nullptr, 0)) != first) std::abort();
    return 0;
}
