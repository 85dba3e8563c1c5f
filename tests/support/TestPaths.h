// Where test files live: the folder of the running test executable and a fresh scratch folder.
#pragma once

#include <string>

std::string ExecutableDir();
// A new empty folder under the system's temporary folder, unique to this call.
std::string MakeScratchDir(const std::string& tag);
std::string ReadFileBytes(const std::string& path);
