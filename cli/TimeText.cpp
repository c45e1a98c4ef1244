#include "TimeText.h"

#include <cstdio>

namespace tolva::cli {

std::string minutesText(uint32_t ms) {
    char text[32];
    std::snprintf(text, sizeof text, "%u:%02u.%03u", ms / 60000, ms / 1000 % 60, ms % 1000);
    return text;
}

} // namespace tolva::cli
