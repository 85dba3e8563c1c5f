// Starting a program beside the tests through the wide command line, so every argument arrives whole.
// Every handle opened here is closed on every way out.
#include "tests/support/RunProgram.h"

#include <windows.h>

#include <filesystem>
#include <memory>

#include "tests/support/TestPaths.h"

namespace {

// Closes a handle at the end of its scope; INVALID_HANDLE_VALUE (a failed open) is left alone.
struct HandleCloser {
    void operator()(HANDLE handle) const {
        if (handle != INVALID_HANDLE_VALUE) CloseHandle(handle);
    }
};
using OwnedHandle = std::unique_ptr<void, HandleCloser>;

// An inheritable handle on `path`, replacing the file; none for an empty name.
HANDLE OpenErrorFile(const std::string& path) {
    if (path.empty()) return nullptr;
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    return CreateFileW(std::filesystem::u8path(path).wstring().c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherit,
                       CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
}

}  // namespace

int RunBesideTests(const std::string& program, const std::vector<std::string>& arguments,
                   const std::function<void(uint32_t processId)>& whileRunning, const std::string& errorFile) {
    const std::wstring path = std::filesystem::u8path(ExecutableDir() + "\\" + program).wstring();
    std::wstring line = L"\"" + path + L"\"";
    for (const std::string& argument : arguments) line += L" \"" + std::filesystem::u8path(argument).wstring() + L"\"";
    const OwnedHandle errors(OpenErrorFile(errorFile));
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    if (errors.get()) {
        startup.dwFlags = STARTF_USESTDHANDLES;
        startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
        startup.hStdOutput = GetStdHandle(STD_OUTPUT_HANDLE);
        startup.hStdError = errors.get();
    }
    PROCESS_INFORMATION started{};
    if (!CreateProcessW(path.c_str(), line.data(), nullptr, nullptr, errors.get() != nullptr, 0, nullptr, nullptr,
                        &startup, &started))
        return -1;
    const OwnedHandle process(started.hProcess), thread(started.hThread);
    while (WaitForSingleObject(process.get(), 50) == WAIT_TIMEOUT)
        if (whileRunning) whileRunning(started.dwProcessId);
    DWORD status = 0;
    GetExitCodeProcess(process.get(), &status);
    return int(status);
}
