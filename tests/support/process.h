#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

struct RunResult {
    int status;          // exit status, or 128 + signal number
    std::string output;  // everything written to standard output
};

struct RunOptions {
    std::filesystem::path workDir;
    // Caps the child's address space (bytes), so that a large allocation fails.
    std::uint64_t addressSpaceLimit = 0;
    // Extra environment entries, NAME=value.
    std::vector<std::string> environment;
};

// Runs `program` with exactly the argument vector `argv` (argv[0] included,
// which need not name the program) and waits for it.
RunResult runProgram(const std::string& program, const std::vector<std::string>& argv,
                     const RunOptions& options);

// A path from the build system as this system's programs take it.
std::string nativePath(const char* path);

// The hxdemux executable under test.
std::string hxdemuxPath();

// True in builds made with AddressSanitizer.
bool builtWithSanitizers();

// A library that, preloaded, makes the first read return half of what it
// asked for and every later one return end-of-file; empty where there is none.
std::string shortReadShimPath();

// Runs the whole program on `argv` in a forked copy of this process rather
// than a new one: the same run sequence, at a fraction of the cost, for
// sweeps of thousands of runs. Where there is no fork, a new process.
RunResult runHxdemuxForked(const std::vector<std::string>& argv,
                           const std::filesystem::path& workDir);
