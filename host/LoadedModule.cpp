#include "host/LoadedModule.h"

#include "engine/SongSession.h"

#include <new>
#include <utility>

namespace tolva::host {

LoadedModule::~LoadedModule() = default;

ModuleRef ModuleRef::create() {
    ModuleRef ref;
    ref.module_ = new (std::nothrow) LoadedModule;
    ref.count_ = new (std::nothrow) std::atomic<uint32_t>(1);
    if (!ref.module_ || !ref.count_) {
        delete ref.module_;
        delete ref.count_;
        ref.module_ = nullptr;
        ref.count_ = nullptr;
    }
    return ref;
}

ModuleRef::ModuleRef(const ModuleRef& other) : module_(other.module_), count_(other.count_) {
    if (count_)
        count_->fetch_add(1);
}

ModuleRef::ModuleRef(ModuleRef&& other) noexcept
    : module_(std::exchange(other.module_, nullptr)), count_(std::exchange(other.count_, nullptr)) {
}

ModuleRef& ModuleRef::operator=(const ModuleRef& other) {
    if (this != &other) {
        ModuleRef copy(other);
        *this = std::move(copy);
    }
    return *this;
}

ModuleRef& ModuleRef::operator=(ModuleRef&& other) noexcept {
    if (this != &other) {
        release();
        module_ = std::exchange(other.module_, nullptr);
        count_ = std::exchange(other.count_, nullptr);
    }
    return *this;
}

void ModuleRef::release() {
    if (count_ && count_->fetch_sub(1) == 1) {
        delete module_;
        delete count_;
    }
    module_ = nullptr;
    count_ = nullptr;
}

} // namespace tolva::host
