// File access through the platform's descriptor calls, without a buffer of its own, and the mapping of
// system error numbers to library codes. isOpen is true exactly while a descriptor (or the count-only mode) is held.
#include "cvcode2/CvFile.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "cvcode2/CvErrorCode.h"
#include "platform/PlatformFile.h"

namespace {

char* CopyPath(const char* name) {
    size_t length = std::strlen(name);
    char* copy = static_cast<char*>(std::malloc(length + 1));
    if (!copy) CV_THROW(kCvErrNoMemory);
    std::memcpy(copy, name, length + 1);
    return copy;
}

[[noreturn]] void ThrowSystemError(int systemError, const char* file, uint32_t line) {
    throw CvErrorCode(CvFileErrorForSystemError(systemError), uint32_t(systemError), file, line);
}
#define CV_THROW_SYSTEM(systemError) ThrowSystemError((systemError), CV_SOURCE_FILE, __LINE__)

uint32_t CheckedPosition(int64_t position) {
    if (position < 0) CV_THROW_SYSTEM(errno);
    if (position > int64_t(UINT32_MAX)) CV_THROW_DETAIL(kCvErrFileRange, ERANGE);
    return uint32_t(position);
}

}  // namespace

uint32_t CvFileErrorForSystemError(int systemError) {
    switch (systemError) {
        case ENOMEM: return kCvErrNoMemory;
        case EACCES: return kCvErrFileBadMode;
        case EMFILE:
        case EAGAIN: return kCvErrFileTooMany;
        case ENOENT: return kCvErrFileNotFound;
        case EXDEV: return kCvErrFileCrossDevice;
        case EBADF: return kCvErrFileIo;
        case E2BIG:
        case EINVAL: return kCvErrSizeMismatch;
        case ENOSPC: return kCvErrFileDiskFull;
        case ERANGE: return kCvErrFileRange;
        case EEXIST: return kCvErrFileExists;
        default: return kCvErrHost;
    }
}

uint32_t CvFileErrorForOpenError(int systemError) {
    switch (systemError) {
        case ENOENT: return kCvErrFileNotFound;
        case EACCES: return kCvErrFileAccessDenied;
        case EEXIST:
        case EINVAL: return kCvErrFileWrongMode;
        case EMFILE: return kCvErrFileTooMany;
        default: return kCvErrHost;
    }
}

CvFileLocator::CvFileLocator(const char* name) {
    SetPath(name);
}

CvFileLocator::CvFileLocator(const CvFileLocator& other) {
    if (other.hasPath) SetPath(other.path);
}

CvFileLocator& CvFileLocator::operator=(const CvFileLocator& other) {
    if (this != &other) {
        if (other.hasPath)
            SetPath(other.path);
        else {
            std::free(path);
            path = nullptr;
            hasPath = 0;
        }
    }
    return *this;
}

CvFileLocator::~CvFileLocator() {
    std::free(path);
}

void CvFileLocator::SetPath(const char* name) {
    char* copy = CopyPath(name);
    std::free(path);
    path = copy;
    hasPath = 1;
}

CvFile::~CvFile() {
    if (isOpen && !CountOnly() && closeOnClose) Platform::FdClose(handle);
}

void CvFile::RequireOpen() const {
    if (!isOpen) CV_THROW(kCvErrFileNotOpen);
}

void CvFile::Open(uint16_t openMode, bool closeAtClose, int32_t openHandle) {
    byteCount = 0;
    if ((openMode & kCvFileCountOnly) && (openMode & kCvFileWrite)) {
        mode = openMode;
        isOpen = 1;
        return;
    }
    if (!HasPath() && openHandle == 0) CV_THROW(kCvErrFileNoPath);
    if (isOpen) CV_THROW(kCvErrFileIsOpen);
    if (openHandle != 0) {
        handle = openHandle;
    } else {
        Platform::FileAccess access;
        switch (openMode) {
            case kCvFileRead: access = Platform::FileAccess::Read; break;
            case kCvFileWrite: access = Platform::FileAccess::WriteCreate; break;
            case kCvFileRead | kCvFileWrite: access = Platform::FileAccess::ReadWrite; break;
            default: CV_THROW(kCvErrFileBadMode);
        }
        int fd = Platform::FdOpen(Path(), access);
        if (fd < 0) {
            int systemError = errno;
            CV_THROW_DETAIL(CvFileErrorForOpenError(systemError), uint32_t(systemError));
        }
        handle = fd;
    }
    mode = openMode;
    closeOnClose = closeAtClose;
    isOpen = 1;
}

void CvFile::Close() {
    RequireOpen();
    isOpen = 0;
    if (CountOnly() || !closeOnClose) return;
    if (Platform::FdClose(handle) != 0) CV_THROW_DETAIL(kCvErrFileIo, uint32_t(errno));
}

uint32_t CvFile::Read(void* buffer, uint32_t n) {
    RequireOpen();
    if (!(mode & kCvFileRead)) CV_THROW(kCvErrFileWrongMode);
    if (n == 0) return 0;
    int64_t got = Platform::FdRead(handle, buffer, n);
    if (got < 0) CV_THROW_DETAIL(kCvErrFileIo, uint32_t(errno));
    if (got == 0) CV_THROW(kCvErrFileEnd);
    return uint32_t(got);
}

void CvFile::ReadFully(void* buffer, uint32_t n) {
    auto* bytes = static_cast<uint8_t*>(buffer);
    for (uint32_t done = 0; done < n;) done += Read(bytes + done, n - done);
}

void CvFile::Write(const void* buffer, uint32_t n) {
    RequireOpen();
    if (!(mode & kCvFileWrite)) CV_THROW(kCvErrFileWrongMode);
    if (n > UINT32_MAX - byteCount) CV_THROW_DETAIL(kCvErrFileRange, ERANGE);  // the count could not say it
    byteCount += n;
    if (CountOnly()) return;
    auto* bytes = static_cast<const uint8_t*>(buffer);
    for (uint32_t done = 0; done < n;) {
        int64_t put = Platform::FdWrite(handle, bytes + done, n - done);
        if (put < 0) CV_THROW_SYSTEM(errno);
        if (put == 0) CV_THROW_SYSTEM(ENOSPC);
        done += uint32_t(put);
    }
}

uint8_t CvFile::ReadByte() {
    uint8_t value;
    ReadFully(&value, 1);
    return value;
}

void CvFile::WriteByte(uint8_t value) {
    Write(&value, 1);
}

uint16_t CvFile::ReadWord() {
    uint8_t bytes[2];
    ReadFully(bytes, 2);
    return uint16_t(bytes[0] | bytes[1] << 8);
}

void CvFile::WriteWord(uint16_t value) {
    const uint8_t bytes[2] = {uint8_t(value), uint8_t(value >> 8)};
    Write(bytes, 2);
}

uint32_t CvFile::ReadLong() {
    uint8_t bytes[4];
    ReadFully(bytes, 4);
    return uint32_t(bytes[0]) | uint32_t(bytes[1]) << 8 | uint32_t(bytes[2]) << 16 | uint32_t(bytes[3]) << 24;
}

void CvFile::WriteLong(uint32_t value) {
    const uint8_t bytes[4] = {uint8_t(value), uint8_t(value >> 8), uint8_t(value >> 16), uint8_t(value >> 24)};
    Write(bytes, 4);
}

uint32_t CvFile::Seek(int origin, int32_t offset) {
    RequireOpen();
    if (origin < 0 || origin > 2) CV_THROW(kCvErrSizeMismatch);
    return CheckedPosition(Platform::FdSeek(handle, offset, origin));
}

uint32_t CvFile::Tell() {
    RequireOpen();
    return CheckedPosition(Platform::FdSeek(handle, 0, 1));
}

uint32_t CvFile::GetLength() {
    if (CountOnly()) return byteCount;
    RequireOpen();
    return CheckedPosition(Platform::FdLength(handle));
}

void CvFile::SetLength(uint32_t length) {
    RequireOpen();
    if (Platform::FdSetLength(handle, length) != 0) CV_THROW_SYSTEM(errno);
}

int CvFile::Delete() {
    if (!HasPath()) CV_THROW(kCvErrFileNoPath);
    if (isOpen) CV_THROW(kCvErrFileIsOpen);
    return Platform::FileRemove(Path()) == 0 ? 0 : -1;
}

void CvFile::CreateEmpty() {
    if (!HasPath()) CV_THROW(kCvErrFileNoPath);
    if (isOpen) CV_THROW(kCvErrFileIsOpen);
    int fd = Platform::FdCreate(Path());
    if (fd < 0) CV_THROW_SYSTEM(errno);
    if (Platform::FdClose(fd) != 0) CV_THROW_SYSTEM(errno);
}
