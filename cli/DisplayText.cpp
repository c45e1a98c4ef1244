#include "DisplayText.h"

#include "engine/Player.h"

#include <cstring>
#include <iconv.h>

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

// Code page to UTF-8; every byte of both code pages has a character, so nothing is lost.
std::string decoded(const std::string& bytes, CodePage page) {
    iconv_t convert = iconv_open("UTF-8", page == CodePage::Cp437 ? "CP437" : "ISO-8859-1");
    if (convert == reinterpret_cast<iconv_t>(-1))
        return terminalText(bytes);
    std::string out(bytes.size() * 3, '\0');
    char* in = const_cast<char*>(bytes.data());
    std::size_t inLeft = bytes.size();
    char* to = out.data();
    std::size_t outLeft = out.size();
    iconv(convert, &in, &inLeft, &to, &outLeft);
    iconv_close(convert);
    out.resize(out.size() - outLeft);
    return terminalText(out);
}

std::string withoutTrailingBlanks(std::string text) {
    text.erase(text.find_last_not_of(' ') + 1);
    return text;
}

} // namespace

CodePage codePageOf(unsigned formatType) {
    return formatType == FormatMod || formatType == FormatMod15 ? CodePage::Latin1
                                                                : CodePage::Cp437;
}

std::string moduleText(const char* bytes, std::size_t capacity, CodePage page) {
    std::size_t n = 0;
    while (n < capacity && bytes[n])
        ++n;
    return withoutTrailingBlanks(decoded(std::string(bytes, n), page));
}

std::string messageText(const char* text, CodePage page) {
    std::string out;
    std::string line;
    for (const char* c = text; *c; ++c) {
        if (*c == '\r' || *c == '\n') {
            out += withoutTrailingBlanks(decoded(line, page)) + "\n";
            line.clear();
            if (*c == '\r' && c[1] == '\n')
                ++c;
        } else {
            line += *c;
        }
    }
    out += withoutTrailingBlanks(decoded(line, page));
    out.erase(out.find_last_not_of('\n') + 1);
    return out;
}

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
