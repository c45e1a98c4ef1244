#pragma once
// Loading damaged files the way the plug-in does, for the hostile-input tests.
#include <cstdint>
#include <string>
#include <vector>

namespace tolva::test {

// Loads the bytes for information and for playing; when they load, measures them with the
// length scan (up to ten minutes of song time) and plays two seconds. Answers whether the
// file was taken for playing. Any fault shows under the sanitizers.
bool loadScanAndPlay(const std::vector<uint8_t>& bytes);

// The `count` smallest files of a corpus folder with the extension, smallest first.
std::vector<std::string> smallestCorpusFiles(const std::string& sub, const std::string& extension,
                                             std::size_t count);

} // namespace tolva::test
