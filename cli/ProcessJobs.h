// Several conversions at once, each in a halcyne process of its own, with their messages passed on in input order.
// The module keeps process-wide state, so conversions never share a process; each is driven as a host would.
#pragma once

#include <string>
#include <vector>

// One process to run: the command's own arguments narrowed to one input, and what to name when it fails.
struct ProcessJob {
    std::vector<std::string> arguments;
    std::string input;
    std::string output;
};

// Runs `program` once per job, at most `atOnce` at a time, in the jobs' order. Everything a process writes goes to
// standard error whole and in the jobs' order: the earliest unfinished process's output as it comes, every later
// one's when its turn comes, so the messages read as if the inputs had been converted one after another.
// Returns how many processes failed (ended with a nonzero status, by a signal, or could not be started).
size_t RunProcessJobs(const std::string& program, const std::vector<ProcessJob>& jobs, size_t atOnce);

// The arguments of the process that converts input number `index` alone: the command's own, without its other
// inputs (`inputArguments` says where each input stands).
std::vector<std::string> ArgumentsForOneInput(const std::vector<std::string>& arguments,
                                              const std::vector<size_t>& inputArguments, size_t index);
