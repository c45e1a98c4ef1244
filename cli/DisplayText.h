#pragma once
#include <cstddef>
#include <string>

namespace tolva::cli {

// A file name or other UTF-8 text made safe for the terminal: control characters and bytes that
// are not UTF-8 shown as '?'.
std::string terminalText(const std::string& text);

// Characters in UTF-8 text, each taken as one column.
std::size_t columns(const std::string& text);
// The text cut to `width` columns, the cut marked with "...".
std::string fitted(const std::string& text, int width);

} // namespace tolva::cli
