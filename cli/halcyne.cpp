// The halcyne command: converts each input image through the plug-in module, as a host runs it, into a GIF file.
// One failing input does not stop the others; the exit status is 0 only when every GIF was written.
#include <algorithm>
#include <filesystem>
#include <iostream>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "cli/CommandLine.h"
#include "cli/Conversion.h"
#include "cli/FailureText.h"
#include "cli/PaletteImport.h"
#include "cli/ProcessJobs.h"
#include "cli/StagedOutput.h"
#include "cli/Utf8Path.h"
#include "hostsim/ModuleLoader.h"
#include "platform/Platform.h"
#include "platform/PlatformFile.h"

#if defined(_WIN32)
#include <process.h>
#include <windows.h>
// after windows.h
#include <shellapi.h>

#include "platform/Utf16.h"
#else
#include <unistd.h>
#endif

namespace fs = std::filesystem;

namespace {

constexpr const char* kVersion = "halcyne " HC_VERSION;
constexpr int kExitFailed = 1;
constexpr int kExitUsage = 2;
constexpr int kExitCancelled = 3;

fs::path ExecutablePath(const char* argv0) {
#if defined(_WIN32)
    (void)argv0;
    std::wstring path(32768, L'\0');
    path.resize(GetModuleFileNameW(nullptr, path.data(), DWORD(path.size())));
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
        return Utf8FromPath(path_);
    }

private:
    fs::path path_;
};

// Converts every job, telling each failure as it comes, until the person cancels one in the dialogs; returns the
// command's exit status.
int ConvertAll(const std::vector<ConversionJob>& jobs, const ConversionContext& context) {
    int failures = 0;
    for (size_t i = 0; i < jobs.size(); ++i) {
        const ConversionJob& job = jobs[i];
        try {
            Convert(job, context);
        } catch (const ConversionCancelled& cancelled) {
            std::cerr << "halcyne: " << CancelledText(cancelled.what(), jobs.size() - i - 1) << "\n";
            return failures == 0 ? kExitCancelled : kExitFailed;
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

// Several inputs are converted in processes of their own, unless a person answers the dialogs one input after
// another, or each conversion starts from the settings the one before it stored.
size_t ProcessesAtOnce(const HalcyneOptions& options, size_t inputs) {
    if (inputs < 2 || options.dialog || options.lastSettings) return 1;
    const size_t processors = std::max(1u, std::thread::hardware_concurrency());
    return std::min(inputs, options.jobs ? size_t(*options.jobs) : processors);
}

int ConvertInProcesses(const std::vector<ConversionJob>& conversions, const HalcyneOptions& options,
                       const std::vector<std::string>& arguments, const char* argv0, size_t atOnce) {
    std::vector<ProcessJob> jobs;
    for (size_t i = 0; i < conversions.size(); ++i)
        jobs.push_back(
            {ArgumentsForOneInput(arguments, options.inputArguments, i), conversions[i].input, conversions[i].output});
    return RunProcessJobs(Utf8FromPath(ExecutablePath(argv0)), jobs, atOnce) == 0 ? 0 : kExitFailed;
}

int Run(const HalcyneOptions& options, const std::vector<std::string>& arguments, const char* argv0) {
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
        const fs::path prefs = PathFromUtf8(context.prefsFile);
        privateNames = {context.prefsFile, Platform::UniqueFileName(context.prefsFile, 0),
                        Utf8FromPath(prefs.parent_path()), context.configFolder};
    }
    const InterruptCleanup privateCleanup(privateNames);
    if (options.paletteFile)
        context.settings.palette = SeedPrefsWithPalette(*options.paletteFile, options.noPrefs, privatePrefs.Path());
    CheckSavedNames(context.settings.palette, context.settings.basePalette, context.settings.backgroundName,
                    context.configFolder);
    if (options.lastSettings) {
        // A recording without a lossy level means none, and the size search starts from the colour count.
        const StoredLevels stored = StoredColorsAndLossy(context.configFolder);
        if (!context.settings.lossy) context.settings.lossy = stored.lossy;
        if (!context.settings.colors) context.settings.colors = stored.colors;
    }
    const size_t atOnce = ProcessesAtOnce(options, jobs.size());
    if (atOnce > 1) return ConvertInProcesses(jobs, options, arguments, argv0, atOnce);

    ModuleLoader module(Utf8FromPath(ModulePath(argv0)));
    context.entry = module.Entry();
    context.setEmbedHost = module.SetEmbedHost();
    return ConvertAll(jobs, context);
}

// The arguments after the command's name as UTF-8. On Windows they come from the wide command line, so a path
// outside the system's code page arrives whole; elsewhere they are the bytes given.
std::vector<std::string> Arguments(int argc, char** argv) {
#if defined(_WIN32)
    (void)argc;
    (void)argv;
    int count = 0;
    wchar_t** wide = CommandLineToArgvW(GetCommandLineW(), &count);
    if (!wide) throw std::runtime_error("cannot read the command line");
    std::vector<std::string> arguments;
    bool valid = true;
    for (int i = 1; i < count; ++i) {
        const std::optional<std::string> argument = Platform::Utf8FromUtf16(wide[i]);
        valid = valid && argument;
        if (argument) arguments.push_back(*argument);
    }
    LocalFree(wide);
    if (!valid) throw UsageError("an argument holds characters that are not valid Unicode text");
    return arguments;
#else
    return std::vector<std::string>(argv + 1, argv + argc);
#endif
}

// Saved names and the comment go into the settings' byte strings, which hold the system's code page as the
// plug-in stores them; paths stay UTF-8.
void StoreTexts(HalcyneOptions& options) {
    for (std::optional<std::string>* text :
         {&options.palette, &options.basePalette, &options.backgroundName, &options.comment})
        if (*text) **text = Platform::StoredText(**text);
}

}  // namespace

int main(int argc, char** argv) {
    try {
        const std::vector<std::string> arguments = Arguments(argc, argv);
        HalcyneOptions options = ParseCommandLine(arguments);
        StoreTexts(options);
#if !defined(_WIN32)
        if (options.dialog && !options.help && !options.version) throw UsageError(DialogNeedsWindowsText());
#endif
        if (options.help) {
            std::cout << UsageText();
            return 0;
        }
        if (options.version) {
            std::cout << kVersion << "\n";
            return 0;
        }
        return Run(options, arguments, argv[0]);
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
