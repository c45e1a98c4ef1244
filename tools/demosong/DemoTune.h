#pragma once
#include <cstdint>
#include <vector>

namespace demosong {

// The bytes of a MOD file: a short tune in A minor: intro, groove and an ending that fades out
// (about 23 seconds).
std::vector<uint8_t> demoTune();

} // namespace demosong
