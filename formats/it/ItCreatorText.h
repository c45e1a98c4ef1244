#pragma once
#include <cstddef>
#include <cstdint>

namespace tolva {

// The tracker and version behind a header's created-with word, as shown after the format
// name (it starts with a space, or is empty for unknown trackers).
void itCreatorText(uint16_t createdWith, char* out, std::size_t size);

} // namespace tolva
