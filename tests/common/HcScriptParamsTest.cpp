// Scripting parameters against the simulated host's descriptor suites: what is recorded, in which order,
// what a replay loads, how values are pinned, when the dialogs are asked for, and who frees the old recording.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/HcScriptParams.h"
#include "cvcode2/CvString.h"
#include "hostsim/SimDescriptor.h"
#include "tests/support/HostLayers.h"
#include "tests/support/InProcessHost.h"
#include "tests/support/RecordingText.h"
#include "tests/support/SettingsLists.h"

namespace {

using Items = std::vector<SimDescriptorItem>;

// A run that has read an RGB layer with two extra planes from a host with the descriptor suites; it ends without an
// export.
struct ScriptParams : ::testing::Test {
    ReadRun run{HostLayer(plugInModeRGBColor, 2, 2, 1, 0, 1), WithDescriptors()};
    HostSimulator& host = run.host;
    HcGlobals& globals = run.globals();
    HcSettings& settings = globals.settings;
    ~ScriptParams() override { globals.allPlanesRead = false; }

    // Offers `items` as the recording to replay (none when empty).
    void Offer(const Items& items, int16_t playInfo) {
        SimHandleProcs().disposeProc(host.Descriptors().descriptor);
        host.Descriptors().descriptor = items.empty() ? nullptr : SimMakeDescriptor(items);
        host.Descriptors().playInfo = playInfo;
    }
    bool Replay(const Items& items, int16_t playInfo) {
        Offer(items, playInfo);
        return ReadScriptParams(run.record());
    }
};

}  // namespace

// Each replay loads over the settings and is recorded back in the dictionary's order: numbers are pinned (dithering
// beyond the dialog's 0..10 stays, within the recording's 0..16; the plane at most the number of extra planes), the
// old indexes are replaced, a missing base palette is "None" and a missing lossy level none (what a recording from
// before lossy coding always meant; at none no lossy key is recorded, as then); other missing keys keep their values.
TEST_F(ScriptParams, ReplaysLoadPinnedAndAreRecordedBackInTheDictionarysOrder) {
    settings.lossy = 60;  // from the preferences
    settings.transIndexes[9] = 1;
    CvPStrFromC(globals.basePaletteName, "Grayscale");
    host.Descriptors().recordInfo = plugInDialogRequired;
    const std::pair<const char*, const char*> cases[] = {
        {"Dpth=77 | Plt=Netscape | Intr=true | bpal=Grayscale | tran=Cvtn:indx | itrn=3 | itrn=200 | Dthr=9 | "
         "Lssy=45 | R=1 | G=2 | B=3 | comm=made by hand",
         nullptr},
        {"Dpth=300 | Dthr=12 | A=5 | R=-4 | G=300 | B=77 | tran=Cvtn:alph | comm=note",
         "Dpth=256 | Plt=Netscape | Intr=true | tran=Cvtn:alph | A=2 | Dthr=12 | R=0 | G=255 | B=77 | comm=note"},
        {"tran=Cvtn:indx | itrn=5 | itrn=999 | itrn=-1 | Lssy=250",
         "Dpth=256 | Plt=Netscape | Intr=true | tran=Cvtn:indx | itrn=0 | itrn=5 | itrn=255 | Dthr=12 | Lssy=100 | "
         "R=0 | G=255 | B=77 | comm=note"}};
    for (const auto& [replayed, recorded] : cases) {
        EXPECT_FALSE(Replay(RecordingItems(replayed), plugInDialogDontDisplay));
        WriteScriptParams(run.record());
        EXPECT_EQ(SimDescriptorItems(host.Descriptors().descriptor), RecordingItems(recorded ? recorded : replayed))
            << replayed;
    }
    EXPECT_EQ(host.Descriptors().recordInfo, plugInDialogOptional);
    for (auto [recorded, loaded] : {std::pair{-3, 0}, {33, 33}}) {
        Replay({SimDescriptorItem::Integer(keyLossy, recorded)}, plugInDialogDontDisplay);
        EXPECT_EQ(settings.lossy, loaded) << recorded;
    }
}

// The dialogs show unless a recording is replayed without them, at Parameters and again at Finish; a replay's
// values load before the dialogs too, and without a recording the settings stay as they are.
TEST_F(ScriptParams, TheDialogsShowUnlessARecordingIsReplayedWithoutThem) {
    const struct {
        bool descriptors, recording;
        int16_t playInfo;
        bool shows;
    } cases[] = {{false, false, 0, true},
                 {true, false, 0, true},
                 {true, true, plugInDialogDontDisplay, false},
                 {true, true, plugInDialogSilent, false},
                 {true, true, plugInDialogDisplay, true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.descriptors << c.recording << c.playInfo);
        CvPStrFromC(globals.basePaletteName, "Grayscale");
        Offer(c.recording ? Items{SimDescriptorItem::Integer(keyColors, 8 + c.playInfo)} : Items{}, c.playInfo);
        if (!c.descriptors) host.Record().descriptorParameters = nullptr;
        EXPECT_EQ(host.Call(filterSelectorParameters), 0);
        EXPECT_EQ(globals.showDialog, c.shows);
        EXPECT_EQ(ReadScriptParams(run.record()), c.shows);
        EXPECT_EQ(settings.colors, c.recording ? 8 + c.playInfo : 256);
        EXPECT_EQ(PascalText(globals.basePaletteName), c.recording ? "None" : "Grayscale");
        host.Record().descriptorParameters = &host.Descriptors();
    }
}

// The old recording is the host's handle: a host without handle procedures keeps it (the plug-in freeing it would
// show here as a use after free). Hosts with them have it freed through their procedure at every whole run that
// replays a recording, ExportFrame.WholeRecordedRuns...: one left or freed twice, the sanitizers see.
TEST_F(ScriptParams, AHostWithoutHandleProceduresKeepsItsOldRecording) {
    host.Record().handleProcs = nullptr;
    globals.hostHasHandleProcs = false;
    Offer({SimDescriptorItem::Integer(keyColors, 5)}, plugInDialogDontDisplay);
    const Handle old = host.Descriptors().descriptor;
    WriteScriptParams(run.record());
    EXPECT_EQ(SimDescriptorItems(old), Items{SimDescriptorItem::Integer(keyColors, 5)});
    SimHandleProcs().disposeProc(old);
}
