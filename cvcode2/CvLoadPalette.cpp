// Reading ACT files with buffered, untranslated reads of three-byte records.
// The file is closed on every way out.
#include "cvcode2/CvLoadPalette.h"

#include <cstdio>

#include "cvcode2/CvErrorCode.h"

namespace {
struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
}  // namespace

std::unique_ptr<CvColorTable> LoadACT(const std::string& path) {
    std::unique_ptr<std::FILE, FileCloser> file(std::fopen(path.c_str(), "rb"));
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
