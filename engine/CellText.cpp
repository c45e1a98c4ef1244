#include "engine/CellText.h"

#include <cstdio>
#include <cstring>

namespace tolva {

void CellText::append(const char* more) {
    const std::size_t used = std::strlen(text);
    std::snprintf(text + used, CellTextCapacity - used, "%s", more);
}

void CellText::appendNote(uint32_t note) {
    char name[4];
    writeNoteName(note, name);
    append(name);
}

void CellText::appendNumber(const char* format, uint32_t value) {
    char number[CellTextCapacity];
    std::snprintf(number, sizeof number, format, value);
    append(number);
}

void writeNoteName(uint32_t note, char* out) {
    if (note >= 120) {
        std::memcpy(out, "---", 4);
        return;
    }
    out[0] = "CCDDEFFGGAAB"[note % 12];
    out[1] = "-#-#--#-#-#-"[note % 12];
    out[2] = static_cast<char>('0' + note / 12);
    out[3] = 0;
}

void writeProTrackerCell(CellText& cell, uint32_t note, uint32_t sample, uint32_t effect,
                         uint32_t param) {
    cell.clear();
    if (note != 0)
        cell.appendNote(note - 1);
    else
        cell.append("...");
    if (sample != 0)
        cell.appendNumber(" %02X", sample);
    else
        cell.append(" ..");
    if (effect != 0 || param != 0)
        cell.appendNumber(" %03X", effect << 8 | param);
    else
        cell.append(" ...");
}

} // namespace tolva
