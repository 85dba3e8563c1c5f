// Driving the plug-in's dialogs from outside, for their tests and the speed benchmark: whole runs with them shown,
// their texts, whether a reduction runs, the dithering slider's stops, the lossy control, the options' readout.
#pragma once

#include <windows.h>

#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "hostsim/HostSimulator.h"
#include "hostsim/ModuleLoader.h"
#include "tests/win/support/BenchModal.h"

// The benchmarks' photograph (build/bench-data/the-mouse.ppm, which scripts/bench-photo.sh makes) scaled to
// width x height, nearest pixel; false when it is not there.
bool BenchPhotograph(uint32_t width, uint32_t height, SimImage& image);

// The whole runs' many-coloured picture (HostPicture), its colour planes interleaved as a host may hand them over.
SimImage InterleavedHostPicture(int width, int height);

// A control's text (the dialog's texts are plain ASCII).
std::string DialogText(HWND dialog, int id);
// The size line shows "GIF 0K" from the start of a reduction until its compressed size is known.
bool ShowsNoGifSize(const std::string& sizeLine);
bool QuantReducing(HWND dialog);
// Pumps until the running reduction has shown its size (at most a minute) and the queue is idle; false if it
// never did.
bool WaitForReduction(HWND dialog);
// Acts on the quantization dialog once it shows and its first reduction has ended (not from inside that
// reduction's pump, which would wait for itself).
std::unique_ptr<BenchOnModal> OnQuantDialog(std::function<void(HWND)> action, std::chrono::milliseconds limit);
// The dithering value the slider shows.
int DitherShown(HWND dialog);
// The slider's own window, and a point on its thumb when it stands at `stop` (that window's coordinates).
HWND DitherPaneOf(HWND dialog);
POINT DitherStop(HWND dialog, int stop);
// Picks an entry of a drop-down list as a person does: the list tells its dialog that the selection changed.
void Choose(HWND dialog, int id, int item);
// The level the "Lossy" control shows beside its label.
int LossyShown(HWND dialog);
// Drags the lossy thumb to about `level` as a person does; the control decides the level it lands on.
void DragLossy(HWND dialog, int level);

// The bytes the options dialog's "File Size" readout shows once pending messages are handled; -1 when it shows none.
long OptionsReadout(HWND dialog);

// Every text the size line is given while this lives, in order, read back after the dialog handled each one.
class SizeLineLog {
public:
    SizeLineLog();
    ~SizeLineLog();
    SizeLineLog(const SizeLineLog&) = delete;
    SizeLineLog& operator=(const SizeLineLog&) = delete;

    const std::vector<std::string>& Texts() const { return texts; }
    // Reductions started since the dialog opened: the line shows "GIF 0K" at the opening and at every start.
    int Starts() const;

private:
    static LRESULT CALLBACK Record(int code, WPARAM wParam, LPARAM lParam);

    HHOOK hook;
    std::vector<std::string> texts;
};

// Options whose Save As and Open boxes are the system's, as a person meets them.
SimOptions SystemBoxes();

// One interactive run of the real module under the host simulator with its dialogs shown, acted on from inside their
// loops; the preferences live in a fresh folder unless `extra` names one, and the Save As answer is OutPath()
// unless the system's box asks. In process, the plug-in's code linked into the bench runs instead of the module's.
class DialogRun {
public:
    explicit DialogRun(SimImage image, SimOptions extra = {}, bool inProcess = false);

    // Acts once on the next quantization dialog (once its first reduction has ended) or options dialog; each
    // watcher lives as long as the run, so an action may arm the next one of its own kind.
    void OnQuantization(std::function<void(HWND)> action);
    void OnOptions(std::function<void(HWND)> action);
    int16_t Run() { return host->Run(true); }
    std::string OutPath() const { return options.savePath; }
    bool Written() const;
    // The same picture exported without dialogs with the settings the interactive run stored.
    std::string ScriptedBytes(SimImage image);

    ModuleLoader module;
    std::string folder;
    SimOptions options;
    std::unique_ptr<HostSimulator> host;
    SizeLineLog sizes;

private:
    std::vector<std::unique_ptr<BenchOnModal>> watchers;
};
