#include "support/Mtm669Builders.h"

#include "formats/mtm669/Loader669.h"
#include "formats/mtm669/MtmLoader.h"
#include "song/MemoryStream.h"
#include "support/ByteWriter.h"
#include "support/PlayerHarness.h"
#include "support/SampleStoreMixer.h"

#include <algorithm>
#include <gtest/gtest.h>

namespace tolva::test {

std::vector<uint8_t> unsignedSquare(uint32_t length) {
    std::vector<uint8_t> data;
    for (uint32_t i = 0; i < length; ++i)
        data.push_back(i % 16 < 8 ? 0xE4 : 0x1C);
    return data;
}

MtmSampleDef mtmSquare(uint32_t length, uint8_t volume) {
    return {"square", unsignedSquare(length), 0, length, 0, volume};
}

std::vector<uint8_t> MtmSong::build() const {
    const uint32_t tracks = cells.empty() ? 0 : cells.rbegin()->first.first;
    ByteWriter w;
    w.text("MTM", 3);
    w.u8(0x10);
    w.text(title, 20);
    w.u16le(tracks);
    w.u8(patterns.size() - 1, orders.size() - 1);
    w.u16le(comment.size());
    w.u8(samples.size(), 0, rowsPerTrack, channels);
    for (uint32_t slot = 0; slot < 32; ++slot)
        w.u8(panning.count(slot) ? panning.at(slot) : 0);
    for (const MtmSampleDef& s : samples) {
        w.text(s.name, 22);
        w.u32le(s.data.size(), s.loopStart, s.loopEnd);
        w.u8(s.finetune, s.volume, s.sixteenBit ? 1 : 0);
    }
    for (uint32_t i = 0; i < 128; ++i)
        w.u8(i < orders.size() ? orders[i] : 0);
    for (uint32_t t = 1; t <= tracks; ++t)
        for (uint32_t row = 0; row < 64; ++row) {
            const auto it = cells.find({t, row});
            const MtmCell c = it == cells.end() ? MtmCell{} : it->second;
            w.u8((c.note != 0 ? c.note - 1u : 0) << 2 | (c.instrument >> 4 & 3),
                 (c.instrument & 15) << 4 | (c.effect & 15), c.param);
        }
    for (const std::vector<uint16_t>& slots : patterns)
        for (uint32_t slot = 0; slot < 32; ++slot)
            w.u16le(slot < slots.size() ? slots[slot] : 0);
    w.raw(comment.data(), comment.size());
    for (const MtmSampleDef& s : samples)
        w.raw(s.data.data(), s.data.size());
    return w.bytes();
}

Cell669 Cell669::withEffect(uint32_t effect, uint32_t value) const {
    Cell669 c = *this;
    c.bytes[2] = static_cast<uint8_t>(effect << 4 | (value & 15));
    return c;
}

Cell669 note669(uint32_t n, uint32_t sample, uint32_t volume) {
    return {{static_cast<uint8_t>((n - 1) << 2 | (sample >> 4 & 3)),
             static_cast<uint8_t>((sample & 15) << 4 | (volume & 15)), 0xFF}};
}

std::vector<uint8_t> Composer669Song::build() const {
    uint32_t patterns = 0;
    for (uint8_t entry : orders)
        if (entry != 0xFF)
            patterns = std::max<uint32_t>(patterns, entry + 1u);
    if (patternCount >= 0)
        patterns = static_cast<uint32_t>(patternCount);
    ByteWriter w;
    w.text(magic, 2);
    w.text(message, 108);
    w.u8(samples.size(), patterns, 0);
    for (uint32_t i = 0; i < 128; ++i)
        w.u8(i < orders.size() ? orders[i] : 0xFF);
    for (const auto& [list, unset] : {std::pair(&tempo, 6), std::pair(&breakRow, 63)})
        for (uint32_t i = 0; i < 128; ++i)
            w.u8(list->count(i) ? list->at(i) : unset);
    for (const Sample669Def& s : samples) {
        w.text(s.fileName, 13);
        w.u32le(s.data.size(), s.loopStart, s.loopEnd);
    }
    for (uint32_t p = 0; p < patterns; ++p)
        for (uint32_t row = 0; row < 64; ++row)
            for (uint32_t ch = 0; ch < 8; ++ch) {
                const auto it = cells.find({p, row, ch});
                w.raw(it == cells.end() ? Cell669{}.bytes : it->second.bytes, 3);
            }
    for (const Sample669Def& s : samples)
        w.raw(s.data.data(), s.data.size());
    return w.bytes();
}

std::unique_ptr<Player> playMtm(const std::vector<uint8_t>& bytes, RecordingMixer& mixer) {
    MemoryStream stream(bytes);
    return ready(loadMtm(stream, false, &mixer));
}

std::unique_ptr<Player> play669(const std::vector<uint8_t>& bytes, RecordingMixer& mixer) {
    MemoryStream stream(bytes);
    return ready(load669(stream, false, &mixer));
}

void expectCutsKeepSampleData(const std::vector<uint8_t>& bytes,
                              std::unique_ptr<Player> (*load)(InputStream&, bool, Mixer*)) {
    const std::size_t samples = bytes.size() - 52;
    for (std::size_t size = 0; size < bytes.size(); ++size) {
        SampleStoreMixer mixer;
        MemoryStream stream(bytes.data(), size);
        auto player = load(stream, false, &mixer);
        ASSERT_EQ(player != nullptr, size >= samples) << "cut at " << size;
        if (player) {
            const std::size_t held = size - samples;
            EXPECT_EQ(player->sample(0)->length, std::min<std::size_t>(held, 48)) << size;
            EXPECT_EQ(player->sample(1)->length, held > 48 ? held - 48 : 0) << size;
        }
        player.reset();
        EXPECT_EQ(mixer.liveBlocks(), 0u) << "cut at " << size;
    }
}

} // namespace tolva::test
