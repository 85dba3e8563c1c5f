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
#include "cli/StagedOutput.h"
#include "cli/Utf8Path.h"
#include "cvcode2/CvErrorCode.h"
#include "hostsim/HostSimulator.h"

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

ModuleRun RunModule(const ConversionContext& context, InputImage image, const std::string& savePath) {
    HostSimulator host(context.entry, context.setEmbedHost, HostOptions(context, savePath));
    const bool hasAlpha = image.channels % 2 == 0;
    host.SetImage(ToHostImage(std::move(image)));
    host.Descriptors().playInfo = context.settings.dialog ? plugInDialogDisplay : plugInDialogDontDisplay;
    host.Descriptors().descriptor = SimMakeDescriptor(SettingsDescriptor(context.settings, hasAlpha));
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
        const ModuleRun run = RunModule(context, ReadInput(job.input), "");
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
    const ModuleRun run = RunModule(context, std::move(image), staged.Path());
    if (showProgress) {
        const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
        std::fprintf(stderr, " %.2f s\n", seconds);
    }
    std::error_code error;
    CheckRun(run, fs::exists(PathFromUtf8(staged.Path()), error), job, context);
    staged.Commit();
    TellWarnings(run, job, context);
}
