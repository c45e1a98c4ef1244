#pragma once
#include <cstdint>
#include <string>

namespace tolva::cli {

// "m:ss.mmm"; minutes go past 59 rather than into hours.
std::string minutesText(uint32_t ms);

} // namespace tolva::cli
