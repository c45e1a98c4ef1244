#pragma once
// Writes FastTracker 2 modules for tests that build the song they play.
#include "engine/Player.h"
#include "support/RecordingMixer.h"

#include <array>
#include <cstdint>
#include <initializer_list>
#include <map>
#include <memory>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

namespace tolva::test {

// File bytes: note 0 none, 1..96 notes (C-0 = 1), 97 key-off; volume the volume column's.
struct XmCell {
    uint8_t note = 0, instrument = 0, volume = 0, effect = 0, param = 0;
};

// A cell playing note n (0-based, C-4 = 48).
inline XmCell xmNote(uint32_t n, uint8_t instrument = 0, uint8_t volume = 0, uint8_t effect = 0,
                     uint8_t param = 0) {
    return {static_cast<uint8_t>(n + 1), instrument, volume, effect, param};
}
inline XmCell xmFx(uint8_t effect, uint8_t param) {
    return {0, 0, 0, effect, param};
}
inline XmCell xmVolume(uint8_t volume) {
    return {0, 0, volume};
}
inline XmCell xmKeyOff(uint8_t instrument = 0) {
    return {97, instrument};
}

struct XmEnvelopeDef {
    std::vector<std::pair<uint16_t, uint16_t>> points; // (tick, value 0..64)
    uint8_t sustain = 0, loopStart = 0, loopEnd = 0;
    uint8_t type = 0; // 1 on, 2 sustain, 4 loop
};

struct XmSampleDef {
    std::vector<int16_t> pcm{}; // values; -128..127 unless sixteenBit
    bool sixteenBit = false;
    bool stereo = false;                    // pcm holds all left values, then all right ones
    uint8_t loopType = 0;                   // 0 none, 1 forward, 2 ping-pong
    uint32_t loopStart = 0, loopLength = 0; // bytes
    uint8_t volume = 64, panning = 128;
    int8_t finetune = 0, relativeNote = 0;
    std::vector<uint8_t> adpcm{}; // when set, stored instead of deltas as ModPlug ADPCM
};

// A looped square wave of `frames` 8-bit values.
XmSampleDef xmSquare(uint32_t frames = 32);

struct XmInstrumentDef {
    std::vector<XmSampleDef> samples{};
    std::array<uint8_t, 96> noteMap{}; // sample per note
    XmEnvelopeDef volumeEnvelope{}, panningEnvelope{};
    std::array<uint8_t, 4> autoVibrato{}; // type, sweep, depth, rate
    uint16_t fadeout = 0;
};

// An instrument with one square-wave sample; with a second, notes from `split` on play that.
XmInstrumentDef xmInstrument(XmSampleDef sample = xmSquare());
XmInstrumentDef xmInstrument(XmSampleDef sample, XmSampleDef second, uint32_t split = 48);

class XmBuilder {
public:
    explicit XmBuilder(uint32_t channels = 2) : channels_(channels) {}

    XmBuilder& title(std::string text) { return set(title_, std::move(text)); }
    XmBuilder& tracker(std::string name) { return set(tracker_, std::move(name)); }
    XmBuilder& linearFrequencies(bool on) { return set(flags_, on ? 1 : 0); }
    XmBuilder& speed(uint16_t ticks) { return set(speed_, ticks); }
    XmBuilder& orders(std::vector<uint8_t> list) { return set(orders_, std::move(list)); }
    // Default: enough patterns for every order and cell.
    XmBuilder& patternCount(uint32_t count) { return set(patternCount_, count); }
    XmBuilder& rows(uint32_t pattern, uint16_t count) { return set(rows_[pattern], count); }
    XmBuilder& instrument(XmInstrumentDef def) {
        return set(instruments_.emplace_back(), std::move(def));
    }
    XmBuilder& cell(uint32_t pattern, uint32_t row, uint32_t channel, XmCell c) {
        return set(cells_[{pattern, row, channel}], c);
    }
    // Pattern 0 of `channel` from row 0.
    XmBuilder& column(uint32_t channel, const std::vector<XmCell>& rows) {
        for (uint32_t i = 0; i < rows.size(); ++i)
            cell(0, i, channel, rows[i]);
        return *this;
    }
    // Every cell in the unpacked five-byte form.
    XmBuilder& unpacked() { return set(unpacked_, true); }
    // The version 1.02 layout: instruments, then patterns, then all sample data.
    XmBuilder& version102() { return set(version102_, true); }

    std::vector<uint8_t> build() const;

private:
    template <typename T, typename V> XmBuilder& set(T& field, V value) {
        field = std::move(value);
        return *this;
    }

    uint32_t channels_;
    std::string title_ = "test";
    std::string tracker_ = "tolva tests";
    uint16_t flags_ = 1, speed_ = 6;
    std::vector<uint8_t> orders_{0};
    uint32_t patternCount_ = 0;
    std::map<uint32_t, uint16_t> rows_;
    std::vector<XmInstrumentDef> instruments_;
    std::map<std::tuple<uint32_t, uint32_t, uint32_t>, XmCell> cells_;
    bool unpacked_ = false, version102_ = false;
};

// Two channels; channel 0 plays `rows` with `instrument` as instrument 1.
XmBuilder xmLine(std::vector<XmCell> rows, XmInstrumentDef instrument = xmInstrument());

// The same with a C-4, then `effect` with each of `params` on the rows that follow.
XmBuilder xmCommands(uint8_t effect, std::initializer_list<uint8_t> params);

// An XM loaded from bytes with its samples, ready to play; null when the loader refused it.
std::unique_ptr<Player> playXm(const std::vector<uint8_t>& bytes, RecordingMixer& mixer);

} // namespace tolva::test
