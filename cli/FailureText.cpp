// The command's failure and warning texts, all in one place. The plug-in's own alert texts stay as they are in a
// host; only the command turns the codes behind them into causes, so every code it can meet has words here.
#include "cli/FailureText.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "common/HcLayerTrans.h"
#include "cvcode2/CvErrorCode.h"
#include "cvcode2/CvFile.h"
#include "cvcode2/CvGIFFile.h"
#include "hostsim/HostSimulator.h"

namespace {

// The causes of system errors that reach the command as such (the file layer's "other system error").
std::string SystemErrorCause(uint32_t detail) {
    switch (int(detail)) {
        case ENOSPC: return "the disk is full";
        case EFBIG: return "the file would be larger than this process may write (see 'ulimit -f')";
        case EROFS: return "the disk is read-only";
        case EIO: return "the disk reported an input/output error";
        case EPERM: return "no permission to write in that folder";
        case ENAMETOOLONG: return "the file name is too long";
#if defined(EDQUOT)
        case EDQUOT: return "the disk quota is used up";
#endif
        default: return std::strerror(int(detail));
    }
}

bool Reading(FileRole role) {
    return role == FileRole::ReadFrom;
}

}  // namespace

std::string FileErrorCause(uint32_t code, uint32_t detail, FileRole role) {
    switch (code) {
        case kCvErrHost:
            if (detail > 0 && detail < 4096) return SystemErrorCause(detail);
            if (Reading(role)) return "it cannot be opened";
            return "the plug-in failed (error 1, detail " + std::to_string(int32_t(detail)) + ")";
        case kCvErrNoMemory: return "there is not enough memory for an image this large";
        case kCvErrCancelled: return "the conversion was stopped";
        case kCvErrFileNoPath: return "no file name is known for it";
        case kCvErrFileBadMode:
        case kCvErrFileAccessDenied:
            return Reading(role) ? "no permission to read it" : "no permission to write in that folder";
        case kCvErrFileTooMany: return "too many files are open";
        case kCvErrFileNotFound: return Reading(role) ? "there is no such file" : "the folder does not exist";
        case kCvErrFileWrongMode: return "the name cannot be used for a file";
        case kCvErrFileCrossDevice: return "it cannot be moved to another drive";
        case kCvErrFileEnd: return "the file ends too early";
        case kCvErrFileIo: return "the disk reported a read or write error";
        case kCvErrSizeMismatch:
            return Reading(role) ? "the file is damaged"
                                 : "the image is too large for a GIF file (65535 pixels a side)";
        case kCvErrFileDiskFull: return "the disk is full";
        case kCvErrBadData:
        case kCvErrGIFSignature:
        case kCvErrGIFVersion:
            return Reading(role) ? "it is not a GIF or ACT palette file, or it is damaged"
                                 : "the plug-in met data it cannot write";
        case kCvErrFileRange: return "the file would be larger than 4 GB";
        case kCvErrFileExists: return "a file of that name appeared while it was being written";
        default: return "the plug-in reported error " + std::to_string(code);
    }
}

std::string FileErrorText(const std::string& file, uint32_t code, uint32_t detail, FileRole role) {
    return std::string(Reading(role) ? "cannot read " : "cannot write ") + file + ": " +
           FileErrorCause(code, detail, role);
}

std::string NothingWrittenText(const std::string& output) {
    if (output == "-") return "Nothing was written to standard output.";
    return "No file was written; an existing " + output + " is unchanged.";
}

std::string PrefsNotStoredText(const std::string& prefsFile, uint32_t code, uint32_t detail) {
    return "warning: the settings were not stored in the preferences file " + prefsFile + ": " +
           FileErrorCause(code, detail, FileRole::WrittenTo) + "; the GIF was written";
}

std::string WarningText(const SimAlert& alert, const std::string& input) {
    if (alert.caption == kEmptySelectionCaption)
        return "warning: " + input + " is completely transparent; the GIF holds one transparent pixel";
    return "warning: " + alert.text;
}

std::string MissingFolderText(const std::string& folder) {
    return "cannot write into " + folder + ": the folder does not exist";
}

std::string UnwritableFolderText(const std::string& folder) {
    return "cannot write into " + folder + ": no permission to write in that folder";
}

std::string NoPreferencesFolderText() {
    return "no folder for the preferences file: neither HOME nor XDG_CONFIG_HOME is set (set one, or use --no-prefs)";
}

std::string DecodeFailureText(const std::string& file, const std::string& kind, DecodeFailure failure,
                              uint32_t systemCode) {
    char code[16];
    std::snprintf(code, sizeof code, "0x%08X", unsigned(systemCode));
    switch (failure) {
        case DecodeFailure::NoMemory: return file + ": there is not enough memory for an image this large";
        case DecodeFailure::NoPermission: return file + ": cannot open the file: no permission to read it";
        case DecodeFailure::Unsupported:
            return file + ": a " + kind + " image of a kind that cannot be read (system code " + code + ")";
        case DecodeFailure::Damaged: break;
    }
    return file + ": not a readable " + kind + " image (damaged or incomplete data, system code " + code + ")";
}

std::string CancelledText(const std::string& input, size_t remaining) {
    std::string text = "cancelled; no file was written for " + input;
    if (remaining > 0)
        text += remaining == 1 ? ", and the input after it was not converted"
                               : ", and the " + std::to_string(remaining) + " inputs after it were not converted";
    return text + ".";
}

std::string DialogNeedsWindowsText() {
    return "--dialog needs the Windows build, which shows the plug-in's dialogs; on Linux run it as "
           "'scripts/halcyne --dialog ...', which runs that build under Wine";
}

std::string SizeNotReachedText(const std::string& input, uint64_t target, int colors, int lossy, uint64_t bytes) {
    return "cannot make a GIF of " + input + " within " + std::to_string(target) + " bytes: the smallest, with " +
           std::to_string(colors) + " colours at lossy " + std::to_string(lossy) + ", has " + std::to_string(bytes) +
           " bytes";
}
