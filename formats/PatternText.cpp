#include "formats/PatternText.h"

#include "engine/Player.h"
#include "formats/it/ItPattern.h"
#include "formats/mtm669/MtmPlayer.h"
#include "formats/s3m/S3mPlayer.h"
#include "formats/xm/XmPlayer.h"

#include <cstdio>
#include <cstring>

namespace tolva {

namespace {

constexpr uint32_t CellBytes3 = 3; // MOD, MTM and 669 cells

void put(CellText& cell, const char* text) {
    std::snprintf(cell.text, CellTextCapacity, "%s", text);
}

void append(CellText& cell, const char* text) {
    std::size_t used = std::strlen(cell.text);
    std::snprintf(cell.text + used, CellTextCapacity - used, "%s", text);
}

void appendNote(CellText& cell, uint32_t note) {
    char name[4];
    writeNoteName(note, name);
    append(cell, name);
}

void appendHex(CellText& cell, const char* format, uint32_t value) {
    char text[8];
    std::snprintf(text, sizeof text, format, value);
    append(cell, text);
}

// MOD packed cells: note (1-based period index, 0 none) | effect << 7 | sample << 11, then
// the parameter. MTM track rows: note << 2 | sample high bits, sample low bits << 4 | effect,
// parameter. Both show note, sample and effect the ProTracker way.
void writeProTrackerCell(CellText& cell, uint32_t note, uint32_t sample, uint32_t effect,
                         uint32_t param) {
    put(cell, "");
    if (note != 0)
        appendNote(cell, note - 1);
    else
        append(cell, "...");
    if (sample != 0)
        appendHex(cell, " %02X", sample);
    else
        append(cell, " ..");
    if (effect != 0 || param != 0)
        appendHex(cell, " %03X", effect << 8 | param);
    else
        append(cell, " ...");
}

void writeModRows(const PatternDescription& p, uint32_t channels, CellText* out) {
    for (uint32_t row = 0; row < p.rows; ++row)
        for (uint32_t c = 0; c < channels; ++c) {
            CellText& cell = out[row * channels + c];
            const std::size_t at = (static_cast<std::size_t>(row) * channels + c) * CellBytes3;
            if (!p.cells || at + CellBytes3 > p.size) {
                put(cell, "... .. ...");
                continue;
            }
            const uint8_t* b = p.cells + at;
            const uint32_t word = b[0] | b[1] << 8;
            writeProTrackerCell(cell, word & 0x7F, word >> 11, word >> 7 & 15, b[2]);
        }
}

void writeMtmRows(const PatternDescription& p, uint32_t channels, CellText* out) {
    for (uint32_t row = 0; row < p.rows; ++row)
        for (uint32_t c = 0; c < channels; ++c) {
            CellText& cell = out[row * channels + c];
            const uint8_t* track = c < DescribedTracks ? p.tracks[c] : nullptr;
            if (!track || row >= MtmTrackRows) {
                put(cell, "... .. ...");
                continue;
            }
            const uint8_t* b = track + row * MtmRowBytes;
            const uint32_t stored = b[0] >> 2;
            writeProTrackerCell(cell, stored != 0 ? stored + 1 : 0, (b[0] & 3u) << 4 | b[1] >> 4,
                                b[1] & 15u, b[2]);
        }
}

// 669 cells: note << 2 | sample >> 4, sample << 4 | volume, effect << 4 | value. A first byte
// of 0xFF has no note and no volume, 0xFE a volume only; a last byte of 0xFF no effect.
void write669Rows(const PatternDescription& p, uint32_t channels, CellText* out) {
    for (uint32_t row = 0; row < p.rows; ++row)
        for (uint32_t c = 0; c < channels; ++c) {
            CellText& cell = out[row * channels + c];
            const std::size_t at = (static_cast<std::size_t>(row) * 8 + c) * CellBytes3;
            put(cell, "");
            if (!p.cells || c >= 8 || at + CellBytes3 > p.size) {
                put(cell, "... .. . ..");
                continue;
            }
            const uint8_t* b = p.cells + at;
            if (b[0] < 0xFE) {
                appendNote(cell, b[0] >> 2);
                appendHex(cell, " %02X", (b[0] << 4 | b[1] >> 4) & 63u);
            } else {
                append(cell, "... ..");
            }
            if (b[0] != 0xFF)
                appendHex(cell, " %X", b[1] & 15u);
            else
                append(cell, " .");
            if (b[2] != 0xFF)
                appendHex(cell, " %02X", b[2]);
            else
                append(cell, " ..");
        }
}

void writeS3mCell(CellText& cell, const uint8_t* what) {
    put(cell, "");
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
        append(cell, "...");
    else if (note == S3mNoteCut)
        append(cell, "^^^");
    else
        appendNote(cell, (note >> 4) * 12u + (note & 15u));
    if (sample != 0)
        appendHex(cell, " %02u", sample);
    else
        append(cell, " ..");
    if (volume != S3mNoVolume)
        appendHex(cell, " %02u", volume);
    else
        append(cell, " ..");
    if (command != 0) {
        char letter[3] = {' ', static_cast<char>('A' + command - 1), 0};
        append(cell, letter);
    } else {
        append(cell, " .");
    }
    appendHex(cell, "%02X", param);
}

// S3M packed rows: a leading byte (channel in the low five bits, then what follows) per
// stored cell, a zero byte after each row.
void writeS3mRows(const PatternDescription& p, uint32_t channels, const uint8_t* columnChannel,
                  CellText* out) {
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

// XM packed cells follow the pattern header: a byte with bit 7 set says which of note,
// sample, volume, effect and parameter follow; any other byte is the note of a full cell.
void writeXmRows(const PatternDescription& p, uint32_t channels, CellText* out) {
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
            put(cell, "");
            if (note == 0)
                append(cell, "...");
            else if (note >= 97)
                append(cell, "===");
            else
                appendNote(cell, note - 1u);
            if (sample != 0)
                appendHex(cell, " %02X", sample);
            else
                append(cell, " ..");
            if (volume >= 0x11 && volume <= 0x50) {
                appendHex(cell, " %02X", volume - 0x10u);
            } else if (volume >= 0x60) {
                char text[3] = {' ', "-+dusvp<>m"[(volume >> 4) - 6], 0};
                append(cell, text);
                appendHex(cell, "%X", volume & 15u);
            } else {
                append(cell, " ..");
            }
            if (effect != 0 || param != 0) {
                char text[3] = {
                    ' ', static_cast<char>(effect < 10 ? '0' + effect : 'A' + effect - 10), 0};
                append(cell, text);
                appendHex(cell, "%02X", param);
            } else {
                append(cell, " ...");
            }
        }
}

void writeItCell(CellText& cell, uint8_t mask, const ItCellValues& v) {
    put(cell, "");
    if (!(mask & (ItMaskNote | ItMaskLastNote)))
        append(cell, "...");
    else if (v.note == ItNoteOff)
        append(cell, "===");
    else if (v.note == ItNoteCut)
        append(cell, "^^^");
    else if (v.note >= 120)
        append(cell, "~~~");
    else
        appendNote(cell, v.note);
    if (mask & (ItMaskInstrument | ItMaskLastInstrument))
        appendHex(cell, " %02u", v.instrument);
    else
        append(cell, " ..");
    // The volume column is three characters wide.
    if (!(mask & (ItMaskVolume | ItMaskLastVolume)))
        append(cell, " ..");
    else if (v.volume <= 64)
        appendHex(cell, " %02u", v.volume);
    else if (v.volume >= 128 && v.volume <= 192)
        appendHex(cell, "p%02u", v.volume - 128u);
    else if ((v.volume >= 65 && v.volume <= 124) || (v.volume >= 193 && v.volume <= 212)) {
        const uint32_t k = v.volume < 193 ? v.volume - 65u : v.volume - 133u;
        char text[4] = {' ', static_cast<char>('A' + k / 10), static_cast<char>('0' + k % 10), 0};
        append(cell, text);
    } else
        append(cell, " ??");
    if (mask & (ItMaskCommand | ItMaskLastCommand)) {
        char text[3] = {' ', v.command != 0 ? static_cast<char>('A' + v.command - 1) : '.', 0};
        append(cell, text);
        appendHex(cell, "%02X", v.param);
    } else {
        append(cell, " .00");
    }
}

// IT packed rows: per stored cell a channel byte (bit 7: a new mask follows), the mask, and
// the values it names; mask bits 0x10..0x80 repeat the channel's last values. A zero channel
// byte ends the row.
void writeItRows(const PatternDescription& p, uint32_t channels, CellText* out) {
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

} // namespace

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

bool writePatternText(uint32_t formatType, const PatternDescription& pattern, uint32_t channelCount,
                      const uint8_t* columnChannel, CellText* out) {
    switch (formatType) {
    case FormatMod:
    case FormatMod15:
        writeModRows(pattern, channelCount, out);
        return true;
    case Format669:
        write669Rows(pattern, channelCount, out);
        return true;
    case FormatMtm:
        writeMtmRows(pattern, channelCount, out);
        return true;
    case FormatS3m:
        writeS3mRows(pattern, channelCount, columnChannel, out);
        return true;
    case FormatXm:
        writeXmRows(pattern, channelCount, out);
        return true;
    case FormatIt:
        writeItRows(pattern, channelCount, out);
        return true;
    default:
        return false;
    }
}

} // namespace tolva
