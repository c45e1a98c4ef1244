// Effects on the volume and on when and where notes start, read tick by tick. The mixer gets
// twice the channel volume.
#include "engine/ScreamEffects.h"
#include "support/TickCases.h"

#include <gtest/gtest.h>

namespace tolva::test {
namespace {

using enum Read;

using Cells = std::vector<PlacedCell>;
const Cells slides = {{0, 0, note(25, 1, 0xA, 0x02)}, {1, 0, fx(0xA, 0x23)}, {2, 0, fx(0xA, 0x30)},
                      {3, 0, fx(0xA, 0x0F)},          {4, 0, fx(0xA, 0x0F)}, {5, 0, fx(0xA, 0x0F)}};
const Cells setAndFine = {{0, 0, note(25, 1, 0xC, 0x20)}, {1, 0, fx(0xE, 0xA5)},
                          {2, 0, fx(0xE, 0xB9)},          {3, 0, fx(0xC, 0x50)},
                          {4, 0, fx(0xE, 0xBF)},          {5, 0, fx(0xE, 0xBF)}};
const Cells instrumentOnly = {{0, 0, note(25, 1, 0xC, 0x10)}, {1, 0, ModCell{0, 1, 0, 0}}};
const Cells cuts = {{0, 0, note(25, 1, 0xE, 0xC2)}, {0, 1, note(25, 1, 0xE, 0xC0)}};
const Cells offsets = {
    {0, 0, note(25, 1, 0x9, 0x02)}, {1, 0, note(25, 1, 0x9, 0x00)}, {2, 0, note(25, 1)}};
const Cells accumulated = {{0, 0, note(25, 1, 0x9, 0x01)},
                           {1, 0, note(25)},
                           {2, 0, fx(0x9, 0x01)},
                           {3, 0, note(25)},
                           {4, 0, note(25, 1)}};
const Cells pastTheEnd = {{0, 0, note(25, 1, 0x9, 0x04)}, {1, 0, note(25, 1, 0x9, 0x05)}};
const Cells past64 = {{0, 0, note(25, 1, 0xC, 0x80)}, {1, 0, fx(0xA, 0x01)}, {2, 0, fx(0xC, 0xFF)}};
const Cells tremolo = {{0, 0, note(25, 1, 0x7, 0x48)}, {1, 0, note(25, 1)}};
const Cells delayPastRow = {
    {0, 1, fx(0xF, 0x03)}, {0, 0, note(13, 1)}, {1, 0, note(25, 1, 0xE, 0xD3)}};
const Cells quietThenDelay = {
    {0, 1, fx(0xF, 0x03)}, {0, 0, note(13, 1, 0xC, 0x10)}, {1, 0, note(25, 1, 0xE, 0xD3)}};
const Cells noteAfterDelay = {
    {0, 1, fx(0xF, 0x03)}, {0, 0, note(25, 1, 0xE, 0xD3)}, {1, 0, note(13, 1)}};
const Cells delayAfterDelay = {
    {0, 1, fx(0xF, 0x03)}, {0, 0, note(25, 1, 0xE, 0xD3)}, {1, 0, note(13, 1, 0xE, 0xD3)}};
const Cells intoTheLoop = {
    {0, 0, note(25, 1, 0x9, 0x01)}, {1, 0, note(25, 1, 0x9, 0x02)}, {2, 0, note(25, 1, 0x9, 0x05)}};

ModSampleDef unlooped(uint32_t loopLength = 0) {
    return {"", std::vector<int8_t>(1024, 64), 64, 0, 0, loopLength};
}

const std::vector<ModSampleDef> plain = {squareSample(64)};
const std::vector<ModSampleDef> vol48 = {squareSample(64, 48)};
const std::vector<ModSampleDef> vol32 = {squareSample(64, 32)};

const auto cutStopsVoice = [](Player& p) { p.quirks.noteCutStopsVoice = true; };

TEST(VolumeEffects, TickByTick) {
    runTickCases({
        // Both nibbles set: nothing; the slides stop at 64 and 0.
        {"volume slide", slides, "t0r0r0r0rrr0", Volume, {64, 54, 54, 64, 0}},
        {"slide, voice", slides, "r0rrrrr0", MixerVolume, {108, 0}},
        // C50 sets 64, so the two fine slides after it start from 64.
        {"set, fine", setAndFine, "t0rt0rt0rtrrr0", Volume, {32, 37, 28, 34}},
        {"set, voice", setAndFine, "t0rtrtrt0", MixerVolume, {64, 128}},
        // The trackers keep no volume above 64: C80 sets 64, which A01 slides down from.
        {"set past 64, slide", past64, "t0rtt0rt0", Volume, {64, 63, 64}},
        {"instrument only", instrumentOnly, "r0t0", Volume, {16, 48}, vol48},
        {"instrument only, voice", instrumentOnly, "rt0", Starts, {1}, vol48},
        // (sine x 8) >> 6 at positions 0, 0, 4, 8, 12, 16 on volume 32; a new note without
        // tremolo plays the plain volume.
        {"tremolo", tremolo, "t0t0t0t0t0t0t0", MixerVolume, {64, 64, 88, 108, 122, 126, 64}, vol32},
        {"tremolo, channel", {{0, 0, note(25, 1, 0x7, 0x48)}}, "tttttt0", Volume, {32}, vol32},
        {"note delay", {{0, 0, note(25, 1, 0xE, 0xD3)}}, "t0t0t0t0", Starts, {0, 0, 0, 1}},
        // A note delayed past its row's last tick starts no sample: the next row takes its pitch,
        // but where that row has a note of its own, or a delayed one, which waits its turn.
        {"delay past row", delayPastRow, "rr0r0", BasePeriod, {856, 428}},
        {"delay past row, starts", delayPastRow, "rrr0", Starts, {1}},
        {"delay past row, volume", quietThenDelay, "r0t0", Volume, {16, 48}, vol48},
        {"note after delay", noteAfterDelay, "rr0rr0", BasePeriod, {856, 856}},
        {"delay after delay", delayAfterDelay, "rr0rrr0", BasePeriod, {0, 856}},
        {"delay 0", {{0, 0, note(25, 1, 0xE, 0xD0)}}, "t0", Starts, {1}},
        {"note cut", cuts, "t1t0t0", Volume, {0, 64, 0}},
        {"cut, voice", cuts, "ttt0", MixerVolume, {0}},
        {"cut keeps voice", cuts, "ttt0", Active, {1}},
        {"cut stops voice", cuts, "tt0t0", Active, {1, 0}, plain, cutStopsVoice},
        {"cut stops, volume", cuts, "ttt0", Volume, {64}, plain, cutStopsVoice},
        {"retrigger 0, 2, 4", {{0, 0, note(25, 1, 0xE, 0x92)}}, "r0", Starts, {3}},
        // Without a note ProTracker retriggers on the first tick too.
        {"retrigger without a note",
         {{0, 0, note(25, 1)}, {1, 0, fx(0xE, 0x92)}},
         "rr0",
         Starts,
         {4}},
        // 900 repeats the last offset.
        {"sample offset", offsets, "r0r0r0", StartOffset, {512, 512, 0}, {unlooped()}},
        {"sample offset end", offsets, "r0", VoiceEnd, {1024}, {unlooped()}},
        // ProTracker moves the start by every offset given, and by it once more after starting a
        // note: notes without an instrument number start there, one with a number at 0.
        {"offsets add up",
         accumulated,
         "r0r0r0r0r0",
         StartOffset,
         {256, 512, 512, 768, 0},
         {unlooped()}},
        {"offset at the end", pastTheEnd, "r0", StartOffset, {1024}, {unlooped()}},
        {"offset past the end", pastTheEnd, "r0r0", Active, {1, 0}, {unlooped()}},
        {"offset past the end is asked for", pastTheEnd, "rr0", Starts, {2}, {unlooped()}},
        {"looped sample ends at its loop end", intoTheLoop, "r0", VoiceEnd, {256}, {unlooped(256)}},
        // 512 lies beyond the loop end; 1280 beyond the sample, where the loop plays.
        {"offset beyond the loop end", intoTheLoop, "r0r0r0", Active, {1, 0, 1}, {unlooped(256)}},
        {"offset beyond the sample", intoTheLoop, "rrr0", StartOffset, {0}, {unlooped(256)}},
    });
}

// The retrigger's volume changes are checked through XM and S3M songs; here what those leave
// out, on a channel record of their kind: an interval of 0 fires on every tick, and x 2 stops
// at 64.
TEST(ScreamEffects, RetriggerOfInterval0FiresOnEveryTick) {
    RecordingMixer mixer;
    auto player = playMod(ModBuilder(), mixer);
    ScreamChannel ch;
    ch.volume = 20;
    retriggerVolumeSlideSetup(*player, ch, 0xF0, true);
    std::vector<int> volumes; // -1: no retrigger on that tick
    for (int tick = 0; tick < 3; ++tick) {
        player->changeFlags = 0;
        retriggerVolumeSlideTick(*player, ch);
        volumes.push_back(player->changeFlags & ChangeStartNote ? ch.volume : -1);
    }
    EXPECT_EQ(volumes, (std::vector<int>{40, 64, 64}));
}

} // namespace
} // namespace tolva::test
