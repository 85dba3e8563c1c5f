// The settings' defaults and the preferences file: its exact bytes, every field's round trip, files from elsewhere
// (damaged, cut, older), writes that fail or are killed, the configuration folder, and runs of random recordings.
#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include "common/hcprefs.h"
#include "cvcode2/CvErrorCode.h"
#include "cvcode2/CvFile.h"
#include "hostsim/SimDescriptor.h"
#include "platform/HcEmbed.h"
#include "platform/Platform.h"
#include "tests/support/HostLayers.h"
#include "tests/support/InProcessHost.h"
#include "tests/support/RecordingText.h"
#include "tests/support/SettingsLists.h"
#include "tests/support/TestPaths.h"
#include "tests/support/Transcript.h"
#include "tests/support/WideNames.h"

#if defined(_WIN32)
#include <windows.h>

#include "platform/Utf16.h"
#else
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

namespace {

namespace fs = std::filesystem;

void PutLE(std::string& bytes, size_t at, uint32_t value, int size) {
    for (int i = 0; i < size; ++i) bytes[at + i] = char(value >> (8 * i));
}

const char* const kCustomised = HC_TEST_DATA_DIR "/prefs/customised";

struct PrefsFixture : ::testing::Test {
    std::string dir = MakeScratchDir("prefs");
    std::string path = dir + "/Halcyne Prefs";
    CvFileLocator location{path.c_str()};
    OwnedGlobals saved, loaded{false};

    std::string SaveAndRead() {
        SavePrefsTo(saved, location);
        return ReadFileBytes(path);
    }
    // Loads `bytes` and tells whether the loader fell back to the defaults.
    bool LoadsDefaults(const std::string& bytes) {
        std::ofstream(path, std::ios::binary) << bytes;
        LoadPrefsFrom(loaded, location);
        return loaded.settings.colors == 256 && !loaded.colorList && loaded.paletteList &&
               PascalText(loaded.paletteList->name) == "Netscape" && loaded.prefFlag1 == 1;
    }
    void AddPalettes(HcGlobals& g, int count) {
        HcPaletteEntry** link = &g.paletteList;
        while (*link) link = &(*link)->next;
        for (int i = 0; i < count; ++i, link = &(*link)->next) {
            *link = NewPaletteEntry();
            CvPStrFromC((*link)->name, ("p" + std::to_string(i)).c_str());
            (*link)->count = uint32_t(i % 257);
            (*link)->colors[i % 256][1] = uint8_t(i);
        }
    }
    // A state touching every stored field, none at its default: tests/data/prefs/customised, a file this version
    // wrote, whose values tests/data/transcripts/common/prefs-customised.txt lists. Its first two palettes are named
    // "Fine" and "Custom", the names the boxes reserve for the built-in choices.
    void Customise() { LoadPrefsFrom(saved, CvFileLocator(kCustomised)); }
};

}  // namespace

// The first run's file (the defaults and the built-in palettes' names, order, colours and counts) byte for byte.
// 255 saved colours and 255 palettes, as many as the count bytes hold, are pinned too; more are cut to the first 255
// of each list, the last record written ending its list: the same file. Then both that file and one touching every
// field load and are written back byte for byte, the latter to the values its transcript lists. "Fine" is stored as
// chosen; saved palettes of reserved names come back renamed, so that the built-in choices and the saved palettes
// stay apart.
TEST_F(PrefsFixture, TheFirstRunsAndTheLongestFilesAreExactAndEveryFieldRoundTrips) {
    ExpectGolden("prefs/first-run", SaveAndRead());
    AddPalettes(saved, 252);
    for (int i = 0; i < 255; ++i) AppendColor(saved.colorList, ("c" + std::to_string(i)).c_str(), uint8_t(i), 0, 0);
    const std::string longest = SaveAndRead();
    ExpectGolden("prefs/255-colours-255-palettes", longest);
    AddPalettes(saved, 45);
    AppendColor(saved.colorList, "extra", 1, 2, 3);
    EXPECT_EQ(SaveAndRead(), longest);

    Customise();
    const std::string customised = SaveAndRead();
    EXPECT_EQ(customised.substr(0, 1625), ReadFileBytes(kCustomised).substr(0, 1625));
    for (const std::string& file : {longest, customised}) {
        std::ofstream(path, std::ios::binary | std::ios::trunc) << file;
        LoadPrefsFrom(loaded, location);
        SavePrefsTo(loaded, location);
        EXPECT_EQ(ReadFileBytes(path), file);
    }
    Transcript t("common/prefs-customised");
    const HcSettings& s = loaded.settings;
    t("header", s.headerFlag, s.headerWord, "spare", s.spareByte2, s.spareByte3);
    t("colors", s.colors, "lossy", s.lossy, "dither", s.dither, "interlaced", s.interlaced);
    t("background", Transcript::Listed(s.bgColor), "comment", PascalText(s.comment));
    std::vector<int> flagged;
    for (int i = 0; i < 256; ++i)
        if (s.transIndexes[i]) flagged.push_back(i);
    t("transparency", int(s.transparencyType), "plane", s.transAlphaIndex, "indexes", Transcript::Listed(flagged));
    t("palette", PascalText(loaded.paletteName), "base", PascalText(loaded.basePaletteName));
    t("mode", loaded.prefMode, "flags", loaded.prefFlag1, loaded.prefFlag2, loaded.prefFlag3);
    for (const HcDialogRect& r : {loaded.quantDialogRect, loaded.optionsDialogRect})
        t("rectangle", r.left, r.top, r.height, r.width);
    for (const HcColorEntry* c = loaded.colorList; c; c = c->next)
        t("saved colour", PascalText(c->name), c->red, c->green, c->blue);
    for (const HcPaletteEntry* p = loaded.paletteList; p; p = p->next)
        t("palette", PascalText(p->name), "count", p->count, "first", Transcript::Listed(p->colors[0]));
}

// A damaged file (a value out of its range, counts the file cannot hold, any cut, none at all) loads the defaults,
// which replace the saved colours read before the damage; rows of the table that name a lossy level load the file
// with that level instead (a byte earlier versions kept spare and never checked: beyond 100, from elsewhere, it is
// brought to 100). An older file ends its fields at 540: its settings load, the names and lists it lacks stay empty.
TEST_F(PrefsFixture, DamagedFilesLoadTheDefaultsAndOlderOnesTheirSettings) {
    Customise();
    const std::string good = SaveAndRead();
    ASSERT_FALSE(LoadsDefaults(good));
    for (const std::vector<std::string>& patch : DataTable("prefs/damaged-fields.txt")) {
        std::string bad = good;
        PutLE(bad, std::stoul(patch.at(1)), uint32_t(std::stoul(patch.at(2))), std::stoi(patch.at(3)));
        EXPECT_EQ(LoadsDefaults(bad), patch.size() == 4) << patch[0];
        if (patch.size() > 4) {
            EXPECT_EQ(loaded.settings.lossy, std::stoi(patch[4])) << patch[0];
            EXPECT_EQ(ListLength(loaded.colorList), 2) << patch[0];
        }
    }
    for (size_t length = 0; length < good.size(); ++length)
        ASSERT_TRUE(LoadsDefaults(good.substr(0, length))) << length;

    std::string older = good.substr(0, 540) + std::string(2, '\0');  // no colours, no palettes
    PutLE(older, 0, 540, 4);
    ASSERT_FALSE(LoadsDefaults(older));
    EXPECT_EQ(std::memcmp(&saved.settings, &loaded.settings, sizeof(HcSettings)), 0);
    EXPECT_EQ(PascalText(loaded.paletteName) + PascalText(loaded.basePaletteName), "");
    EXPECT_EQ(loaded.prefMode, 0);
    EXPECT_FALSE(loaded.colorList || loaded.paletteList);

    saved.settings.lossy = 180;  // never made by the dialogs or a recording, but not written as such either
    EXPECT_EQ(uint8_t(SaveAndRead().at(4 + 8)), 100);
}

#if !defined(_WIN32)
namespace {

// Runs `action` with every file it writes limited to `bytes`, as on a disk that fills part-way: writes beyond fail.
void WithFileSizeLimit(uint64_t bytes, const std::function<void()>& action) {
    rlimit before{}, limited{};
    getrlimit(RLIMIT_FSIZE, &before);
    limited = before;
    limited.rlim_cur = rlim_t(bytes);
    const auto handler = std::signal(SIGXFSZ, SIG_IGN);
    setrlimit(RLIMIT_FSIZE, &limited);
    action();
    setrlimit(RLIMIT_FSIZE, &before);
    std::signal(SIGXFSZ, handler);
}

}  // namespace

// A file size limit stops a write part-way: the old file stays whole and nothing staged is left. Writers killed at
// random moments, each in the middle of rewriting the file with one of two contents: the file is always one of them
// whole. What a killed writer had staged is never read, and a later save removes it once old.
TEST_F(PrefsFixture, AFailedOrKilledWriteLeavesAWholeFile) {
    const std::string old = SaveAndRead();
    Customise();
    WithFileSizeLimit(2000, [&] { EXPECT_THROW(SavePrefsTo(saved, location), CvErrorCode); });
    EXPECT_EQ(ReadFileBytes(path), old);
    EXPECT_EQ(NamesInFolder(dir), std::vector<std::string>{"Halcyne Prefs"});

    AddPalettes(saved, 200);  // long enough a write to be caught in its middle
    OwnedGlobals other;
    AddPalettes(other, 201);
    const std::string first = SaveAndRead();
    SavePrefsTo(other, location);
    const std::string second = ReadFileBytes(path);
    std::mt19937 random(23);
    for (int attempt = 0; attempt < 50; ++attempt) {
        const pid_t writer = fork();
        ASSERT_GE(writer, 0);
        if (writer == 0)
            for (bool turn = false;; turn = !turn) SavePrefsTo(turn ? saved : other, location);
        usleep(useconds_t(random() % 4000));
        kill(writer, SIGKILL);
        waitpid(writer, nullptr, 0);
        const std::string file = ReadFileBytes(path);
        EXPECT_TRUE(file == first || file == second) << "attempt " << attempt << ": " << file.size() << " bytes";
    }
    EXPECT_GT(NamesInFolder(dir).size(), 1u) << "no writer was caught in the middle of its write";
    for (const std::string& name : NamesInFolder(dir))
        if (name != "Halcyne Prefs")
            fs::last_write_time(dir + "/" + name, fs::file_time_type::clock::now() - std::chrono::hours(2));
    SavePrefsTo(saved, location);
    EXPECT_EQ(NamesInFolder(dir), std::vector<std::string>{"Halcyne Prefs"});
}
#endif

namespace {

// Saves a run's settings (17 colours) where the preferences go now and tells how the next run finds them.
std::string SavedColoursComeBack() {
    HcCallRecord record{}, reread{};
    SetDefaults(record.runData);
    record.runData.settings.colors = 17;
    std::string outcome = "reloaded";
    try {
        SavePrefs(record);
    } catch (const CvErrorCode&) {
        outcome = "not saved";
    }
    LoadPrefs(reread);
    if (outcome == "reloaded" && reread.runData.settings.colors != 17) outcome = "lost";
    for (HcCallRecord* r : {&record, &reread}) FreePaletteList(r->runData.paletteList);
    return outcome;
}

std::string PrefsPath() {
    CvFileLocator where;
    GetPrefsLocation(where);
    return where.Path();
}

}  // namespace

// A configuration folder that cannot be made costs the preferences, never the run (on Windows the system folder is
// the last resort). (One that is missing is made with the folders above it, under any name: the command's runs with
// XDG_CONFIG_HOME in tests/data/transcripts/cli/command-runs.txt, and on Windows PrefsWindows below.)
TEST(PrefsFolder, AnUnusableOneNeverLosesTheRun) {
    const std::string notAFolder = MakeScratchDir("prefs-folder") + "/plain-file";
    std::ofstream(notAFolder) << "x";
    HcEmbedHost embed{};
    embed.version = HC_EMBED_VERSION;
    embed.configFolder = notAFolder.c_str();
    Platform::SetEmbedHost(&embed);
    const std::string where = PrefsPath(), outcome = SavedColoursComeBack();
    Platform::SetEmbedHost(nullptr);
#if defined(_WIN32)
    EXPECT_EQ(where, "C:\\Windows\\Halcyne Prefs");
#else
    EXPECT_EQ(fs::path(where), fs::path(notAFolder) / "Corvane" / "Halcyne Prefs");
    EXPECT_EQ(outcome, "not saved");
#endif
}

#if defined(_WIN32)
namespace {

// Points the shell's per-user application-data folder somewhere else for one test and back afterwards. Only
// under Wine, whose prefix is the test's own and names the folder: a real user's folder is never moved.
class AppDataRedirect {
public:
    explicit AppDataRedirect(const std::string& folder) {
        const std::wstring wide = *Platform::Utf16FromUtf8(folder);
        active = GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "wine_get_version") &&
                 RegOpenKeyExW(HKEY_CURRENT_USER, kKey, 0, KEY_QUERY_VALUE | KEY_SET_VALUE, &key) == ERROR_SUCCESS &&
                 RegQueryValueExW(key, L"AppData", nullptr, &oldType, old, &oldSize) == ERROR_SUCCESS &&
                 RegSetValueExW(key, L"AppData", 0, REG_SZ, reinterpret_cast<const BYTE*>(wide.c_str()),
                                DWORD((wide.size() + 1) * sizeof(wchar_t))) == ERROR_SUCCESS;
    }
    ~AppDataRedirect() {
        if (active) RegSetValueExW(key, L"AppData", 0, oldType, old, oldSize);
        if (key) RegCloseKey(key);
    }
    AppDataRedirect(const AppDataRedirect&) = delete;
    AppDataRedirect& operator=(const AppDataRedirect&) = delete;
    bool active = false;

private:
    static constexpr const wchar_t* kKey =
        L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders";
    HKEY key = nullptr;
    BYTE old[2048] = {};
    DWORD oldType = REG_EXPAND_SZ, oldSize = sizeof old;
};

}  // namespace

TEST(PrefsWindows, AnApplicationDataFolderNamedOutsideTheCodePageHoldsThePreferences) {
    const std::string appData = MakeScratchDir("appdata") + "\\" + kGreekName + " " + kJapaneseName + " " + kEmojiName;
    AppDataRedirect redirect(appData);
    if (!redirect.active) GTEST_SKIP() << "runs only under Wine";
    EXPECT_EQ(PrefsPath(), appData + "\\Corvane\\Halcyne Prefs");
    EXPECT_EQ(SavedColoursComeBack(), "reloaded");
    EXPECT_TRUE(fs::is_regular_file(fs::u8path(PrefsPath())));
}
#endif

// Whatever dialog settings a run starts from and whatever a replayed recording sets, the file saved at the end of
// the run loads at the next one: its saved colours and palettes are never traded for the defaults. (A run that did
// not start from the file of its configuration folder would lose them too.)
TEST(PrefsAcrossRuns, RandomRecordingsAndDialogSettingsNeverCostTheSavedLists) {
    std::mt19937 random(20261207);
    auto pick = [&](int low, int high) { return std::uniform_int_distribution<int>(low, high)(random); };
    auto number = [&](int low, int high) { return std::to_string(pick(low, high)); };
    auto one = [&](std::vector<std::string> choices) { return choices[size_t(pick(0, int(choices.size()) - 1))]; };
    for (int run = 0; run < 40; ++run) {
        const SimOptions options = WithDescriptors(PrivatePrefs());
        const CvFileLocator location((options.configFolder + "/Corvane/Halcyne Prefs").c_str());
        fs::create_directories(options.configFolder + "/Corvane");
        OwnedGlobals before(false), after(false);
        LoadPrefsFrom(before, CvFileLocator(kCustomised));  // two saved colours, three saved palettes
        // Settings the dialogs can make: any colour count, dithering 0..10, every transparency type.
        HcSettings& s = before.settings;
        s.colors = uint16_t(pick(2, 256));
        s.dither = uint8_t(pick(0, 10));
        s.lossy = uint8_t(pick(0, 100));
        s.transparencyType = TransparencyType(pick(0, 2));
        s.interlaced = uint8_t(pick(0, 1));
        for (uint8_t& c : s.bgColor) c = uint8_t(pick(0, 255));
        CvPStrFromC(s.comment, std::string(size_t(pick(0, 255)), 'c').c_str());
        s.transIndexes[pick(0, 255)] = 1;
        SavePrefsTo(before, location);

        // A recording with every key at a random value, out-of-range numbers included (they are pinned).
        const std::vector<std::string> items = {
            "Dpth=" + number(-10, 400),
            "Plt=" + one({"Custom", "Netscape", "System", "Unknown"}),
            "Intr=" + one({"true", "false"}),
            "bpal=" + one({"None", "Custom", "System"}),
            "tran=Cvtn:" + one({"alph", "indx", "none"}),
            "itrn=" + number(-5, 300),
            "A=" + number(-1, 5),
            "Dthr=" + number(-5, 30),
            "Lssy=" + number(-5, 300),
            "comm=" + std::string(size_t(pick(0, 255)), 'r'),
            pick(0, 1) ? "BgCl=Sky" : "R=" + number(-9, 300) + " | G=" + number(-9, 300) + " | B=" + number(-9, 300)};
        HostSimulator host(InProcessEntry, InProcessEmbed, options);
        host.SetImage(HostLayer(plugInModeRGBColor, 3, 2, 1));
        host.Descriptors().playInfo = plugInDialogDontDisplay;
        host.Descriptors().descriptor = SimMakeDescriptor(RecordingItems(items));
        ASSERT_EQ(host.Run(true), 0) << "run " << run << ": " << ::testing::PrintToString(items);

        LoadPrefsFrom(after, location);
        std::vector<std::string> names;
        for (const HcColorEntry* c = after.colorList; c; c = c->next) names.push_back(PascalText(c->name));
        for (const HcPaletteEntry* p = after.paletteList; p; p = p->next) names.push_back(PascalText(p->name));
        EXPECT_EQ(names, (std::vector<std::string>{"Red", "Teal", "Fine (saved)", "Custom (saved)", "System"})) << run;
        EXPECT_EQ(after.colorList ? after.colorList->red : 0, 255);
    }
}
