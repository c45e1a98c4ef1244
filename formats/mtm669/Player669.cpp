#include "formats/mtm669/Player669.h"

#include "formats/mtm669/Effects669.h"

#include <algorithm>

namespace tolva {

namespace {

constexpr uint8_t NoNote = 0xFF;
constexpr uint8_t VolumeOnly = 0xFE;
constexpr uint8_t NoEffect = 0xFF;
constexpr uint8_t TonePortamentoEffect = 2;

} // namespace

Player669::Player669(Mixer* mixer) : Player(mixer), BasicSongInfo(static_cast<Player&>(*this)) {
    channels_.show(channels);
    samples_.show(samples);
    song.channelCount = Channels669;
    song.initialTempo = 78; // Composer 669 ticks 31.2 times a second
    song.signedSamples = false;
    for (uint32_t i = 0; i < song.pannings.size(); ++i)
        song.pannings[i] = {static_cast<uint8_t>(i % 2 == 0 ? 0x20 : 0xE0), 0};
    quirks = {
        .jumpsInsideLoops = false,
        .laterChannelDecides = false,
        .finetuneOnChannel = false,
        .proTrackerOptions = false,
    };
    effects = effects669;
}

Player669::~Player669() {
    releaseAllSamples();
}

uint32_t Player669::patternRows(uint32_t pattern) const {
    if (pattern >= ListLength669)
        return Rows669;
    return std::min<uint32_t>(breakList[pattern] + 1u, Rows669);
}

bool Player669::enterPattern(uint32_t pattern) {
    // A tempo entry of 0 would stall the row; the speed then stays as it was.
    if (pattern < ListLength669 && tempoList[pattern] != 0)
        speed = tickCountdown = tempoList[pattern];
    song.rowsPerPattern = patternRows(pattern);
    patternCells_ = isPatternMissing(pattern) ? nullptr : song.patterns[pattern].data();
    return patternCells_ != nullptr;
}

bool Player669::readCell(uint32_t channelIndex) {
    Channel& ch = channel(channelIndex);
    ch.cellEffect = -1;
    ch.cellParam = 0;
    const uint32_t row = currentRow();
    if ((changeFlags & ChangeNoPatternData) || !patternCells_ || row >= Rows669)
        return true;
    const uint8_t* cell =
        patternCells_ + (row * Channels669 + channelIndex % Channels669) * CellBytes669;
    if (cell[0] != NoNote) {
        if (cell[0] != VolumeOnly) {
            ch.activeEffect = nullptr;
            ch.note = (cell[0] >> 2) + 1u;
            if (cell[2] >> 4 != TonePortamentoEffect)
                changeFlags |= ChangeStartNote;
            // An unknown sample number keeps the sample playing.
            Sample* s = sample((cell[0] << 4 | cell[1] >> 4) & 63);
            if (s && s->present)
                ch.sample = s;
        }
        ch.volume = static_cast<uint8_t>((cell[1] & 15) * 4);
        changeFlags |= ChangeVolume;
    }
    if (cell[2] != NoEffect) {
        ch.cellEffect = static_cast<int8_t>(cell[2] >> 4);
        ch.cellParam = cell[2] & 15;
    }
    return true;
}

void Player669::triggerNote(Channel&) {}

void Player669::resetRowModulation(Channel&) {}

uint32_t Player669::formatType() {
    return Format669;
}

void Player669::describeSample(SampleDescription& out, uint32_t index, uint32_t instrument) {
    BasicSongInfo::describeSample(out, index, instrument);
    out.fieldMask &= ~(SampleFieldFinetune | SampleFieldDefaultVolume);
}

void Player669::describePattern(PatternDescription& out, uint32_t index) {
    BasicSongInfo::describePattern(out, index);
    out.rows = patternRows(index);
}

} // namespace tolva
