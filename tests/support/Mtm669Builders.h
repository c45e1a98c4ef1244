#pragma once
// Writes MultiTracker and Composer 669 files from a compact description, and loads them into
// players ready to play at 44100 Hz (null when the loader refuses the bytes).
#include "engine/Player.h"
#include "support/RecordingMixer.h"

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <tuple>
#include <vector>

namespace tolva::test {

// Loads every cut copy of `bytes` (MOD, MTM or 669), whose last 52 bytes are the data of a 48-byte
// and a 4-byte sample: a cut before the sample data is refused, one inside it keeps what the file
// holds, and every copy gives its sample blocks back.
void expectCutsKeepSampleData(const std::vector<uint8_t>& bytes,
                              std::unique_ptr<Player> (*load)(InputStream&, bool, Mixer*));

std::vector<uint8_t> unsignedSquare(uint32_t length);

struct MtmCell {
    uint8_t note = 0, instrument = 0, effect = 0, param = 0; // note 2..64, 0 none
};

struct MtmSampleDef {
    std::string name{};
    std::vector<uint8_t> data{}; // unsigned PCM as stored
    uint32_t loopStart = 0, loopEnd = 0;
    uint8_t finetune = 0, volume = 64;
    bool sixteenBit = false;
};

// A square wave looped over its whole length.
MtmSampleDef mtmSquare(uint32_t length, uint8_t volume = 64);

struct MtmSong {
    std::string title{};
    uint8_t rowsPerTrack = 64;
    uint8_t channels = 32;
    std::map<uint32_t, uint8_t> panning{}; // slot -> 0..15
    std::vector<MtmSampleDef> samples{};
    std::vector<uint8_t> orders{0};
    std::map<std::pair<uint32_t, uint32_t>, MtmCell> cells{}; // (track from 1, row)
    std::vector<std::vector<uint16_t>> patterns{{}};          // track numbers slot by slot
    std::vector<uint8_t> comment{};

    std::vector<uint8_t> build() const;
};

struct Cell669 {
    uint8_t bytes[3] = {0xFF, 0x00, 0xFF}; // no note, volume or effect

    Cell669 withEffect(uint32_t effect, uint32_t value) const;
};

Cell669 note669(uint32_t n, uint32_t sample, uint32_t volume); // n 1..64, volume 0..15
inline Cell669 effect669(uint32_t effect, uint32_t value) {
    return Cell669{}.withEffect(effect, value);
}

struct Sample669Def {
    std::string fileName{};
    std::vector<uint8_t> data{};               // unsigned 8-bit PCM
    uint32_t loopStart = 0, loopEnd = 0xFFFFF; // by default beyond the data: no loop
};

struct Composer669Song {
    std::string magic = "if";
    std::string message{};
    std::vector<Sample669Def> samples{};
    std::vector<uint8_t> orders{0}; // the rest of the list is 0xFF
    int32_t patternCount = -1;      // by default up to the highest the order list names
    std::map<uint32_t, uint8_t> tempo{}, breakRow{}; // per pattern; 6 and 63 unless given
    std::map<std::tuple<uint32_t, uint32_t, uint32_t>, Cell669> cells{}; // (pattern, row, channel)

    std::vector<uint8_t> build() const;
};

std::unique_ptr<Player> playMtm(const std::vector<uint8_t>& bytes, RecordingMixer& mixer);
std::unique_ptr<Player> play669(const std::vector<uint8_t>& bytes, RecordingMixer& mixer);

} // namespace tolva::test
