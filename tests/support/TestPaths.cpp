// Test file locations on both platforms.
#include "tests/support/TestPaths.h"

#include <atomic>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>

#if defined(_WIN32)
#include <windows.h>
#else
#include <unistd.h>
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
    static std::atomic<int> counter{0};
#if defined(_WIN32)
    long process = long(GetCurrentProcessId());
#else
    long process = long(getpid());
#endif
    auto dir = std::filesystem::temp_directory_path() /
               ("halcyne-" + tag + "-" + std::to_string(process) + "-" + std::to_string(counter++));
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

uint32_t Fnv1a(const std::string& bytes) {
    uint32_t hash = 2166136261u;
    for (char byte : bytes) hash = (hash ^ uint8_t(byte)) * 16777619u;
    return hash;
}

std::vector<std::string> WindowsModules(const std::string& moduleFileName) {
#if defined(_WIN32)
    return {ExecutableDir() + "/" + moduleFileName};
#else
    (void)moduleFileName;
    std::vector<std::string> modules;
    for (const char* variable : {"HALCYNE_WIN32_MODULE", "HALCYNE_WIN64_MODULE"})
        if (const char* path = std::getenv(variable)) modules.emplace_back(path);
    return modules;
#endif
}
