// Fuzz inputs reach the code under test as a real file, since all file input goes through descriptors.
// One file per process and name in the system's temporary folder, rewritten for every input, so a long fuzz run
// leaves few files behind.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>

// Writes the bytes to this process's file `name` in the temporary folder and returns its path.
inline std::string WriteFuzzFile(const char* name, const uint8_t* data, size_t size) {
    static const std::string prefix = (std::filesystem::temp_directory_path() / "halcyne-fuzz-").string() +
                                      std::to_string(std::random_device{}()) + "-";
    const std::string path = prefix + name;
    std::ofstream(path, std::ios::binary | std::ios::trunc)
        .write(reinterpret_cast<const char*>(data), std::streamsize(size));
    return path;
}
