#include "support/ItHarness.h"
#include "support/PlayerHarness.h"

#include <gtest/gtest.h>

#include <vector>

namespace tolva::test {
namespace {

// Plays `ticks` ticks after the first and lists the volume envelope value on each of them.
std::vector<int32_t> volumeEnvelope(ItSong& song, uint32_t ticks, uint32_t channel = 0) {
    std::vector<int32_t> values;
    for (uint32_t i = 0; i <= ticks; ++i) {
        playTick(*song.player);
        values.push_back(song.channel(channel).volumeEnvelopeState.value);
    }
    return values;
}

ItTestInstrument withVolumeEnvelope(ItTestEnvelope envelope) {
    ItTestInstrument ins;
    ins.volume = std::move(envelope);
    return ins;
}

std::unique_ptr<ItSong> oneNote(const ItTestInstrument& ins, uint8_t speed = 3) {
    ItPatternWriter rows;
    rows.cell(0, 0, {60, 1});
    ItFileBuilder b = itSong(rows, {ins});
    b.speed = speed;
    return playIt(b);
}

TEST(ItVolumeEnvelope, FallsToItsLastNodeAndStopsTheVoiceAtZero) {
    auto song = oneNote(withVolumeEnvelope({0x01, {{0, 64}, {10, 0}}}), 20);
    std::vector<int32_t> values = volumeEnvelope(*song, 9);
    for (uint32_t i = 0; i < values.size(); ++i)
        EXPECT_EQ(values[i], 16384 - 1638 * static_cast<int32_t>(i)) << i;
    // The mixer volume follows the envelope: full is 128.
    EXPECT_EQ(song->voice(0).targetVolume, 1642 * 128 / 16384);
    EXPECT_TRUE(song->sounds(0));
    playTick(*song->player);
    EXPECT_EQ(song->channel(0).volumeEnvelopeState.value, 0);
    EXPECT_FALSE(song->sounds(0));
}

TEST(ItVolumeEnvelope, EndingAboveZeroStartsTheFade) {
    ItTestInstrument ins = withVolumeEnvelope({0x01, {{0, 64}, {4, 32}}});
    ins.fadeOut = 512;
    auto song = oneNote(ins, 20);
    volumeEnvelope(*song, 4);
    const ItChannel& ch = song->channel(0);
    EXPECT_EQ(ch.volumeEnvelopeState.value, 8192);
    EXPECT_EQ(ch.fadeVolume, 1024);
    playTick(*song->player);
    EXPECT_EQ(ch.fadeVolume, 512);
    EXPECT_EQ(song->voice(0).targetVolume, 32);
    playTick(*song->player);
    EXPECT_EQ(ch.fadeVolume, 0);
    EXPECT_TRUE(song->sounds(0));
    playTick(*song->player);
    EXPECT_FALSE(song->sounds(0));
}

TEST(ItVolumeEnvelope, SustainLoopRepeatsUntilNoteOffThenRunsOn) {
    ItTestEnvelope e{0x01 | 0x04, {{0, 0}, {2, 64}, {4, 32}, {6, 0}}};
    e.sustainStart = 1;
    e.sustainEnd = 2;
    ItPatternWriter rows;
    rows.cell(0, 0, {60, 1}).cell(3, 0, {255});
    ItFileBuilder b = itSong(rows, {withVolumeEnvelope(e)});
    auto song = playIt(b);
    // Rows 0..2 are nine ticks: up to node 1, down towards node 2, back to node 1, and so on.
    EXPECT_EQ(volumeEnvelope(*song, 8),
              (std::vector<int32_t>{0, 8192, 16384, 12288, 16384, 12288, 16384, 12288, 16384}));
    // Released on row 3: on from node 1 through node 2 to the end.
    EXPECT_EQ(volumeEnvelope(*song, 4), (std::vector<int32_t>{12288, 8192, 4096, 0, 0}));
    EXPECT_FALSE(song->sounds(0));
}

TEST(ItVolumeEnvelope, LoopOfOneNodeHoldsItsValue) {
    ItTestEnvelope e{0x01 | 0x02, {{0, 64}, {2, 16}, {4, 0}}};
    e.loopStart = 1;
    e.loopEnd = 1;
    auto song = oneNote(withVolumeEnvelope(e), 20);
    EXPECT_EQ(volumeEnvelope(*song, 6),
              (std::vector<int32_t>{16384, 10240, 4096, 4096, 4096, 4096, 4096}));
    EXPECT_TRUE(song->sounds(0));
}

TEST(ItVolumeEnvelope, CarryGoesOnFromWhereTheLastNoteLeftIt) {
    for (uint8_t carry : {0x00, 0x08}) {
        ItPatternWriter rows;
        rows.cell(0, 0, {60, 1}).cell(1, 0, {62, 1});
        auto song =
            playIt(itSong(rows, {withVolumeEnvelope({uint8_t(0x01 | carry), {{0, 64}, {20, 0}}})}));
        playRow(*song->player);
        playTick(*song->player);
        EXPECT_EQ(song->channel(0).volumeEnvelopeState.value, carry ? 16384 - 3 * 819 : 16384);
        EXPECT_EQ(song->channel(0).note, 62u);
    }
}

TEST(ItVolumeEnvelope, SwitchedOffByS77AndOnAgainByS78) {
    ItPatternWriter rows;
    rows.cell(0, 0, {60, 1}).cell(1, 0, {-1, -1, -1, itCommand('S'), 0x77});
    rows.cell(2, 0, {-1, -1, -1, itCommand('S'), 0x78});
    auto song = playIt(itSong(rows, {withVolumeEnvelope({0x01, {{0, 32}}})}));
    playRow(*song->player);
    EXPECT_EQ(song->voice(0).targetVolume, 64);
    playRow(*song->player);
    EXPECT_EQ(song->voice(0).targetVolume, 128);
    playRow(*song->player);
    EXPECT_EQ(song->voice(0).targetVolume, 64);
}

TEST(ItPitchEnvelope, RaisesThePitchByItsNodeValueInHalfSemitones) {
    ItTestInstrument ins;
    ins.pitch = {0x01, {{0, 32}}};
    auto song = oneNote(ins);
    playTick(*song->player);
    // 16 semitones above middle C: 8363 x 2^(682/512 octaves) as the pitch table has it.
    EXPECT_EQ(song->voice(0).step, uint32_t{(8363ull * 2 * 82496) / 44100});
}

TEST(ItPanEnvelope, MovesThePanTowardsTheNearerSide) {
    ItTestInstrument ins;
    ins.defaultPan = 16; // 63
    ins.pan = {0x01, {{0, 32}}};
    auto song = oneNote(ins);
    playTick(*song->player);
    // Room to the left edge is 63: a full envelope moves the pan by that much.
    EXPECT_EQ(song->voice(0).targetPanning, 63 + 63);
}

} // namespace
} // namespace tolva::test
