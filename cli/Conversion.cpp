// A conversion: read the image, check the output's folder, run the module on a staged output name with the
// settings replayed as a recording, then move the staged GIF into place. Failures become ConversionError texts.
#include "cli/Conversion.h"

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <iostream>
#include <optional>
#include <set>

#include "cli/FailureText.h"
#include "cli/HostImage.h"
#include "cli/InputImage.h"
#include "cli/SettingsDescriptor.h"
#include "cli/SizeTarget.h"
#include "cli/StagedOutput.h"
#include "cli/Utf8Path.h"
#include "cvcode2/CvErrorCode.h"
#include "cvcode2/CvFile.h"
#include "hostsim/HostSimulator.h"
#include "platform/PlatformFile.h"

#if !defined(_WIN32)
#include <unistd.h>
#endif

namespace fs = std::filesystem;

namespace {

constexpr size_t kProgressPixels = 1u << 20;

bool NamesFolder(const std::string& output) {
    const char last = output.empty() ? '\0' : output.back();
    std::error_code error;
    return last == '/' || last == '\\' || fs::is_directory(PathFromUtf8(output), error);
}

std::string InputName(const std::string& input) {
    return input == kStandardStream ? "standard input" : input;
}

std::string OutputName(const std::string& output) {
    return output == kStandardStream ? "standard output" : output;
}

bool SaveBoxAsks(const ConversionContext& context) {
    return context.settings.dialog && context.settings.output.empty();
}

// The folder must exist and take new files, and the output must not be the input itself.
void CheckOutput(const ConversionJob& job) {
    const fs::path output = PathFromUtf8(job.output);
    const fs::path folder = fs::absolute(output).parent_path();
    std::error_code error;
    if (!fs::is_directory(folder, error)) throw ConversionError(MissingFolderText(Utf8FromPath(folder)));
    if (fs::is_directory(output, error)) throw ConversionError("cannot write " + job.output + ": it is a folder");
#if !defined(_WIN32)
    if (access(folder.c_str(), W_OK) != 0) throw ConversionError(UnwritableFolderText(Utf8FromPath(folder)));
#endif
    if (job.input != kStandardStream && fs::exists(output, error) &&
        fs::equivalent(PathFromUtf8(job.input), output, error))
        throw ConversionError("cannot write " + job.output + ": it is the input image itself");
}

// Standard input is read through a staged copy; its messages name it as such.
InputImage ReadInput(const std::string& input) {
    if (input != kStandardStream) return ReadImageFile(input);
    StagedInput copy;
    try {
        return ReadImageFile(copy.Path());
    } catch (const ImageReadError& error) {
        throw ImageReadError(InputName(input) + std::string(error.what()).substr(copy.Path().size()));
    }
}

// What a run of the module left for the command to tell.
struct ModuleRun {
    int16_t result = 0;
    bool saveAsked = false;
    std::vector<SimError> errors;
    std::vector<SimError> prefsFailures;
    std::vector<SimAlert> alerts;
};

// With --dialog the plug-in's dialogs ask, starting from the flags, and its alerts and Open box are the system's;
// `savePath` answers Save As, or, empty, the system's Save As box asks.
SimOptions HostOptions(const ConversionContext& context, const std::string& savePath) {
    SimOptions options;
    options.descriptors = true;
    if (!savePath.empty()) options.savePath = Utf8FromPath(fs::absolute(PathFromUtf8(savePath)));
    options.configFolder = context.configFolder;
    options.showDialogs = options.systemAlerts = options.systemOpenBox = context.settings.dialog;
    options.systemSaveBox = context.settings.dialog && savePath.empty();
    options.goOnWithoutPrefs = true;  // the GIF is the product; the preferences are kept for the plug-in
    return options;
}

ModuleRun RunModule(const ConversionContext& context, const HalcyneOptions& settings, InputImage image,
                    const std::string& savePath) {
    HostSimulator host(context.entry, context.setEmbedHost, HostOptions(context, savePath));
    const bool hasAlpha = image.channels % 2 == 0;
    host.SetImage(ToHostImage(std::move(image)));
    host.Descriptors().playInfo = context.settings.dialog ? plugInDialogDisplay : plugInDialogDontDisplay;
    host.Descriptors().descriptor = SimMakeDescriptor(SettingsDescriptor(settings, hasAlpha));
    ModuleRun run;
    run.result = host.Call(filterSelectorParameters);
    if (run.result == 0) run.result = host.ReadPlanes();
    host.ForgetPlanes();
    if (run.result == 0) run.result = host.Call(filterSelectorFinish);
    run.saveAsked = host.SaveAsked();
    run.errors = host.Errors();
    run.prefsFailures = host.PrefsFailures();
    run.alerts = host.Alerts();
    return run;
}

// An error before the module asked for the output file met the reduction; one after it, the GIF file.
std::string RunFailureText(const ModuleRun& run, const ConversionJob& job, const ConversionContext& context) {
    if (run.errors.empty()) return "cannot write " + OutputName(job.output) + ": the plug-in wrote no file";
    const SimError& error = run.errors.front();
    // When the Save As box named the file, the command never learns its name.
    if (error.code == kCvErrNoMemory || !run.saveAsked || SaveBoxAsks(context))
        return "cannot convert " + InputName(job.input) + ": " +
               FileErrorCause(error.code, error.detail, FileRole::WrittenTo);
    return FileErrorText(OutputName(job.output), error.code, error.detail, FileRole::WrittenTo);
}

void TellWarnings(const ModuleRun& run, const ConversionJob& job, const ConversionContext& context) {
    for (const SimError& failure : run.prefsFailures)
        std::cerr << "halcyne: " << PrefsNotStoredText(context.prefsFile, failure.code, failure.detail) << "\n";
    for (const SimAlert& alert : run.alerts)
        std::cerr << "halcyne: " << WarningText(alert, InputName(job.input)) << "\n";
}

// A run that ended without a file and without an error was cancelled by the person in its dialogs.
void CheckRun(const ModuleRun& run, bool wroteFile, const ConversionJob& job, const ConversionContext& context) {
    if (run.result == 0 && wroteFile) return;
    if (context.settings.dialog && run.errors.empty()) throw ConversionCancelled(InputName(job.input));
    throw ConversionError(RunFailureText(run, job, context));
}

// The files of a size search: each made under the staged name, the latest that fits moved aside (the best so far)
// and put back at the end, so the chosen file is never made twice.
class SizedFiles {
public:
    SizedFiles(const ConversionJob& job, const ConversionContext& context, const InputImage& image,
               const std::string& staged)
        : job(job), context(context), image(image), staged(staged), kept(staged + ".fit"), cleanup({kept}) {}
    ~SizedFiles() {
        std::error_code ignored;
        fs::remove(PathFromUtf8(kept), ignored);
    }
    SizedFiles(const SizedFiles&) = delete;
    SizedFiles& operator=(const SizedFiles&) = delete;

    uint64_t Make(int colors, int lossy) {
        HalcyneOptions settings = context.settings;
        settings.colors = colors;
        settings.lossy = lossy;
        const ModuleRun run = RunModule(context, settings, image, staged);
        std::error_code error;
        CheckRun(run, fs::exists(PathFromUtf8(staged), error), job, context);
        const uint64_t bytes = fs::file_size(PathFromUtf8(staged));
        if (bytes <= *context.settings.maxSize) {
            Rename(staged, kept);
            keptRun = run;
        }
        return bytes;
    }

    // The run that made the kept file, now back under the staged name.
    const ModuleRun& Finish() {
        Rename(kept, staged);
        return keptRun;
    }

private:
    void Rename(const std::string& from, const std::string& to) const {
        const int failure = Platform::RenameReplacing(from.c_str(), to.c_str());
        if (failure != 0)
            throw ConversionError(
                FileErrorText(to, CvFileErrorForSystemError(failure), uint32_t(failure), FileRole::WrittenTo));
    }

    const ConversionJob& job;
    const ConversionContext& context;
    const InputImage& image;
    const std::string staged, kept;
    const InterruptCleanup cleanup;
    ModuleRun keptRun;
};

// The best GIF within the size asked for, under the staged name; the run that made it.
ModuleRun RunToSize(const ConversionJob& job, const ConversionContext& context, const InputImage& image,
                    const std::string& staged, SizeChoice& choice) {
    SizedFiles files(job, context, image, staged);
    const uint64_t target = *context.settings.maxSize;
    try {
        choice = FindBestFit(target, context.settings.colors.value_or(256), context.settings.lossy.value_or(0),
                             [&](int colors, int lossy) { return files.Make(colors, lossy); });
    } catch (const SizeNotReached& failure) {
        throw ConversionError(SizeNotReachedText(InputName(job.input), target, failure.smallest.colors,
                                                 failure.smallest.lossy, failure.smallest.bytes));
    }
    return files.Finish();
}

}  // namespace

std::vector<ConversionJob> PlanConversions(const HalcyneOptions& options) {
    const bool intoFolder = !options.output.empty() && options.output != kStandardStream && NamesFolder(options.output);
    if (options.inputs.size() > 1 && !options.output.empty() && !intoFolder)
        throw UsageError("with several inputs, -o names a folder (end it with /), and " + options.output +
                         " is not one");
    std::vector<ConversionJob> jobs;
    std::set<std::string> outputs;
    for (const std::string& input : options.inputs) {
        const fs::path gifName = PathFromUtf8(input).filename().replace_extension(".gif");
        ConversionJob job{input, options.output};
        if (intoFolder)
            job.output = Utf8FromPath(PathFromUtf8(options.output) / gifName);
        else if (options.output.empty())
            job.output = Utf8FromPath(PathFromUtf8(input).replace_extension(".gif"));
        // Where the Save As box names each file, the planned names are never used.
        if (job.output != kStandardStream && !(options.dialog && options.output.empty()) &&
            !outputs.insert(Utf8FromPath(fs::absolute(PathFromUtf8(job.output)).lexically_normal())).second)
            throw UsageError("two inputs would both be written to " + job.output);
        jobs.push_back(job);
    }
    return jobs;
}

void Convert(const ConversionJob& job, const ConversionContext& context) {
    if (SaveBoxAsks(context)) {
        const ModuleRun run = RunModule(context, context.settings, ReadInput(job.input), "");
        CheckRun(run, true, job, context);
        TellWarnings(run, job, context);
        return;
    }
    if (job.output != kStandardStream) CheckOutput(job);
    InputImage image = ReadInput(job.input);

    // In the dialogs the person sees the work; a timing would count their thinking too.
    const bool showProgress =
        !context.quiet && !context.settings.dialog && size_t(image.width) * size_t(image.height) >= kProgressPixels;
    const auto started = std::chrono::steady_clock::now();
    if (showProgress)
        std::cerr << "halcyne: converting " << InputName(job.input) << " (" << image.width << " x " << image.height
                  << ") ..." << std::flush;

    StagedOutput staged(job.output);
    SizeChoice fitted;
    const ModuleRun run = context.settings.maxSize
                              ? RunToSize(job, context, image, staged.Path(), fitted)
                              : RunModule(context, context.settings, std::move(image), staged.Path());
    if (showProgress) {
        const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
        std::fprintf(stderr, " %.2f s\n", seconds);
    }
    std::error_code error;
    CheckRun(run, fs::exists(PathFromUtf8(staged.Path()), error), job, context);
    staged.Commit();
    if (context.settings.maxSize && !context.quiet)
        std::cerr << "halcyne: " << SizeChoiceText(InputName(job.input), fitted, *context.settings.maxSize) << "\n";
    TellWarnings(run, job, context);
}
