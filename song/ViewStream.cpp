#include "song/ViewStream.h"

#include <cstring>

namespace tolva {

ViewStream::ViewStream(const void* data, std::size_t size)
    : data_(static_cast<const uint8_t*>(data)),
      size_(size > 0xFFFFFFFFu ? 0xFFFFFFFFu : static_cast<uint32_t>(size)) {}

uint32_t ViewStream::seek(int32_t offset, uint32_t origin, uint32_t* newPosition) {
    const int64_t base = origin == SeekFromCurrent ? static_cast<int64_t>(position_)
                         : origin == SeekFromEnd   ? int64_t{size_}
                                                   : 0;
    const int64_t target = base + offset;
    // Like a file, a move before the start fails and leaves the position alone.
    if (target >= 0)
        position_ = static_cast<uint64_t>(target);
    if (newPosition)
        *newPosition = target >= 0 ? static_cast<uint32_t>(position_) : 0xFFFFFFFFu;
    return 0;
}

uint32_t ViewStream::read(uint32_t count, void* buffer, uint32_t* done) {
    const uint64_t available = position_ < size_ ? size_ - position_ : 0;
    const auto got = static_cast<uint32_t>(available < count ? available : count);
    if (got)
        std::memcpy(buffer, data_ + position_, got);
    position_ += got;
    if (done) {
        *done = got;
        return 0;
    }
    return got == count ? 0 : 1;
}

uint32_t ViewStream::write(uint32_t, const void*, uint32_t* done) {
    if (done)
        *done = 0;
    return 1;
}

} // namespace tolva
