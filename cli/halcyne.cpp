// The halcyne command: reads an image, hands it to the plug-in module as a host would (planes, a recorded
// descriptor replayed without dialogs, the Save As answer) and succeeds only when the GIF file was written.
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <iostream>
#include <string>

#include "cli/CommandLine.h"
#include "cli/HostImage.h"
#include "cli/InputImage.h"
#include "cli/PaletteImport.h"
#include "cli/SettingsDescriptor.h"
#include "hostsim/HostSimulator.h"
#include "hostsim/ModuleLoader.h"

#if defined(_WIN32)
#include <windows.h>
#else
#include <unistd.h>
#endif

namespace fs = std::filesystem;

namespace {

constexpr const char* kVersion = "halcyne 4.0";
constexpr size_t kProgressPixels = 1u << 20;

fs::path ExecutablePath(const char* argv0) {
#if defined(_WIN32)
    (void)argv0;
    char path[MAX_PATH * 4] = {};
    GetModuleFileNameA(nullptr, path, sizeof path);
    return fs::path(path);
#else
    std::error_code error;
    fs::path self = fs::read_symlink("/proc/self/exe", error);
    return error ? fs::absolute(argv0) : self;
#endif
}

fs::path ModulePath(const char* argv0) {
#if defined(_WIN32)
    return ExecutablePath(argv0).parent_path() / "Halcyne.8bf";
#else
    return ExecutablePath(argv0).parent_path() / "libHalcyne.so";
#endif
}

// The folder must exist and take new files; the module itself never leaves a partial file behind.
void CheckOutputFolder(const std::string& output) {
    fs::path folder = fs::absolute(output).parent_path();
    std::error_code error;
    if (!fs::is_directory(folder, error)) throw std::runtime_error("the folder " + folder.string() + " does not exist");
    if (fs::is_directory(output, error)) throw std::runtime_error(output + " is a folder");
#if !defined(_WIN32)
    if (access(folder.c_str(), W_OK) != 0) throw std::runtime_error("cannot write into the folder " + folder.string());
#endif
}

// A fresh folder under the system's temporary folder for one run, removed afterwards; empty when not wanted.
class PrivateFolder {
public:
    explicit PrivateFolder(bool wanted) {
        if (!wanted) return;
#if defined(_WIN32)
        unsigned long process = GetCurrentProcessId();
#else
        unsigned long process = static_cast<unsigned long>(getpid());
#endif
        path_ = fs::temp_directory_path() / ("halcyne-prefs-" + std::to_string(process));
        fs::remove_all(path_);
        fs::create_directories(path_);
    }
    ~PrivateFolder() {
        std::error_code ignored;
        if (!path_.empty()) fs::remove_all(path_, ignored);
    }
    PrivateFolder(const PrivateFolder&) = delete;
    PrivateFolder& operator=(const PrivateFolder&) = delete;
    std::string Path() const {
        return path_.string();
    }

private:
    fs::path path_;
};

std::string AlertsText(const HostSimulator& host) {
    std::string text;
    for (const SimAlert& alert : host.Alerts()) text += (text.empty() ? "" : "; ") + alert.text;
    return text;
}

int Convert(const HalcyneOptions& options, const char* argv0) {
    InputImage image = ReadImageFile(options.input);
    CheckOutputFolder(options.output);
    if (fs::exists(options.input) && fs::exists(options.output) && fs::equivalent(options.input, options.output))
        throw std::runtime_error("the output file would replace the input image");

    bool showProgress = !options.quiet && size_t(image.width) * size_t(image.height) >= kProgressPixels;
    auto started = std::chrono::steady_clock::now();
    if (showProgress)
        std::cerr << "halcyne: converting " << options.input << " (" << image.width << " x " << image.height << ") ..."
                  << std::flush;

    SimOptions simOptions;
    simOptions.descriptors = true;
    simOptions.savePath = fs::absolute(options.output).string();
    // --no-prefs and --palette-file runs use preferences of their own and leave the user's file as it was.
    PrivateFolder privatePrefs(options.noPrefs || options.paletteFile);
    HalcyneOptions settings = options;
    if (options.paletteFile)
        settings.palette = SeedPrefsWithPalette(*options.paletteFile, options.noPrefs, privatePrefs.Path());
    if (!privatePrefs.Path().empty()) simOptions.configFolder = privatePrefs.Path();
    CheckSavedNames(settings.palette, settings.basePalette, settings.backgroundName, privatePrefs.Path());

    ModuleLoader module(ModulePath(argv0).string());
    int16_t result;
    std::string alerts;
    {
        HostSimulator host(module.Entry(), module.SetEmbedHost(), simOptions);
        const bool hasAlpha = image.channels % 2 == 0;
        host.SetImage(ToHostImage(std::move(image)));
        host.Descriptors().playInfo = plugInDialogDontDisplay;
        host.Descriptors().descriptor = SimMakeDescriptor(SettingsDescriptor(settings, hasAlpha));
        result = host.Call(filterSelectorParameters);
        if (result == 0) result = host.ReadPlanes();
        host.ForgetPlanes();
        if (result == 0) result = host.Call(filterSelectorFinish);
        alerts = AlertsText(host);
    }

    if (showProgress) {
        double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
        std::fprintf(stderr, " %.2f s\n", seconds);
    }
    if (!alerts.empty() && result == 0) std::cerr << "halcyne: " << alerts << "\n";
    if (result != 0 || !fs::exists(options.output))
        throw std::runtime_error("no GIF file was written" + (alerts.empty() ? std::string() : ": " + alerts));
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    try {
        HalcyneOptions options = ParseCommandLine(std::vector<std::string>(argv + 1, argv + argc));
        if (options.help) {
            std::cout << UsageText();
            return 0;
        }
        if (options.version) {
            std::cout << kVersion << "\n";
            return 0;
        }
        return Convert(options, argv[0]);
    } catch (const UsageError& error) {
        std::cerr << "halcyne: " << error.what() << "\nTry 'halcyne --help'.\n";
        return 2;
    } catch (const std::bad_alloc&) {
        std::cerr << "halcyne: out of memory\n";
        return 1;
    } catch (const std::exception& error) {
        std::cerr << "halcyne: " << error.what() << "\n";
        return 1;
    }
}
