#pragma once

#include <chrono>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

// Starting the crash child and killing it from outside.
namespace zorvan::test {

struct ChildResult {
    bool killed = false;
    int exitCode = -1;
    std::string output;
    std::chrono::microseconds ran{0};
};

// Runs the helper with its standard output and errors going to out; with a delay, sends it
// SIGKILL once the delay has passed.
ChildResult RunChild(const std::vector<std::string>& args, const std::filesystem::path& out,
                     std::optional<std::chrono::microseconds> killAfter = std::nullopt);

// The N of the "steps N" a child prints when it ran to the end; -1 otherwise.
int StepsOf(const ChildResult& result);

}  // namespace zorvan::test
