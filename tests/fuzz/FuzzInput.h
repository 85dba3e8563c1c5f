// Fuzz inputs reach the code under test as a real file, since all file input goes through descriptors.
// One file per process and name, rewritten for every input.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// Writes the bytes to this process's file `name` in the temporary folder and returns its path.
std::string WriteFuzzFile(const char* name, const uint8_t* data, size_t size);
