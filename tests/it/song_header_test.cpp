#include "support/ItFileBuilder.h"
#include "support/ItLoad.h"

#include <cstring>
#include <gtest/gtest.h>
#include <string>

using namespace tolva;
using test::ItFileBuilder;
using test::loadItBytes;

TEST(ItSongHeader, HeaderValuesFillTheSong) {
    ItFileBuilder b;
    b.title = "abcdefghijklmnopqrstuvwxyz"; // all 26 characters used
    b.globalVolume = 100;
    b.speed = 3;
    b.tempo = 150;
    b.flags = 0x0D; // stereo, instruments, linear slides
    b.channelPan[5] = 100;
    b.channelPan[6] = 0x80 | 20;
    b.channelVolume[7] = 33;
    auto it = loadItBytes(b.build());
    ASSERT_EQ(it->error, ItLoadError::None);
    EXPECT_STREQ(it->song.title, "abcdefghijklmnopqrstuvwxyz");
    EXPECT_EQ(it->song.channelCount, 64u);
    EXPECT_EQ(it->song.initialGlobalVolume, 100);
    EXPECT_EQ(it->song.initialSpeed, 3);
    EXPECT_EQ(it->song.initialTempo, 150u);
    EXPECT_EQ(it->song.maxPeriod, 12500);
    const ItHeader& h = it->module->header;
    EXPECT_EQ(h.flags, 0x0D);
    EXPECT_EQ(h.mixVolume, 48);
    EXPECT_EQ(h.panSeparation, 128);
    EXPECT_EQ(h.channelPan[5], 100);
    EXPECT_EQ(h.channelPan[6], 0x94);
    EXPECT_EQ(h.channelVolume[7], 33);

    b.flags = 0x01;
    EXPECT_EQ(loadItBytes(b.build())->song.maxPeriod, 3424);
}

TEST(ItSongHeader, OrderBytesBecomePatternsSkipsAndEnds) {
    ItFileBuilder b;
    b.orders = {0, 254, 255, 7};
    auto it = loadItBytes(b.build());
    ASSERT_EQ(it->error, ItLoadError::None);
    EXPECT_EQ(it->song.orderCount, 4);
    EXPECT_EQ(it->song.orders[0], 0);
    EXPECT_EQ(it->song.orders[1], OrderSkip);
    EXPECT_EQ(it->song.orders[2], OrderEnd);
    EXPECT_EQ(it->song.orders[3], 7);
    EXPECT_EQ(it->song.orders[4], OrderEnd);
}

TEST(ItSongHeader, LongOrderListsKeep256EntriesAndStillFindTheTables) {
    ItFileBuilder b;
    b.orders.assign(300, 0);
    b.samples.push_back({});
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

TEST(ItSongMessage, EveryCarriageReturnGetsALineFeed) {
    ItFileBuilder b;
    b.message = std::string("AB\rC\r", 5);
    auto it = loadItBytes(b.build());
    ASSERT_EQ(it->error, ItLoadError::None);
    std::string text(it->module->message.data());
    EXPECT_EQ(text, "AB\r\nC\r\n");
}

TEST(ItSongMessage, AMessageOutsideTheFileIsDroppedButTheSongLoads) {
    ItFileBuilder b;
    b.message = "hello";
    std::vector<uint8_t> file = b.build();
    test::putLong(file, 0x38, static_cast<uint32_t>(file.size()) - 2);
    auto it = loadItBytes(file);
    EXPECT_EQ(it->error, ItLoadError::None);
    EXPECT_TRUE(it->module->message.empty());
    test::putLong(file, 0x38, 0x90000000u);
    EXPECT_EQ(loadItBytes(file)->error, ItLoadError::None);
}
