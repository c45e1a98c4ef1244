#include "engine/Player.h"
#include "song/MemoryStream.h"
#include "song/SongSession.h"
#include "support/FormatsEnabled.h"
#include "support/ModBuilder.h"

#include <gtest/gtest.h>

namespace tolva::test {

// The player hands its sample blocks back to the mixer as it goes: under the sanitizers a
// mixer destroyed first shows up here.
TEST(SongSession, PlaysAndReleasesItsSamplesThroughItsOwnMixer) {
    FormatsEnabled formats;
    MemoryStream stream(ModBuilder(4, "M.K.")
                            .sample(squareSample(64))
                            .cell(0, 0, 0, note(25, 1))
                            .cell(0, 0, 3, note(37, 1))
                            .build());
    LoadFailure failure = LoadFailure::Damaged;
    std::unique_ptr<SongSession> session = createSession(stream, false, &failure);
    ASSERT_TRUE(session);
    EXPECT_EQ(failure, LoadFailure::None);
    ASSERT_TRUE(session->player().sample(0)->present);
    session->player().configurePlayback(44100);
    int16_t block[576 * 2] = {};
    RenderFormat format;
    int peak = 0;
    for (int i = 0; i < 3; ++i) {
        ASSERT_EQ(session->renderFrames(576, block, &format), 576u);
        for (int16_t v : block)
            peak = std::max(peak, std::abs(static_cast<int>(v)));
    }
    EXPECT_GT(peak, 0);
    EXPECT_EQ(session->player().playedFrames, 3 * 576u);
    session->seekToFrame(100);
    EXPECT_EQ(session->player().playedFrames, 100u);
}

} // namespace tolva::test
