// What the command tells a person when a conversion fails: the file layer's codes, the plug-in's alerts and the
// command's own refusals in words that name the file and a cause one can act on. Every such text is made here.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>

struct SimAlert;

// A conversion that failed; what() names the files and the cause, without the closing "no file was written".
class ConversionError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// A conversion the person cancelled in the plug-in's dialogs or its Save As box; what() names the input.
class ConversionCancelled : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Which file an error of the file layer met: it decides between "no such file" and "the folder does not exist".
enum class FileRole { ReadFrom, WrittenTo };

// The cause of a file layer error `code` with its system error number `detail`, e.g. "the disk is full".
std::string FileErrorCause(uint32_t code, uint32_t detail, FileRole role);

// The whole sentence for a file layer error met on `file`, e.g. "cannot write out.gif: the disk is full".
std::string FileErrorText(const std::string& file, uint32_t code, uint32_t detail, FileRole role);

// The closing words of every failed conversion: nothing was written to `output` and an existing one is unchanged.
std::string NothingWrittenText(const std::string& output);

// The warning for preferences that could not be stored in `prefsFile` (the GIF was still written).
std::string PrefsNotStoredText(const std::string& prefsFile, uint32_t code, uint32_t detail);

// A warning the plug-in showed during a run that still wrote its file, in the command's words; `input` names
// the image. Alerts that report an error are not warnings: the error code tells those (FileErrorText).
std::string WarningText(const SimAlert& alert, const std::string& input);

// Why the system's image decoders could not read a file whose kind its first bytes named.
enum class DecodeFailure { Damaged, Unsupported, NoMemory, NoPermission };

// The sentence for an image `file` of `kind` ("PNG", "TIFF", ...) that could not be decoded; `systemCode` is the
// decoder's own result code, kept in the text for a report.
std::string DecodeFailureText(const std::string& file, const std::string& kind, DecodeFailure failure,
                              uint32_t systemCode);

// A conversion the person stopped in the plug-in's dialogs or its Save As box; `remaining` inputs were left.
std::string CancelledText(const std::string& input, size_t remaining);

// --max-size could not be met: even the smallest file made (with `colors` colours at `lossy`) has `bytes` bytes.
std::string SizeNotReachedText(const std::string& input, uint64_t target, int colors, int lossy, uint64_t bytes);

// The command's own refusals.
std::string MissingFolderText(const std::string& folder);
std::string UnwritableFolderText(const std::string& folder);
std::string NoPreferencesFolderText();
// --dialog on a build without the plug-in's dialogs.
std::string DialogNeedsWindowsText();
