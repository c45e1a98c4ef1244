#pragma once
#include "platform/File.h"
#include "song/InputStream.h"

namespace tolva {

// A stream over an operating-system file, closed when it goes out of scope. A file that
// cannot be opened gives a stream whose reads and writes all fail.
class FileStream final : public InputStream {
public:
    FileStream(const char* path, platform::FileMode mode);
    ~FileStream() override;
    FileStream(const FileStream&) = delete;
    FileStream& operator=(const FileStream&) = delete;

    bool isOpen() const { return file_ != nullptr; }

    uint32_t seek(int32_t offset, uint32_t origin, uint32_t* newPosition = nullptr) override;
    uint32_t read(uint32_t count, void* buffer, uint32_t* done = nullptr) override;
    uint32_t write(uint32_t count, const void* buffer, uint32_t* done = nullptr) override;
    uint32_t size() override;

private:
    platform::FileHandle file_;
};

} // namespace tolva
