// A stand-in for a dialog that holds preview panes: a canvas with the zoom buttons and label the panes drive,
// the cursor set made current, and helpers to build asymmetric pictures and to find commands the panes sent.
#pragma once

#include <windows.h>

#include <map>
#include <memory>
#include <set>
#include <utility>
#include <vector>

#include "cvcode2/CvColorTable.h"
#include "cvcode2/CvGIFFrame.h"
#include "cvcode2/CvIndexedImage.h"
#include "cvcode2/CvRGBImage.h"
#include "tests/win/support/BenchCapture.h"
#include "tests/win/support/BenchWindow.h"
#include "win/HcCursors.h"

class PaneBench {
public:
    static constexpr int kZoomIn = 1036, kZoomOut = 1037, kZoomLabel = 1038;

    explicit PaneBench(int width = 660, int height = 260);
    ~PaneBench();

    HWND Dialog() const { return dialog.Handle(); }
    HWND Host() const { return host.Handle(); }
    // A child of the dialog stand-in for a pane to attach to.
    HWND AddPane(const RECT& rect, int id);
    // WM_COMMAND messages with that identifier the dialog stand-in received so far.
    int CommandsReceived(int id) const { return commands.count(id) ? commands.at(id) : 0; }

private:
    BenchHostWindow host;
    BenchCanvas dialog;
    std::vector<std::unique_ptr<BenchCanvas>> panes;
    std::map<int, int> commands;  // WM_COMMAND messages received, by identifier
    HcCursors cursors;
};

// The image tests' asymmetric picture (ImageTestSupport.h): flips, strides and channel swaps all show.
std::unique_ptr<CvRGBImage> AsymmetricImage(uint32_t width, uint32_t height);
uint32_t AsymmetricPixel(uint32_t x, uint32_t y);
// A frame whose pixel (x, y) has index (x + 2y) % 8 of MakeIndexedPicture's eight colours (StripedColor), all
// opaque, background magenta.
std::unique_ptr<CvGIFFrame> StripedFrame(uint32_t width, uint32_t height);
uint32_t StripedColor(uint32_t index);
constexpr uint32_t kFrameBackground = 0xFF00FF;
// The frame's pixels that show in kFrameBackground, which no palette entry of the bench's frames has: the transparent.
using PixelSet = std::set<std::pair<uint32_t, uint32_t>>;
PixelSet TransparentPixels(const CvGIFFrame& frame);
