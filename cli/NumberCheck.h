#pragma once
#include <CLI/CLI.hpp>
#include <limits>

namespace tolva::cli {

// Checks a number option's text before it is converted, so that a mistake reads in plain words:
// "'48k' is not a number", "must be from 5000 to 96000". Not-a-number and infinity are refused.
CLI::Validator numberIn(double min, double max = std::numeric_limits<double>::infinity(),
                        bool whole = true);

} // namespace tolva::cli
