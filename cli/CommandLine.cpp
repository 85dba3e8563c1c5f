// Flag parsing for the halcyne command. Numbers must be whole decimal numbers inside their ranges;
// the colour count and dither ranges are those a person can choose in the dialogs.
#include "cli/CommandLine.h"

#include <sstream>

namespace {

int ParseInt(const std::string& flag, const std::string& text, int low, int high) {
    size_t used = 0;
    long value = 0;
    try {
        value = std::stol(text, &used, 10);
    } catch (const std::exception&) {
        used = 0;
    }
    if (text.empty() || used != text.size() || value < low || value > high)
        throw UsageError(flag + " takes a whole number from " + std::to_string(low) + " to " + std::to_string(high) +
                         ", not '" + text + "'");
    return int(value);
}

// A byte count, or a number of kilobytes (K, 1024 bytes) or megabytes (M); at least 1 byte, below 4 GB.
uint32_t ParseSize(const std::string& flag, const std::string& text) {
    const char last = text.empty() ? '\0' : text.back();
    const uint64_t unit = (last == 'K' || last == 'k') ? 1024 : (last == 'M' || last == 'm') ? 1024 * 1024 : 1;
    const std::string digits = unit == 1 ? text : text.substr(0, text.size() - 1);
    uint64_t value = 0;
    bool valid = !digits.empty() && digits.size() <= 10;
    for (char c : digits) {
        valid = valid && c >= '0' && c <= '9';
        value = value * 10 + uint64_t(c - '0');
    }
    value *= unit;
    if (!valid || value == 0 || value > UINT32_MAX)
        throw UsageError(flag + " takes a size in bytes, or with K or M (1K = 1024 bytes), below 4 GB, not '" + text +
                         "'");
    return uint32_t(value);
}

std::vector<int> ParseIntList(const std::string& flag, const std::string& text, int low, int high) {
    std::vector<int> values;
    std::stringstream items(text);
    for (std::string item; std::getline(items, item, ',');) values.push_back(ParseInt(flag, item, low, high));
    if (values.empty()) throw UsageError(flag + " needs at least one number");
    return values;
}

void ParseTransparency(const std::string& value, HalcyneOptions& options) {
    if (value == "none") {
        options.transparency = TransparencyChoice::None;
    } else if (value == "alpha") {
        options.transparency = TransparencyChoice::Alpha;
    } else if (value.rfind("alpha=", 0) == 0) {
        options.transparency = TransparencyChoice::Alpha;
        options.alphaPlane = ParseInt("--transparency alpha=", value.substr(6), 0, 32767);
    } else if (value.rfind("index=", 0) == 0) {
        options.transparency = TransparencyChoice::Indexed;
        options.transparentIndexes = ParseIntList("--transparency index=", value.substr(6), 0, 255);
    } else {
        throw UsageError("--transparency takes none, alpha, alpha=PLANE or index=I[,J...], not '" + value + "'");
    }
}

void ParseBackground(const std::string& value, HalcyneOptions& options) {
    if (value.find(',') != std::string::npos) {
        std::vector<int> rgb = ParseIntList("--background", value, 0, 255);
        if (rgb.size() != 3) throw UsageError("--background takes R,G,B (three numbers) or a saved colour's name");
        options.backgroundRgb = rgb;
    } else {
        options.backgroundName = value;
    }
}

void CheckName(const std::string& flag, const std::string& name) {
    if (name.empty() || name.size() > 255) throw UsageError(flag + " takes a name of 1 to 255 characters");
}

void CheckInputsAndOutput(const HalcyneOptions& options) {
    if (options.inputs.empty()) throw UsageError("no input image given");
    const bool severalInputs = options.inputs.size() > 1;
    for (const std::string& input : options.inputs) {
        if (input.empty()) throw UsageError("an input image name is empty");
        if (input == kStandardStream && (severalInputs || options.output.empty()))
            throw UsageError("standard input (-) is read as the only input, with -o FILE or -o -");
    }
    if (options.output == kStandardStream && severalInputs)
        throw UsageError("-o - writes one GIF to standard output; it takes one input");
}

}  // namespace

HalcyneOptions ParseCommandLine(const std::vector<std::string>& arguments) {
    HalcyneOptions options;
    for (size_t i = 0; i < arguments.size(); ++i) {
        const std::string& flag = arguments[i];
        auto value = [&]() -> const std::string& {
            if (i + 1 >= arguments.size()) throw UsageError(flag + " needs a value");
            return arguments[++i];
        };
        if (flag == "-h" || flag == "--help")
            options.help = true;
        else if (flag == "-V" || flag == "--version")
            options.version = true;
        else if (flag == "-o" || flag == "--output")
            options.output = value();
        else if (flag == "-c" || flag == "--colors")
            options.colors = ParseInt(flag, value(), 2, 256);
        else if (flag == "-d" || flag == "--dither")
            options.dither = ParseInt(flag, value(), 0, 10);
        else if (flag == "--lossy")
            options.lossy = ParseInt(flag, value(), 0, 100);
        else if (flag == "--max-size")
            options.maxSize = ParseSize(flag, value());
        else if (flag == "-p" || flag == "--palette")
            CheckName(flag, *(options.palette = value()));
        else if (flag == "-b" || flag == "--base-palette")
            CheckName(flag, *(options.basePalette = value()));
        else if (flag == "--palette-file")
            options.paletteFile = value();
        else if (flag == "-i" || flag == "--interlace")
            options.interlaced = true;
        else if (flag == "--no-interlace")
            options.interlaced = false;
        else if (flag == "-t" || flag == "--transparency")
            ParseTransparency(value(), options);
        else if (flag == "--background")
            ParseBackground(value(), options);
        else if (flag == "--comment") {
            options.comment = value();
            if (options.comment->size() > 255) throw UsageError("--comment takes at most 255 characters");
        } else if (flag == "--no-prefs")
            options.noPrefs = true;
        else if (flag == "--last-settings")
            options.lastSettings = true;
        else if (flag == "-q" || flag == "--quiet")
            options.quiet = true;
        else if (flag == "-j" || flag == "--jobs")
            options.jobs = ParseInt(flag, value(), 1, kMaxJobs);
        else if (flag == "--dialog")
            options.dialog = true;
        else if (!flag.empty() && flag[0] == '-' && flag != kStandardStream)
            throw UsageError("unknown option " + flag);
        else {
            options.inputs.push_back(flag);
            options.inputArguments.push_back(i);
        }
    }
    if (options.help || options.version) return options;
    CheckInputsAndOutput(options);
    if (options.palette && options.paletteFile) throw UsageError("--palette and --palette-file exclude each other");
    if (options.lastSettings && options.noPrefs) throw UsageError("--last-settings and --no-prefs exclude each other");
    if (options.maxSize && options.dialog) throw UsageError("--max-size and --dialog exclude each other");
    return options;
}

const char* UsageText() {
    return "Usage: halcyne INPUT... [-o OUTPUT] [options]\n"
           "Reduces images (PNG, JPEG, GIF, WebP, TIFF, BMP, PGM, PPM or PAM) to at most 256 colours and saves\n"
           "each as a GIF89a file.\n"
           "An input '-' is read from standard input.\n"
           "\n"
           "  -o, --output FILE|DIR/   the GIF file to write, '-' for standard output, or the folder for several\n"
           "                           inputs (without -o each GIF goes beside its input, as NAME.gif);\n"
           "                           an existing file is replaced only when the new one is complete\n"
           "  -c, --colors N           number of colours, 2 to 256\n"
           "  -d, --dither N           dithering amount, 0 (none) to 10\n"
           "      --lossy N            lossy compression, 0 (none) to 100: pixels may take a nearby palette\n"
           "                           colour where that makes the file smaller; the higher, the further\n"
           "      --max-size SIZE      the best GIF of at most SIZE bytes (or K, M: 1K = 1024 bytes): raises\n"
           "                           the lossy level, then lowers the colour count, as far as needed; prints\n"
           "                           what it chose, and writes nothing when 2 colours at lossy 100 do not fit\n"
           "  -p, --palette NAME       Fine (the default: adaptive from full colours, the closest picture),\n"
           "                           Custom (the plug-in's classic adaptive palette), Netscape, Grayscale,\n"
           "                           System or a saved palette\n"
           "      --palette-file FILE  use the palette of an ACT or GIF file for this run\n"
           "  -b, --base-palette NAME  None, Custom or a palette whose colours must survive exactly\n"
           "  -i, --interlace          write an interlaced GIF (--no-interlace to turn it off)\n"
           "  -t, --transparency MODE  none, alpha (the input's alpha channel), alpha=PLANE, index=I[,J...]\n"
           "                           (default: alpha when the input has an alpha channel, else none)\n"
           "      --background COLOUR  background colour: R,G,B or the name of a saved colour\n"
           "      --comment TEXT       GIF comment, at most 255 characters\n"
           "      --no-prefs           neither read nor write the preferences file\n"
           "      --last-settings      flags not given take the settings the last run stored\n"
           "      --dialog             show the plug-in's dialogs, starting from the flags' values; -o names the\n"
           "                           file, else the Save As box asks (Windows build; on Linux through\n"
           "                           scripts/halcyne, which runs it under Wine)\n"
           "  -j, --jobs N             convert up to N inputs at once, each in a process of its own (default:\n"
           "                           the number of processors); messages keep the inputs' order\n"
           "  -q, --quiet              no progress lines\n"
           "  -h, --help               this text\n"
           "  -V, --version            the version\n"
           "\n"
           "Flags not given take the defaults above (256 colours, no dithering, no lossy compression, the Fine\n"
           "palette, no base palette, no interlacing, background 128,128,128, no comment), so the same command\n"
           "line always writes the same file. The preferences file the plug-in keeps\n"
           "($XDG_CONFIG_HOME/Corvane/Halcyne Prefs, else ~/.config/Corvane/Halcyne Prefs) supplies the saved\n"
           "palettes and saved colours named by --palette, --base-palette and --background; each run stores its\n"
           "settings there for the plug-in.\n"
           "Exit status: 0 when every GIF was written, 1 when any failed (or did not fit --max-size), 2 for a\n"
           "wrong flag, 3 when cancelled in the dialogs or the Save As box (the inputs after it are not\n"
           "converted),\n"
           "128 + the signal's number when interrupted (130 for Ctrl-C).\n";
}
