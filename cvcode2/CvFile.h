// File names (CvFileLocator) and open files (CvFile): unbuffered byte-exact reads and writes, little-endian
// helpers, and a count-only mode that writes nothing. Every failure is a CvErrorCode; an open file is closed by its
// destructor.
#pragma once

#include <cstdint>

enum CvFileMode : uint16_t {
    kCvFileRead = 1,
    kCvFileWrite = 2,
    kCvFileCountOnly = 4,
};

// Error numbers of the file layer (21, size/state mismatch, is shared with the rest of the library).
enum CvFileError : uint32_t {
    kCvErrFileNoPath = 4,         // no path (or handle) to work on
    kCvErrFileBadMode = 5,        // unknown open mode; access denied outside Open
    kCvErrFileTooMany = 9,        // too many open files; resource temporarily unavailable
    kCvErrFileNotFound = 10,      // no such file or folder
    kCvErrFileIsOpen = 11,        // the operation needs a closed file
    kCvErrFileWrongMode = 12,     // the file was not opened for this; Open: exists or invalid
    kCvErrFileAccessDenied = 14,  // Open: access denied
    kCvErrFileNotOpen = 15,       // the operation needs an open file
    kCvErrFileCrossDevice = 17,   // a move across devices
    kCvErrFileEnd = 18,           // nothing left to read
    kCvErrFileIo = 20,            // a read or close failed at the descriptor; bad descriptor
    kCvErrFileDiskFull = 22,      // no space left on the device
    kCvErrFileRange = 29,         // a result out of range
    kCvErrFileExists = 31,        // the file exists (outside Open)
};

class CvFileLocator {
public:
    CvFileLocator() = default;
    explicit CvFileLocator(const char* name);
    CvFileLocator(const CvFileLocator& other);
    CvFileLocator& operator=(const CvFileLocator& other);
    ~CvFileLocator();

    // Stores a fresh copy of `name` (raises out-of-memory) and frees the old one.
    void SetPath(const char* name);
    bool HasPath() const { return hasPath != 0; }
    const char* Path() const { return path; }

private:
    uint8_t hasPath = 0;
    char* path = nullptr;
};

class CvFile : public CvFileLocator {
public:
    CvFile() = default;
    explicit CvFile(const CvFileLocator& locator) : CvFileLocator(locator) {}
    CvFile(const CvFile&) = delete;
    CvFile& operator=(const CvFile&) = delete;
    // Closes a file still open, silently: a destructor cannot report.
    ~CvFile();

    // Mode 1 read, 2 write (created, truncated), 3 read-write, 6 count only. A nonzero handle is adopted.
    void Open(uint16_t mode, bool closeOnClose = true, int32_t handle = 0);
    void Close();
    // Reads up to n bytes and returns how many came; raises end-of-file only when none did.
    uint32_t Read(void* buffer, uint32_t n);
    // Reads exactly n bytes; a file that ends first raises end-of-file.
    void ReadFully(void* buffer, uint32_t n);
    void Write(const void* buffer, uint32_t n);
    uint8_t ReadByte();
    void WriteByte(uint8_t value);
    // Little-endian, whatever the processor.
    uint16_t ReadWord();
    void WriteWord(uint16_t value);
    uint32_t ReadLong();
    void WriteLong(uint32_t value);
    // origin 0 start, 1 current position, 2 end; returns the new position.
    uint32_t Seek(int origin, int32_t offset);
    uint32_t Tell();
    // Count-only: the bytes written so far; otherwise the file's length.
    uint32_t GetLength();
    void SetLength(uint32_t length);
    // Removes the file; returns 0 or -1 (not raised).
    int Delete();
    // Creates the file, or truncates an existing one, and closes it again.
    void CreateEmpty();

    bool IsOpen() const { return isOpen != 0; }
    uint16_t Mode() const { return mode; }
    uint32_t ByteCount() const { return byteCount; }

private:
    void RequireOpen() const;
    bool CountOnly() const { return (mode & kCvFileCountOnly) != 0; }

    uint8_t isOpen = 0;
    uint16_t mode = 0;
    uint32_t byteCount = 0;
    int32_t handle = 0;
    uint8_t closeOnClose = 0;
};

// The file layer's code for a system error number (errno) met outside Open.
uint32_t CvFileErrorForSystemError(int systemError);
// The file layer's code for a system error number met by Open.
uint32_t CvFileErrorForOpenError(int systemError);
