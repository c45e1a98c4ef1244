#include "formats/mtm669/CommentText.h"

namespace tolva {

bool commentText(const uint8_t* bytes, uint32_t size, HeapArray<char>& text) {
    // Each byte gives at most two characters, and the NUL closes the text.
    if (!text.resize(2 * std::size_t{size} + 1))
        return false;
    std::size_t length = 0;
    bool anyText = false;
    bool afterText = true;
    for (uint32_t i = 0; i < size; ++i) {
        if (bytes[i] != 0) {
            text[length++] = static_cast<char>(bytes[i]);
            anyText = true;
        } else if (afterText) {
            text[length++] = '\r';
            text[length++] = '\n';
        }
        afterText = bytes[i] != 0;
    }
    text[length++] = '\0';
    if (anyText)
        text.shrink(length);
    else
        text.clear();
    return true;
}

} // namespace tolva
