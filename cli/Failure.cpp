#include "Failure.h"

#include "DisplayText.h"

#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <sys/stat.h>

namespace tolva::cli {

std::string failureText(const std::string& file, const std::string& reason) {
    return file.empty() ? "tolva: " + reason : "tolva: " + terminalText(file) + ": " + reason;
}

void reportFailure(const std::string& file, const std::string& reason) {
    std::fprintf(stderr, "%s\n", failureText(file, reason).c_str());
}

std::string unreadable(const std::string& path) {
    struct stat status {};
    if (stat(path.c_str(), &status) == 0 && S_ISDIR(status.st_mode))
        return "is a folder, not a file";
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (file) {
        std::fclose(file);
        return "";
    }
    if (errno == ENOENT)
        return "no such file";
    std::string text = std::strerror(errno);
    if (!text.empty())
        text[0] = static_cast<char>(std::tolower(static_cast<unsigned char>(text[0])));
    return "cannot open file (" + text + ")";
}

int usageFailure(const std::string& command, const std::string& reason) {
    reportFailure("", reason);
    std::fprintf(stderr, "Run 'tolva%s%s --help' for usage.\n", command.empty() ? "" : " ",
                 command.c_str());
    return ExitFailure;
}

} // namespace tolva::cli
