#include "engine/ProTrackerEffects.h"
#include "engine/Tables.h"
#include "formats/it/ItEffects.h"
#include "formats/it/ItPlayer.h"

#include <algorithm>
#include <array>

namespace tolva {

namespace {

using Waveform = std::array<int16_t, WaveformLength>;

// Impulse Tracker's sine is rounded from a finer table than ProTracker's, and peaks at 256.
constexpr Waveform sine = [] {
    constexpr int16_t quarter[17] = {0,   24,  48,  76,  96,  120, 144, 164, 180,
                                     196, 212, 224, 236, 244, 252, 256, 256};
    Waveform w{};
    for (uint32_t i = 0; i <= 16; ++i) {
        w[i] = quarter[i];
        w[32 - i] = quarter[i];
        w[(32 + i) % WaveformLength] = static_cast<int16_t>(-quarter[i]);
        w[(64 - i) % WaveformLength] = static_cast<int16_t>(-quarter[i]);
    }
    return w;
}();

// Impulse Tracker's own ramp and square: the ramp falls from the top, and the square drops to
// the middle, not to the bottom, for vibrato, tremolo and panbrello alike.
constexpr Waveform rampDown = [] {
    Waveform w{};
    for (uint32_t i = 0; i < WaveformLength; ++i)
        w[i] = static_cast<int16_t>(256 - 8 * static_cast<int32_t>(i));
    return w;
}();

constexpr Waveform halfSquare = [] {
    Waveform w{};
    for (uint32_t i = 0; i < WaveformLength / 2; ++i)
        w[i] = 256;
    return w;
}();

} // namespace

const int16_t* itWaveform(uint8_t y) {
    const int16_t* const tables[4] = {sine.data(), rampDown.data(), halfSquare.data(), randomTable};
    return tables[y & 3];
}

namespace {

// S7x: past-note actions, new-note actions and the envelope switches.
void instrumentControl(ItPlayer& player, ItChannel& ch, uint8_t y) {
    static constexpr uint8_t pastNoteActions[3] = {ItActionCut, ItActionNoteOff, ItActionFade};
    auto toggle = [](ItEnvelopeState& state, bool off) {
        if (off)
            state.flags |= ItEnvelopeSwitchedOff;
        else
            state.flags &= static_cast<uint16_t>(~ItEnvelopeSwitchedOff);
    };
    switch (y) {
    case 0x0:
    case 0x1:
    case 0x2:
        player.pastNoteAction(ch, pastNoteActions[y]);
        break;
    case 0x3:
    case 0x4:
    case 0x5:
    case 0x6:
        ch.newNoteAction = static_cast<uint8_t>(y - 3);
        break;
    case 0x7:
    case 0x8:
        toggle(ch.volumeEnvelopeState, y == 0x7);
        player.changeFlags |= ChangeVolume;
        break;
    case 0x9:
    case 0xA:
        toggle(ch.panEnvelopeState, y == 0x9);
        player.changeFlags |= ChangePanning;
        break;
    case 0xB:
    case 0xC:
        // The pitch envelope may drive the filter instead.
        toggle(ch.pitchEnvelopeState, y == 0xB);
        player.changeFlags |= ChangePitch | ChangeFormatState;
        break;
    default:
        break;
    }
}

// S9x: S91 surround; S9E and S9F play the sample forwards or backwards.
void soundControl(ItPlayer& player, ItChannel& ch, uint8_t y) {
    if (y == 1) {
        ch.surround = 1;
        player.changeFlags |= ChangePanning | ChangeSurround;
    } else if (y >= 0xE) {
        player.setPlayDirection(ch, y == 0xF);
    }
}

// SBx. ModPlug Tracker runs one loop at a time: a loop does not start while another channel's
// counts, and one that ended keeps its start row.
void itPatternLoop(ItPlayer& player, ItChannel& ch, uint8_t y) {
    const bool modPlug = player.module.header.fromModPlug();
    if (modPlug && y != 0 && ch.loopCounter == 0 && player.isPatternLoopActive())
        return;
    const uint8_t start = ch.loopRow;
    patternLoop(player, ch, y);
    if (modPlug && y != 0 && ch.loopCounter == 0)
        ch.loopRow = start;
    // A loop start past the pattern's last row (set after a loop ended on it) sends the song on
    // to the next order.
    if ((player.changeFlags & ChangeLoopJump) && player.nextRow >= player.song.rowsPerPattern) {
        player.changeFlags &= ~ChangeLoopJump;
        player.orderIndex = player.songPosition / 256 + 1;
        player.nextRow = 0;
    }
}

} // namespace

void itSCommandRow(ItPlayer& player, ItChannel& ch, uint8_t param) {
    const uint8_t y = param & 15;
    const EffectRow extended = extendedCommandRow;
    switch (param >> 4) {
    case 0x3: // vibrato waveform
        extended(player, ch, static_cast<uint8_t>(0x40 | y));
        ch.vibratoTable = itWaveform(y);
        break;
    case 0x4: // tremolo waveform
        extended(player, ch, static_cast<uint8_t>(0x70 | y));
        ch.tremoloTable = itWaveform(y);
        break;
    case 0x5:
        ch.panbrelloTable = itWaveform(y);
        break;
    case 0x6:
        player.rowExtraTicks = static_cast<uint16_t>(player.rowExtraTicks + y);
        break;
    case 0xE:
        extended(player, ch, static_cast<uint8_t>(0xE0 | y));
        break;
    case 0x7:
        instrumentControl(player, ch, y);
        break;
    case 0x8:
        extended(player, ch, static_cast<uint8_t>(0x80 | y));
        ch.panSetByCommand();
        break;
    case 0x9:
        soundControl(player, ch, y);
        break;
    case 0xA:
        ch.highOffset = y;
        break;
    case 0xB:
        itPatternLoop(player, ch, y);
        break;
    // Impulse Tracker counts a note cut or delay of 0 ticks as 1.
    case 0xC:
    case 0xD:
        extended(player, ch, static_cast<uint8_t>((param & 0xF0) | std::max<uint8_t>(y, 1)));
        break;
    case 0xF:
        ch.activeMacro = y;
        break;
    default:
        break;
    }
}

} // namespace tolva
