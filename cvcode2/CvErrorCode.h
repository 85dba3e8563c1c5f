// The one exception type of the library and the plug-in: an error number, a detail and the place that raised it.
// The file name is kept inline, length-prefixed and NUL-terminated, so the object copies bit for bit.
#pragma once

#include <cstdint>

// Error numbers shared by every layer.
enum CvErrorNumber : uint32_t {
    kCvErrHost = 1,           // a host call failed; detail holds the host's error number
    kCvErrNoMemory = 2,       // an allocation failed
    kCvErrCancelled = 3,      // the user stopped a long operation
    kCvErrSizeMismatch = 21,  // size, format or state does not fit the operation
    kCvErrBadArgument = 27,   // invalid argument or object state
    kCvErrBadData = 28,       // invalid data read from a file, or a case not handled
    kCvErrNotSupported = 37,  // the image class does not offer the operation
    kCvErrBadDepth = 38,      // not supported for this pixel depth or state
};

class CvErrorCode {
public:
    CvErrorCode(uint32_t code, const char* file, uint32_t line);
    CvErrorCode(uint32_t code, uint32_t detail, const char* file, uint32_t line);
    CvErrorCode(const CvErrorCode&) = default;
    CvErrorCode& operator=(const CvErrorCode&) = default;
    // Rethrow form: the place passed is ignored, so the error keeps naming where it first arose.
    CvErrorCode(const CvErrorCode& from, const char* file, uint32_t line);

    const char* FileName() const { return reinterpret_cast<const char*>(file + 1); }
    const unsigned char* FilePStr() const { return file; }

    uint32_t code;
    uint32_t detail;
    unsigned char file[257];
    uint32_t line;

private:
    void SetFile(const char* path);
};

#if defined(__FILE_NAME__)
#define CV_SOURCE_FILE __FILE_NAME__
#else
#define CV_SOURCE_FILE __FILE__
#endif

#define CV_THROW(code) throw CvErrorCode((code), CV_SOURCE_FILE, __LINE__)
#define CV_THROW_DETAIL(code, detail) throw CvErrorCode((code), (detail), CV_SOURCE_FILE, __LINE__)
#define CV_RETHROW(error) throw CvErrorCode((error), CV_SOURCE_FILE, __LINE__)

// What a `new (std::nothrow)` gave, or kCvErrNoMemory raised where the allocation was written: every allocation
// that may fail goes through this one check.
template <class T>
T* CvAllocated(T* allocated, const char* file = __builtin_FILE(), uint32_t line = __builtin_LINE()) {
    if (!allocated) throw CvErrorCode(kCvErrNoMemory, file, line);
    return allocated;
}
