// Staged files of the command and their removal on SIGINT and SIGTERM. The signal handler only removes names
// prepared beforehand in fixed buffers and leaves with _exit, so it calls nothing that is unsafe in a handler.
#include "cli/StagedOutput.h"

#include <fcntl.h>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>

#include "cli/CommandLine.h"
#include "cli/FailureText.h"
#include "cli/Utf8Path.h"
#include "cvcode2/CvFile.h"
#include "platform/PlatformFile.h"

#if defined(_WIN32)
#include <io.h>
#include <process.h>
#include <windows.h>
#else
#include <sys/wait.h>
#include <unistd.h>
#endif

namespace fs = std::filesystem;

namespace {

// The names a signal removes, in this order: files first, then the folders they were in (a private preferences
// folder), then a staged input, a staged output and the plug-in's temporary file beside it.
constexpr int kCleanupSlots = 8;
constexpr size_t kMaxCleanupPath = 4096;
char gCleanup[kCleanupSlots][kMaxCleanupPath];
volatile std::sig_atomic_t gCleanupUsed[kCleanupSlots];
int gDataFd = 1;

// A file or an empty folder; whichever the name is not fails harmlessly. Natively these are unlink and rmdir;
// on Windows a console interrupt runs the handler on a thread of its own, where converting the name is safe.
void RemoveName(const char* path) {
    if (Platform::FileRemove(path) != 0) Platform::FolderRemove(path);
}

// The conversion processes running for this command (process numbers, or handles on Windows).
intptr_t gProcess[kMaxJobs];
volatile std::sig_atomic_t gProcessUsed[kMaxJobs];

// Only calls that are safe in a signal handler: kill and waitpid, or waiting on a handle.
void EndProcesses(int signal) {
#if defined(_WIN32)
    (void)signal;  // the console's interrupt reaches every process attached to it
    constexpr DWORD kMostWaitMs = 10000;
    for (int slot = 0; slot < kMaxJobs; ++slot)
        if (gProcessUsed[slot]) WaitForSingleObject(reinterpret_cast<HANDLE>(gProcess[slot]), kMostWaitMs);
#else
    for (int slot = 0; slot < kMaxJobs; ++slot)
        if (gProcessUsed[slot]) kill(pid_t(gProcess[slot]), signal);
    for (int slot = 0; slot < kMaxJobs; ++slot)
        if (gProcessUsed[slot]) waitpid(pid_t(gProcess[slot]), nullptr, 0);
#endif
}

extern "C" void OnInterrupt(int signal) {
    EndProcesses(signal);
    for (int slot = 0; slot < kCleanupSlots; ++slot)
        if (gCleanupUsed[slot]) RemoveName(gCleanup[slot]);
    _exit(128 + signal);
}

// Registers `path` for removal by a signal; the returned slot is handed back to ForgetOnInterrupt.
int RemoveOnInterrupt(const std::string& path) {
    for (int slot = 0; slot < kCleanupSlots; ++slot) {
        if (gCleanupUsed[slot] || path.size() >= kMaxCleanupPath) continue;
        std::memcpy(gCleanup[slot], path.c_str(), path.size() + 1);
        gCleanupUsed[slot] = 1;
        return slot;
    }
    return -1;
}

void ForgetOnInterrupt(int slot) {
    if (slot >= 0) gCleanupUsed[slot] = 0;
}

std::string ProcessTag() {
#if defined(_WIN32)
    return "halcyne-" + std::to_string(_getpid());
#else
    return "halcyne-" + std::to_string(getpid());
#endif
}

// The plug-in writes `target` through a temporary file beside it, the first free of target.N.tmp.
std::string PluginTemporaryName(const std::string& target) {
    return target + ".0.tmp";
}

void WriteAll(int fd, const char* bytes, size_t size) {
    while (size > 0) {
        const int64_t put = Platform::FdWrite(fd, bytes, uint32_t(std::min<size_t>(size, 1u << 20)));
        if (put <= 0) throw ConversionError("cannot write to standard output: " + std::string(std::strerror(errno)));
        bytes += put;
        size -= size_t(put);
    }
}

}  // namespace

InterruptCleanup::InterruptCleanup(const std::vector<std::string>& names) {
    for (const std::string& name : names) slots_.push_back(RemoveOnInterrupt(name));
}

InterruptCleanup::~InterruptCleanup() {
    for (int slot : slots_) ForgetOnInterrupt(slot);
}

InterruptForwarding::InterruptForwarding(intptr_t process) : slot_(-1) {
    for (int slot = 0; slot < kMaxJobs && slot_ < 0; ++slot) {
        if (gProcessUsed[slot]) continue;
        gProcess[slot] = process;
        gProcessUsed[slot] = 1;
        slot_ = slot;
    }
}

InterruptForwarding::~InterruptForwarding() {
    if (slot_ >= 0) gProcessUsed[slot_] = 0;
}

void InstallInterruptCleanup() {
    std::signal(SIGINT, OnInterrupt);
    std::signal(SIGTERM, OnInterrupt);
#if defined(SIGHUP)
    std::signal(SIGHUP, OnInterrupt);
#endif
#if defined(SIGXFSZ)
    std::signal(SIGXFSZ, SIG_IGN);
#endif
#if defined(SIGPIPE)
    std::signal(SIGPIPE, SIG_IGN);  // a reader of "-o -" that goes away is a write error, cleaned up like any other
#endif
}

void ReserveStandardOutputForData() {
    std::fflush(stdout);
#if defined(_WIN32)
    gDataFd = _dup(1);
    _setmode(gDataFd, _O_BINARY);
    _dup2(2, 1);
#else
    gDataFd = dup(1);
    dup2(2, 1);
#endif
    if (gDataFd < 0) gDataFd = 1;
}

StagedInput::StagedInput() : path_(Utf8FromPath(fs::temp_directory_path() / (ProcessTag() + "-input"))) {
#if defined(_WIN32)
    _setmode(0, _O_BINARY);
#endif
    const int slot = RemoveOnInterrupt(path_);
    std::ofstream out(PathFromUtf8(path_), std::ios::binary | std::ios::trunc);
    out << std::cin.rdbuf();
    out.close();
    ForgetOnInterrupt(slot);
    if (!out) {
        std::error_code ignored;
        fs::remove(PathFromUtf8(path_), ignored);
        throw ConversionError("cannot store standard input in " + path_);
    }
}

StagedInput::~StagedInput() {
    std::error_code ignored;
    fs::remove(PathFromUtf8(path_), ignored);
}

StagedOutput::StagedOutput(const std::string& output) : output_(output) {
    if (output == "-") {
        staged_ = Utf8FromPath(fs::temp_directory_path() / (ProcessTag() + ".gif"));
    } else {
        const fs::path target = PathFromUtf8(output);
        staged_ = Utf8FromPath(target.parent_path() /
                               PathFromUtf8("." + Utf8FromPath(target.filename()) + "." + ProcessTag()));
    }
    cleanupSlots_[0] = RemoveOnInterrupt(staged_);
    cleanupSlots_[1] = RemoveOnInterrupt(PluginTemporaryName(staged_));
}

StagedOutput::~StagedOutput() {
    std::error_code ignored;
    fs::remove(PathFromUtf8(staged_), ignored);
    fs::remove(PathFromUtf8(PluginTemporaryName(staged_)), ignored);
    for (int slot : cleanupSlots_) ForgetOnInterrupt(slot);
}

void StagedOutput::Commit() {
    if (output_ == "-") {
        std::ifstream in(PathFromUtf8(staged_), std::ios::binary);
        const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        if (!in) throw ConversionError("cannot read back the GIF file staged in " + staged_);
        WriteAll(gDataFd, bytes.data(), bytes.size());
        return;
    }
    const int failure = Platform::RenameReplacing(staged_.c_str(), output_.c_str());
    if (failure != 0)
        throw ConversionError(
            FileErrorText(output_, CvFileErrorForSystemError(failure), uint32_t(failure), FileRole::WrittenTo));
}
