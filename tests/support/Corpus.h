#pragma once
// Files of the shared module corpus.
#include <cstdint>
#include <string>
#include <vector>

namespace tolva::test {

// Paths below the corpus folder (`sub` such as "songs" or "features/mod") whose extension is
// `extension` in any letter case; sorted.
std::vector<std::string> corpusFiles(const std::string& sub, const std::string& extension);

// Every file of a corpus folder; sorted.
std::vector<std::string> corpusFiles(const std::string& sub);

std::vector<uint8_t> readWholeFile(const std::string& path);

} // namespace tolva::test
