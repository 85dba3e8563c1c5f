// A host in miniature: owns a FilterRecord and everything it points to, delivers planes in pieces as a host
// does, and drives a module's entry point through a whole run. Tests and our command-line tool use it.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "hostapi/FilterHost.h"
#include "platform/HcEmbed.h"

// An image as the host holds it: planar bytes, colour planes first, then the planes a layer may carry.
struct SimImage {
    int16_t mode = plugInModeRGBColor;
    int width = 0;
    int height = 0;
    int colorPlanes = 3;
    int transparencyPlanes = 0;  // 0 or 1
    int layerMasks = 0;
    int invertedLayerMasks = 0;
    int nonLayerPlanes = 0;                    // other channels
    std::vector<std::vector<uint8_t>> planes;  // width * height bytes each, in the order above
    // Optionally the colour planes interleaved (width * height * colorPlanes bytes); `planes` then holds only the
    // planes after them. A request for exactly the colour planes is then delivered without a copy.
    std::vector<uint8_t> color;

    int PlaneCount() const {
        return colorPlanes + transparencyPlanes + layerMasks + invertedLayerMasks + nonLayerPlanes;
    }
    uint8_t Sample(int plane, size_t pixel) const {
        if (color.empty()) return planes[size_t(plane)][pixel];
        if (plane < colorPlanes) return color[pixel * size_t(colorPlanes) + size_t(plane)];
        return planes[size_t(plane - colorPlanes)][pixel];
    }
};

struct SimAlert {
    std::string text;
    std::string caption;
    int32_t buttons;
};

// An error the module reported to its embedding host before alerting it.
struct SimError {
    uint32_t code;
    uint32_t detail;
};

struct SimOptions {
    bool supportsAbsolute = true;
    int extraRowBytes = 0;  // padding the host adds after each delivered row
    bool handleProcs = true;
    bool advanceState = true;
    bool descriptors = false;    // offer the scripting descriptor suites (Descriptors())
    bool answerBoxes = true;     // install the embedding host (alerts recorded, boxes answered)
    std::string savePath;        // the Save As answer; empty means the user cancels
    std::string configFolder;    // where the module keeps its preferences
    int32_t alertAnswer = 1;     // what every alert is answered with
    bool showDialogs = false;    // an interactive run shows the module's real dialogs (Windows)
    bool systemSaveBox = false;  // the system's Save As box asks instead of savePath answering
    bool systemOpenBox = false;  // the system's Open box asks (palette files)
    bool systemAlerts = false;   // alerts are the system's message boxes (Windows), answered by a person
    // A failure to store the preferences is recorded (PrefsFailures()) and the run goes on.
    bool goOnWithoutPrefs = false;
};

class HostSimulator {
public:
    HostSimulator(PluginEntryProc entry, HcSetEmbedHostProc setEmbedHost, SimOptions options = {});
    ~HostSimulator();
    HostSimulator(const HostSimulator&) = delete;
    HostSimulator& operator=(const HostSimulator&) = delete;

    // The image is taken over (pass a temporary or std::move to avoid a copy of the planes).
    void SetImage(SimImage image);

    // One call of the entry point with the current records; returns the call's result.
    int16_t Call(int16_t selector);
    int16_t About();
    // A whole run: Parameters (when asked), Prepare, Start, Continue while planes are wanted, Finish.
    // Stops at the first call whose result is not 0 and returns that result.
    int16_t Run(bool withParameters);
    // The part of a run before Finish: Prepare, Start, and Continue while planes are wanted.
    int16_t ReadPlanes();
    // Frees the image's planes once the module holds its own copy (keeps a large run's memory down). A delivery
    // still lent to the module is freed at the end of the run, through inData, as a host frees it.
    void ForgetPlanes() {
        std::vector<std::vector<uint8_t>>().swap(image_.planes);
        std::vector<uint8_t>().swap(image_.color);
    }

    FilterRecord& Record() { return record_; }
    // The scripting parameters offered when SimOptions.descriptors is set: a test sets playInfo and the
    // descriptor to replay, and finds the recorded one there. The simulator disposes the descriptor left in it.
    PIDescriptorParameters& Descriptors() { return descriptors_; }
    intptr_t Data() const { return data_; }
    const std::vector<SimAlert>& Alerts() const { return alerts_; }
    void ClearAlerts() { alerts_.clear(); }
    const std::vector<SimError>& Errors() const { return errors_; }
    // Failures to store the preferences that the run went on after (SimOptions.goOnWithoutPrefs).
    const std::vector<SimError>& PrefsFailures() const { return prefsFailures_; }
    // Whether the module has asked for the output file (it saves its preferences just before).
    bool SaveAsked() const { return saveAsked_; }
    intptr_t HostWindow() const { return platform_.hwnd; }
    int ContinueCalls() const { return continueCalls_; }
    // Planes delivered, one entry per Continue: (first plane, last plane).
    const std::vector<std::pair<int, int>>& Deliveries() const { return deliveries_; }

private:
    static int32_t HC_EMBED_CDECL OnAlert(void* context, const char* text, const char* caption, int32_t buttons);
    static int32_t HC_EMBED_CDECL OnSavePath(void* context, const char* suggested, char* path, int32_t size);
    static int32_t HC_EMBED_CDECL OnOpenPath(void* context, const char* title, char* path, int32_t size);
    static void HC_EMBED_CDECL OnError(void* context, uint32_t code, uint32_t detail);
    static void HC_EMBED_CDECL OnPrefsNotStored(void* context, uint32_t code, uint32_t detail);

    void PrepareRecord();
    bool DeliverRequestedPlanes();
    // Frees the buffer of the last delivery through FilterRecord.inData, as hosts do: a module that changed the
    // field makes the host leak (or free something else), which the sanitizers report.
    void ReleaseDelivery();

    PluginEntryProc entry_;
    HcSetEmbedHostProc setEmbedHost_;
    SimOptions options_;
    SimImage image_;
    FilterRecord record_{};
    AboutRecord about_{};
    PlatformData platform_{};
    HandleProcs handleProcs_{};
    ReadDescriptorProcs readProcs_{};
    WriteDescriptorProcs writeProcs_{};
    PIDescriptorParameters descriptors_{};
    intptr_t data_ = 0;
    bool deliveryOwned_ = false;  // inData holds a buffer this host allocated (not the image's own rows)
    std::vector<SimAlert> alerts_;
    std::vector<SimError> errors_;
    std::vector<SimError> prefsFailures_;
    bool saveAsked_ = false;
    std::vector<std::pair<int, int>> deliveries_;
    int continueCalls_ = 0;
};

// The host's own handles, as its handle procedures hand them out.
HandleProcs SimHandleProcs();
