#pragma once
#include <cstddef>
#include <cstdint>

namespace tolva::ui {

// Decimal digits, with a "," every three digits from the right when asked, right-aligned
// with spaces in at least `width` characters.
void formatNumber(char* out, std::size_t capacity, int64_t value, bool separators = false,
                  int width = 0);

} // namespace tolva::ui
