#include "song/SampleData.h"

#include "mixer/Mixer.h"
#include "song/InputStream.h"

namespace tolva {

uint8_t* readSampleData(Mixer& mixer, InputStream& stream, uint32_t size) {
    uint8_t* block = mixer.allocateSampleData(size);
    if (block && stream.read(size, block) != 0) {
        mixer.freeSampleData(block);
        return nullptr;
    }
    return block;
}

} // namespace tolva
