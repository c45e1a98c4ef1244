#include "support/MixerHarness.h"

#include <gtest/gtest.h>

using namespace tolva;
using namespace tolva::test;

TEST(LengthLimit, CutsTheRenderAtTheLimitRoundedToEven) {
    FakeOwner owner;
    MixerPtr mixer = makeMixer(owner, 44100);
    mixer->setLengthLimit(1001); // 44144.1 frames
    mixer->setPosition(0);
    EXPECT_EQ(mixer->render(44000, nullptr, nullptr), 44000u);
    EXPECT_EQ(render16(*mixer, 576).size(), 2u * 144);
    EXPECT_EQ(mixer->framesRendered(), 44144u);
    EXPECT_EQ(mixer->render(576, nullptr, nullptr), 0u);
    EXPECT_EQ(render16(*mixer, 576).size(), 0u);
}

TEST(LengthLimit, PositionSetsTheFrameCounter) {
    FakeOwner owner;
    MixerPtr mixer = makeMixer(owner, 44100);
    mixer->setPosition(1001);
    EXPECT_EQ(mixer->framesRendered(), 44144u);
    // Seeking to an odd frame: the limit leaves an odd count, rendered in full.
    mixer->setLengthLimit(1002);
    mixer->setPosition(1001);
    EXPECT_EQ(mixer->framesRendered(), 44144u);
    mixer->setPosition(10);    // 441
    mixer->setLengthLimit(20); // 882
    EXPECT_EQ(render16(*mixer, 576).size(), 2u * 441);
    mixer->setLengthLimit(0);
    EXPECT_EQ(mixer->render(576, nullptr, nullptr), 576u);
}
