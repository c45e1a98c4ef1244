#include "NumberCheck.h"

#include <cmath>
#include <cstdlib>

namespace tolva::cli {

namespace {

constexpr double UnboundedEnough = 1e6;

std::string shortText(double value) {
    char text[32];
    std::snprintf(text, sizeof text, value == std::floor(value) ? "%.0f" : "%g", value);
    return text;
}

} // namespace

CLI::Validator numberIn(double min, double max, bool whole) {
    return CLI::Validator(
        [=](std::string& text) -> std::string {
            char* end = nullptr;
            const double value = text.empty() ? NAN : std::strtod(text.c_str(), &end);
            if (std::isnan(value) || std::isinf(value) || *end != '\0')
                return "'" + text + "' is not a number";
            if (whole && value != std::floor(value))
                return "'" + text + "' is not a whole number";
            // A bound far beyond any use is not worth telling.
            if (value < min && max >= UnboundedEnough)
                return "must be " + shortText(min) + " or more";
            if (value < min || value > max)
                return "must be from " + shortText(min) + " to " + shortText(max);
            // Whole numbers reach the integer conversion in its own spelling: 1e3 is 1000.
            if (whole)
                text = std::to_string(static_cast<long long>(value));
            return "";
        },
        "");
}

} // namespace tolva::cli
