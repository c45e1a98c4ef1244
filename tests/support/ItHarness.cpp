#include "support/ItHarness.h"

#include "song/MemoryStream.h"

namespace tolva::test {

std::unique_ptr<ItSong> playIt(const ItFileBuilder& builder, uint32_t rate) {
    auto song = std::make_unique<ItSong>();
    song->mixer.reset(createMixer());
    MemoryStream stream(builder.build());
    song->player = loadIt(stream, false, song->mixer.get());
    if (song->player) {
        song->player->restartSong();
        song->player->configurePlayback(rate);
    }
    return song;
}

ItFileBuilder itSong(const ItPatternWriter& rows,
                     const std::vector<ItTestInstrument>& instruments) {
    ItFileBuilder b;
    b.speed = 3;
    b.flags = instruments.empty() ? ItSampleSong : ItInstrumentSong;
    b.samples = {rampSample(1000, true)};
    b.patterns = {rows.pattern()};
    for (const ItTestInstrument& instrument : instruments)
        b.instruments.push_back(instrument.record());
    return b;
}

} // namespace tolva::test
