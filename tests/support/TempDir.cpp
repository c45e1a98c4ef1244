#include "support/TempDir.h"

#include <atomic>
#include <chrono>
#include <filesystem>

namespace tolva::test {

namespace fs = std::filesystem;

TempDir::TempDir() {
    static std::atomic<unsigned> counter{0};
    auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
    fs::path dir = fs::temp_directory_path() /
                   ("tolva-test-" + std::to_string(stamp) + "-" + std::to_string(counter++));
    fs::create_directories(dir);
    root_ = dir.string();
}

TempDir::~TempDir() {
    std::error_code ignored;
    fs::remove_all(root_, ignored);
}

std::string TempDir::path(const std::string& name) const {
    return (fs::path(root_) / name).string();
}

} // namespace tolva::test
