#include "support/Corpus.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>

namespace tolva::test {

std::vector<std::string> corpusFiles(const std::string& sub, const std::string& extension) {
    const auto same = [](unsigned char a, unsigned char b) {
        return std::tolower(a) == std::tolower(b);
    };
    std::vector<std::string> files;
    for (const std::string& path : corpusFiles(sub)) {
        const std::string found = std::filesystem::path(path).extension().string();
        if (found.size() == extension.size() + 1 &&
            std::equal(extension.begin(), extension.end(), found.begin() + 1, same))
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
