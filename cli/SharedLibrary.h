#pragma once
#include <string>

namespace tolva::cli {

// A Debian shared library opened by its soname when a command first needs it, so that the
// commands that never use it start without loading it and all it pulls in. It stays loaded
// until the process ends.
class SharedLibrary {
public:
    explicit SharedLibrary(const char* soname);

    // Why the library cannot be used ("libX.so.1 is not installed"), or "" when it and every
    // function bound so far were found.
    const std::string& problem() const { return problem_; }
    // Points `function` at the library's `symbol`; a missing one becomes the problem.
    template <class Function> void bind(Function*& function, const char* symbol) {
        function = reinterpret_cast<Function*>(find(symbol));
    }

private:
    void* find(const char* symbol);

    void* handle_;
    std::string soname_;
    std::string problem_;
};

} // namespace tolva::cli
