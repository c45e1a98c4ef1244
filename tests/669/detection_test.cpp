#include "engine/Player.h"
#include "song/FormatRegistry.h"
#include "song/MemoryStream.h"
#include "support/Composer669Builder.h"
#include "support/FormatsEnabled.h"

#include <gtest/gtest.h>

namespace tolva::test {
namespace {

TEST(Detection669, BothSignaturesAreTakenAs669) {
    FormatsEnabled formats;
    for (const char* magic : {"if", "JN"}) {
        MemoryStream stream(Composer669Builder(magic).sample(square669(16)).build());
        auto player = createPlayer(stream, true, nullptr);
        ASSERT_TRUE(player) << magic;
        EXPECT_EQ(player->formatType(), Format669);
    }
}

TEST(Detection669, CutFileIsRefusedAsDamaged) {
    FormatsEnabled formats;
    auto bytes = Composer669Builder().orders({0, 1}).build();
    bytes.resize(bytes.size() - 1); // inside the last pattern
    MemoryStream stream(bytes);
    LoadFailure failure = LoadFailure::None;
    EXPECT_FALSE(createPlayer(stream, true, nullptr, &failure));
    EXPECT_EQ(failure, LoadFailure::Damaged);
}

} // namespace
} // namespace tolva::test
