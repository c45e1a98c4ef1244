#pragma once
#include <string>

namespace tolva::cli {

// Exit statuses of the tool.
enum ExitStatus : int {
    ExitOk = 0,
    ExitFailure = 1,   // a file could not be read or written, a bad option value
    ExitNotModule = 2, // the file is not a module in a supported format
};

// Something that went wrong with one file: its exit status and the reason shown.
struct Failure {
    int status = ExitFailure;
    std::string reason;
};

// "tolva: FILE: reason", or "tolva: reason" without a file.
std::string failureText(const std::string& file, const std::string& reason);
// Prints "tolva: FILE: reason" (or "tolva: reason" without a file) to stderr.
void reportFailure(const std::string& file, const std::string& reason);
// Why `path` cannot be read, in words (no such file, a folder, no permission); "" when it can.
std::string unreadable(const std::string& path);
// Reports a mistake on the command line, points at the command's help and answers ExitFailure.
int usageFailure(const std::string& command, const std::string& reason);

} // namespace tolva::cli
