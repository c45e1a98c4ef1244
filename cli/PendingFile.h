#pragma once
#include <cstdio>
#include <string>

namespace tolva::cli {

// An output written under a temporary name beside its target and renamed over the target once
// it is complete, so that a render that fails part-way leaves nothing that looks whole.
class PendingFile {
public:
    PendingFile(std::string temporary, std::string target)
        : temporary_(std::move(temporary)), target_(std::move(target)) {}
    ~PendingFile() {
        if (!temporary_.empty())
            std::remove(temporary_.c_str());
    }
    PendingFile(PendingFile&& other) noexcept
        : temporary_(std::move(other.temporary_)), target_(std::move(other.target_)) {
        other.temporary_.clear();
    }
    PendingFile& operator=(PendingFile&&) = delete;

    // Puts the finished file in place of the target.
    bool keep() {
        if (std::rename(temporary_.c_str(), target_.c_str()) != 0)
            return false;
        temporary_.clear();
        return true;
    }

private:
    std::string temporary_;
    std::string target_;
};

} // namespace tolva::cli
