// The instrument view's envelopes, read from instrument records laid out by hand.
#include "formats/InstrumentEnvelopes.h"

#include <gtest/gtest.h>

namespace tolva {
namespace {

// An Impulse Tracker record with one envelope at `offset`: flags, points of (value, tick).
InstrumentDescription itInstrument(uint32_t offset, uint8_t flags,
                                   std::initializer_list<std::pair<int8_t, uint16_t>> points,
                                   uint8_t loopBegin = 0, uint8_t loopEnd = 0,
                                   uint8_t sustainBegin = 0, uint8_t sustainEnd = 0) {
    InstrumentDescription d;
    d.valid = true;
    d.size = 550;
    uint8_t* e = d.bytes + offset;
    e[0] = flags;
    e[1] = static_cast<uint8_t>(points.size());
    e[2] = loopBegin;
    e[3] = loopEnd;
    e[4] = sustainBegin;
    e[5] = sustainEnd;
    uint8_t* p = e + 6;
    for (auto [value, tick] : points) {
        p[0] = static_cast<uint8_t>(value);
        p[1] = static_cast<uint8_t>(tick);
        p[2] = static_cast<uint8_t>(tick >> 8);
        p += 3;
    }
    return d;
}

TEST(InstrumentEnvelope, ItVolumeWithLoopAndSustain) {
    auto d = itInstrument(0x130, 0x07, {{64, 0}, {32, 10}, {0, 300}}, 0, 1, 1, 2);
    EnvelopeView v;
    ASSERT_TRUE(readEnvelope(d, EnvelopeVolume, v));
    ASSERT_EQ(v.count, 3u);
    EXPECT_EQ(v.ticks[2], 300);
    EXPECT_EQ(v.values[0], 64);
    EXPECT_EQ(v.values[1], 32);
    EXPECT_EQ(v.loopBegin, 0);
    EXPECT_EQ(v.loopEnd, 1);
    EXPECT_EQ(v.sustainBegin, 1);
    EXPECT_EQ(v.sustainEnd, 2);
    EXPECT_FALSE(v.centred);
}

TEST(InstrumentEnvelope, ItPanningAndPitchAreRaisedAndCentred) {
    auto pan = itInstrument(0x182, 0x01, {{-32, 0}, {0, 4}, {32, 8}});
    EnvelopeView v;
    ASSERT_TRUE(readEnvelope(pan, EnvelopePanning, v));
    EXPECT_EQ(v.values[0], 0);
    EXPECT_EQ(v.values[1], 32);
    EXPECT_EQ(v.values[2], 64);
    EXPECT_TRUE(v.centred);
    EXPECT_EQ(v.loopBegin, EnvelopeView::None); // flags without loop or sustain
    EXPECT_EQ(v.sustainBegin, EnvelopeView::None);

    auto pitch = itInstrument(0x1D4, 0x01, {{-20, 0}});
    ASSERT_TRUE(readEnvelope(pitch, EnvelopePitch, v));
    EXPECT_EQ(v.values[0], 12);
    EXPECT_TRUE(v.centred);
    auto filter = itInstrument(0x1D4, 0x81, {{-20, 0}});
    ASSERT_TRUE(readEnvelope(filter, EnvelopePitch, v));
    EXPECT_FALSE(v.centred);
}

TEST(InstrumentEnvelope, ItPointCountIsHeldToTwentyFive) {
    auto d = itInstrument(0x130, 0x01, {});
    d.bytes[0x131] = 200;
    EnvelopeView v;
    ASSERT_TRUE(readEnvelope(d, EnvelopeVolume, v));
    EXPECT_EQ(v.count, 25u);
}

TEST(InstrumentEnvelope, XmVolumeAndPanning) {
    InstrumentDescription d;
    d.valid = true;
    d.marker = XmInstrumentMarker;
    const uint16_t volume[][2] = {{0, 64}, {5, 40}, {20, 0}};
    for (int i = 0; i < 3; ++i)
        for (int k = 0; k < 2; ++k) {
            d.bytes[129 + 4 * i + 2 * k] = static_cast<uint8_t>(volume[i][k]);
            d.bytes[177 + 4 * i + 2 * k] = static_cast<uint8_t>(volume[2 - i][k] + (k ? 0 : 1));
        }
    d.bytes[225] = 3;  // volume points
    d.bytes[226] = 20; // panning points, more than the header holds
    d.bytes[227] = 1;  // volume sustain point
    d.bytes[228] = 0;  // volume loop
    d.bytes[229] = 2;
    d.bytes[233] = 0x01 | 0x02 | 0x04;
    d.bytes[234] = 0x01;
    EnvelopeView v;
    ASSERT_TRUE(readEnvelope(d, EnvelopeVolume, v));
    ASSERT_EQ(v.count, 3u);
    EXPECT_EQ(v.ticks[1], 5);
    EXPECT_EQ(v.values[1], 40);
    EXPECT_EQ(v.sustainBegin, 1);
    EXPECT_EQ(v.sustainEnd, 1);
    EXPECT_EQ(v.loopBegin, 0);
    EXPECT_EQ(v.loopEnd, 2);
    EXPECT_FALSE(v.centred);

    ASSERT_TRUE(readEnvelope(d, EnvelopePanning, v));
    EXPECT_EQ(v.count, 12u);
    EXPECT_EQ(v.ticks[0], 21);
    EXPECT_EQ(v.values[0], 0);
    EXPECT_TRUE(v.centred);
    EXPECT_EQ(v.sustainBegin, EnvelopeView::None);

    EXPECT_FALSE(readEnvelope(d, EnvelopePitch, v));
}

TEST(InstrumentEnvelope, InvalidDescriptionHasNone) {
    InstrumentDescription d;
    EnvelopeView v;
    EXPECT_FALSE(readEnvelope(d, EnvelopeVolume, v));
    EXPECT_EQ(v.count, 0u);
}

} // namespace
} // namespace tolva
