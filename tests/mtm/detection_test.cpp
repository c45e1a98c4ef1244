#include "engine/Player.h"
#include "song/FormatRegistry.h"
#include "song/MemoryStream.h"
#include "support/FormatsEnabled.h"
#include "support/MtmBuilder.h"

#include <gtest/gtest.h>

namespace tolva::test {
namespace {

std::vector<uint8_t> smallSong() {
    return MtmBuilder().sample(mtmSquare(32)).cell(1, 0, mtmNote(25, 1)).pattern(0, {1}).build();
}

TEST(MtmDetection, AnyVersionByteIsTakenAsMtm) {
    FormatsEnabled formats;
    for (uint8_t version : {0x00, 0x10, 0xFF}) {
        auto bytes = smallSong();
        bytes[3] = version;
        MemoryStream stream(bytes);
        auto player = createPlayer(stream, true, nullptr);
        ASSERT_TRUE(player) << int{version};
        EXPECT_EQ(player->formatType(), FormatMtm);
    }
}

TEST(MtmDetection, CutFileIsRefusedAsDamaged) {
    FormatsEnabled formats;
    auto bytes = smallSong();
    bytes.resize(bytes.size() - 40); // inside the track data
    MemoryStream stream(bytes);
    LoadFailure failure = LoadFailure::None;
    EXPECT_FALSE(createPlayer(stream, true, nullptr, &failure));
    EXPECT_EQ(failure, LoadFailure::Damaged);
}

} // namespace
} // namespace tolva::test
