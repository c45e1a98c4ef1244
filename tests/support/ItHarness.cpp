#include "support/ItHarness.h"

#include "song/MemoryStream.h"

#include <gtest/gtest.h>

namespace tolva::test {

std::unique_ptr<ItLoaded> loadItBytes(std::vector<uint8_t> bytes, bool infoOnly) {
    auto loaded = std::make_unique<ItLoaded>();
    MemoryStream stream(std::move(bytes));
    loaded->error =
        loadItModule(stream, infoOnly, loaded->mixer.get(), loaded->song, *loaded->module);
    return loaded;
}

std::vector<Ints> ItSong::trace(uint32_t count, bool byRow,
                                const std::function<Ints(ItSong&)>& probe) {
    std::vector<Ints> values;
    for (uint32_t i = 0; i < count; ++i) {
        byRow ? rows() : ticks();
        values.push_back(probe(*this));
    }
    return values;
}

std::unique_ptr<ItSong> playIt(const ItFileBuilder& builder) {
    auto song = std::make_unique<ItSong>();
    song->mixer.reset(createMixer());
    MemoryStream stream(builder.build());
    song->player = ready(loadIt(stream, false, song->mixer.get()));
    return song;
}

ItFileBuilder itSong(const std::vector<ItPlacedCell>& cells,
                     const std::vector<ItTestInstrument>& instruments, uint16_t rows) {
    ItFileBuilder b;
    b.speed = 3;
    b.flags = instruments.empty() ? ItSampleSong : ItSampleSong | 0x04; // instrument mode
    b.samples = {rampSample(1000, true), rampSample(500, true)};
    b.patterns = {itPattern(cells, rows)};
    for (const ItTestInstrument& instrument : instruments)
        b.instruments.push_back(instrument.record());
    return b;
}

void checkItCases(const std::vector<ItCase>& cases) {
    for (const ItCase& c : cases) {
        SCOPED_TRACE(c.cells);
        ItFileBuilder b = itSong(c.cells, c.instruments);
        b.speed = c.speed;
        b.flags |= c.flags;
        auto song = playIt(b);
        ASSERT_TRUE(song->player);
        Ints seen;
        while (seen.size() < c.expected.size()) {
            const Ints values = song->trace(1, c.byRow, c.probe)[0];
            seen.insert(seen.end(), values.begin(), values.end());
        }
        EXPECT_EQ(seen, c.expected);
    }
}

} // namespace tolva::test
