#include "engine/Player.h"
#include "song/FormatRegistry.h"
#include "song/MemoryStream.h"
#include "support/FormatsEnabled.h"
#include "support/ItFileBuilder.h"
#include "support/SampleStoreMixer.h"

#include <gtest/gtest.h>

using namespace tolva;

TEST(ItDetection, ImpmFilesBecomeItPlayersWithTheirMixGain) {
    test::FormatsEnabled formats;
    test::ItFileBuilder b;
    b.mixVolume = 128;
    MemoryStream stream(b.build());
    test::SampleStoreMixer mixer;
    LoadFailure failure;
    auto player = createPlayer(stream, false, &mixer, &failure);
    ASSERT_TRUE(player);
    EXPECT_EQ(failure, LoadFailure::None);
    EXPECT_EQ(player->formatType(), static_cast<uint32_t>(FormatIt));
    EXPECT_EQ(player->gain, 19); // 64 channels x 0.3 at full mix volume
}

TEST(ItDetection, ADamagedItFileIsNotHandedToLaterFormats) {
    test::FormatsEnabled formats;
    test::ItFileBuilder b;
    b.patterns.clear();
    std::vector<uint8_t> file = b.build();
    file.resize(4000, 0); // long enough to be tried as a 15-sample MOD
    MemoryStream stream(file);
    LoadFailure failure;
    EXPECT_EQ(createPlayer(stream, true, nullptr, &failure), nullptr);
    EXPECT_EQ(failure, LoadFailure::Damaged);
}
