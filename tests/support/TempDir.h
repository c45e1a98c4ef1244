#pragma once
#include <string>

namespace tolva::test {

// A fresh directory for one test, removed with everything in it when the test ends.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::string& root() const { return root_; }
    std::string path(const std::string& name) const;

private:
    std::string root_;
};

} // namespace tolva::test
