// Where a conversion's GIF is written before it takes its output's name, and the removal of every such file when
// a signal ends the command: an interrupted command leaves no partial file, and an existing output unchanged.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// SIGINT, SIGTERM and SIGHUP remove the staged files of the conversion under way and end the command with the
// status 128 + the signal's number (130 for SIGINT). SIGXFSZ and SIGPIPE are ignored, so a file size limit or a
// closed pipe is a write error that is reported and cleaned up.
void InstallInterruptCleanup();

// Names a signal removes too while this object lives: files, then the folders that held them (listed after them).
class InterruptCleanup {
public:
    explicit InterruptCleanup(const std::vector<std::string>& names);
    ~InterruptCleanup();
    InterruptCleanup(const InterruptCleanup&) = delete;
    InterruptCleanup& operator=(const InterruptCleanup&) = delete;

private:
    std::vector<int> slots_;
};

// A conversion process this command started: while this object lives, a signal that ends the command is passed
// on to the process (Windows: which has the console's interrupt itself), and the command waits for it to end, so
// the process's partial files are gone when the command is. `process` is the process number, or its handle on
// Windows.
class InterruptForwarding {
public:
    explicit InterruptForwarding(intptr_t process);
    ~InterruptForwarding();
    InterruptForwarding(const InterruptForwarding&) = delete;
    InterruptForwarding& operator=(const InterruptForwarding&) = delete;

private:
    int slot_;
};

// From here on, whatever writes to standard output (the plug-in's log included) goes to standard error; the GIF
// for "-o -" alone goes to the real standard output.
void ReserveStandardOutputForData();

// Standard input copied into a staged file, so the readers can look at its first bytes and then read it whole.
class StagedInput {
public:
    StagedInput();  // throws ConversionError when standard input cannot be read or stored
    ~StagedInput();
    StagedInput(const StagedInput&) = delete;
    StagedInput& operator=(const StagedInput&) = delete;
    const std::string& Path() const { return path_; }

private:
    std::string path_;
};

class StagedOutput {
public:
    // `output` is the GIF file to replace, or "-" for standard output (staged in the temporary folder).
    explicit StagedOutput(const std::string& output);
    // Removes whatever the staged name still holds (nothing after Commit).
    ~StagedOutput();
    StagedOutput(const StagedOutput&) = delete;
    StagedOutput& operator=(const StagedOutput&) = delete;

    // The file the plug-in is asked to write.
    const std::string& Path() const { return staged_; }
    // Puts the complete staged file in the output's place in one step, or copies it to standard output.
    // Throws ConversionError with the reason when it cannot.
    void Commit();

private:
    std::string output_;
    std::string staged_;
    int cleanupSlots_[2] = {-1, -1};  // the staged file and the plug-in's temporary file beside it
};
