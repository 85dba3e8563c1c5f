// The logging facility: level filter, prefixes and the standard-error sink.
// The mask is fixed; only the sink can change.
#include "CvLog.h"

#include <cstdio>

namespace {
CvLogSink gSink = DefaultLogSink;
void* gSinkContext = nullptr;
}  // namespace

const char* LogPrefix(int level) {
    switch (level) {
        case kLogTrace: return "trace: ";
        case kLogDebug: return "dbg: ";
        case kLogInfo: return "info: ";
        case kLogMemory: return "mem: ";
        case kLogWarning: return "warning: ";
        case kLogError: return "error: ";
        case kLogAssert: return "assert: ";
        default: return "";
    }
}

void DefaultLogSink(int level, void*, const char* format, va_list args) {
    char message[512];
    std::vsnprintf(message, sizeof message, format, args);
    // Standard error: the command may be writing the GIF itself to standard output.
    std::fprintf(stderr, "%s%s\n", LogPrefix(level), message);
}

CvLogSink SetLogSink(CvLogSink sink, void* context) {
    CvLogSink previous = gSink;
    gSink = sink;
    gSinkContext = context;
    return previous;
}

void Log(int level, const char* format, ...) {
    if (!gSink || !(level & kLogMask)) return;
    va_list args;
    va_start(args, format);
    gSink(level, gSinkContext, format, args);
    va_end(args);
}

namespace {
unsigned gFailedChecks = 0;
}

void CvCheckFailed(const char* file, int line, const char* condition) {
    ++gFailedChecks;
    Log(kLogAssert, "%s:%d: %s", file, line, condition);
}

unsigned CvFailedCheckCount() {
    return gFailedChecks;
}
