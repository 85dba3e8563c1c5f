// Runs conversion processes side by side and passes their output on in input order. One thread per running
// process reads its output into a buffer; only the main thread writes to standard error and starts processes.
#include "cli/ProcessJobs.h"

#include <algorithm>
#include <cerrno>
#include <condition_variable>
#include <cstdio>
#include <cstring>
#include <memory>
#include <mutex>
#include <optional>
#include <stdexcept>
#include <thread>

#include "cli/FailureText.h"
#include "cli/StagedOutput.h"
#include "platform/PlatformFile.h"

#if defined(_WIN32)
#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include "platform/Utf16.h"
#else
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;
#endif

namespace {

// A started process: its number (its handle on Windows) and the reading end of its output.
struct Started {
    intptr_t process = 0;
    int output = -1;
};

// How a process ended: its exit status, or the signal that ended it.
struct Ending {
    int status = 0;
    int signal = 0;
};

#if defined(_WIN32)

// One argument as the system's command-line parser reads it back: quoted, with backslashes doubled before quotes.
std::wstring Quoted(const std::wstring& argument) {
    if (!argument.empty() && argument.find_first_of(L" \t\n\v\"") == std::wstring::npos) return argument;
    std::wstring quoted = L"\"";
    size_t backslashes = 0;
    for (wchar_t c : argument) {
        if (c == L'\\') {
            ++backslashes;
            continue;
        }
        quoted.append(c == L'"' ? 2 * backslashes + 1 : backslashes, L'\\');
        quoted.push_back(c);
        backslashes = 0;
    }
    quoted.append(2 * backslashes, L'\\');
    return quoted + L"\"";
}

std::wstring Wide(const std::string& utf8) {
    const std::optional<std::wstring> wide = Platform::Utf16FromUtf8(utf8);
    if (!wide) throw std::runtime_error("the name " + utf8 + " is not valid Unicode text");
    return *wide;
}

std::string SystemErrorText(DWORD error) {
    return "system error " + std::to_string(error);
}

Started Start(const std::string& program, const std::vector<std::string>& arguments) {
    std::wstring line = Quoted(Wide(program));
    for (const std::string& argument : arguments) line += L" " + Quoted(Wide(argument));
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    HANDLE reading = nullptr, writing = nullptr;
    if (!CreatePipe(&reading, &writing, &inherit, 0)) throw std::runtime_error(SystemErrorText(GetLastError()));
    SetHandleInformation(reading, HANDLE_FLAG_INHERIT, 0);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    startup.hStdOutput = startup.hStdError = writing;
    PROCESS_INFORMATION process{};
    const bool started = CreateProcessW(Wide(program).c_str(), line.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr,
                                        &startup, &process);
    const DWORD error = GetLastError();
    // Closed at once, so the pipe ends with the process and no later process inherits this end.
    CloseHandle(writing);
    if (!started) {
        CloseHandle(reading);
        throw std::runtime_error(SystemErrorText(error));
    }
    CloseHandle(process.hThread);
    return {reinterpret_cast<intptr_t>(process.hProcess),
            _open_osfhandle(reinterpret_cast<intptr_t>(reading), _O_RDONLY | _O_BINARY)};
}

Ending Wait(intptr_t process) {
    const HANDLE handle = reinterpret_cast<HANDLE>(process);
    WaitForSingleObject(handle, INFINITE);
    DWORD status = 1;
    GetExitCodeProcess(handle, &status);
    CloseHandle(handle);
    return {int(status), 0};
}

#else

Started Start(const std::string& program, const std::vector<std::string>& arguments) {
    int pipe[2];
    // Close-on-exec: no other process inherits this pipe, so it ends with the process it was made for.
    if (pipe2(pipe, O_CLOEXEC) != 0) throw std::runtime_error(std::strerror(errno));
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, pipe[1], 1);
    posix_spawn_file_actions_adddup2(&actions, pipe[1], 2);
    std::vector<char*> argv{const_cast<char*>(program.c_str())};
    for (const std::string& argument : arguments) argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);
    pid_t process = 0;
    const int failure = posix_spawn(&process, program.c_str(), &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    close(pipe[1]);
    if (failure != 0) {
        close(pipe[0]);
        throw std::runtime_error(std::strerror(failure));
    }
    return {intptr_t(process), pipe[0]};
}

Ending Wait(intptr_t process) {
    int status = 0;
    while (waitpid(pid_t(process), &status, 0) < 0)
        if (errno != EINTR) return {1, 0};  // already waited for by the interrupt handler, which then ends us
    if (WIFSIGNALED(status)) return {128 + WTERMSIG(status), WTERMSIG(status)};
    return {WIFEXITED(status) ? WEXITSTATUS(status) : 1, 0};
}

#endif

// One job's state, shared between its reading thread and the main thread under the runner's lock.
struct JobState {
    std::string pending;  // output not yet passed on
    bool ended = false;
    Ending ending;
    std::unique_ptr<InterruptForwarding> forwarding;
    std::thread reader;
};

void PassOn(const std::string& text) {
    if (text.empty()) return;
    std::fwrite(text.data(), 1, text.size(), stderr);
    std::fflush(stderr);
}

class JobRunner {
public:
    JobRunner(const std::string& program, const std::vector<ProcessJob>& jobs)
        : program_(program), jobs_(jobs), states_(jobs.size()) {}

    size_t Run(size_t atOnce) {
        std::unique_lock<std::mutex> lock(mutex_);
        size_t failures = 0;
        for (size_t shown = 0; shown < jobs_.size();) {
            while (started_ < jobs_.size() && started_ - ended_ < atOnce) StartNext();
            JobState& state = states_[shown];
            changed_.wait(lock, [&] {
                return !state.pending.empty() || state.ended || (started_ < jobs_.size() && started_ - ended_ < atOnce);
            });
            std::string text;
            text.swap(state.pending);
            const bool ended = state.ended;  // then its whole output is in `text`
            lock.unlock();
            PassOn(text);
            if (ended && state.reader.joinable()) state.reader.join();
            lock.lock();
            if (ended) {
                failures += state.ending.status != 0 ? 1 : 0;
                ++shown;
            }
        }
        return failures;
    }

private:
    // Called with the lock held.
    void StartNext() {
        const size_t index = started_++;
        JobState& state = states_[index];
        try {
            const Started process = Start(program_, jobs_[index].arguments);
            state.forwarding = std::make_unique<InterruptForwarding>(process.process);
            state.reader = std::thread([this, index, process] { Read(index, process); });
        } catch (const std::exception& error) {
            state.pending = "halcyne: cannot start the conversion of " + jobs_[index].input + ": " + error.what() +
                            ". " + NothingWrittenText(jobs_[index].output) + "\n";
            Finish(state, Ending{1, 0});
        }
    }

    void Read(size_t index, Started process) {
        char buffer[4096];
        for (int64_t got; (got = Platform::FdRead(process.output, buffer, sizeof buffer)) > 0;) {
            std::lock_guard<std::mutex> lock(mutex_);
            states_[index].pending.append(buffer, size_t(got));
            changed_.notify_all();
        }
        Platform::FdClose(process.output);
        const Ending ending = Wait(process.process);
        std::lock_guard<std::mutex> lock(mutex_);
        JobState& state = states_[index];
        if (ending.signal != 0)
            state.pending += "halcyne: the conversion of " + jobs_[index].input + " was ended by signal " +
                             std::to_string(ending.signal) + ". " + NothingWrittenText(jobs_[index].output) + "\n";
        Finish(state, ending);
    }

    // Called with the lock held.
    void Finish(JobState& state, Ending ending) {
        state.ending = ending;
        state.ended = true;
        state.forwarding.reset();
        ++ended_;
        changed_.notify_all();
    }

    const std::string& program_;
    const std::vector<ProcessJob>& jobs_;
    std::vector<JobState> states_;
    size_t started_ = 0;
    size_t ended_ = 0;
    std::mutex mutex_;
    std::condition_variable changed_;
};

}  // namespace

size_t RunProcessJobs(const std::string& program, const std::vector<ProcessJob>& jobs, size_t atOnce) {
    JobRunner runner(program, jobs);
    return runner.Run(std::max<size_t>(atOnce, 1));
}

std::vector<std::string> ArgumentsForOneInput(const std::vector<std::string>& arguments,
                                              const std::vector<size_t>& inputArguments, size_t index) {
    std::vector<std::string> narrowed;
    for (size_t i = 0; i < arguments.size(); ++i)
        if (i == inputArguments[index] ||
            std::find(inputArguments.begin(), inputArguments.end(), i) == inputArguments.end())
            narrowed.push_back(arguments[i]);
    return narrowed;
}
