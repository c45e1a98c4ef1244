#pragma once
// Writes FastTracker 2 modules from a compact description, for tests that build the song they
// play.
#include <array>
#include <cstdint>
#include <map>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

namespace tolva::test {

constexpr uint8_t XmFileKeyOff = 97; // note byte of a key-off cell

struct XmCell {
    uint8_t note = 0; // file byte: 0 none, 1..96 notes (C-0 = 1), 97 key-off
    uint8_t instrument = 0;
    uint8_t volume = 0; // volume-column byte
    uint8_t effect = 0;
    uint8_t param = 0;
};

// A cell playing note n (0-based, C-4 = 48) with an instrument and optional columns.
XmCell xmNote(uint32_t n, uint8_t instrument = 0, uint8_t volume = 0, uint8_t effect = 0,
              uint8_t param = 0);
// A cell with only an effect.
XmCell xmFx(uint8_t effect, uint8_t param);
// A cell with only a volume-column byte.
XmCell xmVolume(uint8_t volume);
XmCell xmKeyOff(uint8_t instrument = 0);

struct XmEnvelopeDef {
    std::vector<std::pair<uint16_t, uint16_t>> points; // (tick, value 0..64)
    uint8_t sustain = 0;
    uint8_t loopStart = 0;
    uint8_t loopEnd = 0;
    uint8_t type = 0; // 1 on, 2 sustain, 4 loop
};

struct XmSampleDef {
    std::string name = "sample";
    std::vector<int16_t> pcm; // values; -128..127 unless sixteenBit
    bool sixteenBit = false;
    uint8_t loopType = 0;    // 0 none, 1 forward, 2 ping-pong
    uint32_t loopStart = 0;  // bytes
    uint32_t loopLength = 0; // bytes
    uint8_t volume = 64;
    int8_t finetune = 0;
    uint8_t panning = 128;
    int8_t relativeNote = 0;
};

// A looped square wave of `frames` 8-bit values.
XmSampleDef xmSquare(uint32_t frames = 32);

struct XmInstrumentDef {
    std::string name = "instrument";
    std::vector<XmSampleDef> samples;
    std::array<uint8_t, 96> noteMap{}; // sample per note; all sample 0 by default
    XmEnvelopeDef volumeEnvelope;
    XmEnvelopeDef panningEnvelope;
    uint8_t vibratoType = 0;
    uint8_t vibratoSweep = 0;
    uint8_t vibratoDepth = 0;
    uint8_t vibratoRate = 0;
    uint16_t fadeout = 0;
};

// An instrument with one square-wave sample.
XmInstrumentDef xmInstrument(XmSampleDef sample = xmSquare());

class XmBuilder {
public:
    explicit XmBuilder(uint32_t channels = 2);

    XmBuilder& title(std::string text);
    XmBuilder& version(uint16_t v);
    XmBuilder& linearFrequencies(bool on);
    XmBuilder& speed(uint16_t ticks);
    XmBuilder& tempo(uint16_t bpm);
    XmBuilder& restart(uint16_t position);
    XmBuilder& orders(std::vector<uint8_t> list);
    XmBuilder& patternCount(uint32_t count); // default: enough for every order and cell
    XmBuilder& rows(uint32_t pattern, uint16_t count);
    XmBuilder& instrument(XmInstrumentDef def);
    XmBuilder& cell(uint32_t pattern, uint32_t row, uint32_t channel, XmCell c);
    // Writes every cell in the unpacked five-byte form.
    XmBuilder& unpacked();

    std::vector<uint8_t> build() const;

private:
    uint32_t channels_;
    std::string title_ = "test";
    uint16_t version_ = 0x0104;
    uint16_t flags_ = 1;
    uint16_t speed_ = 6;
    uint16_t tempo_ = 125;
    uint16_t restart_ = 0;
    std::vector<uint8_t> orders_{0};
    uint32_t patternCount_ = 0;
    std::map<uint32_t, uint16_t> rows_;
    std::vector<XmInstrumentDef> instruments_;
    std::map<std::tuple<uint32_t, uint32_t, uint32_t>, XmCell> cells_;
    bool unpacked_ = false;
};

} // namespace tolva::test
