#include "SharedLibrary.h"

#include <dlfcn.h>

namespace tolva::cli {

SharedLibrary::SharedLibrary(const char* soname)
    : handle_(dlopen(soname, RTLD_NOW | RTLD_LOCAL)), soname_(soname) {
    if (!handle_)
        problem_ = soname_ + " is not installed";
}

void* SharedLibrary::find(const char* symbol) {
    if (!handle_)
        return nullptr;
    void* address = dlsym(handle_, symbol);
    if (!address && problem_.empty())
        problem_ = soname_ + " has no " + symbol + " (too old a version)";
    return address;
}

} // namespace tolva::cli
