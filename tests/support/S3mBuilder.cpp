#include "support/S3mBuilder.h"

#include "formats/s3m/S3mLoader.h"
#include "song/MemoryStream.h"
#include "support/ByteWriter.h"
#include "support/PlayerHarness.h"

#include <algorithm>

namespace tolva::test {

S3mSampleDef loopedSample(uint32_t frames, uint8_t volume, uint32_t middleCRate) {
    S3mSampleDef s = {.volume = volume, .middleCRate = middleCRate, .loopEnd = frames, .flags = 1};
    for (uint32_t i = 0; i < frames; ++i)
        s.data.push_back(i % 16 < 8 ? 0xE0 : 0x20);
    return s;
}

S3mBuilder::S3mBuilder(uint32_t channels) {
    for (uint32_t c = 0; c < 32; ++c)
        settings_[c] = c < channels ? static_cast<uint8_t>(c % 2 == 0 ? c / 2 : 8 + c / 2) : 255;
}

S3mBuilder s3mLine(std::vector<S3mCell> rows, S3mSampleDef sample) {
    return S3mBuilder().sample(std::move(sample)).column(0, rows);
}

std::vector<uint8_t> S3mBuilder::packPattern(uint32_t pattern) const {
    std::vector<uint8_t> out;
    for (uint32_t row = 0; row < 64; ++row) {
        for (uint32_t ch = 0; ch < 32; ++ch) {
            const auto it = cells_.find({pattern, row, ch});
            const S3mCell c = it == cells_.end() ? S3mCell{} : it->second;
            const bool note = c.note != 255 || c.instrument != 0;
            const bool volume = c.volume != 255, command = c.command != 0;
            if (!note && !volume && !command)
                continue;
            out.push_back(static_cast<uint8_t>(ch | note << 5 | volume << 6 | command << 7));
            if (note)
                out.insert(out.end(), {c.note, c.instrument});
            if (volume)
                out.push_back(c.volume);
            if (command)
                out.insert(out.end(), {c.command, c.param});
        }
        out.push_back(0);
    }
    return out;
}

std::vector<uint8_t> S3mBuilder::build() const {
    uint32_t patterns = patternCount_;
    for (uint8_t o : orders_)
        if (o < 254)
            patterns = std::max<uint32_t>(patterns, o + 1u);
    for (const auto& [key, c] : cells_)
        patterns = std::max<uint32_t>(patterns, std::get<0>(key) + 1);

    ByteWriter w;
    // Pads to the next 16-byte paragraph and points the 16-bit paragraph number at `at` there.
    const auto pointHere = [&w](std::size_t at) {
        w.zeros((16 - w.size() % 16) % 16);
        w.bytes()[at] = static_cast<uint8_t>(w.size() / 16);
        w.bytes()[at + 1] = static_cast<uint8_t>(w.size() / 16 >> 8);
    };
    w.zeros(28);    // title
    w.u8(0x1A, 16); // file type
    w.u16le(0, orders_.size(), samples_.size(), patterns, flags_, tracker_, signed_ ? 1 : 2);
    w.text("SCRM", 4);
    w.u8(globalVolume_, speed_, tempo_, stereo_ ? 0xB0 : 0x30, 0, 0xFC);
    w.zeros(10);
    w.raw(settings_, sizeof settings_);
    w.raw(orders_.data(), orders_.size());
    const std::size_t pointers = w.size();
    w.zeros((samples_.size() + patterns) * 2);
    w.raw(pans_, sizeof pans_);

    std::vector<std::size_t> dataPointerAt;
    for (std::size_t i = 0; i < samples_.size(); ++i) {
        const S3mSampleDef& s = samples_[i];
        pointHere(pointers + i * 2);
        w.u8(s.type);
        w.text(s.fileName, 12);
        w.u8(0);
        dataPointerAt.push_back(w.size());
        w.u16le(0);
        w.u32le(s.data.size() / ((s.flags & 4) ? 2 : 1) / ((s.flags & 2) ? 2 : 1), s.loopStart,
                s.loopEnd);
        w.u8(s.volume, 0, s.packing, s.flags);
        w.u32le(s.middleCRate);
        w.zeros(12);
        w.text(s.name, 28);
        w.text(s.signature ? "SCRS" : "SCRX", 4);
    }
    for (uint32_t p = 0; p < patterns; ++p) {
        pointHere(pointers + (samples_.size() + p) * 2);
        const std::vector<uint8_t> packed = packPattern(p);
        w.u16le(packed.size());
        w.raw(packed.data(), packed.size());
    }
    for (std::size_t i = 0; i < samples_.size(); ++i) {
        pointHere(dataPointerAt[i]);
        w.raw(samples_[i].data.data(), samples_[i].data.size());
    }
    return w.bytes();
}

std::unique_ptr<Player> playS3m(const std::vector<uint8_t>& bytes, RecordingMixer& mixer) {
    MemoryStream stream(bytes);
    return ready(loadS3m(stream, false, &mixer));
}

} // namespace tolva::test
