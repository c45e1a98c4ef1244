#include "engine/ModPlugAdpcm.h"

#include "mixer/Mixer.h"
#include "platform/Heap.h"
#include "song/ByteReader.h"

#include <cstring>

namespace tolva {

uint8_t* decodeModPlugAdpcm(Mixer& mixer, InputStream& stream, uint32_t& frames) {
    ByteReader in(stream);
    int8_t table[16];
    if (!in.bytes(table, sizeof table).ok()) {
        frames = 0;
        return nullptr;
    }
    const uint64_t held = uint64_t{in.left()} * 2;
    if (frames > held)
        frames = static_cast<uint32_t>(held);
    if (frames == 0)
        return nullptr;
    const uint32_t codeBytes = (frames + 1) / 2;
    auto* codes = static_cast<uint8_t*>(platform::allocate(codeBytes));
    auto* pcm = static_cast<int8_t*>(platform::allocate(frames));
    uint8_t* result = nullptr;
    if (codes && pcm && in.bytes(codes, codeBytes).ok()) {
        int8_t value = 0;
        for (uint32_t i = 0; i < frames; ++i) {
            const uint8_t code = (codes[i / 2] >> (i % 2 * 4)) & 0x0F;
            value = static_cast<int8_t>(value + table[code]);
            pcm[i] = value;
        }
        result = mixer.copySampleData(pcm, frames);
    }
    platform::release(pcm);
    platform::release(codes);
    return result;
}

bool skipAdpcmMark(InputStream& stream) {
    ByteReader in(stream);
    const uint32_t start = in.position();
    char mark[5];
    if (in.bytes(mark, sizeof mark).ok() && std::memcmp(mark, "ADPCM", sizeof mark) == 0)
        return true;
    ByteReader(stream).at(start);
    return false;
}

} // namespace tolva
