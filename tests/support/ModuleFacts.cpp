// Shell commands' output, and the module's facts from objdump's section headers (-h) and private headers (-p): imports,
// the export name table and the resource tree, whose leaves give each resource's address, found in the file through the
// .rsrc section.
#include "tests/support/ModuleFacts.h"

#include <sys/wait.h>

#include <cstdio>
#include <memory>
#include <regex>
#include <sstream>
#include <stdexcept>
#include <utility>

#include "tests/support/TestPaths.h"

ShellResult Shell(const std::string& command) {
    std::unique_ptr<FILE, int (*)(FILE*)> pipe(popen(command.c_str(), "r"), pclose);
    if (!pipe) throw std::runtime_error("cannot run " + command);
    std::string output;
    char buffer[65536];
    for (size_t n; (n = fread(buffer, 1, sizeof buffer, pipe.get())) > 0;) output.append(buffer, n);
    const int status = pclose(pipe.release());
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, output};
}

std::string CommandOutput(const std::string& command) {
    ShellResult result = Shell(command);
    if (result.status != 0) throw std::runtime_error(command + " failed with status " + std::to_string(result.status));
    return std::move(result.output);
}

ModuleFacts ReadModuleFacts(const std::string& path) {
    const std::string tool = "x86_64-w64-mingw32-objdump", quoted = "'" + path + "'";
    std::istringstream lines(CommandOutput(tool + " -h " + quoted + " && " + tool + " -p " + quoted));
    const std::string bytes = ReadFileBytes(path);
    const std::regex section(R"(^\s*\d+ \.rsrc\s+[0-9a-f]+\s+([0-9a-f]+)\s+[0-9a-f]+\s+([0-9a-f]+))"),
        imageBase(R"(^ImageBase\s+([0-9a-f]+))"), import(R"(DLL Name: (\S+))"), exportName(R"(^\t\[\s*\d+\] (\S+)$)"),
        type(R"(^[0-9a-f]+ {3}Entry: (?:name: \[[^\]]*\]: (\S+)|ID: 0x([0-9a-f]+)),)"),
        id(R"(^[0-9a-f]+ {5}Entry: ID: 0x([0-9a-f]+),)"), leaf(R"(Leaf: Addr: 0x([0-9a-f]+), Size: 0x([0-9a-f]+))");
    ModuleFacts facts;
    uint64_t base = 0, resourceStart = 0, resourceOffset = 0;
    bool inExportNames = false;
    std::string currentType;
    int currentId = 0;
    std::smatch m;
    for (std::string line; std::getline(lines, line);) {
        if (line.find("file format pei-x86-64") != std::string::npos) facts.is64Bit = true;
        if (std::regex_search(line, m, section)) {
            resourceStart = std::stoull(m[1], nullptr, 16), resourceOffset = std::stoull(m[2], nullptr, 16);
        } else if (std::regex_search(line, m, imageBase)) {
            base = std::stoull(m[1], nullptr, 16);
        } else if (std::regex_search(line, m, import)) {
            facts.imports.push_back(m[1]);
        } else if (line == "[Ordinal/Name Pointer] Table" || line.empty()) {
            inExportNames = !line.empty();
        } else if (inExportNames && std::regex_search(line, m, exportName)) {
            facts.exports.push_back(m[1]);
        } else if (std::regex_search(line, m, type)) {
            currentType = m[1].matched ? m[1].str() : "#" + std::to_string(std::stoi(m[2], nullptr, 16));
        } else if (std::regex_search(line, m, id)) {
            currentId = std::stoi(m[1], nullptr, 16);
        } else if (std::regex_search(line, m, leaf)) {
            const uint64_t at = std::stoull(m[1], nullptr, 16) + base - resourceStart + resourceOffset;
            const uint64_t size = std::stoull(m[2], nullptr, 16);
            if (at + size > bytes.size()) throw std::runtime_error(path + ": a resource lies outside the file");
            facts.resources.emplace(std::pair(currentType, currentId), bytes.substr(at, size));
        }
    }
    if (facts.exports.empty()) throw std::runtime_error(path + ": objdump found no module there");
    return facts;
}
