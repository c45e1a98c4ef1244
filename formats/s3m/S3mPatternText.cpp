#include "formats/s3m/S3mPlayer.h"

#include <cstddef>
#include <vector>

namespace tolva {

namespace {

void writeS3mCell(CellText& cell, const uint8_t* what) {
    cell.clear();
    const uint8_t mask = what ? what[0] : 0;
    const uint8_t* p = what ? what + 1 : nullptr;
    uint8_t note = S3mNoNote, sample = 0, volume = S3mNoVolume, command = 0, param = 0;
    if (mask & S3mHasNote) {
        note = p[0];
        sample = p[1];
        p += 2;
    }
    if (mask & S3mHasVolume)
        volume = *p++;
    if (mask & S3mHasCommand) {
        command = p[0];
        param = p[1];
    }
    if (note == S3mNoNote)
        cell.append("...");
    else if (note == S3mNoteCut)
        cell.append("^^^");
    else
        cell.appendNote((note >> 4) * 12u + (note & 15u));
    if (sample != 0)
        cell.appendNumber(" %02u", sample);
    else
        cell.append(" ..");
    if (volume != S3mNoVolume)
        cell.appendNumber(" %02u", volume);
    else
        cell.append(" ..");
    if (command != 0) {
        char letter[3] = {' ', static_cast<char>('A' + command - 1), 0};
        cell.append(letter);
    } else {
        cell.append(" .");
    }
    cell.appendNumber("%02X", param);
}

} // namespace

// Packed rows: a leading byte (channel in the low five bits, then what follows) per stored
// cell, a zero byte after each row.
void writeS3mPatternText(const PatternDescription& p, uint32_t channels, CellText* out,
                         const uint8_t* columnChannel) {
    const uint8_t* at = p.cells;
    const uint8_t* end = p.cells ? p.cells + p.size : nullptr;
    for (uint32_t row = 0; row < p.rows; ++row) {
        const uint8_t* stored[S3mMaxChannels] = {};
        while (at && at < end && *at != 0) {
            const uint8_t what = *at;
            const uint32_t payload = ((what & S3mHasNote) ? 2u : 0u) +
                                     ((what & S3mHasVolume) ? 1u : 0u) +
                                     ((what & S3mHasCommand) ? 2u : 0u);
            if (end - at <= static_cast<std::ptrdiff_t>(payload)) {
                at = end;
                break;
            }
            stored[what & S3mChannelMask] = at;
            at += 1 + payload;
        }
        if (at && at < end)
            ++at;
        for (uint32_t c = 0; c < channels; ++c) {
            const uint32_t channel = columnChannel ? columnChannel[c] : c;
            writeS3mCell(out[row * channels + c],
                         channel < S3mMaxChannels ? stored[channel] : nullptr);
        }
    }
}

bool S3mPlayer::writePatternText(const PatternDescription& pattern, uint32_t channels,
                                 CellText* out) {
    std::vector<uint8_t> columnChannel(channels);
    for (uint32_t c = 0; c < channels; ++c)
        columnChannel[c] = static_cast<uint8_t>(s3mChannelOf(c));
    writeS3mPatternText(pattern, channels, out, columnChannel.data());
    return true;
}

} // namespace tolva
