// Levelled logging with a fixed mask and a replaceable sink, plus the library's non-stopping consistency checks.
// Messages below the mask never reach the sink; a failed check is logged and execution goes on.
#pragma once

#include <cstdarg>

enum CvLogLevel : int {
    kLogTrace = 1,
    kLogDebug = 2,
    kLogInfo = 4,
    kLogMemory = 8,
    kLogWarning = 16,
    kLogError = 32,
    kLogAssert = 64,
};

constexpr int kLogMask = kLogWarning | kLogError;

using CvLogSink = void (*)(int level, void* context, const char* format, va_list args);

void Log(int level, const char* format, ...)
#if defined(__GNUC__)
    __attribute__((format(printf, 2, 3)))
#endif
    ;

// Replaces the sink (null silences logging); returns the previous one. Tests use it to capture messages.
CvLogSink SetLogSink(CvLogSink sink, void* context);
const char* LogPrefix(int level);
// The default sink: prefix, message cut to 511 characters, newline, on standard output.
void DefaultLogSink(int level, void* context, const char* format, va_list args);

// A failed check is counted (tests assert the count stays 0) and logged at the assert level, which the mask hides.
void CvCheckFailed(const char* file, int line, const char* condition);
unsigned CvFailedCheckCount();

#if defined(NDEBUG)
#define CV_ASSERT(condition) ((void)0)
#else
#define CV_ASSERT(condition) ((condition) ? (void)0 : CvCheckFailed(__FILE__, __LINE__, #condition))
#endif
