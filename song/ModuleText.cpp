#include "song/ModuleText.h"

#include <cstring>

namespace tolva {

namespace {

// Code page 437 from 0x80 on; below, it is ASCII with control characters in 0x01..0x1F.
constexpr uint16_t Cp437High[128] = {
    0x00C7, 0x00FC, 0x00E9, 0x00E2, 0x00E4, 0x00E0, 0x00E5, 0x00E7, 0x00EA, 0x00EB, 0x00E8, 0x00EF,
    0x00EE, 0x00EC, 0x00C4, 0x00C5, 0x00C9, 0x00E6, 0x00C6, 0x00F4, 0x00F6, 0x00F2, 0x00FB, 0x00F9,
    0x00FF, 0x00D6, 0x00DC, 0x00A2, 0x00A3, 0x00A5, 0x20A7, 0x0192, 0x00E1, 0x00ED, 0x00F3, 0x00FA,
    0x00F1, 0x00D1, 0x00AA, 0x00BA, 0x00BF, 0x2310, 0x00AC, 0x00BD, 0x00BC, 0x00A1, 0x00AB, 0x00BB,
    0x2591, 0x2592, 0x2593, 0x2502, 0x2524, 0x2561, 0x2562, 0x2556, 0x2555, 0x2563, 0x2551, 0x2557,
    0x255D, 0x255C, 0x255B, 0x2510, 0x2514, 0x2534, 0x252C, 0x251C, 0x2500, 0x253C, 0x255E, 0x255F,
    0x255A, 0x2554, 0x2569, 0x2566, 0x2560, 0x2550, 0x256C, 0x2567, 0x2568, 0x2564, 0x2565, 0x2559,
    0x2558, 0x2552, 0x2553, 0x256B, 0x256A, 0x2518, 0x250C, 0x2588, 0x2584, 0x258C, 0x2590, 0x2580,
    0x03B1, 0x00DF, 0x0393, 0x03C0, 0x03A3, 0x03C3, 0x00B5, 0x03C4, 0x03A6, 0x0398, 0x03A9, 0x03B4,
    0x221E, 0x03C6, 0x03B5, 0x2229, 0x2261, 0x00B1, 0x2265, 0x2264, 0x2320, 0x2321, 0x00F7, 0x2248,
    0x00B0, 0x2219, 0x00B7, 0x221A, 0x207F, 0x00B2, 0x25A0, 0x00A0,
};

// The character of a byte; '?' for the control characters (and Latin-1's C1 controls).
uint32_t character(uint8_t byte, CodePage page) {
    if (byte < 0x20 || byte == 0x7F || (page == CodePage::Latin1 && byte >= 0x80 && byte < 0xA0))
        return '?';
    if (byte < 0x80 || page == CodePage::Latin1)
        return byte;
    return Cp437High[byte - 0x80];
}

char* putUtf8(char* out, uint32_t c) {
    if (c < 0x80) {
        *out++ = static_cast<char>(c);
    } else if (c < 0x800) {
        *out++ = static_cast<char>(0xC0 | c >> 6);
        *out++ = static_cast<char>(0x80 | (c & 0x3F));
    } else {
        *out++ = static_cast<char>(0xE0 | c >> 12);
        *out++ = static_cast<char>(0x80 | (c >> 6 & 0x3F));
        *out++ = static_cast<char>(0x80 | (c & 0x3F));
    }
    return out;
}

// Appends one line's characters at `out`, without its trailing blanks.
char* putLine(char* out, const char* bytes, std::size_t size, CodePage page) {
    while (size > 0 && bytes[size - 1] == ' ')
        --size;
    for (std::size_t i = 0; i < size; ++i)
        out = putUtf8(out, character(static_cast<uint8_t>(bytes[i]), page));
    return out;
}

} // namespace

bool Utf8Text::setName(const char* bytes, std::size_t capacity, CodePage page) {
    const auto* nul = static_cast<const char*>(std::memchr(bytes, 0, capacity));
    const std::size_t size = nul ? static_cast<std::size_t>(nul - bytes) : capacity;
    if (!bytes_.resize(3 * size + 1))
        return false;
    char* end = putLine(bytes_.data(), bytes, size, page);
    *end = '\0';
    bytes_.shrink(static_cast<std::size_t>(end - bytes_.data()) + 1);
    return true;
}

bool TextList::addName(const char* bytes, std::size_t capacity, CodePage page) {
    Utf8Text name;
    const std::size_t used = bytes_.size();
    if (!name.setName(bytes, capacity, page) || !starts_.resize(starts_.size() + 1))
        return false;
    const std::size_t length = std::strlen(name.c_str()) + 1;
    if (!bytes_.resize(used + length)) {
        starts_.shrink(starts_.size() - 1);
        return false;
    }
    std::memcpy(bytes_.data() + used, name.c_str(), length);
    starts_[starts_.size() - 1] = static_cast<uint32_t>(used);
    return true;
}

bool Utf8Text::setMessage(const char* text, CodePage page) {
    const std::size_t size = std::strlen(text);
    if (!bytes_.resize(3 * size + 2))
        return false;
    char* out = bytes_.data();
    char* kept = out; // the end of the last line that was not empty
    for (std::size_t from = 0; from <= size;) {
        const std::size_t end = from + std::strcspn(text + from, "\r\n");
        out = putLine(out, text + from, end - from, page);
        if (out != bytes_.data() && out[-1] != '\n')
            kept = out;
        *out++ = '\n';
        from = end + (text[end] == '\r' && text[end + 1] == '\n' ? 2 : 1);
    }
    *kept = '\0';
    bytes_.shrink(static_cast<std::size_t>(kept - bytes_.data()) + 1);
    return true;
}

} // namespace tolva
