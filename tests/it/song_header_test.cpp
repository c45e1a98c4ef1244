#include "engine/Player.h"
#include "formats/it/ItCreatorText.h"
#include "song/FormatRegistry.h"
#include "song/MemoryStream.h"
#include "support/FormatsEnabled.h"
#include "support/ItHarness.h"

#include <gtest/gtest.h>
#include <string>

namespace tolva::test {
namespace {

TEST(ItSongHeader, HeaderValuesFillTheSong) {
    ItFileBuilder b;
    b.title = "abcdefghijklmnopqrstuvwxyz"; // all 26 characters used
    b.globalVolume = 100;
    b.speed = 3;
    b.tempo = 150;
    b.flags = 0x0D; // stereo, instruments, linear slides
    b.orders = {0, 254, 255, 7};
    auto it = loadItBytes(b.build());
    ASSERT_EQ(it->error, ItLoadError::None);
    EXPECT_STREQ(it->song.title, "abcdefghijklmnopqrstuvwxyz");
    EXPECT_EQ(it->song.channelCount, 64u);
    EXPECT_EQ(it->song.initialGlobalVolume, 100);
    EXPECT_EQ(it->song.initialSpeed, 3);
    EXPECT_EQ(it->song.initialTempo, 150u);
    EXPECT_EQ(it->song.maxPeriod, 12500);
    EXPECT_EQ(it->song.orderCount, 4);
    const int32_t orders[] = {0, OrderSkip, OrderEnd, 7, OrderEnd};
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(it->song.orders[i], orders[i]) << i;
    b.flags = 0x01;
    EXPECT_EQ(loadItBytes(b.build())->song.maxPeriod, 3424);
}

TEST(ItSongHeader, LongOrderListsKeep256EntriesAndStillFindTheTables) {
    ItFileBuilder b;
    b.orders.assign(300, 0);
    b.samples.resize(1);
    b.samples[0].name = "after the orders";
    auto it = loadItBytes(b.build());
    ASSERT_EQ(it->error, ItLoadError::None);
    EXPECT_EQ(it->song.orderCount, 300 & 0xFF);
    EXPECT_EQ(it->song.orders[255], 0);
    EXPECT_EQ(it->song.orders[256], OrderEnd);
    EXPECT_EQ(std::string(it->module->samples[0].name).rfind("after the orders", 0), 0u);
}

TEST(ItSongHeader, FilesWithoutOrdersOrPatternsOrAWholeHeaderAreRefused) {
    ItFileBuilder b;
    b.orders.clear();
    EXPECT_EQ(loadItBytes(b.build())->error, ItLoadError::NoOrders);
    b = ItFileBuilder{};
    b.patterns.clear();
    EXPECT_EQ(loadItBytes(b.build())->error, ItLoadError::NoPatterns);
    std::vector<uint8_t> whole = ItFileBuilder{}.build();
    whole.resize(191);
    EXPECT_EQ(loadItBytes(whole)->error, ItLoadError::ShortHeader);
    whole.resize(193); // the header, and one order byte of two
    EXPECT_EQ(loadItBytes(whole)->error, ItLoadError::OrderList);
}

TEST(ItSongHeader, AMessageOutsideTheFileIsDroppedButTheSongLoads) {
    ItFileBuilder b;
    b.message = "hello";
    std::vector<uint8_t> file = b.build();
    putLong(file, 0x38, static_cast<uint32_t>(file.size()) - 2);
    auto it = loadItBytes(file);
    EXPECT_EQ(it->error, ItLoadError::None);
    EXPECT_TRUE(it->module->message.empty());
    putLong(file, 0x38, 0x90000000u);
    EXPECT_EQ(loadItBytes(file)->error, ItLoadError::None);
}

TEST(ItSongHeader, ImpmFilesBecomeItPlayersWithTheirMixGain) {
    FormatsEnabled formats;
    ItFileBuilder b;
    b.mixVolume = 128;
    MemoryStream stream(b.build());
    SampleStoreMixer mixer;
    LoadFailure failure;
    auto player = createPlayer(stream, false, &mixer, &failure);
    ASSERT_TRUE(player);
    EXPECT_EQ(failure, LoadFailure::None);
    EXPECT_EQ(player->formatType(), static_cast<uint32_t>(FormatIt));
    EXPECT_EQ(player->gain, 19); // 64 channels x 0.3 at full mix volume
    // A damaged IT file is not handed on to the formats tried after it.
    b.patterns.clear();
    std::vector<uint8_t> file = b.build();
    file.resize(4000, 0); // long enough to be tried as a 15-sample MOD
    MemoryStream damaged(file);
    EXPECT_EQ(createPlayer(damaged, true, nullptr, &failure), nullptr);
    EXPECT_EQ(failure, LoadFailure::Damaged);
}

TEST(ItCreatorText, TrackerVersionsAndSchismDates) {
    // Schism Tracker counts days from 2009-10-31; 2012 is a leap year.
    const int toLeapDay = 30 + 31 + 365 + 365 + 31 + 29;
    const struct {
        int word;
        const char* text;
    } cases[] = {
        {0x0214, " 2.14"},
        {0x0216, " 2.16"},
        {0x0217, " 2.17 (ModPlug)"},
        {0x0314, " 3.14 (?\?)"},
        {0x0100, " 1.00"},
        {0x5117, " (OpenMPT 1.17)"},
        {0x1050, " (Schism Tracker 0.50)"},
        {0x2000, ""},
        {0x8214, ""}, // negative high byte
        {0x1051, " (Schism Tracker 2009-11-1)"},
        {0x1050 + 30, " (Schism Tracker 2009-11-30)"},
        {0x1050 + 31, " (Schism Tracker 2009-12-1)"},
        {0x1050 + 30 + 31 + 31, " (Schism Tracker 2010-1-31)"},
        {0x1050 + toLeapDay, " (Schism Tracker 2012-2-29)"},
        {0x1050 + toLeapDay + 1, " (Schism Tracker 2012-3-1)"},
    };
    for (const auto& c : cases) {
        char text[64];
        itCreatorText(static_cast<uint16_t>(c.word), text, sizeof text);
        EXPECT_STREQ(text, c.text) << std::hex << c.word;
    }
    char shortText[6];
    itCreatorText(0x5117, shortText, sizeof shortText);
    EXPECT_STREQ(shortText, " (Ope");
}

} // namespace
} // namespace tolva::test
