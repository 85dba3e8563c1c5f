// Where test files live: the folder of the running test executable and a fresh scratch folder; and a golden
// hash for tests that pin exact bytes.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

std::string ExecutableDir();
// A new empty folder under the system's temporary folder, unique to this call.
std::string MakeScratchDir(const std::string& tag);
std::string ReadFileBytes(const std::string& path);
// 32-bit FNV-1a of `bytes`.
uint32_t Fnv1a(const std::string& bytes);
// The Windows module files to inspect: under Windows the one beside the test executable; natively the
// cross-built modules named by HALCYNE_WIN32_MODULE and HALCYNE_WIN64_MODULE (none when neither is set).
std::vector<std::string> WindowsModules(const std::string& moduleFileName);
