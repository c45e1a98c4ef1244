#include "engine/ModPlugAdpcm.h"

#include "mixer/Mixer.h"
#include "platform/Heap.h"
#include "song/BoundedReads.h"
#include "song/InputStream.h"

#include <cstring>

namespace tolva {

uint8_t* decodeModPlugAdpcm(Mixer& mixer, InputStream& stream, uint32_t& frames) {
    int8_t table[16];
    if (stream.read(sizeof table, table) != 0) {
        frames = 0;
        return nullptr;
    }
    const uint64_t held = uint64_t{bytesLeft(stream)} * 2;
    if (frames > held)
        frames = static_cast<uint32_t>(held);
    if (frames == 0)
        return nullptr;
    const uint32_t codeBytes = (frames + 1) / 2;
    auto* codes = static_cast<uint8_t*>(platform::allocate(codeBytes));
    auto* pcm = static_cast<int8_t*>(platform::allocate(frames));
    uint8_t* result = nullptr;
    if (codes && pcm && stream.read(codeBytes, codes) == 0) {
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
    const uint32_t start = streamPosition(stream);
    char mark[5];
    if (stream.read(sizeof mark, mark) == 0 && std::memcmp(mark, "ADPCM", sizeof mark) == 0)
        return true;
    seekTo(stream, start);
    return false;
}

} // namespace tolva
