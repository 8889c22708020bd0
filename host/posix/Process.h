// Running another program on the host and collecting what it prints.
#pragma once

#include <chrono>
#include <optional>
#include <string>
#include <vector>

namespace host {

struct ProcessResult {
    bool started = false;     // false: the program could not be run; `error` says why
    bool timedOut = false;    // it was killed when the time ran out
    std::optional<int> exitStatus;  // set when it exited on its own
    std::string output;       // standard output
    std::string errorOutput;  // standard error
    std::string error;
};

/// Runs `arguments` (the program, found on PATH, and its arguments) with no input,
/// and waits for it at most `timeout`; a program still running then is killed.
ProcessResult runProcess(const std::vector<std::string>& arguments, std::chrono::milliseconds timeout);

/// The full path of `program` on PATH, or nothing.
std::optional<std::string> findProgram(const std::string& program);

}  // namespace host
