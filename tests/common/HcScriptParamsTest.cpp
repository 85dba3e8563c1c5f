// Scripting parameters against the simulated host's descriptor suites: what is recorded, in which order,
// what a replay loads, how values are pinned, and when the dialogs are asked for.
#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <string>
#include <vector>

#include "common/HcScriptParams.h"
#include "cvcode2/CvList.h"
#include "cvcode2/CvString.h"
#include "hostsim/HostSimulator.h"
#include "hostsim/SimDescriptor.h"
#include "tests/support/SettingsLists.h"

namespace {

using Items = std::vector<SimDescriptorItem>;
using RGB = std::array<uint8_t, 3>;

SimOptions DescriptorHost() {
    SimOptions options;
    options.descriptors = true;
    options.handleProcs = true;
    return options;
}

// One run's data as the entry holds it at Finish, on the simulated host's FilterRecord.
struct ScriptRun {
    HcCallRecord record{};
    HcGlobals& globals = record.runData;
    HcSettings& settings = record.runData.settings;
    CvList planes;

    explicit ScriptRun(HostSimulator& host) {
        record.filterRecord = &host.Record();
        record.globals = &globals;
        globals.settingsPtr = &settings;
        SetDefaults(globals);
        globals.hostHasDescriptors = true;
        globals.hostHasHandleProcs = host.Record().handleProcs != nullptr;
    }
    ScriptRun(const ScriptRun&) = delete;
    ScriptRun& operator=(const ScriptRun&) = delete;
    ~ScriptRun() {
        FreePaletteList(globals.paletteList);
        FreeColorList(globals.colorList);
    }

    // The plane images are never touched by the parameters; only their number matters.
    void ExtraPlanes(int count) {
        for (int i = 0; i < count; ++i) planes.Append(&planes);
        globals.extraPlanes = &planes;
    }
    RGB Background() const { return {settings.bgColor[0], settings.bgColor[1], settings.bgColor[2]}; }
    std::vector<int> TransparentIndexes() const {
        std::vector<int> indexes;
        for (int i = 0; i < 256; ++i)
            if (settings.transIndexes[i]) indexes.push_back(i);
        return indexes;
    }
};

struct ScriptParams : ::testing::Test {
    HostSimulator host{nullptr, nullptr, DescriptorHost()};

    Items Record(ScriptRun& run) {
        WriteScriptParams(run.record);
        return SimDescriptorItems(host.Descriptors().descriptor);
    }
    bool Replay(ScriptRun& run, const Items& items, int16_t playInfo) {
        DropRecording();
        host.Descriptors().descriptor = SimMakeDescriptor(items);
        host.Descriptors().playInfo = playInfo;
        return ReadScriptParams(run.record);
    }
    void DropRecording() {
        SimHandleProcs().disposeProc(host.Descriptors().descriptor);
        host.Descriptors().descriptor = nullptr;
    }
};

}  // namespace

TEST_F(ScriptParams, RecordsEverySettingInOrderAndReplaysItExactly) {
    ScriptRun recorded(host);
    HcSettings& s = recorded.settings;
    s.colors = 77;
    s.interlaced = 1;
    s.dither = 9;
    s.lossy = 45;
    s.transparencyType = TransparencyType::indexed;
    s.transIndexes[200] = 1;
    s.transIndexes[3] = 1;
    s.bgColor[0] = 1, s.bgColor[1] = 2, s.bgColor[2] = 3;
    CvPStrFromC(s.comment, "made by hand");
    CvPStrFromC(recorded.globals.paletteName, "Netscape");
    CvPStrFromC(recorded.globals.basePaletteName, "Grayscale");
    host.Descriptors().recordInfo = plugInDialogRequired;

    Items expected = {SimDescriptorItem::Integer(keyColors, 77),
                      SimDescriptorItem::Text(keyPalette, "Netscape"),
                      SimDescriptorItem::Bool(keyInterlaced, true),
                      SimDescriptorItem::Text(keyBasePalette, "Grayscale"),
                      SimDescriptorItem::Enumerated(keyTransparency, typeTransparency, enumTransIndexed),
                      SimDescriptorItem::Integer(keyTransIndex, 3),
                      SimDescriptorItem::Integer(keyTransIndex, 200),
                      SimDescriptorItem::Integer(keyDithering, 9),
                      SimDescriptorItem::Integer(keyLossy, 45),
                      SimDescriptorItem::Integer(keyBGRed, 1),
                      SimDescriptorItem::Integer(keyBGGreen, 2),
                      SimDescriptorItem::Integer(keyBGBlue, 3),
                      SimDescriptorItem::Text(keyComment, "made by hand")};
    EXPECT_EQ(Record(recorded), expected);
    EXPECT_EQ(host.Descriptors().recordInfo, plugInDialogOptional);

    ScriptRun replayed(host);
    host.Descriptors().playInfo = plugInDialogDontDisplay;
    EXPECT_FALSE(ReadScriptParams(replayed.record));
    EXPECT_EQ(std::memcmp(&replayed.settings, &recorded.settings, sizeof(HcSettings)), 0);
    EXPECT_EQ(PascalText(replayed.globals.paletteName), "Netscape");
    EXPECT_EQ(PascalText(replayed.globals.basePaletteName), "Grayscale");

    // Without lossy coding the recording is the one earlier versions made: no lossy key at all.
    s.lossy = 0;
    expected.erase(expected.begin() + 8);
    EXPECT_EQ(Record(recorded), expected);
}

TEST_F(ScriptParams, ReplayPinsNumbersReplacesOldIndexesAndDefaultsTheBasePalette) {
    ScriptRun run(host);
    run.ExtraPlanes(2);
    run.settings.colors = 100;  // so that a pinned 256 shows
    run.settings.interlaced = 1;
    run.settings.lossy = 60;  // from the preferences: a recording without the key means none
    run.settings.transIndexes[1] = 1;
    run.settings.transIndexes[9] = 1;
    CvPStrFromC(run.globals.basePaletteName, "Grayscale");
    Items items = {SimDescriptorItem::Integer(keyColors, 300),
                   SimDescriptorItem::Integer(keyDithering, 12),
                   SimDescriptorItem::Integer(keyTransAlpha, 5),
                   SimDescriptorItem::Integer(keyBGRed, -4),
                   SimDescriptorItem::Integer(keyBGGreen, 300),
                   SimDescriptorItem::Integer(keyBGBlue, 77),
                   SimDescriptorItem::Enumerated(keyTransparency, typeTransparency, enumTransIndexed),
                   SimDescriptorItem::Integer(keyTransIndex, 5),
                   SimDescriptorItem::Integer(keyTransIndex, 999),
                   SimDescriptorItem::Integer(keyTransIndex, -1),
                   SimDescriptorItem::Text(keyComment, "note")};
    EXPECT_FALSE(Replay(run, items, plugInDialogDontDisplay));
    EXPECT_EQ(run.settings.colors, 256);
    EXPECT_EQ(run.settings.dither, 12);  // beyond the dialog's 0..10, within the recording's 0..16
    EXPECT_EQ(run.settings.transAlphaIndex, 2);
    EXPECT_EQ(run.Background(), (RGB{0, 255, 77}));
    EXPECT_EQ(run.settings.transparencyType, TransparencyType::indexed);
    EXPECT_EQ(run.TransparentIndexes(), (std::vector<int>{0, 5, 255}));
    EXPECT_EQ(PascalText(run.globals.basePaletteName), "None");
    EXPECT_EQ(PascalText(run.settings.comment), "note");
    EXPECT_EQ(run.settings.interlaced, 1);  // absent keys keep their values
    EXPECT_EQ(run.settings.lossy, 0);

    for (auto [recorded, loaded] : {std::pair{250, 100}, {-3, 0}, {33, 33}}) {
        Replay(run, {SimDescriptorItem::Integer(keyLossy, recorded)}, plugInDialogDontDisplay);
        EXPECT_EQ(run.settings.lossy, loaded) << recorded;
    }
}

TEST_F(ScriptParams, TheDialogShowsOnlyWhenAskedAndValuesLoadFirst) {
    ScriptRun run(host);
    CvPStrFromC(run.globals.basePaletteName, "Grayscale");
    EXPECT_TRUE(ReadScriptParams(run.record)) << "no descriptor recorded";
    EXPECT_EQ(PascalText(run.globals.basePaletteName), "Grayscale");

    const std::pair<int16_t, bool> plays[] = {
        {plugInDialogDontDisplay, false}, {plugInDialogDisplay, true}, {plugInDialogSilent, false}};
    for (auto [playInfo, shows] : plays) {
        EXPECT_EQ(Replay(run, {SimDescriptorItem::Integer(keyColors, 8 + playInfo)}, playInfo), shows) << playInfo;
        EXPECT_EQ(run.settings.colors, 8 + playInfo) << "values load before the dialogs too";
    }
}

TEST_F(ScriptParams, OldRecordingIsFreedOnlyThroughTheHost) {
    static std::vector<Handle> disposed;
    HandleProcs counting = SimHandleProcs();
    counting.disposeProc = [](Handle h) {
        disposed.push_back(h);
        SimHandleProcs().disposeProc(h);
    };
    host.Record().handleProcs = &counting;
    ScriptRun run(host);
    Handle old = SimMakeDescriptor({});
    host.Descriptors().descriptor = old;
    disposed.clear();
    WriteScriptParams(run.record);
    EXPECT_EQ(disposed, std::vector<Handle>{old});
    // The old handle is freed, so the new one may reuse its address: tell them apart by content.
    ASSERT_NE(host.Descriptors().descriptor, nullptr);
    EXPECT_FALSE(SimDescriptorItems(host.Descriptors().descriptor).empty());

    // A host without handle procedures keeps its handle: the plug-in must not free it in any other way.
    host.Record().handleProcs = nullptr;
    run.globals.hostHasHandleProcs = false;
    DropRecording();
    old = SimMakeDescriptor({SimDescriptorItem::Integer(keyColors, 5)});
    host.Descriptors().descriptor = old;
    WriteScriptParams(run.record);
    EXPECT_EQ(disposed.size(), 1u);
    EXPECT_EQ(SimDescriptorItems(old), Items{SimDescriptorItem::Integer(keyColors, 5)});  // still the host's
    SimHandleProcs().disposeProc(old);
}
