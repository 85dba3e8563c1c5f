// Reading ACT files with buffered, untranslated reads of three-byte records, and GIF palettes through the GIF reader.
// Every file is closed on every way out.
#include "cvcode2/CvLoadPalette.h"

#include <cctype>
#include <cstdio>

#include "cvcode2/CvErrorCode.h"
#include "cvcode2/CvGIFFile.h"
#include "platform/PlatformFile.h"

namespace {
struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};

bool EndsWithIgnoringCase(const std::string& text, const char* ending) {
    const size_t length = std::char_traits<char>::length(ending);
    if (text.size() < length) return false;
    for (size_t i = 0; i < length; ++i)
        if (std::toupper(static_cast<unsigned char>(text[text.size() - length + i])) != ending[i]) return false;
    return true;
}
}  // namespace

std::unique_ptr<CvColorTable> LoadACT(const std::string& path) {
    std::unique_ptr<std::FILE, FileCloser> file(Platform::FileOpenForReading(path.c_str()));
    if (!file) CV_THROW(kCvErrHost);
    auto table = std::make_unique<CvColorTable>(256);
    uint32_t records = 0;
    for (uint8_t rgb[3]; records < 256 && std::fread(rgb, 3, 1, file.get()) == 1; ++records)
        table->SetEntry(records, rgb[0], rgb[1], rgb[2]);
    if (records == 256) return table;
    if (records < 2) CV_THROW(kCvErrBadData);
    table->SetCount(records - 1);
    return table;
}

void CvLoadPaletteFromGIF(const CvFileLocator& locator, CvColorTable& table) {
    CvGIFFile file;  // closes itself if an error leaves it open
    if (locator.HasPath()) file.SetPath(locator.Path());
    file.Open(kCvFileRead);
    std::unique_ptr<CvGIFGlobalInfo> global(static_cast<CvGIFGlobalInfo*>(file.GetGlobalInfo()));
    if (global->hasGlobalColorTable && global->globalColorTableSize != 0) {
        table = global->globalColorTable;
    } else {
        if (file.GetFrameCount() == 0) CV_THROW(kCvErrBadData);
        for (uint32_t i = 0; i < file.GetFrameCount(); ++i) {
            file.SeekFrame(i);
            std::unique_ptr<CvGIFFrameInfo> info(static_cast<CvGIFFrameInfo*>(file.ReadFrameInfo()));
            if (info->hasLocalColorTable && info->localColorTable.GetCount() > 0) {
                table = info->localColorTable;
                break;
            }
        }
    }
    file.Close();
}

std::unique_ptr<CvColorTable> LoadGIFPalette(const std::string& path) {
    auto table = std::make_unique<CvColorTable>();
    CvLoadPaletteFromGIF(CvFileLocator(path.c_str()), *table);
    return table;
}

std::unique_ptr<CvColorTable> LoadPaletteFile(const std::string& path) {
    if (EndsWithIgnoringCase(path, ".ACT")) return LoadACT(path);
    if (EndsWithIgnoringCase(path, ".GIF")) return LoadGIFPalette(path);
    return nullptr;
}
