#include "song/BoundedReads.h"

#include "song/InputStream.h"

namespace tolva {

uint32_t streamPosition(InputStream& stream) {
    uint32_t position = 0;
    stream.seek(0, SeekFromCurrent, &position);
    return position;
}

uint32_t bytesLeft(InputStream& stream) {
    const uint32_t position = streamPosition(stream);
    const uint32_t size = stream.size();
    return position < size ? size - position : 0;
}

bool seekTo(InputStream& stream, uint64_t offset) {
    if (offset > 0x7FFFFFFFu || offset > stream.size())
        return false;
    uint32_t at = 0xFFFFFFFFu;
    return stream.seek(static_cast<int32_t>(offset), SeekFromStart, &at) == 0 && at == offset;
}

bool skipBytes(InputStream& stream, uint32_t count) {
    if (count > bytesLeft(stream))
        return false;
    stream.seek(static_cast<int32_t>(count), SeekFromCurrent);
    return true;
}

bool readAt(InputStream& stream, uint64_t offset, uint32_t count, void* buffer) {
    return seekTo(stream, offset) && stream.read(count, buffer) == 0;
}

bool readBlock(InputStream& stream, uint64_t count, HeapArray<uint8_t>& out) {
    if (count > bytesLeft(stream))
        return false;
    return out.resize(static_cast<std::size_t>(count)) &&
           (count == 0 || stream.read(static_cast<uint32_t>(count), out.data()) == 0);
}

} // namespace tolva
