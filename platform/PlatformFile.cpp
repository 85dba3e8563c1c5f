// Descriptor calls of the C run-time: the Windows spellings (_wopen, _read, ...) or the POSIX ones.
// Paths are UTF-8 on Windows too (a name that is not is refused with EINVAL); every caller sees the same errno values.
#include "platform/PlatformFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/types.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <string>
#include <string_view>

#if defined(_WIN32)
#include <direct.h>
#include <io.h>
#include <process.h>

#include "platform/Utf16.h"
#else
#include <dirent.h>
#include <unistd.h>
#endif

namespace Platform {

namespace {
// Whether `name` starts with `prefix` and ends with `suffix`, apart.
template <typename Char>
bool NamedWith(std::basic_string_view<Char> name, const std::basic_string<Char>& prefix,
               const std::basic_string<Char>& suffix) {
    return name.size() >= prefix.size() + suffix.size() && name.substr(0, prefix.size()) == prefix &&
           name.substr(name.size() - suffix.size()) == suffix;
}
}  // namespace

#if defined(_WIN32)

namespace {
constexpr const char* kSeparators = "/\\";
constexpr int kBinary = _O_BINARY;
constexpr int kNewFilePermission = _S_IREAD | _S_IWRITE;

// The run-time library translates some system errors its own way (a full disk has come back as EEXIST), so a
// failed call's errno is taken from the system error behind it, through the one table the native codes follow.
template <typename Call>
auto WithSystemErrno(Call call) {
    _doserrno = 0;
    const auto result = call();
    if (result < 0 && _doserrno != 0) {
        const int mapped = ErrnoForWindowsError(uint32_t(_doserrno));
        if (mapped != 0) errno = mapped;
    }
    return result;
}

// Runs a wide call on the path's UTF-16; a path that is not UTF-8 names no file the system could have.
template <typename Call>
auto OnWidePath(const char* path, Call call) -> decltype(call(L"")) {
    const std::optional<std::wstring> wide = Utf16FromUtf8(path);
    if (!wide) {
        errno = EINVAL;
        return decltype(call(L""))(-1);
    }
    return WithSystemErrno([&] { return call(wide->c_str()); });
}

int SysOpen(const char* path, int flags) {
    return OnWidePath(path, [&](const wchar_t* name) { return _wopen(name, flags, kNewFilePermission); });
}
unsigned long ProcessNumber() {
    return static_cast<unsigned long>(_getpid());
}
}  // namespace

int64_t FdRead(int fd, void* buffer, uint32_t count) {
    return WithSystemErrno([&] { return _read(fd, buffer, count); });
}
int64_t FdWrite(int fd, const void* buffer, uint32_t count) {
    const intptr_t handle = _get_osfhandle(fd);
    if (handle == -1) {
        errno = EBADF;
        return -1;
    }
    return WriteSystemHandle(handle, buffer, count);
}
int64_t FdSeek(int fd, int64_t offset, int origin) {
    return WithSystemErrno([&] { return _lseeki64(fd, offset, origin); });
}
int64_t FdLength(int fd) {
    return WithSystemErrno([&] { return _filelengthi64(fd); });
}
int FdSetLength(int fd, int64_t length) {
    if (length < 0 || length > 0x7FFFFFFF) {
        errno = EINVAL;
        return -1;
    }
    return WithSystemErrno([&] { return _chsize(fd, long(length)); });
}
int FdClose(int fd) {
    return WithSystemErrno([&] { return _close(fd); });
}
int FileRemove(const char* path) {
    return OnWidePath(path, [](const wchar_t* name) { return _wunlink(name); });
}
int FolderRemove(const char* path) {
    return OnWidePath(path, [](const wchar_t* name) { return _wrmdir(name); });
}
int MakeFolder(const char* path) {
    return OnWidePath(path, [](const wchar_t* name) { return _wmkdir(name); }) == 0 ? 0 : errno;
}
std::FILE* FileOpenForReading(const char* path) {
    std::FILE* file = nullptr;
    OnWidePath(path, [&](const wchar_t* name) {
        file = _wfopen(name, L"rb");
        return file ? 0 : -1;
    });
    return file;
}
char PathSeparator() {
    return '\\';
}
const char* FallbackConfigFolder() {
    return "C:\\Windows";
}

// The system narrows the names by the pattern (and may match short names too, hence the check of each name).
void RemoveStaleFiles(const std::string& folder, const std::string& prefix, const std::string& suffix,
                      int64_t seconds) {
    const std::optional<std::wstring> pattern = Utf16FromUtf8(folder + "\\" + prefix + "*" + suffix);
    const std::optional<std::wstring> widePrefix = Utf16FromUtf8(prefix), wideSuffix = Utf16FromUtf8(suffix);
    if (!pattern || !widePrefix || !wideSuffix) return;
    _wfinddata64_t found;
    const intptr_t search = _wfindfirst64(pattern->c_str(), &found);
    if (search == -1) return;
    const __time64_t oldest = _time64(nullptr) - seconds;
    do {
        if (!(found.attrib & _A_SUBDIR) && found.time_write < oldest &&
            NamedWith(std::wstring_view(found.name), *widePrefix, *wideSuffix))
            _wunlink((*Utf16FromUtf8(folder) + L"\\" + found.name).c_str());
    } while (_wfindnext64(search, &found) == 0);
    _findclose(search);
}

#else

namespace {
constexpr const char* kSeparators = "/";
constexpr int kBinary = 0;
constexpr mode_t kNewFilePermission = 0666;  // narrowed by the user's umask
int SysOpen(const char* path, int flags) {
    return open(path, flags, kNewFilePermission);
}
unsigned long ProcessNumber() {
    return static_cast<unsigned long>(getpid());
}
}  // namespace

int64_t FdRead(int fd, void* buffer, uint32_t count) {
    return read(fd, buffer, count);
}
int64_t FdWrite(int fd, const void* buffer, uint32_t count) {
    return write(fd, buffer, count);
}
int64_t FdSeek(int fd, int64_t offset, int origin) {
    return lseek(fd, off_t(offset), origin);
}
int64_t FdLength(int fd) {
    struct stat status;
    return fstat(fd, &status) == 0 ? int64_t(status.st_size) : -1;
}
int FdSetLength(int fd, int64_t length) {
    return ftruncate(fd, off_t(length));
}
int FdClose(int fd) {
    return close(fd);
}
int FileRemove(const char* path) {
    return unlink(path);
}
int FolderRemove(const char* path) {
    return rmdir(path);
}
std::FILE* FileOpenForReading(const char* path) {
    return std::fopen(path, "rb");
}
int MakeFolder(const char* path) {
    return mkdir(path, 0700) == 0 ? 0 : errno;
}
char PathSeparator() {
    return '/';
}
const char* FallbackConfigFolder() {
    return nullptr;
}

void RemoveStaleFiles(const std::string& folder, const std::string& prefix, const std::string& suffix,
                      int64_t seconds) {
    DIR* dir = opendir(folder.c_str());
    if (!dir) return;
    const time_t oldest = time(nullptr) - time_t(seconds);
    while (const dirent* entry = readdir(dir)) {
        struct stat status;
        if (NamedWith(std::string_view(entry->d_name), prefix, suffix) &&
            fstatat(dirfd(dir), entry->d_name, &status, AT_SYMLINK_NOFOLLOW) == 0 && S_ISREG(status.st_mode) &&
            status.st_mtime < oldest)
            unlinkat(dirfd(dir), entry->d_name, 0);
    }
    closedir(dir);
}

#endif

int FdOpen(const char* path, FileAccess access) {
    switch (access) {
        case FileAccess::Read: return SysOpen(path, O_RDONLY | kBinary);
        case FileAccess::WriteCreate: return SysOpen(path, O_WRONLY | O_CREAT | O_TRUNC | kBinary);
        case FileAccess::ReadWrite: return SysOpen(path, O_RDWR | kBinary);
    }
    errno = EINVAL;
    return -1;
}

int MakeFolderPath(const char* path) {
    const std::string full(path);
    // Each folder above the last is made in turn; those that exist (or, like a drive, cannot be made) are passed.
    for (size_t at = full.find_first_of(kSeparators, 1); at != std::string::npos;
         at = full.find_first_of(kSeparators, at + 1))
        MakeFolder(full.substr(0, at).c_str());
    return MakeFolder(path);
}

int FdCreate(const char* path) {
    return SysOpen(path, O_RDWR | O_CREAT | O_TRUNC | kBinary);
}

std::string UniqueFileName(const std::string& stem, int n) {
    return stem + "." + std::to_string(ProcessNumber()) + "-" + std::to_string(n) + ".tmp";
}

int CreateUniqueFile(const std::string& stem, std::string& path) {
    // Another thread of this process, or a file left by an earlier process of the same number, holds the lower ones.
    for (int n = 0; n < 1000; ++n) {
        const std::string name = UniqueFileName(stem, n);
        const int fd = SysOpen(name.c_str(), O_RDWR | O_CREAT | O_EXCL | kBinary);
        if (fd >= 0) {
            FdClose(fd);
            path = name;
            return 0;
        }
        if (errno != EEXIST) return errno;
    }
    return EEXIST;
}

}  // namespace Platform
