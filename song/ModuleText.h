#pragma once
// Module texts (titles, names, messages) are single bytes in the code page of the tracker that
// wrote them; every front end shows them as UTF-8.
#include "platform/HeapArray.h"

#include <cstddef>
#include <cstdint>

namespace tolva {

// The Amiga's Latin-1 (MOD) or the PC's code page 437 (the rest).
enum class CodePage : uint8_t { Latin1, Cp437 };

// A NUL-terminated UTF-8 text whose making can fail for want of memory.
class Utf8Text {
public:
    const char* c_str() const { return bytes_.empty() ? "" : bytes_.data(); }
    bool empty() const { return bytes_.size() <= 1; }

    // A name or title, up to its first NUL or `capacity` bytes: blanks at the end dropped,
    // control characters shown as '?'. False when memory is short.
    bool setName(const char* bytes, std::size_t capacity, CodePage page);
    // A song message: the same for each line, lines ending in '\n' (from CR, LF or CR LF) but
    // the last, empty lines at the end dropped.
    bool setMessage(const char* text, CodePage page);

private:
    HeapArray<char> bytes_;
};

} // namespace tolva

namespace tolva {

// Names in one block, each NUL-terminated.
class TextList {
public:
    // False when memory is short; the list is then as it was.
    bool addName(const char* bytes, std::size_t capacity, CodePage page);
    std::size_t size() const { return starts_.size(); }
    // "" past the end.
    const char* operator[](std::size_t index) const {
        return index < starts_.size() ? bytes_.data() + starts_[index] : "";
    }

private:
    HeapArray<char> bytes_;
    HeapArray<uint32_t> starts_;
};

} // namespace tolva
