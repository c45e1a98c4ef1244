// The instrument view's envelopes, read from instrument records laid out by hand.
#include "formats/InstrumentEnvelopes.h"

#include <gtest/gtest.h>

namespace tolva {
namespace {

// An Impulse Tracker record with one envelope at `offset`: flags, points of (value, tick), then
// loop and sustain points.
InstrumentDescription itInstrument(uint32_t offset, uint8_t flags,
                                   std::initializer_list<std::pair<int8_t, uint16_t>> points,
                                   std::array<uint8_t, 4> loops = {}) {
    InstrumentDescription d;
    d.valid = true;
    d.size = 550;
    uint8_t* e = d.bytes + offset;
    e[0] = flags;
    e[1] = static_cast<uint8_t>(points.size());
    std::copy(loops.begin(), loops.end(), e + 2);
    uint8_t* p = e + 6;
    for (auto [value, tick] : points) {
        *p++ = static_cast<uint8_t>(value);
        *p++ = static_cast<uint8_t>(tick);
        *p++ = static_cast<uint8_t>(tick >> 8);
    }
    return d;
}

// Points as (tick, value) pairs, then loop begin and end, sustain begin and end, centred.
using Envelope = std::tuple<std::vector<std::pair<int, int>>, int, int, int, int, bool>;

Envelope envelope(const InstrumentDescription& d, uint32_t kind) {
    EnvelopeView v;
    EXPECT_TRUE(readEnvelope(d, kind, v));
    std::vector<std::pair<int, int>> points;
    for (uint32_t i = 0; i < v.count; ++i)
        points.emplace_back(v.ticks[i], v.values[i]);
    return {points, v.loopBegin, v.loopEnd, v.sustainBegin, v.sustainEnd, v.centred};
}

constexpr int None = EnvelopeView::None;

TEST(InstrumentEnvelope, ItEnvelopesPanningAndPitchRaisedAndCentred) {
    EXPECT_EQ(envelope(itInstrument(0x130, 0x07, {{64, 0}, {32, 10}, {0, 300}}, {0, 1, 1, 2}),
                       EnvelopeVolume),
              Envelope({{0, 64}, {10, 32}, {300, 0}}, 0, 1, 1, 2, false));
    // Flags without loop or sustain.
    EXPECT_EQ(envelope(itInstrument(0x182, 0x01, {{-32, 0}, {0, 4}, {32, 8}}), EnvelopePanning),
              Envelope({{0, 0}, {4, 32}, {8, 64}}, None, None, None, None, true));
    EXPECT_EQ(envelope(itInstrument(0x1D4, 0x01, {{-20, 0}}), EnvelopePitch),
              Envelope({{0, 12}}, None, None, None, None, true));
    EXPECT_EQ(envelope(itInstrument(0x1D4, 0x81, {{-20, 0}}), EnvelopePitch),
              Envelope({{0, 12}}, None, None, None, None, false)); // a filter envelope
    auto many = itInstrument(0x130, 0x01, {});
    many.bytes[0x131] = 200;
    EnvelopeView v;
    ASSERT_TRUE(readEnvelope(many, EnvelopeVolume, v));
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
    EXPECT_EQ(envelope(d, EnvelopeVolume),
              Envelope({{0, 64}, {5, 40}, {20, 0}}, 0, 2, 1, 1, false));
    EnvelopeView v;
    ASSERT_TRUE(readEnvelope(d, EnvelopePanning, v));
    EXPECT_EQ(v.count, 12u);
    EXPECT_EQ(v.ticks[0], 21);
    EXPECT_EQ(v.values[0], 0);
    EXPECT_TRUE(v.centred);
    EXPECT_EQ(v.sustainBegin, None);
    EXPECT_FALSE(readEnvelope(d, EnvelopePitch, v));
    EXPECT_FALSE(readEnvelope(InstrumentDescription{}, EnvelopeVolume, v));
    EXPECT_EQ(v.count, 0u);
}

} // namespace
} // namespace tolva
