// The plug-in's entry linked into the test itself, for tests that look inside the run data between calls.
#pragma once

#include <stdexcept>
#include <utility>

#include "common/HcHandle.h"
#include "common/hcmain.h"
#include "hostsim/HostSimulator.h"
#include "platform/Platform.h"
#include "tests/support/TestPaths.h"

inline void HC_CDECL InProcessEntry(int16_t selector, void* block, intptr_t* data, int16_t* result) {
    HcEntry(selector, block, data, result);
}
inline void HC_EMBED_CDECL InProcessEmbed(const HcEmbedHost* host) {
    Platform::SetEmbedHost(host);
}

// The working record the module keeps in the host's data slot; valid while a run is open.
inline HcCallRecord& CallRecord(const HostSimulator& host) {
    return *static_cast<HcCallRecord*>(reinterpret_cast<HcMasterBlock*>(host.Data())->data);
}
inline HcGlobals& RunData(const HostSimulator& host) {
    return CallRecord(host).runData;
}

// Runs in tests never read or write the user's own preferences: each host gets a fresh folder, and the Save As
// box is answered with a file in it (a test of the cancelled box clears savePath).
inline SimOptions PrivatePrefs(SimOptions options = {}) {
    options.configFolder = MakeScratchDir("prefs");
    if (options.savePath.empty()) options.savePath = options.configFolder + "/out.gif";
    return options;
}

// The same options with the host's descriptor suites, for runs that record or replay settings.
inline SimOptions WithDescriptors(SimOptions options = {}) {
    options.descriptors = true;
    return options;
}

// A run through the simulated host, with private preferences, that has read `image`'s planes. Destroyed while the
// run is open it ends the run with Finish (which exports unless the test cleared allPlanesRead). Keep one open at a
// time: the plug-in answers to the host that called it last.
struct ReadRun {
    explicit ReadRun(const SimImage& image, SimOptions options = {})
        : host(InProcessEntry, InProcessEmbed, PrivatePrefs(std::move(options))) {
        host.SetImage(image);
        if (host.ReadPlanes() != 0) throw std::runtime_error("the plug-in did not read the host's planes");
    }
    ~ReadRun() {
        if (host.Data()) host.Call(filterSelectorFinish);
    }
    ReadRun(const ReadRun&) = delete;
    ReadRun& operator=(const ReadRun&) = delete;
    HcGlobals& globals() const { return RunData(host); }
    HcCallRecord& record() const { return CallRecord(host); }
    HostSimulator host;
};
