#include "formats/it/ItPlayer.h"

namespace tolva {

namespace {

void writeItCell(CellText& cell, uint8_t mask, const ItCellValues& v) {
    cell.clear();
    if (!(mask & (ItMaskNote | ItMaskLastNote)))
        cell.append("...");
    else if (v.note == ItNoteOff)
        cell.append("===");
    else if (v.note == ItNoteCut)
        cell.append("^^^");
    else if (v.note >= 120)
        cell.append("~~~");
    else
        cell.appendNote(v.note);
    if (mask & (ItMaskInstrument | ItMaskLastInstrument))
        cell.appendNumber(" %02u", v.instrument);
    else
        cell.append(" ..");
    // The volume column is three characters wide.
    if (!(mask & (ItMaskVolume | ItMaskLastVolume)))
        cell.append(" ..");
    else if (v.volume <= 64)
        cell.appendNumber(" %02u", v.volume);
    else if (v.volume >= 128 && v.volume <= 192)
        cell.appendNumber("p%02u", v.volume - 128u);
    else if ((v.volume >= 65 && v.volume <= 124) || (v.volume >= 193 && v.volume <= 212)) {
        const uint32_t k = v.volume < 193 ? v.volume - 65u : v.volume - 133u;
        char text[4] = {' ', static_cast<char>('A' + k / 10), static_cast<char>('0' + k % 10), 0};
        cell.append(text);
    } else
        cell.append(" ??");
    if (mask & (ItMaskCommand | ItMaskLastCommand)) {
        char text[3] = {' ', v.command != 0 ? static_cast<char>('A' + v.command - 1) : '.', 0};
        cell.append(text);
        cell.appendNumber("%02X", v.param);
    } else {
        cell.append(" .00");
    }
}

} // namespace

// Packed rows: per stored cell a channel byte (bit 7: a new mask follows), the mask, and the
// values it names; mask bits 0x10..0x80 repeat the channel's last values. A zero channel byte
// ends the row.
void writeItPatternText(const PatternDescription& p, uint32_t channels, CellText* out) {
    const uint8_t* at = p.cells;
    const uint8_t* end = p.cells ? p.cells + p.size : nullptr;
    auto next = [&]() -> uint8_t { return at && at < end ? *at++ : 0; };
    uint8_t lastMask[ItChannels] = {};
    ItCellValues last[ItChannels];
    for (uint32_t row = 0; row < p.rows; ++row) {
        uint8_t rowMask[ItChannels] = {};
        while (at && at < end) {
            const uint8_t channelByte = next();
            if (channelByte == 0)
                break;
            const uint32_t channel = (channelByte - 1u) & 63u;
            if (channelByte & 0x80)
                lastMask[channel] = next();
            const uint8_t mask = lastMask[channel];
            ItCellValues& v = last[channel];
            if (mask & ItMaskNote)
                v.note = next();
            if (mask & ItMaskInstrument)
                v.instrument = next();
            if (mask & ItMaskVolume)
                v.volume = next();
            if (mask & ItMaskCommand) {
                v.command = next();
                v.param = next();
            }
            rowMask[channel] = mask;
        }
        for (uint32_t c = 0; c < channels; ++c)
            writeItCell(out[row * channels + c], c < ItChannels ? rowMask[c] : 0,
                        c < ItChannels ? last[c] : ItCellValues{});
    }
}

bool ItPlayer::writePatternText(const PatternDescription& pattern, uint32_t channels,
                                CellText* out) {
    writeItPatternText(pattern, channels, out);
    return true;
}

} // namespace tolva
