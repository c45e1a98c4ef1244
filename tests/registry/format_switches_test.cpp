#include "engine/Player.h"
#include "mixer/Mixer.h"
#include "settings/FormatEnables.h"
#include "song/FormatRegistry.h"
#include "song/MemoryStream.h"
#include "support/FormatsEnabled.h"
#include "support/ModBuilder.h"

#include <gtest/gtest.h>

using namespace tolva;
using namespace tolva::test;

namespace {

// The format a file is taken for, or -1 when it is refused.
int takenAs(const std::vector<uint8_t>& bytes) {
    MemoryStream stream(bytes);
    Mixer silent;
    std::unique_ptr<Player> player = createPlayer(stream, true, &silent);
    return player ? static_cast<int>(player->formatType()) : -1;
}

const std::vector<uint8_t>& tagged() {
    static const std::vector<uint8_t> bytes = ModBuilder(4, "M.K.").build();
    return bytes;
}

const std::vector<uint8_t>& untagged() {
    static const std::vector<uint8_t> bytes = ModBuilder(4, "").build();
    return bytes;
}

} // namespace

class FormatSwitches : public ::testing::Test {
    FormatsEnabled formats_;
};

TEST_F(FormatSwitches, EachFlagBelongsToTheRegistryEntryOfItsIndex) {
    Settings s;
    for (uint32_t i = 0; i < FormatHandlerCount; ++i)
        s.formatEnable(i) = 1;
    s.enableMod = 0;
    applyFormatEnables(s);
    EXPECT_FALSE(modHandler().isEnabled());
    EXPECT_TRUE(mod15Handler().isEnabled());
    s.enableMod = 1;
    s.enableMod15 = 0;
    s.enableXm = 0;
    applyFormatEnables(s);
    EXPECT_TRUE(modHandler().isEnabled());
    EXPECT_FALSE(mod15Handler().isEnabled());
    EXPECT_FALSE(xmHandler().isEnabled());
    EXPECT_TRUE(itHandler().isEnabled());
    EXPECT_EQ(formatHandler(0), &modHandler());
    EXPECT_EQ(formatHandler(6), &mod15Handler());
    EXPECT_EQ(formatHandler(7), nullptr);
}

TEST_F(FormatSwitches, DisabledFormatIsRefusedAndTheOtherMODFormStillFound) {
    Settings s;
    s.enableMod = 0;
    applyFormatEnables(s);
    EXPECT_EQ(takenAs(tagged()), -1);
    EXPECT_EQ(takenAs(untagged()), static_cast<int>(FormatMod15));

    s = Settings{};
    s.enableMod15 = 0;
    applyFormatEnables(s);
    EXPECT_EQ(takenAs(tagged()), static_cast<int>(FormatMod));
    EXPECT_EQ(takenAs(untagged()), -1);
}

TEST_F(FormatSwitches, WithEveryHandlerOffEveryFileIsRefused) {
    Settings s;
    for (uint32_t i = 0; i < FormatHandlerCount; ++i)
        s.formatEnable(i) = 0;
    applyFormatEnables(s);
    EXPECT_EQ(takenAs(tagged()), -1);
    EXPECT_EQ(takenAs(untagged()), -1);
    enableAllFormats();
    EXPECT_EQ(takenAs(tagged()), static_cast<int>(FormatMod));
}
