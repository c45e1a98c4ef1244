#include "DisplayText.h"

#include <cstring>

namespace tolva::cli {

namespace {

// Bytes in the UTF-8 sequence led by `c`; 0 for a byte that cannot lead one.
std::size_t sequenceLength(unsigned char c) {
    return c < 0x80             ? 1
           : (c & 0xE0) == 0xC0 ? 2
           : (c & 0xF0) == 0xE0 ? 3
           : (c & 0xF8) == 0xF0 ? 4
                                : 0;
}

} // namespace

std::string terminalText(const std::string& text) {
    std::string out;
    for (std::size_t i = 0; i < text.size();) {
        const auto c = static_cast<unsigned char>(text[i]);
        std::size_t n = sequenceLength(c);
        bool valid = n > 0 && i + n <= text.size();
        for (std::size_t k = 1; valid && k < n; ++k)
            valid = (static_cast<unsigned char>(text[i + k]) & 0xC0) == 0x80;
        // C1 controls are U+0080..U+009F, encoded C2 80..C2 9F.
        const bool control =
            c < 0x20 || c == 0x7F ||
            (valid && n == 2 && c == 0xC2 && static_cast<unsigned char>(text[i + 1]) < 0xA0);
        if (!valid || control) {
            out += '?';
            i += valid ? n : 1;
        } else {
            out.append(text, i, n);
            i += n;
        }
    }
    return out;
}

std::size_t columns(const std::string& text) {
    std::size_t count = 0;
    for (unsigned char c : text)
        count += (c & 0xC0) != 0x80;
    return count;
}

std::string fitted(const std::string& text, int width) {
    if (width <= 0)
        return "";
    const auto w = static_cast<std::size_t>(width);
    if (columns(text) <= w)
        return text;
    const std::size_t keep = w <= 3 ? w : w - 3;
    std::size_t bytes = 0;
    for (std::size_t kept = 0; bytes < text.size(); ++bytes) {
        if ((static_cast<unsigned char>(text[bytes]) & 0xC0) != 0x80 && kept++ == keep)
            break;
    }
    return text.substr(0, bytes) + (w <= 3 ? "" : "...");
}

} // namespace tolva::cli
