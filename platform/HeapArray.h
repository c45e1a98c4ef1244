#pragma once
// A growable array on the process heap whose growth can fail: resize answers false and leaves
// the array as it was, where a standard container would end the process.
#include "platform/Heap.h"

#include <cstring>
#include <new>
#include <type_traits>
#include <utility>

namespace tolva {

template <typename T> class HeapArray {
    static_assert(std::is_trivially_copyable_v<T> && std::is_trivially_destructible_v<T>);

public:
    HeapArray() = default;
    HeapArray(HeapArray&& other) noexcept
        : items_(std::exchange(other.items_, nullptr)), size_(std::exchange(other.size_, 0)) {}
    HeapArray& operator=(HeapArray&& other) noexcept {
        std::swap(items_, other.items_);
        std::swap(size_, other.size_);
        return *this;
    }
    HeapArray(const HeapArray&) = delete;
    HeapArray& operator=(const HeapArray&) = delete;
    ~HeapArray() { platform::release(items_); }

    // Keeps the first min(size, n) items and value-initialises the rest; false when memory is
    // short, with the array unchanged. Growing moves the items.
    [[nodiscard]] bool resize(std::size_t n) {
        if (n <= size_) {
            size_ = n;
            return true;
        }
        if (n > static_cast<std::size_t>(-1) / sizeof(T))
            return false;
        auto* grown = static_cast<T*>(platform::allocate(n * sizeof(T)));
        if (!grown)
            return false;
        if (size_)
            std::memcpy(static_cast<void*>(grown), items_, size_ * sizeof(T));
        for (std::size_t i = size_; i < n; ++i)
            new (grown + i) T();
        platform::release(items_);
        items_ = grown;
        size_ = n;
        return true;
    }
    // Keeps the first n items; the block stays.
    void shrink(std::size_t n) {
        if (n < size_)
            size_ = n;
    }
    void clear() {
        platform::release(std::exchange(items_, nullptr));
        size_ = 0;
    }

    std::size_t size() const { return size_; }
    bool empty() const { return size_ == 0; }
    T* data() { return items_; }
    const T* data() const { return items_; }
    T& operator[](std::size_t i) { return items_[i]; }
    const T& operator[](std::size_t i) const { return items_[i]; }
    T* begin() { return items_; }
    T* end() { return items_ + size_; }
    const T* begin() const { return items_; }
    const T* end() const { return items_ + size_; }

private:
    T* items_ = nullptr;
    std::size_t size_ = 0;
};

} // namespace tolva
