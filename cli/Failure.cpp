#include "Failure.h"

#include <cstdio>

namespace tolva::cli {

std::string failureText(const std::string& file, const std::string& reason) {
    return file.empty() ? "tolva: " + reason : "tolva: " + file + ": " + reason;
}

void reportFailure(const std::string& file, const std::string& reason) {
    std::fprintf(stderr, "%s\n", failureText(file, reason).c_str());
}

} // namespace tolva::cli
