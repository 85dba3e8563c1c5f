// The halcyne command: converts each input image through the plug-in module, as a host runs it, into a GIF file.
// One failing input does not stop the others; the exit status is 0 only when every GIF was written.
#include <filesystem>
#include <iostream>
#include <string>
#include <vector>

#include "cli/CommandLine.h"
#include "cli/Conversion.h"
#include "cli/FailureText.h"
#include "cli/PaletteImport.h"
#include "cli/StagedOutput.h"
#include "hostsim/ModuleLoader.h"

#if defined(_WIN32)
#include <process.h>
#include <windows.h>
#else
#include <unistd.h>
#endif

namespace fs = std::filesystem;

namespace {

constexpr const char* kVersion = "halcyne 4.0";
constexpr int kExitFailed = 1;
constexpr int kExitUsage = 2;

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

// A fresh folder under the system's temporary folder for one command, removed afterwards; empty when not wanted.
class PrivateFolder {
public:
    explicit PrivateFolder(bool wanted) {
        if (!wanted) return;
#if defined(_WIN32)
        unsigned long process = static_cast<unsigned long>(_getpid());
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

// Converts every job, telling each failure as it comes; returns the command's exit status.
int ConvertAll(const std::vector<ConversionJob>& jobs, const ConversionContext& context) {
    int failures = 0;
    for (const ConversionJob& job : jobs) {
        try {
            Convert(job, context);
        } catch (const std::bad_alloc&) {
            std::cerr << "halcyne: cannot convert " << job.input << ": there is not enough memory. "
                      << NothingWrittenText(job.output) << "\n";
            ++failures;
        } catch (const std::exception& error) {
            std::cerr << "halcyne: " << error.what() << ". " << NothingWrittenText(job.output) << "\n";
            ++failures;
        }
    }
    return failures == 0 ? 0 : kExitFailed;
}

int Run(const HalcyneOptions& options, const char* argv0) {
    const std::vector<ConversionJob> jobs = PlanConversions(options);
    InstallInterruptCleanup();
    // Standard output carries a GIF (-o -) or nothing; the plug-in's own log lines go to standard error.
    ReserveStandardOutputForData();

    ConversionContext context;
    context.settings = options;
    context.quiet = options.quiet;
    // --no-prefs and --palette-file runs use preferences of their own and leave the user's file as it was.
    PrivateFolder privatePrefs(options.noPrefs || options.paletteFile);
    context.configFolder = privatePrefs.Path();
    context.prefsFile = PreferencesFilePath(context.configFolder);
    if (context.prefsFile.empty()) throw std::runtime_error(NoPreferencesFolderText());
    std::vector<std::string> privateNames;
    if (!context.configFolder.empty()) {
        const fs::path prefs(context.prefsFile);
        privateNames = {prefs.string(), prefs.string() + ".new", prefs.parent_path().string(), context.configFolder};
    }
    const InterruptCleanup privateCleanup(privateNames);
    if (options.paletteFile)
        context.settings.palette = SeedPrefsWithPalette(*options.paletteFile, options.noPrefs, privatePrefs.Path());
    CheckSavedNames(context.settings.palette, context.settings.basePalette, context.settings.backgroundName,
                    context.configFolder);

    ModuleLoader module(ModulePath(argv0).string());
    context.entry = module.Entry();
    context.setEmbedHost = module.SetEmbedHost();
    return ConvertAll(jobs, context);
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
        return Run(options, argv[0]);
    } catch (const UsageError& error) {
        std::cerr << "halcyne: " << error.what() << "\nTry 'halcyne --help'.\n";
        return kExitUsage;
    } catch (const std::bad_alloc&) {
        std::cerr << "halcyne: out of memory. No file was written.\n";
        return kExitFailed;
    } catch (const std::exception& error) {
        std::cerr << "halcyne: " << error.what() << ". No file was written.\n";
        return kExitFailed;
    }
}
