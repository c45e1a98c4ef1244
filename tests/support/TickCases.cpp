#include "support/TickCases.h"

#include "formats/xm/XmPlayer.h"

#include <gtest/gtest.h>

namespace tolva::test {

namespace {

int read(Player& player, const RecordingMixer& mixer, Read what, uint32_t channel) {
    Channel& ch = player.channel(channel);
    if (what == Read::AutoVibrato)
        return static_cast<XmChannel&>(ch).autoVibratoOffset;
    const RecordedVoice& v = mixer.voices[channel];
    const Player& p = player;
    const int64_t sounding = soundingPeriod(ch), interval = mixer.slots[0].interval;
    // In the order of Read.
    const int64_t values[] = {ch.volume,  sounding,         ch.period,      ch.slideOffset,
                              ch.panning, ch.vibratoOffset, v.volume,       v.panning,
                              v.step,     v.starts,         v.active,       v.startOffset,
                              v.end,      v.flags,          p.globalVolume, p.speed,
                              p.tempo,    interval,         p.songPosition};
    static_assert(sizeof values / sizeof(int64_t) == int(Read::AutoVibrato));
    return static_cast<int>(values[int(what)]);
}

} // namespace

void checkTicks(const std::vector<ReadCase>& cases, PlayFunction play) {
    for (const ReadCase& c : cases) {
        SCOPED_TRACE(c.what);
        RecordingMixer mixer;
        auto player = play(c.song, mixer);
        ASSERT_TRUE(player);
        std::vector<int> seen;
        for (uint32_t tick = 0; seen.size() < c.expected.size(); ++tick) {
            playTick(*player);
            if (tick >= c.skip && (tick - c.skip) % c.every == 0)
                seen.push_back(read(*player, mixer, c.read, c.channel));
        }
        EXPECT_EQ(seen, c.expected);
    }
}

void runTickCases(const std::vector<TickCase>& cases) {
    for (const TickCase& c : cases) {
        SCOPED_TRACE(c.what);
        ModBuilder song;
        for (const ModSampleDef& s : c.samples)
            song.sample(s);
        for (const PlacedCell& p : c.cells)
            song.cell(0, p.row, p.channel, p.cell);
        RecordingMixer mixer;
        auto player = playMod(song, mixer, c.setup);
        ASSERT_TRUE(player);
        std::vector<int> seen;
        for (const char* s = c.script; *s; ++s) {
            if (*s == 't')
                playTick(*player);
            else if (*s == 'r')
                playRow(*player);
            else
                seen.push_back(read(*player, mixer, c.read, static_cast<uint32_t>(*s - '0')));
        }
        EXPECT_EQ(seen, c.expected);
    }
}

void checkTraces(const std::vector<TraceCase>& cases, PlayFunction play) {
    for (const TraceCase& c : cases) {
        SCOPED_TRACE(c.what);
        RecordingMixer mixer;
        auto player = play(c.song, mixer);
        ASSERT_TRUE(player);
        EXPECT_EQ(traceRows(*player, 1000), c.expected);
    }
}

std::vector<int> repeated(std::initializer_list<int> values, uint32_t times) {
    std::vector<int> out;
    for (int v : values)
        out.insert(out.end(), times, v);
    return out;
}

std::vector<RowStep> spans(std::initializer_list<std::array<uint32_t, 3>> list) {
    std::vector<RowStep> out;
    for (const auto& [order, first, last] : list)
        for (uint32_t row = first; row <= last; ++row)
            out.push_back({order, row});
    return out;
}

} // namespace tolva::test
