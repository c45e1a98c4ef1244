#pragma once
// Writes S3M files from a compact description, for tests that build the song they play.
#include "engine/Player.h"
#include "support/RecordingMixer.h"

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <tuple>
#include <vector>

namespace tolva::test {

// Note: octave in the high nibble, semitone in the low, 254 cut, 255 none; volume: 255 none;
// command: 'A' is 1, 0 none.
struct S3mCell {
    uint8_t note = 255, instrument = 0, volume = 255, command = 0, param = 0;
};

// A cell with only a command, given by its letter ('A' is 1; 0 none).
inline S3mCell s3mFx(char command, uint8_t param) {
    return {255, 0, 255, static_cast<uint8_t>(command == 0 ? 0 : command - 'A' + 1), param};
}
// A cell playing octave:semitone with an optional instrument and command letter.
inline S3mCell s3mNote(uint32_t octave, uint32_t semitone, uint8_t instrument = 0, char command = 0,
                       uint8_t param = 0) {
    const uint8_t note = static_cast<uint8_t>(octave << 4 | semitone);
    return {note, instrument, 255, s3mFx(command, param).command, param};
}

struct S3mSampleDef {
    uint8_t type = 1; // 1 digital sample; others keep only their name
    std::string name{}, fileName{};
    std::vector<uint8_t> data{}; // raw bytes as stored (two a value for 16-bit, two sides stereo)
    uint8_t volume = 64;
    uint32_t middleCRate = 8363;
    uint32_t loopStart = 0, loopEnd = 0; // frames
    uint8_t flags = 0;                   // 1 loop, 2 stereo, 4 16-bit
    uint8_t packing = 0;
    bool signature = true; // "SCRS"
};

// `frames` frames of 8-bit data, looped over the whole length.
S3mSampleDef loopedSample(uint32_t frames, uint8_t volume = 64, uint32_t middleCRate = 8363);

class S3mBuilder {
public:
    // Channels 0..channels-1 enabled, alternating left (settings 0..7) and right (8..15).
    explicit S3mBuilder(uint32_t channels = 4);

    S3mBuilder& sample(S3mSampleDef def) { return set(samples_.emplace_back(), std::move(def)); }
    S3mBuilder& orders(std::vector<uint8_t> list) { return set(orders_, std::move(list)); }
    S3mBuilder& cell(uint32_t pattern, uint32_t row, uint32_t channel, S3mCell c) {
        return set(cells_[{pattern, row, channel}], c);
    }
    // Pattern 0 of `channel` from row 0; empty cells are not written.
    S3mBuilder& column(uint32_t channel, const std::vector<S3mCell>& rows) {
        for (uint32_t i = 0; i < rows.size(); ++i)
            cell(0, i, channel, rows[i]);
        return *this;
    }
    S3mBuilder& channelSetting(uint32_t channel, uint8_t v) { return set(settings_[channel], v); }
    S3mBuilder& panByte(uint32_t channel, uint8_t value) { return set(pans_[channel], value); }
    S3mBuilder& flags(uint16_t value) { return set(flags_, value); }
    S3mBuilder& tracker(uint16_t version) { return set(tracker_, version); }
    S3mBuilder& stereo(bool on) { return set(stereo_, on); }
    S3mBuilder& signedSamples(bool on) { return set(signed_, on); }
    S3mBuilder& globalVolume(uint8_t value) { return set(globalVolume_, value); }
    S3mBuilder& speed(uint8_t value) { return set(speed_, value); }
    S3mBuilder& tempo(uint8_t value) { return set(tempo_, value); }
    // At least the patterns the orders and cells name.
    S3mBuilder& patternCount(uint32_t count) { return set(patternCount_, count); }

    std::vector<uint8_t> build() const;

private:
    template <typename T, typename V> S3mBuilder& set(T& field, V value) {
        field = std::move(value);
        return *this;
    }
    std::vector<uint8_t> packPattern(uint32_t pattern) const;

    std::vector<S3mSampleDef> samples_;
    std::vector<uint8_t> orders_{0};
    std::map<std::tuple<uint32_t, uint32_t, uint32_t>, S3mCell> cells_;
    uint8_t settings_[32], pans_[32] = {};
    uint16_t flags_ = 0, tracker_ = 0x1320;
    bool stereo_ = true, signed_ = true;
    uint8_t globalVolume_ = 64, speed_ = 6, tempo_ = 125;
    uint32_t patternCount_ = 0;
};

// Channel 0 plays `rows` with `sample` as instrument 1.
S3mBuilder s3mLine(std::vector<S3mCell> rows, S3mSampleDef sample = loopedSample(64));

// An S3M loaded from bytes with its samples, rewound and configured for 44100 Hz.
std::unique_ptr<Player> playS3m(const std::vector<uint8_t>& bytes, RecordingMixer& mixer);

} // namespace tolva::test
