#include "support/XmBuilder.h"
#include "support/XmHarness.h"

#include <gtest/gtest.h>

namespace tolva::test {
namespace {

constexpr uint8_t G = 16, H = 17;

// Two channels playing C-4 at full volume from row 0; channel 0 carries the effects.
class XmGlobalVolume : public ::testing::Test {
protected:
    void start(const std::vector<XmCell>& rows) {
        XmBuilder b(2);
        b.instrument(xmInstrument()).cell(0, 0, 0, xmNote(48, 1)).cell(0, 0, 1, xmNote(48, 1));
        for (uint32_t i = 0; i < rows.size(); ++i)
            b.cell(0, i + 1, 0, rows[i]);
        player = playXm(b.build(), mixer);
        ASSERT_TRUE(player);
        playRow(*player);
    }

    // Global volume after each tick of the next row, and what the other channel's voice got.
    std::vector<int> row() {
        std::vector<int> out;
        for (int t = 0; t < 6; ++t) {
            playTick(*player);
            out.push_back(player->globalVolume);
            EXPECT_EQ(mixer.voices[1].volume, player->globalVolume * 2);
        }
        return out;
    }

    RecordingMixer mixer;
    std::unique_ptr<XmPlayer> player;
};

TEST_F(XmGlobalVolume, SetReachesEveryChannelAtOnce) {
    start({xmFx(G, 0x20), xmFx(G, 0x50), xmFx(G, 0)});
    EXPECT_EQ(row(), std::vector<int>(6, 32));
    EXPECT_EQ(row(), std::vector<int>(6, 64)); // above 64 is 64
    EXPECT_EQ(row(), std::vector<int>(6, 0));
}

TEST_F(XmGlobalVolume, SlideUpWinsRemembersAndStopsAtTheEnds) {
    start({xmFx(H, 0x04), xmFx(H, 0), xmFx(H, 0x30), xmFx(H, 0x12), xmFx(H, 0xF0), xmFx(H, 0x0F),
           xmFx(H, 0)});
    EXPECT_EQ(row(), (std::vector<int>{64, 60, 56, 52, 48, 44}));
    EXPECT_EQ(row(), (std::vector<int>{44, 40, 36, 32, 28, 24}));
    EXPECT_EQ(row(), (std::vector<int>{24, 27, 30, 33, 36, 39}));
    EXPECT_EQ(row(), (std::vector<int>{39, 40, 41, 42, 43, 44}));
    EXPECT_EQ(row(), (std::vector<int>{44, 59, 64, 64, 64, 64}));
    EXPECT_EQ(row(), (std::vector<int>{64, 49, 34, 19, 4, 0}));
    EXPECT_EQ(row(), (std::vector<int>(6, 0)));
}

TEST_F(XmGlobalVolume, AppliesToNotesStartedLater) {
    XmBuilder b(1);
    b.instrument(xmInstrument()).cell(0, 0, 0, xmFx(G, 0x10)).cell(0, 1, 0, xmNote(48, 1));
    player = playXm(b.build(), mixer);
    ASSERT_TRUE(player);
    playRow(*player);
    playTick(*player);
    EXPECT_EQ(mixer.voices[0].volume, 32);
}

} // namespace
} // namespace tolva::test
