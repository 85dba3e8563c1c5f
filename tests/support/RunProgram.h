// Runs a program built beside the tests as a process of its own (Windows), as a person's command line would.
// While it runs, a watcher may look at the process's windows and answer them as a person would.
#pragma once

#if defined(_WIN32)

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

// Runs ExecutableDir()\program with the UTF-8 arguments, calling `whileRunning(processId)` about every 50 ms until
// it ends; its standard error goes to `errorFile` when one is named. Returns its exit status, -1 when it did not
// start.
int RunBesideTests(const std::string& program, const std::vector<std::string>& arguments,
                   const std::function<void(uint32_t processId)>& whileRunning = {}, const std::string& errorFile = {});

#endif
