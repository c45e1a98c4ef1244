#include "Failure.h"

#include <cstdio>

namespace tolva::cli {

void reportFailure(const std::string& file, const std::string& reason) {
    if (file.empty())
        std::fprintf(stderr, "tolva: %s\n", reason.c_str());
    else
        std::fprintf(stderr, "tolva: %s: %s\n", file.c_str(), reason.c_str());
}

} // namespace tolva::cli
