#include "formats/mtm669/CommentText.h"

namespace tolva {

std::vector<char> commentText(const uint8_t* bytes, uint32_t size) {
    std::vector<char> text;
    bool anyText = false;
    bool afterText = true;
    for (uint32_t i = 0; i < size; ++i) {
        if (bytes[i] != 0) {
            text.push_back(static_cast<char>(bytes[i]));
            anyText = true;
        } else if (afterText) {
            text.push_back('\r');
            text.push_back('\n');
        }
        afterText = bytes[i] != 0;
    }
    if (!anyText)
        return {};
    text.push_back('\0');
    return text;
}

} // namespace tolva
