#include "formats/mtm669/Player669.h"

namespace tolva {

// Cells of 8 channels: note << 2 | sample >> 4, sample << 4 | volume, effect << 4 | value. A
// first byte of 0xFF has no note and no volume, 0xFE a volume only; a last byte of 0xFF no
// effect.
void write669PatternText(const PatternDescription& p, uint32_t channels, CellText* out) {
    constexpr uint32_t CellBytes = 3;
    for (uint32_t row = 0; row < p.rows; ++row)
        for (uint32_t c = 0; c < channels; ++c) {
            CellText& cell = out[row * channels + c];
            const std::size_t at = (static_cast<std::size_t>(row) * 8 + c) * CellBytes;
            cell.clear();
            if (!p.cells || c >= 8 || at + CellBytes > p.size) {
                cell.append("... .. . ..");
                continue;
            }
            const uint8_t* b = p.cells + at;
            if (b[0] < 0xFE) {
                cell.appendNote(b[0] >> 2);
                cell.appendNumber(" %02X", (b[0] << 4 | b[1] >> 4) & 63u);
            } else {
                cell.append("... ..");
            }
            if (b[0] != 0xFF)
                cell.appendNumber(" %X", b[1] & 15u);
            else
                cell.append(" .");
            if (b[2] != 0xFF)
                cell.appendNumber(" %02X", b[2]);
            else
                cell.append(" ..");
        }
}

bool Player669::writePatternText(const PatternDescription& pattern, uint32_t channels,
                                 CellText* out) {
    write669PatternText(pattern, channels, out);
    return true;
}

} // namespace tolva
