#include "song/FileStream.h"

namespace tolva {

FileStream::FileStream(const char* path, platform::FileMode mode)
    : file_(platform::openFile(path, mode)) {}

FileStream::~FileStream() {
    platform::closeFile(file_);
}

uint32_t FileStream::seek(int32_t offset, uint32_t origin, uint32_t* newPosition) {
    platform::SeekOrigin from = origin == SeekFromCurrent ? platform::SeekOrigin::Current
                                : origin == SeekFromEnd   ? platform::SeekOrigin::End
                                                          : platform::SeekOrigin::Start;
    uint32_t position = file_ ? platform::seekFile(file_, offset, from) : 0xFFFFFFFFu;
    if (newPosition)
        *newPosition = position;
    return 0;
}

uint32_t FileStream::read(uint32_t count, void* buffer, uint32_t* done) {
    uint32_t got = 0;
    bool ok = platform::readFile(file_, buffer, count, got);
    if (done)
        *done = got;
    if (!ok)
        return 1;
    return (done || got == count) ? 0 : 1;
}

uint32_t FileStream::write(uint32_t count, const void* buffer, uint32_t* done) {
    uint32_t put = 0;
    bool ok = platform::writeFile(file_, buffer, count, put);
    if (done)
        *done = put;
    if (!ok)
        return 1;
    return (done || put == count) ? 0 : 1;
}

uint32_t FileStream::size() {
    return platform::fileSize(file_);
}

} // namespace tolva
