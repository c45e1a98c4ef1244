#pragma once
#include "formats/SongPipeline.h"
#include "platform/HeapObject.h"

#include <atomic>
#include <cstdint>

namespace tolva::host {

constexpr uint32_t MaxFileNameLength = 513;

// The result of loading one file, shared through ModuleRef.
struct LoadedModule : HeapObject, LoadedSong {
    char fileName[MaxFileNameLength + 1] = {};

    LoadedModule() = default;
    ~LoadedModule();
    LoadedModule(const LoadedModule&) = delete;
    LoadedModule& operator=(const LoadedModule&) = delete;
};

// A counted reference to a LoadedModule; the last one released destroys the module and its
// session. Host threads may copy and release references at the same time.
class ModuleRef {
public:
    ModuleRef() = default;
    // A new module with a count of 1; empty when memory is short.
    static ModuleRef create();

    ModuleRef(const ModuleRef& other);
    ModuleRef(ModuleRef&& other) noexcept;
    ModuleRef& operator=(const ModuleRef& other);
    ModuleRef& operator=(ModuleRef&& other) noexcept;
    ~ModuleRef() { release(); }

    void release();
    LoadedModule* get() const { return module_; }
    LoadedModule* operator->() const { return module_; }
    LoadedModule& operator*() const { return *module_; }
    explicit operator bool() const { return module_ != nullptr; }

private:
    LoadedModule* module_ = nullptr;
    std::atomic<uint32_t>* count_ = nullptr;
};

} // namespace tolva::host
