// What a host reads of a Windows module file, as the MinGW toolchain's objdump reports it: the machine, the exported
// names, the imported DLLs and the data of each resource. Native builds only, where the cross-built modules are.
#pragma once

#include <map>
#include <string>
#include <utility>
#include <vector>

struct ModuleFacts {
    bool is64Bit = false;
    std::vector<std::string> exports, imports;
    // Each resource's data in its first language, by type (a name such as "PIPL", or "#16" for type 16) and id.
    std::map<std::pair<std::string, int>, std::string> resources;
};

// Throws std::runtime_error when the tool cannot read the file as a module.
ModuleFacts ReadModuleFacts(const std::string& path);

// A shell command's exit status (-1 when a signal ended it) and standard output; throws std::runtime_error when it
// cannot run.
struct ShellResult {
    int status;
    std::string output;
};
ShellResult Shell(const std::string& command);

// The standard output of a shell command; throws std::runtime_error when it cannot run or ends with a failure.
std::string CommandOutput(const std::string& command);
