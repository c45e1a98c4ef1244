#include "song/SampleData.h"

#include "mixer/Mixer.h"
#include "song/ByteReader.h"

namespace tolva {

uint8_t* readSampleData(Mixer& mixer, InputStream& stream, uint32_t size) {
    uint8_t* block = mixer.allocateSampleData(size);
    if (block && !ByteReader(stream).bytes(block, size).ok()) {
        mixer.freeSampleData(block);
        return nullptr;
    }
    return block;
}

} // namespace tolva
