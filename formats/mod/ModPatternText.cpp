#include "formats/mod/ModPlayer.h"

#include "song/ByteOrder.h"

namespace tolva {

void writeModPatternText(const PatternDescription& p, uint32_t channels, CellText* out) {
    for (uint32_t row = 0; row < p.rows; ++row)
        for (uint32_t c = 0; c < channels; ++c) {
            CellText& cell = out[row * channels + c];
            const std::size_t at = (static_cast<std::size_t>(row) * channels + c) * ModCellSize;
            if (!p.cells || at + ModCellSize > p.size) {
                writeProTrackerCell(cell, 0, 0, 0, 0);
                continue;
            }
            const uint8_t* b = p.cells + at;
            const uint32_t word = readLe16(b);
            writeProTrackerCell(cell, word & 0x7F, word >> 11, word >> 7 & 15, b[2]);
        }
}

bool ModPlayer::writePatternText(const PatternDescription& pattern, uint32_t channels,
                                 CellText* out) {
    writeModPatternText(pattern, channels, out);
    return true;
}

} // namespace tolva
