#include "support/ItHarness.h"
#include "support/PlayerHarness.h"

#include <gtest/gtest.h>

namespace tolva::test {
namespace {

constexpr uint16_t Released = ItEnvelopeReleased;
constexpr uint16_t Fading = ItEnvelopeFading;

// Notes 60 and 62 play sample 1, note 64 plays sample 2.
ItTestInstrument twoSampleInstrument(uint8_t nna, uint8_t dct, uint8_t dca) {
    ItTestInstrument ins;
    ins.newNoteAction = nna;
    ins.duplicateCheckType = dct;
    ins.duplicateCheckAction = dca;
    ins.noteMap[64] = {64, 2};
    return ins;
}

std::unique_ptr<ItSong> twoNotes(const ItTestInstrument& ins, int first, int second) {
    ItPatternWriter rows;
    rows.cell(0, 0, {first, 1}).cell(1, 0, {second, 1});
    ItFileBuilder b = itSong(rows, {ins});
    b.samples.push_back(rampSample(500, true));
    auto song = playIt(b);
    playRow(*song->player);
    playTick(*song->player);
    return song;
}

TEST(ItNewNoteAction, CutReusesTheVoice) {
    auto song = twoNotes(twoSampleInstrument(ItActionCut, 0, 0), 60, 64);
    EXPECT_EQ(song->it().voiceOf(0), 0);
    EXPECT_FALSE(song->it().voices[0].background);
    EXPECT_EQ(song->it().voices[0].note, 64u);
    EXPECT_EQ(song->voice(0).data, song->it().module.samples[1].data);
    for (uint32_t v = 1; v < ItVoices; ++v)
        EXPECT_FALSE(song->sounds(v)) << v;
}

TEST(ItNewNoteAction, ContinueLeavesTheOldNoteAgeingInTheBackground) {
    auto song = twoNotes(twoSampleInstrument(ItActionContinue, 0, 0), 60, 64);
    ItPlayer& it = song->it();
    EXPECT_EQ(it.voiceOf(0), 1);
    EXPECT_TRUE(it.voices[0].background);
    EXPECT_EQ(it.voices[0].note, 60u);
    EXPECT_TRUE(song->sounds(0));
    EXPECT_TRUE(song->sounds(1));
    EXPECT_EQ(it.voices[0].age, 1u);
    playTick(*song->player);
    playTick(*song->player);
    EXPECT_EQ(it.voices[0].age, 3u);
}

struct DuplicateCase {
    uint8_t nna;
    uint8_t dct;
    int second;
    bool duplicate;
};

class ItDuplicateCheck : public ::testing::TestWithParam<DuplicateCase> {};

// The old note either meets the duplicate check (and is cut), or keeps what its new-note
// action gave it.
TEST_P(ItDuplicateCheck, CutsOnlyTheMatchingOldNote) {
    const DuplicateCase c = GetParam();
    auto song = twoNotes(twoSampleInstrument(c.nna, c.dct, 0), 60, c.second);
    ItPlayer& it = song->it();
    ASSERT_EQ(it.voiceOf(0), 1);
    ASSERT_TRUE(it.voices[0].background);
    EXPECT_EQ(song->sounds(0), !c.duplicate);
    EXPECT_TRUE(song->sounds(1));
    if (c.duplicate)
        return;
    const uint16_t expected = c.nna == ItActionContinue  ? 0
                              : c.nna == ItActionNoteOff ? Released | Fading
                                                         : Fading;
    EXPECT_EQ(it.voices[0].volumeEnvelopeState.flags & (Released | Fading), expected);
    EXPECT_EQ(it.voices[1].volumeEnvelopeState.flags & (Released | Fading), 0);
}

std::vector<DuplicateCase> duplicateCases() {
    std::vector<DuplicateCase> cases;
    for (uint8_t nna : {ItActionContinue, ItActionNoteOff, ItActionFade}) {
        for (int second : {60, 62, 64}) {
            cases.push_back({nna, ItDctOff, second, false});
            cases.push_back({nna, ItDctNote, second, second == 60});
            cases.push_back({nna, ItDctSample, second, second != 64});
            cases.push_back({nna, ItDctInstrument, second, true});
        }
    }
    return cases;
}

INSTANTIATE_TEST_SUITE_P(Cases, ItDuplicateCheck, ::testing::ValuesIn(duplicateCases()));

TEST(ItDuplicateCheck, ActionsNoteOffAndFade) {
    auto off = twoNotes(twoSampleInstrument(ItActionContinue, ItDctNote, 1), 60, 60);
    EXPECT_TRUE(off->sounds(0));
    EXPECT_EQ(off->it().voices[0].volumeEnvelopeState.flags & Released, Released);
    auto fade = twoNotes(twoSampleInstrument(ItActionContinue, ItDctNote, 2), 60, 60);
    EXPECT_TRUE(fade->sounds(0));
    EXPECT_EQ(fade->it().voices[0].volumeEnvelopeState.flags & (Released | Fading), Fading);
}

// Instrument 1 would cut every old note of its own, but the note of instrument 2 checks with
// instrument 2, which has no check.
TEST(ItDuplicateCheck, TheNewNotesInstrumentChecks) {
    ItPatternWriter rows;
    rows.cell(0, 0, {60, 1}).cell(1, 0, {60, 2});
    auto song = playIt(itSong(rows, {twoSampleInstrument(ItActionContinue, ItDctInstrument, 0),
                                     twoSampleInstrument(ItActionContinue, ItDctOff, 0)}));
    playRow(*song->player);
    playTick(*song->player);
    EXPECT_TRUE(song->it().voices[0].background);
    EXPECT_TRUE(song->sounds(0));
    EXPECT_TRUE(song->sounds(1));
}

TEST(ItNewNoteAction, FadeLowersTheOldNoteEveryTickUntilItStops) {
    ItTestInstrument ins = twoSampleInstrument(ItActionFade, 0, 0);
    ins.fadeOut = 256;
    auto song = twoNotes(ins, 60, 62);
    ItPlayer& it = song->it();
    EXPECT_EQ(it.voices[0].fadeVolume, 768);
    EXPECT_EQ(it.voices[1].fadeVolume, 1024);
    EXPECT_EQ(song->voice(0).targetVolume, 96);
    playTick(*song->player);
    playTick(*song->player);
    EXPECT_EQ(it.voices[0].fadeVolume, 256);
    playTick(*song->player);
    EXPECT_EQ(it.voices[0].fadeVolume, 0);
    EXPECT_TRUE(song->sounds(0));
    playTick(*song->player);
    EXPECT_FALSE(song->sounds(0));
    EXPECT_TRUE(song->sounds(1));
}

TEST(ItNewNoteAction, NoteOffLeavesTheSustainLoopForTheNormalLoop) {
    ItTestInstrument ins = twoSampleInstrument(ItActionNoteOff, 0, 0);
    ItPatternWriter rows;
    rows.cell(0, 0, {60, 1}).cell(1, 0, {62, 1});
    ItFileBuilder b = itSong(rows, {ins});
    b.samples[0].flags = 0x01 | 0x10 | 0x20;
    b.samples[0].loopStart = 200;
    b.samples[0].loopEnd = 1000;
    b.samples[0].sustainStart = 0;
    b.samples[0].sustainEnd = 100;
    auto song = playIt(b);
    const uint8_t* data = song->it().module.samples[0].data;
    playRow(*song->player);
    EXPECT_EQ(song->voice(0).end, data + 100);
    playTick(*song->player);
    EXPECT_EQ(song->voice(0).end, data + 1000);
    EXPECT_EQ(song->voice(0).loopStart, data + 200);
    EXPECT_EQ(song->voice(1).end, data + 100);
}

TEST(ItPastNoteAction, ReachesTheBackgroundNotesOfTheChannelOnly) {
    const struct {
        int param;
        bool sounds;
        uint16_t flags;
    } cases[] = {{0x70, false, 0}, {0x71, true, Released | Fading}, {0x72, true, Fading}};
    for (const auto& c : cases) {
        ItPatternWriter rows;
        rows.cell(0, 0, {60, 1}).cell(0, 1, {60, 1}).cell(1, 0, {62, 1}).cell(1, 1, {62, 1});
        rows.cell(2, 0, {-1, -1, -1, itCommand('S'), c.param});
        auto song = playIt(itSong(rows, {twoSampleInstrument(ItActionContinue, 0, 0)}));
        playRow(*song->player);
        playRow(*song->player);
        // Channel 0 moved from voice 0 to 2, channel 1 from voice 1 to 3.
        ASSERT_EQ(song->it().voiceOf(0), 2);
        ASSERT_EQ(song->it().voiceOf(1), 3);
        playTick(*song->player);
        EXPECT_EQ(song->sounds(0), c.sounds) << c.param;
        EXPECT_EQ(song->it().voices[0].volumeEnvelopeState.flags & (Released | Fading), c.flags);
        EXPECT_TRUE(song->sounds(1));
        EXPECT_EQ(song->it().voices[1].volumeEnvelopeState.flags & (Released | Fading), 0);
        EXPECT_TRUE(song->sounds(2));
    }
}

TEST(ItNewNoteAction, SpecialCommandsChangeTheAction) {
    ItPatternWriter rows;
    rows.cell(0, 0, {60, 1, -1, itCommand('S'), 0x74}).cell(1, 0, {62, 1});
    auto song = playIt(itSong(rows, {twoSampleInstrument(ItActionCut, 0, 0)}));
    playRow(*song->player);
    playTick(*song->player);
    EXPECT_EQ(song->it().voiceOf(0), 1);
    EXPECT_TRUE(song->sounds(0));
}

} // namespace
} // namespace tolva::test
