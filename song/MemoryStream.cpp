#include "song/MemoryStream.h"

#include <cstring>

namespace tolva {

uint32_t MemoryStream::seek(int32_t offset, uint32_t origin, uint32_t* newPosition) {
    int64_t base = origin == SeekFromCurrent ? static_cast<int64_t>(position_)
                   : origin == SeekFromEnd   ? static_cast<int64_t>(bytes_.size())
                                             : 0;
    int64_t target = base + offset;
    // Like a file, a move before the start fails and leaves the position alone.
    if (target >= 0)
        position_ = static_cast<uint64_t>(target);
    if (newPosition)
        *newPosition = target >= 0 ? static_cast<uint32_t>(position_) : 0xFFFFFFFFu;
    return 0;
}

uint32_t MemoryStream::read(uint32_t count, void* buffer, uint32_t* done) {
    uint64_t available = position_ < bytes_.size() ? bytes_.size() - position_ : 0;
    uint32_t got = static_cast<uint32_t>(available < count ? available : count);
    if (got)
        std::memcpy(buffer, bytes_.data() + position_, got);
    position_ += got;
    if (done) {
        *done = got;
        return 0;
    }
    return got == count ? 0 : 1;
}

uint32_t MemoryStream::write(uint32_t count, const void* buffer, uint32_t* done) {
    if (position_ + count > bytes_.size())
        bytes_.resize(static_cast<std::size_t>(position_ + count));
    if (count)
        std::memcpy(bytes_.data() + position_, buffer, count);
    position_ += count;
    if (done)
        *done = count;
    return 0;
}

} // namespace tolva
