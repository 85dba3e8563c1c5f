// Reading and writing the preferences file. Records are packed and unpacked byte by byte, little-endian,
// so the file is the same from 32- and 64-bit builds; every count read is checked against what the file holds.
#include "common/hcprefs.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <new>
#include <string>

#include "cvcode2/CvErrorCode.h"
#include "cvcode2/CvFile.h"
#include "cvcode2/CvLog.h"
#include "cvcode2/CvLzwLossy.h"
#include "platform/Platform.h"
#include "platform/PlatformFile.h"

namespace {

constexpr uint32_t kSettingsRecordSize = kPrefsSettingsEnd - 4;
constexpr uint32_t kRectSize = 16;
constexpr uint32_t kLinkNext = 1;  // any nonzero link says "another record follows"; readers ignore it

// Little-endian packing into a record buffer; the record sizes are fixed, so positions never pass the end.
class Packer {
public:
    explicit Packer(uint8_t* bytes) : at_(bytes) {}
    void U8(uint8_t v) { *at_++ = v; }
    void U16(uint16_t v) {
        U8(uint8_t(v));
        U8(uint8_t(v >> 8));
    }
    void U32(uint32_t v) {
        U16(uint16_t(v));
        U16(uint16_t(v >> 16));
    }
    void Bytes(const void* from, size_t n) {
        std::memcpy(at_, from, n);
        at_ += n;
    }

private:
    uint8_t* at_;
};

class Unpacker {
public:
    explicit Unpacker(const uint8_t* bytes) : at_(bytes) {}
    uint8_t U8() { return *at_++; }
    uint16_t U16() {
        uint16_t low = U8();
        return uint16_t(low | U8() << 8);
    }
    uint32_t U32() {
        uint32_t low = U16();
        return low | uint32_t(U16()) << 16;
    }
    void Bytes(void* to, size_t n) {
        std::memcpy(to, at_, n);
        at_ += n;
    }

private:
    const uint8_t* at_;
};

void PackSettings(const HcSettings& s, uint8_t* record) {
    Packer out(record);
    out.U32(s.headerFlag);
    out.U16(s.headerWord);
    out.U16(s.colors);
    out.U8(s.lossy);
    out.U8(s.spareByte2);
    out.U8(s.spareByte3);
    out.U8(s.interlaced);
    out.Bytes(s.bgColor, 3);
    out.Bytes(s.comment, 256);
    out.U8(s.pad1);
    out.U32(uint32_t(s.transparencyType));
    out.U16(s.transAlphaIndex);
    out.Bytes(s.transIndexes, 256);
    out.U8(s.dither);
    out.U8(s.pad2);
}

void UnpackSettings(const uint8_t* record, HcSettings& s) {
    Unpacker in(record);
    s.headerFlag = in.U32();
    s.headerWord = in.U16();
    s.colors = in.U16();
    // A byte that earlier versions kept spare and never checked: a value out of range is brought into it rather
    // than costing the whole file.
    s.lossy = std::min(in.U8(), kCvLossyMax);
    s.spareByte2 = in.U8();
    s.spareByte3 = in.U8();
    s.interlaced = in.U8();
    in.Bytes(s.bgColor, 3);
    in.Bytes(s.comment, 256);
    s.pad1 = in.U8();
    s.transparencyType = TransparencyType(in.U32());
    s.transAlphaIndex = in.U16();
    in.Bytes(s.transIndexes, 256);
    s.dither = in.U8();
    s.pad2 = in.U8();
}

void PackRect(const HcDialogRect& rect, uint8_t* bytes) {
    Packer out(bytes);
    for (int32_t v : {rect.left, rect.top, rect.height, rect.width}) out.U32(uint32_t(v));
}

void UnpackRect(const uint8_t* bytes, HcDialogRect& rect) {
    Unpacker in(bytes);
    for (int32_t* v : {&rect.left, &rect.top, &rect.height, &rect.width}) *v = int32_t(in.U32());
}

void PackColor(const HcColorEntry& entry, bool last, uint8_t* record) {
    Packer out(record);
    out.U32(last ? 0 : kLinkNext);
    out.Bytes(entry.name, 256);
    out.U8(entry.red);
    out.U8(entry.green);
    out.U8(entry.blue);
    out.U8(entry.pad);
    out.U32(entry.colorSpare);
}

void UnpackColor(const uint8_t* record, HcColorEntry& entry) {
    Unpacker in(record);
    in.U32();
    in.Bytes(entry.name, 256);
    entry.red = in.U8();
    entry.green = in.U8();
    entry.blue = in.U8();
    entry.pad = in.U8();
    entry.colorSpare = in.U32();
}

void PackPalette(const HcPaletteEntry& entry, bool last, uint8_t* record) {
    Packer out(record);
    out.U32(last ? 0 : kLinkNext);
    out.Bytes(entry.name, 256);
    out.Bytes(entry.colors, 768);
    out.U32(entry.count);
    out.U16(entry.listIndex);
    out.Bytes(entry.pad, 2);
}

void UnpackPalette(const uint8_t* record, HcPaletteEntry& entry) {
    Unpacker in(record);
    in.U32();
    in.Bytes(entry.name, 256);
    in.Bytes(entry.colors, 768);
    entry.count = in.U32();
    entry.listIndex = in.U16();
    in.Bytes(entry.pad, 2);
    if (entry.count > 256) CV_THROW(kCvErrBadData);
}

// ---- Loading ----

void ClearLoadedFields(HcGlobals& globals) {
    FreeColorList(globals.colorList);
    FreePaletteList(globals.paletteList);
    std::memset(&globals.settings, 0, sizeof globals.settings);
    std::memset(globals.paletteName, 0, sizeof globals.paletteName);
    std::memset(globals.basePaletteName, 0, sizeof globals.basePaletteName);
    globals.prefMode = globals.prefFlag1 = globals.prefFlag2 = globals.prefFlag3 = 0;
    globals.quantDialogRect = HcDialogRect{};
    globals.optionsDialogRect = HcDialogRect{};
}

// The fields after the settings record, each present only when it starts before the lists.
void ReadOptionalFields(CvFile& file, uint32_t listsOffset, HcGlobals& globals) {
    uint8_t rect[kRectSize];
    auto present = [&] { return file.Tell() < listsOffset; };
    if (present()) globals.prefMode = file.ReadByte();
    if (present()) globals.prefFlag1 = file.ReadByte();
    if (present()) globals.prefFlag2 = file.ReadByte();
    if (present()) file.ReadFully(globals.paletteName, sizeof globals.paletteName);
    if (present()) file.ReadFully(globals.basePaletteName, sizeof globals.basePaletteName);
    if (present()) globals.prefFlag3 = file.ReadByte();
    if (present()) {
        file.ReadFully(rect, kRectSize);
        UnpackRect(rect, globals.quantDialogRect);
    }
    if (present()) {
        file.ReadFully(rect, kRectSize);
        UnpackRect(rect, globals.optionsDialogRect);
    }
    // A field running into the lists means the offset and the fields disagree.
    if (file.Tell() > listsOffset) CV_THROW(kCvErrBadData);
}

// The ranges a file must keep. A replayed recording may set the dither up to 16; such a value is stored as the
// dialog's top (StorableSettings), so that what one run saves always loads at the next.
constexpr uint8_t kMaxPrefMode = 2;
constexpr uint8_t kMaxStoredDither = 10;
constexpr uint16_t kMinColors = 2, kMaxColors = 256;

void Validate(const HcGlobals& globals) {
    const HcSettings& s = globals.settings;
    bool valid = globals.prefMode <= kMaxPrefMode && s.headerFlag <= 1 && s.colors >= kMinColors &&
                 s.colors <= kMaxColors && uint32_t(s.transparencyType) <= uint32_t(TransparencyType::none) &&
                 s.dither <= kMaxStoredDither && s.spareByte2 < s.colors;
    if (!valid) CV_THROW(kCvErrBadData);
}

// The settings as Validate accepts them: every field it checks brought into its range, the rest untouched.
// Without this one out-of-range value makes the next run discard the whole file, saved lists included.
HcSettings StorableSettings(const HcSettings& settings) {
    HcSettings s = settings;
    s.headerFlag = s.headerFlag <= 1 ? s.headerFlag : 1;
    s.colors = std::clamp(s.colors, kMinColors, kMaxColors);
    if (uint32_t(s.transparencyType) > uint32_t(TransparencyType::none)) s.transparencyType = TransparencyType::none;
    s.dither = std::min(s.dither, kMaxStoredDither);
    s.lossy = std::min(s.lossy, kCvLossyMax);
    if (s.spareByte2 >= s.colors) s.spareByte2 = 0;
    return s;
}

// The count byte of a list, checked against the bytes the file still holds.
uint8_t ReadListCount(CvFile& file, uint32_t fileLength, uint32_t recordSize) {
    uint8_t count = file.ReadByte();
    if (uint64_t(count) * recordSize > uint64_t(fileLength) - file.Tell()) CV_THROW(kCvErrBadData);
    return count;
}

template <typename Entry>
void ReadList(CvFile& file, uint32_t fileLength, uint32_t recordSize, Entry*& head, Entry* (*newEntry)(),
              void (*unpack)(const uint8_t*, Entry&)) {
    uint8_t record[kPrefsPaletteRecordSize];
    Entry** link = &head;
    for (uint8_t n = ReadListCount(file, fileLength, recordSize); n > 0; --n) {
        file.ReadFully(record, recordSize);
        *link = newEntry();  // linked at once, so a failure later leaves nothing unowned
        unpack(record, **link);
        link = &(*link)->next;
    }
}

void ReadPrefsFile(CvFile& file, HcGlobals& globals) {
    file.Open(kCvFileRead);
    uint32_t length = file.GetLength();
    uint32_t listsOffset = file.ReadLong();
    if (listsOffset >= length || listsOffset < kPrefsSettingsEnd) CV_THROW(kCvErrBadData);
    uint8_t record[kSettingsRecordSize];
    file.ReadFully(record, kSettingsRecordSize);
    UnpackSettings(record, globals.settings);
    ReadOptionalFields(file, listsOffset, globals);
    Validate(globals);
    file.Seek(0, int32_t(listsOffset));
    ReadList(file, length, kPrefsColorRecordSize, globals.colorList, NewColorEntry, UnpackColor);
    ReadList(file, length, kPrefsPaletteRecordSize, globals.paletteList, NewPaletteEntry, UnpackPalette);
    RenameReservedPalettes(globals.paletteList);
    file.Close();
}

// ---- Saving ----

template <typename Entry>
uint32_t SavedCount(const Entry* head, const char* what) {
    uint32_t count = 0;
    for (; head; head = head->next) ++count;
    if (count > kPrefsMaxListEntries)
        Log(kLogWarning, "%u saved %s; the preferences keep the first %u", unsigned(count), what,
            unsigned(kPrefsMaxListEntries));
    return count < kPrefsMaxListEntries ? count : kPrefsMaxListEntries;
}

template <typename Entry>
void WriteList(CvFile& file, const Entry* head, uint32_t count, uint32_t recordSize,
               void (*pack)(const Entry&, bool, uint8_t*)) {
    uint8_t record[kPrefsPaletteRecordSize];
    file.WriteByte(uint8_t(count));
    for (uint32_t i = 0; i < count; ++i, head = head->next) {
        pack(*head, i + 1 == count, record);
        file.Write(record, recordSize);
    }
}

void WritePrefsFile(CvFile& file, const HcGlobals& globals) {
    file.Open(kCvFileWrite);
    uint32_t colors = SavedCount(globals.colorList, "colours");
    uint32_t palettes = SavedCount(globals.paletteList, "palettes");
    file.SetLength(4);
    file.Seek(0, 4);
    uint8_t record[kSettingsRecordSize];
    PackSettings(StorableSettings(globals.settings), record);
    file.Write(record, kSettingsRecordSize);
    file.WriteByte(std::min(globals.prefMode, kMaxPrefMode));
    file.WriteByte(globals.prefFlag1);
    file.WriteByte(globals.prefFlag2);
    file.Write(globals.paletteName, sizeof globals.paletteName);
    file.Write(globals.basePaletteName, sizeof globals.basePaletteName);
    file.WriteByte(globals.prefFlag3);
    uint8_t rect[kRectSize];
    PackRect(globals.quantDialogRect, rect);
    file.Write(rect, kRectSize);
    PackRect(globals.optionsDialogRect, rect);
    file.Write(rect, kRectSize);
    uint32_t listsOffset = file.Tell();
    file.Seek(0, 0);
    file.WriteLong(listsOffset);
    file.Seek(0, int32_t(listsOffset));
    WriteList(file, globals.colorList, colors, kPrefsColorRecordSize, PackColor);
    WriteList(file, globals.paletteList, palettes, kPrefsPaletteRecordSize, PackPalette);
    file.Close();
}

// A writer killed while writing leaves its staged file, which no reader ever opens; once it is clearly no longer
// being written, the next save removes it.
constexpr int64_t kAbandonedAfterSeconds = 3600;

void RemoveAbandonedFiles(const std::string& prefsPath) {
    const size_t split = prefsPath.find_last_of(Platform::PathSeparator() == '/' ? "/" : "/\\");
    if (split == std::string::npos) return;
    Platform::RemoveStaleFiles(prefsPath.substr(0, split), prefsPath.substr(split + 1) + ".", ".tmp",
                               kAbandonedAfterSeconds);
}

}  // namespace

void GetPrefsLocation(CvFileLocator& location) {
    std::string folder = Platform::UserConfigFolder();
    if (folder.empty()) return;
    const char separator = Platform::PathSeparator();
    folder += separator;
    folder += "Corvane";
    int failure = Platform::MakeFolderPath(folder.c_str());
    // Without a fallback, a folder that cannot be made fails later, at the file itself.
    if (failure != 0 && failure != EEXIST && Platform::FallbackConfigFolder())
        folder = Platform::FallbackConfigFolder();
    folder += separator;
    folder += "Halcyne Prefs";
    location.SetPath(folder.c_str());
}

void LoadPrefsFrom(HcGlobals& globals, const CvFileLocator& location) {
    try {
        ClearLoadedFields(globals);
        CvFile file(location);
        ReadPrefsFile(file, globals);
        return;
    } catch (const CvErrorCode& error) {
        Log(kLogDebug, "preferences not loaded (%u); using the defaults", unsigned(error.code));
    } catch (const std::bad_alloc&) {
        Log(kLogDebug, "preferences not loaded (out of memory); using the defaults");
    }
    SetDefaults(globals);
}

void LoadPrefs(HcCallRecord& record) {
    CvFileLocator location;
    try {
        GetPrefsLocation(location);
    } catch (const CvErrorCode&) {
        // No location: the file layer refuses the path-less locator below and the defaults apply.
    }
    LoadPrefsFrom(record.runData, location);
}

void SavePrefsTo(const HcGlobals& globals, const CvFileLocator& location) {
    if (!location.HasPath()) CV_THROW(kCvErrFileNoPath);
    // The new content goes to a file of this writer's own beside the old one and replaces it in one step: writers
    // running at the same time never share a file, a reader sees the old or the new file whole, and of several
    // writers the last to finish wins.
    std::string staged;
    const int created = Platform::CreateUniqueFile(location.Path(), staged);
    if (created != 0) CV_THROW_DETAIL(CvFileErrorForSystemError(created), uint32_t(created));
    CvFile file{CvFileLocator(staged.c_str())};
    try {
        WritePrefsFile(file, globals);
        const int failure = Platform::RenameReplacing(file.Path(), location.Path());
        if (failure != 0) CV_THROW_DETAIL(CvFileErrorForSystemError(failure), uint32_t(failure));
    } catch (const CvErrorCode& error) {
        if (file.IsOpen()) {
            try {
                file.Close();
            } catch (const CvErrorCode&) {
                // The write error is the one to report.
            }
        }
        file.Delete();
        CV_RETHROW(error);
    }
    RemoveAbandonedFiles(location.Path());
}

void SavePrefs(HcCallRecord& record) {
    CvFileLocator location;
    GetPrefsLocation(location);
    SavePrefsTo(record.runData, location);
}
