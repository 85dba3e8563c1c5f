// Per-process scratch files for fuzz inputs, in the system's temporary folder.
// The same name always gives the same path within a process, so a long fuzz run leaves few files behind.
#include "tests/fuzz/FuzzInput.h"

#include <filesystem>
#include <fstream>

#if defined(_WIN32)
#include <process.h>
#define HC_PROCESS_ID _getpid
#else
#include <unistd.h>
#define HC_PROCESS_ID getpid
#endif

std::string WriteFuzzFile(const char* name, const uint8_t* data, size_t size) {
    static const std::filesystem::path dir = std::filesystem::temp_directory_path();
    std::string path = (dir / ("halcyne-fuzz-" + std::to_string(long(HC_PROCESS_ID())) + "-" + name)).string();
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(data), std::streamsize(size));
    return path;
}
