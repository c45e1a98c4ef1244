#pragma once
#include <atomic>
#include <chrono>
#include <filesystem>
#include <string>

namespace tolva::test {

// A fresh directory for one test, removed with everything in it when the test ends.
class TempDir {
public:
    TempDir() {
        static std::atomic<unsigned> counter{0};
        const auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
        root_ = (std::filesystem::temp_directory_path() /
                 ("tolva-test-" + std::to_string(stamp) + "-" + std::to_string(counter++)))
                    .string();
        std::filesystem::create_directories(root_);
    }
    ~TempDir() {
        std::error_code ignored;
        std::filesystem::remove_all(root_, ignored);
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::string& root() const { return root_; }
    std::string path(const std::string& name) const {
        return (std::filesystem::path(root_) / name).string();
    }

private:
    std::string root_;
};

} // namespace tolva::test
