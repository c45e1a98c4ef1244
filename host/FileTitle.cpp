#include "host/FileTitle.h"

#include <cstring>

namespace tolva::host {

namespace {

// The part after the last "\" or ":".
const char* baseName(const char* file) {
    const char* base = file;
    for (const char* c = file; *c; ++c)
        if (*c == '\\' || *c == ':')
            base = c + 1;
    return base;
}

void append(char* out, uint32_t& used, const char* text) {
    std::size_t length = std::strlen(text);
    if (length > TitleCapacity - 1 - used)
        length = TitleCapacity - 1 - used;
    std::memcpy(out + used, text, length);
    used += static_cast<uint32_t>(length);
    out[used] = 0;
}

} // namespace

void composeTitle(uint32_t titleFormat, const char* songTitle, const char* file, char* out) {
    uint32_t used = 0;
    out[0] = 0;
    if (titleFormat == 2)
        append(out, used, "TOLVA: ");
    append(out, used, songTitle);
    if (titleFormat != 0 || songTitle[0] == 0) {
        if (songTitle[0] != 0)
            append(out, used, " - ");
        append(out, used, baseName(file));
    }
}

} // namespace tolva::host
