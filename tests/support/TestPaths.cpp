// Test file locations on both platforms, and the golden hashes of exact outputs: scratch folders are new for
// each call, and a golden entry changes only when a run is told to rewrite it.
#include "tests/support/TestPaths.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iomanip>
#include <random>
#include <sstream>
#include <stdexcept>

#if defined(_WIN32)
#include <windows.h>
#endif

std::string ExecutableDir() {
#if defined(_WIN32)
    char path[MAX_PATH * 4] = {};
    GetModuleFileNameA(nullptr, path, sizeof path);
    return std::filesystem::path(path).parent_path().string();
#else
    return std::filesystem::canonical("/proc/self/exe").parent_path().string();
#endif
}

std::string MakeScratchDir(const std::string& tag) {
    // A random number per process keeps test executables that run side by side apart.
    static const std::string run = std::to_string(std::random_device{}());
    static std::atomic<int> counter{0};
    auto dir =
        std::filesystem::temp_directory_path() / ("halcyne-" + tag + "-" + run + "-" + std::to_string(counter++));
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
    return dir.string();
}

std::string ReadFileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) throw std::runtime_error("cannot read " + path);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

std::vector<std::string> NamesInFolder(const std::string& folder, bool recursive) {
    std::vector<std::string> names;
    for (auto it = std::filesystem::recursive_directory_iterator(folder); it != decltype(it)(); ++it) {
        if (!recursive) it.disable_recursion_pending();
        if (!recursive || it->is_regular_file())
            names.push_back(it->path().lexically_relative(folder).generic_string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

std::vector<std::string> CellsOf(const std::string& text) {
    std::vector<std::string> cells;
    for (size_t from = 0, bar;; from = bar + 3) {
        bar = text.find(" | ", from);
        cells.push_back(text.substr(from, bar - from));
        if (bar == std::string::npos) return cells;
    }
}

std::vector<std::vector<std::string>> DataTable(const std::string& name) {
    std::istringstream lines(ReadFileBytes(HC_TEST_DATA_DIR "/" + name));
    std::vector<std::vector<std::string>> rows;
    for (std::string line; std::getline(lines, line);) {
        if (line.empty() || line[0] == '#') continue;
        rows.push_back(CellsOf(line));
    }
    if (rows.empty()) ADD_FAILURE() << name << " holds no rows";
    return rows;
}

std::string WriteScratchFile(const std::string& name, const std::string& bytes) {
    static const std::string dir = MakeScratchDir("files");
    const std::string path = dir + "/" + name;
    std::ofstream(path, std::ios::binary) << bytes;
    return path;
}

bool UpdatingGolden() {
    const char* update = std::getenv("HALCYNE_UPDATE_GOLDEN");
    return update && std::string(update) == "1";
}

std::string LengthAndHash(const std::string& bytes) {
    uint32_t hash = 2166136261u;  // 32-bit FNV-1a
    for (char byte : bytes) hash = (hash ^ uint8_t(byte)) * 16777619u;
    std::ostringstream text;
    text << bytes.size() << ' ' << std::hex << std::setw(8) << std::setfill('0') << hash;
    return text.str();
}

void ExpectGolden(const std::string& name, const std::string& bytes) {
    static const std::string file = HC_TEST_DATA_DIR "/golden.txt";
    const std::string actual = " " + LengthAndHash(bytes);
    std::vector<std::string> lines;  // comments included, so a rewrite keeps them
    std::istringstream in(ReadFileBytes(file));
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    auto entry = std::find_if(lines.begin(), lines.end(),
                              [&](const std::string& line) { return line.rfind(name + " ", 0) == 0; });
    if (entry != lines.end() && *entry == name + actual) return;
    if (!UpdatingGolden()) {
        ADD_FAILURE() << "golden " << name << ": got" << actual << ", filed"
                      << (entry == lines.end() ? " nothing" : entry->substr(name.size())) << " (" << file
                      << "; HALCYNE_UPDATE_GOLDEN=1 rewrites it)";
        return;
    }
    if (entry == lines.end()) entry = lines.insert(lines.end(), "");
    *entry = name + actual;
    std::ofstream out(file, std::ios::trunc);
    for (const std::string& line : lines) out << line << "\n";
}
