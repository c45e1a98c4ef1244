#include "song/ByteReader.h"

#include "song/ByteOrder.h"
#include "song/InputStream.h"

#include <cstring>

namespace tolva {

uint8_t ByteReader::u8() {
    uint8_t v[1];
    bytes(v, 1);
    return v[0];
}

uint16_t ByteReader::u16le() {
    uint8_t v[2];
    bytes(v, 2);
    return readLe16(v);
}

uint32_t ByteReader::u32le() {
    uint8_t v[4];
    bytes(v, 4);
    return readLe32(v);
}

uint16_t ByteReader::u16be() {
    uint8_t v[2];
    bytes(v, 2);
    return readBe16(v);
}

ByteReader& ByteReader::bytes(void* out, uint32_t count) {
    if (ok_ && count != 0 && stream_.read(count, out) != 0)
        ok_ = false;
    if (!ok_ && count != 0)
        std::memset(out, 0, count);
    return *this;
}

ByteReader& ByteReader::block(uint64_t count, HeapArray<uint8_t>& out) {
    if (need(count).ok() && !out.resize(static_cast<std::size_t>(count)))
        ok_ = false;
    if (ok_ && count != 0)
        bytes(out.data(), static_cast<uint32_t>(count));
    return *this;
}

uint32_t ByteReader::some(void* out, uint32_t count) {
    uint32_t got = 0;
    if (ok_ && count != 0 && stream_.read(count, out, &got) != 0)
        got = 0;
    return got;
}

ByteReader& ByteReader::at(uint64_t offset) {
    uint32_t reached = 0xFFFFFFFFu;
    if (ok_ && (offset > 0x7FFFFFFFu || offset > stream_.size() ||
                stream_.seek(static_cast<int32_t>(offset), SeekFromStart, &reached) != 0 ||
                reached != offset))
        ok_ = false;
    return *this;
}

ByteReader& ByteReader::need(uint64_t count) {
    if (ok_ && count > left())
        ok_ = false;
    return *this;
}

ByteReader& ByteReader::skip(uint64_t count) {
    if (ok_ && count > 0x7FFFFFFFu)
        ok_ = false;
    need(count);
    if (ok_ && count != 0)
        stream_.seek(static_cast<int32_t>(count), SeekFromCurrent);
    return *this;
}

uint32_t ByteReader::position() {
    uint32_t position = 0;
    stream_.seek(0, SeekFromCurrent, &position);
    return position;
}

uint32_t ByteReader::left() {
    const uint32_t at = position();
    const uint32_t end = stream_.size();
    return at < end ? end - at : 0;
}

uint32_t ByteReader::size() {
    return stream_.size();
}

} // namespace tolva
