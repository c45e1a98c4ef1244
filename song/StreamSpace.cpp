#include "song/StreamSpace.h"

#include "song/InputStream.h"

namespace tolva {

uint32_t bytesLeft(InputStream& stream) {
    uint32_t position = 0;
    stream.seek(0, SeekFromCurrent, &position);
    const uint32_t size = stream.size();
    return position < size ? size - position : 0;
}

bool skipBytes(InputStream& stream, uint32_t count) {
    if (count > bytesLeft(stream))
        return false;
    stream.seek(static_cast<int32_t>(count), SeekFromCurrent);
    return true;
}

} // namespace tolva
