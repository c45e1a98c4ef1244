#include "ui/info/NumberText.h"

#include <cstdio>

namespace tolva::ui {

void formatNumber(char* out, std::size_t capacity, int64_t value, bool separators, int width) {
    char digits[32];
    uint64_t magnitude = value < 0 ? 0 - static_cast<uint64_t>(value) : value;
    int length = 0;
    do {
        if (separators && length % 4 == 3)
            digits[length++] = ',';
        digits[length++] = static_cast<char>('0' + magnitude % 10);
        magnitude /= 10;
    } while (magnitude != 0);
    if (value < 0)
        digits[length++] = '-';
    char text[40];
    int used = 0;
    for (int pad = width - length; pad > 0 && used < 32; --pad)
        text[used++] = ' ';
    while (length > 0)
        text[used++] = digits[--length];
    text[used] = 0;
    std::snprintf(out, capacity, "%s", text);
}

} // namespace tolva::ui
