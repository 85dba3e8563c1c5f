// The halcyne command's flags: parsed and range-checked before any file is touched.
// A flag that is not given takes its documented default (with --last-settings: the preferences file's value).
#pragma once

#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

class UsageError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

enum class TransparencyChoice { FromInput, None, Alpha, Indexed };

// "-" as an input reads standard input; as the output it writes standard output.
constexpr const char* kStandardStream = "-";

// The most conversions that run at once.
constexpr int kMaxJobs = 256;

struct HalcyneOptions {
    std::vector<std::string> inputs;
    // Where each input stands among the arguments.
    std::vector<size_t> inputArguments;
    std::string output;  // a file, a folder (several inputs), "-", or empty: each GIF beside its input
    std::optional<int> colors;
    std::optional<int> dither;
    std::optional<int> lossy;         // 0..100
    std::optional<uint32_t> maxSize;  // bytes: the best GIF no larger is searched for
    std::optional<std::string> palette;
    std::optional<std::string> basePalette;
    std::optional<std::string> paletteFile;
    std::optional<bool> interlaced;
    TransparencyChoice transparency = TransparencyChoice::FromInput;
    int alphaPlane = 0;                   // with Alpha: which extra plane (0 = the input's alpha channel)
    std::vector<int> transparentIndexes;  // with Indexed
    std::optional<std::string> backgroundName;
    std::optional<std::vector<int>> backgroundRgb;
    std::optional<std::string> comment;
    bool noPrefs = false;
    bool lastSettings = false;  // flags not given take the settings stored by the last run
    bool quiet = false;
    // Conversions at once with several inputs; default: the number of processors.
    std::optional<int> jobs;
    bool dialog = false;  // the plug-in's dialogs ask, starting from the flags; -o answers Save As when given
    bool help = false;
    bool version = false;
};

// Throws UsageError with a one-line reason.
HalcyneOptions ParseCommandLine(const std::vector<std::string>& arguments);
const char* UsageText();
