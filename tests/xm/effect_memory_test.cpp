#include "support/XmBuilder.h"
#include "support/XmHarness.h"

#include <gtest/gtest.h>

namespace tolva::test {
namespace {

constexpr uint8_t P = 25, R = 27, T = 29, X = 33;

// A C-4 on row 0 of one channel at speed 6, then one effect per row from row 1 on.
class XmEffectMemory : public ::testing::Test {
protected:
    void start(const std::vector<XmCell>& rows, bool linear = true) {
        XmBuilder b(1);
        b.linearFrequencies(linear).instrument(xmInstrument()).cell(0, 0, 0, xmNote(48, 1));
        for (uint32_t i = 0; i < rows.size(); ++i)
            b.cell(0, i + 1, 0, rows[i]);
        player = playXm(b.build(), mixer);
        ASSERT_TRUE(player);
    }

    // A value of the channel at the end of each of the next `count` rows.
    template <typename F> std::vector<int> afterRows(uint32_t count, F value) {
        std::vector<int> out;
        for (uint32_t i = 0; i < count; ++i) {
            playRow(*player);
            out.push_back(value(player->channels[0]));
        }
        return out;
    }

    std::vector<int> periods(uint32_t count) {
        return afterRows(count, [](const XmChannel& c) { return soundingPeriod(c); });
    }

    std::vector<int> volumes(uint32_t count) {
        return afterRows(count, [](const XmChannel& c) { return int(c.volume); });
    }

    RecordingMixer mixer;
    std::unique_ptr<XmPlayer> player;
};

TEST_F(XmEffectMemory, PortamentoUpAndDownRememberSeparately) {
    start({xmFx(1, 0x04), xmFx(1, 0), xmFx(2, 0), xmFx(2, 0x02), xmFx(1, 0)});
    playRow(*player);
    // 4 x 4 units on each of the five later ticks; 200 has nothing to repeat yet.
    EXPECT_EQ(periods(5), (std::vector<int>{4528, 4448, 4448, 4488, 4408}));
}

TEST_F(XmEffectMemory, FinePortamentoUpAndDownRememberSeparately) {
    start({xmFx(0xE, 0x12), xmFx(0xE, 0x10), xmFx(0xE, 0x20), xmFx(0xE, 0x23), xmFx(0xE, 0x20),
           xmFx(0xE, 0x10)});
    playRow(*player);
    EXPECT_EQ(periods(6), (std::vector<int>{4600, 4592, 4592, 4604, 4616, 4608}));
}

TEST_F(XmEffectMemory, FineVolumeUpAndDownRememberSeparately) {
    start({xmFx(0xE, 0xB4), xmFx(0xE, 0xB0), xmFx(0xE, 0xA0), xmFx(0xE, 0xA2), xmFx(0xE, 0xA0)});
    playRow(*player);
    EXPECT_EQ(volumes(5), (std::vector<int>{60, 56, 56, 58, 60}));
}

TEST_F(XmEffectMemory, ExtraFinePortamentoInBothFrequencyModes) {
    const std::vector<XmCell> rows = {xmFx(X, 0x13), xmFx(X, 0x10), xmFx(X, 0x20),
                                      xmFx(X, 0x22), xmFx(X, 0x20), xmFx(X, 0x30)};
    start(rows);
    playRow(*player);
    EXPECT_EQ(periods(6), (std::vector<int>{4605, 4602, 4602, 4604, 4606, 4606}));
    start(rows, false);
    playRow(*player);
    EXPECT_EQ(periods(6), (std::vector<int>{1709, 1706, 1706, 1708, 1710, 1710}));
}

TEST_F(XmEffectMemory, VolumeSlideMemoryIsSharedWithTheCombinedEffects) {
    start({xmFx(6, 0x02), xmFx(0xA, 0), xmFx(5, 0x04), xmFx(0xA, 0), xmFx(5, 0)});
    playRow(*player);
    EXPECT_EQ(volumes(5), (std::vector<int>{54, 44, 24, 4, 0}));
}

TEST_F(XmEffectMemory, VolumeSlideWithBothNibblesDoesNothing) {
    start({xmFx(0xA, 0x23)});
    playRow(*player);
    EXPECT_EQ(volumes(1), (std::vector<int>{64}));
}

TEST_F(XmEffectMemory, PanningSlideUpWinsAndRemembers) {
    start({xmFx(P, 0x20), xmFx(P, 0x02), xmFx(P, 0x21), xmFx(P, 0), xmFx(P, 0xF0), xmFx(P, 0)});
    playRow(*player);
    EXPECT_EQ(afterRows(6, [](const XmChannel& c) { return int(c.panning); }),
              (std::vector<int>{138, 128, 138, 148, 223, 255}));
    EXPECT_EQ(mixer.voices[0].panning, 254);
}

TEST_F(XmEffectMemory, MultiRetriggerKeepsItsCounterWhenTheIntervalComesFromMemory) {
    XmBuilder b(1);
    b.speed(4)
        .instrument(xmInstrument())
        .cell(0, 0, 0, xmNote(48, 1))
        .cell(0, 1, 0, xmFx(R, 0x43))
        .cell(0, 2, 0, xmFx(R, 0))
        .cell(0, 3, 0, xmFx(R, 0x43));
    player = playXm(b.build(), mixer);
    ASSERT_TRUE(player);
    std::vector<int> fired;
    std::vector<int> volumesAtFire;
    uint32_t starts = 0;
    for (int t = 0; t < 16; ++t) {
        playTick(*player);
        if (mixer.voices[0].starts != starts) {
            starts = mixer.voices[0].starts;
            fired.push_back(t);
            volumesAtFire.push_back(player->channels[0].volume);
        }
    }
    // Every 3 ticks counted from the row's first tick; R00 goes on with the running count,
    // the second R43 starts a new one. Each retrigger lowers the volume by 8.
    EXPECT_EQ(fired, (std::vector<int>{0, 6, 9, 14}));
    EXPECT_EQ(volumesAtFire, (std::vector<int>{64, 56, 48, 40}));
}

TEST_F(XmEffectMemory, TremorAlternatesAndRemembers) {
    start({xmFx(T, 0x12), xmFx(T, 0)});
    playRow(*player);
    std::vector<int> sent;
    for (int t = 0; t < 12; ++t) {
        playTick(*player);
        sent.push_back(mixer.voices[0].volume);
    }
    // On for 2 ticks, off for 3; each row starts over.
    EXPECT_EQ(sent, (std::vector<int>{128, 128, 0, 0, 0, 128, 128, 128, 0, 0, 0, 128}));
}

TEST_F(XmEffectMemory, MemoriesSurviveNewNotesAndInstruments) {
    start({xmFx(1, 0x08), xmNote(48, 1, 0, 1, 0)});
    playRow(*player);
    playRow(*player);
    EXPECT_EQ(periods(1), (std::vector<int>{4608 - 5 * 32}));
}

} // namespace
} // namespace tolva::test
