// The run-time library's file-descriptor calls and folder services, under one name on every platform.
// Each call reports failure as the C library does (-1, or the error number) and leaves errno set; no buffering.
// Paths are UTF-8 text (bytes natively); on Windows one that is not valid UTF-8 fails with EINVAL.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

namespace Platform {

enum class FileAccess { Read, WriteCreate, ReadWrite };

// Binary mode, no sharing restrictions; WriteCreate creates a missing file (read-write permission) and truncates.
int FdOpen(const char* path, FileAccess access);
// Creates the file, or truncates an existing one, with read and write permission; returns the descriptor or -1.
int FdCreate(const char* path);
int64_t FdRead(int fd, void* buffer, uint32_t count);
int64_t FdWrite(int fd, const void* buffer, uint32_t count);
// origin 0 start, 1 current, 2 end; the new position or -1.
int64_t FdSeek(int fd, int64_t offset, int origin);
int64_t FdLength(int fd);
int FdSetLength(int fd, int64_t length);
int FdClose(int fd);
int FileRemove(const char* path);
// Removes an empty folder; 0 or -1.
int FolderRemove(const char* path);
// A buffered stream for untranslated reading, or null with errno set.
std::FILE* FileOpenForReading(const char* path);

// 0 when the folder was made, else the error number (EEXIST when it is already there).
int MakeFolder(const char* path);
// The same, making the missing folders above it first.
int MakeFolderPath(const char* path);
// Puts `from` in the place of `to` in one step, replacing an existing `to`; 0 or an errno value. On Windows a
// target that another program holds open for a moment (a reader, a virus scanner) is waited for briefly.
int RenameReplacing(const char* from, const char* to);
// Creates an empty file named `stem` + ".P-N.tmp" (P this process's number, N the first number free), with read
// and write permission, and puts its name in `path`: writers in other processes or threads never get the same
// one. 0, or the error number.
int CreateUniqueFile(const std::string& stem, std::string& path);
// The Nth name CreateUniqueFile tries for `stem` in this process.
std::string UniqueFileName(const std::string& stem, int n);
// Removes the files in `folder` whose names start with `prefix` and end with `suffix` and that were last written
// more than `seconds` ago: what a writer killed before it could clean up left. Failures are ignored.
void RemoveStaleFiles(const std::string& folder, const std::string& prefix, const std::string& suffix, int64_t seconds);
// The separator between folder names in a path.
char PathSeparator();
// Where the preferences go when their own folder cannot be made: the system folder on Windows, none elsewhere.
const char* FallbackConfigFolder();

#if defined(_WIN32)
// The errno value a Windows system error stands for, as the native build meets the same condition (a full disk
// is ENOSPC); 0 for an error without such a value.
int ErrnoForWindowsError(uint32_t systemError);
// Writes to the system file behind a descriptor opened in binary mode. Like write(), it returns a short count
// when the disk fills part-way and -1 with errno (mapped as above) when nothing could be written. The run-time
// library's _write turns a short write into an error named by a stale system error (a full disk as EEXIST).
int64_t WriteSystemHandle(intptr_t handle, const void* buffer, uint32_t count);
#endif

}  // namespace Platform
