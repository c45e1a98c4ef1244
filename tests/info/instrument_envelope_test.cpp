// The instrument view's envelopes, described from loaded envelopes set up by hand.
#include "formats/it/ItPlayer.h"
#include "formats/xm/XmPlayer.h"

#include <gtest/gtest.h>

namespace tolva {
namespace {

// An Impulse Tracker envelope: flags, points of (value, tick), loop and sustain points.
ItEnvelope itEnvelope(uint8_t flags, std::initializer_list<std::pair<int8_t, uint16_t>> points,
                      std::array<uint8_t, 4> loops = {}) {
    ItEnvelope e{flags,   static_cast<uint8_t>(points.size()), loops[0], loops[1], loops[2],
                 loops[3]};
    uint32_t i = 0;
    for (auto [value, tick] : points)
        e.nodes[i++] = {value, tick};
    return e;
}

// Points as (tick, value) pairs, then loop begin and end, sustain begin and end, centred.
using Envelope = std::tuple<std::vector<std::pair<int, int>>, int, int, int, int, bool>;

Envelope envelope(const EnvelopeView& v) {
    std::vector<std::pair<int, int>> points;
    for (uint32_t i = 0; i < v.count; ++i)
        points.emplace_back(v.ticks[i], v.values[i]);
    return {points, v.loopBegin, v.loopEnd, v.sustainBegin, v.sustainEnd, v.centred};
}

Envelope itView(const ItEnvelope& e, uint32_t kind) {
    EnvelopeView v;
    describeItEnvelope(v, e, kind);
    return envelope(v);
}

constexpr int None = EnvelopeView::None;

TEST(InstrumentEnvelope, ItAndXmEnvelopesPanningAndPitchRaisedAndCentred) {
    EXPECT_EQ(itView(itEnvelope(0x07, {{64, 0}, {32, 10}, {0, 300}}, {0, 1, 1, 2}), EnvelopeVolume),
              Envelope({{0, 64}, {10, 32}, {300, 0}}, 0, 1, 1, 2, false));
    // Flags without loop or sustain.
    EXPECT_EQ(itView(itEnvelope(0x01, {{-32, 0}, {0, 4}, {32, 8}}), EnvelopePanning),
              Envelope({{0, 0}, {4, 32}, {8, 64}}, None, None, None, None, true));
    EXPECT_EQ(itView(itEnvelope(0x01, {{-20, 0}}), EnvelopePitch),
              Envelope({{0, 12}}, None, None, None, None, true));
    EXPECT_EQ(itView(itEnvelope(0x81, {{-20, 0}}), EnvelopePitch),
              Envelope({{0, 12}}, None, None, None, None, false)); // a filter envelope
    ItEnvelope many = itEnvelope(0x01, {});
    many.nodeCount = 200;
    EXPECT_EQ(std::get<0>(itView(many, EnvelopeVolume)).size(), 25u);

    XmEnvelope e{
        {{{0, 64}, {5, 40}, {20, 0}}}, 3, 1, 0, 2, EnvelopeOn | EnvelopeSustain | EnvelopeLoop};
    EnvelopeView v;
    describeXmEnvelope(v, e, false);
    EXPECT_EQ(envelope(v), Envelope({{0, 64}, {5, 40}, {20, 0}}, 0, 2, 1, 1, false));
    e.type = EnvelopeOn;
    describeXmEnvelope(v, e, true);
    EXPECT_EQ(envelope(v), Envelope({{0, 64}, {5, 40}, {20, 0}}, None, None, None, None, true));
}

TEST(InstrumentProperties, ItInstrumentAsTheViewListsIt) {
    std::unique_ptr<ItPlayer> player(new (std::nothrow) ItPlayer(nullptr));
    ASSERT_TRUE(player);
    player->module.header.flags |= ItInstrumentMode;
    player->module.instrumentCount = 1;
    ItInstrument& in = player->module.instruments[0];
    in = {.present = true,
          .fileName = "DOS.ITI",
          .newNoteAction = 3,
          .duplicateCheckType = 2,
          .fadeOut = 1024,
          .pitchPanSeparation = -8,
          .defaultPan = 0x80 | 20,
          .filterCutoff = 0x80 | 100,
          .volumeEnvelope = itEnvelope(0x0F, {}, {1, 2, 3, 4}),
          .panEnvelope = {},
          .pitchEnvelope = {}};
    PropertyList list;
    player->info().describeInstrumentProperties(list, 0);
    std::vector<std::string> lines;
    for (uint32_t i = 0; i < list.count; ++i)
        lines.push_back(std::string(list.lines[i].label) + list.lines[i].value);
    EXPECT_EQ(lines, (std::vector<std::string>{
                         "Dosname:DOS.ITI",    "NNA:Note Fade",      "DCT:Sample",
                         "DCA:Note Cut",       "Volume Envelope:On", "Pan Envelope:Off",
                         "Freq EnvelopeOff",   "Carry:On",           "Loop:On",
                         "Loop Begin:1",       "Loop End:2",         "SusLoop:On",
                         "SusLoop Begin:3",    "SusLoop End:4",      "Global Volume:128",
                         "Fadeout:1024",       "Volume Swing(%):0",  "Default Pan:Off",
                         "P-P Center:60",      "P-P Separation:-8",  "Pan Swing:0",
                         "Default Cutoff:100", "Def Resonance:Off"}));
}

} // namespace
} // namespace tolva
