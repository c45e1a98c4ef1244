#include "formats/xm/XmPlayer.h"

namespace tolva {

// Packed cells follow the pattern header: a byte with bit 7 set says which of note, sample,
// volume, effect and parameter follow; any other byte is the note of a full cell.
void writeXmPatternText(const PatternDescription& p, uint32_t channels, CellText* out) {
    const uint8_t* at =
        p.cells && p.size > XmPatternHeaderBytes ? p.cells + XmPatternHeaderBytes : nullptr;
    const uint8_t* end = p.cells ? p.cells + p.size : nullptr;
    auto next = [&]() -> uint8_t { return at && at < end ? *at++ : 0; };
    for (uint32_t row = 0; row < p.rows; ++row)
        for (uint32_t c = 0; c < channels; ++c) {
            uint8_t note = 0, sample = 0, volume = 0, effect = 0, param = 0;
            const uint8_t b = next();
            if (b & 0x80) {
                note = (b & 0x01) ? next() : 0;
                sample = (b & 0x02) ? next() : 0;
                volume = (b & 0x04) ? next() : 0;
                effect = (b & 0x08) ? next() : 0;
                param = (b & 0x10) ? next() : 0;
            } else {
                note = b;
                sample = next();
                volume = next();
                effect = next();
                param = next();
            }
            CellText& cell = out[row * channels + c];
            cell.clear();
            if (note == 0)
                cell.append("...");
            else if (note >= 97)
                cell.append("===");
            else
                cell.appendNote(note - 1u);
            if (sample != 0)
                cell.appendNumber(" %02X", sample);
            else
                cell.append(" ..");
            if (volume >= 0x11 && volume <= 0x50) {
                cell.appendNumber(" %02X", volume - 0x10u);
            } else if (volume >= 0x60) {
                char text[3] = {' ', "-+dusvp<>m"[(volume >> 4) - 6], 0};
                cell.append(text);
                cell.appendNumber("%X", volume & 15u);
            } else {
                cell.append(" ..");
            }
            if (effect != 0 || param != 0) {
                char text[3] = {
                    ' ', static_cast<char>(effect < 10 ? '0' + effect : 'A' + effect - 10), 0};
                cell.append(text);
                cell.appendNumber("%02X", param);
            } else {
                cell.append(" ...");
            }
        }
}

bool XmPlayer::writePatternText(const PatternDescription& pattern, uint32_t channels,
                                CellText* out) {
    writeXmPatternText(pattern, channels, out);
    return true;
}

} // namespace tolva
