#include "support/Corpus.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>

namespace tolva::test {

namespace {

std::string lower(std::string s) {
    std::transform(s.begin(), s.end(), s.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return s;
}

} // namespace

std::vector<std::string> corpusFiles(const std::string& sub, const std::string& extension) {
    std::vector<std::string> files;
    const std::string wanted = lower(extension);
    for (const std::string& path : corpusFiles(sub)) {
        const std::string found = lower(std::filesystem::path(path).extension().string());
        if (found.size() == wanted.size() + 1 && found.compare(1, wanted.size(), wanted) == 0)
            files.push_back(path);
    }
    return files;
}

std::vector<std::string> corpusFiles(const std::string& sub) {
    std::vector<std::string> files;
    std::error_code error;
    const std::filesystem::path dir = std::filesystem::path(TOLVA_CORPUS_DIR) / sub;
    for (const auto& entry : std::filesystem::directory_iterator(dir, error))
        if (entry.is_regular_file())
            files.push_back(entry.path().string());
    std::sort(files.begin(), files.end());
    return files;
}

std::vector<uint8_t> readWholeFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary | std::ios::ate);
    std::vector<uint8_t> bytes(static_cast<std::size_t>(std::max<std::streamoff>(in.tellg(), 0)));
    in.seekg(0);
    in.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    return bytes;
}

} // namespace tolva::test
