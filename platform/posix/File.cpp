#include "platform/File.h"

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tolva::platform {

namespace {
// Handles carry the descriptor plus one so that descriptor 0 is not taken for "no file".
int descriptor(FileHandle file) {
    return static_cast<int>(reinterpret_cast<intptr_t>(file)) - 1;
}
} // namespace

FileHandle openFile(const char* path, FileMode mode) {
    int fd = mode == FileMode::Read ? ::open(path, O_RDONLY | O_CLOEXEC)
                                    : ::open(path, O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0)
        return nullptr;
    struct stat st {};
    if (mode == FileMode::Read && (::fstat(fd, &st) != 0 || S_ISDIR(st.st_mode))) {
        ::close(fd);
        return nullptr;
    }
    return reinterpret_cast<FileHandle>(static_cast<intptr_t>(fd) + 1);
}

void closeFile(FileHandle file) {
    if (file)
        ::close(descriptor(file));
}

bool readFile(FileHandle file, void* buffer, uint32_t count, uint32_t& done) {
    done = 0;
    if (!file)
        return false;
    auto* out = static_cast<char*>(buffer);
    while (done < count) {
        ssize_t got = ::read(descriptor(file), out + done, count - done);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            return false;
        if (got == 0)
            break;
        done += static_cast<uint32_t>(got);
    }
    return true;
}

bool writeFile(FileHandle file, const void* buffer, uint32_t count, uint32_t& done) {
    done = 0;
    if (!file)
        return false;
    const auto* in = static_cast<const char*>(buffer);
    while (done < count) {
        ssize_t put = ::write(descriptor(file), in + done, count - done);
        if (put < 0 && errno == EINTR)
            continue;
        if (put <= 0)
            return false;
        done += static_cast<uint32_t>(put);
    }
    return true;
}

uint32_t seekFile(FileHandle file, int32_t offset, SeekOrigin origin) {
    int whence = origin == SeekOrigin::Current ? SEEK_CUR
                 : origin == SeekOrigin::End   ? SEEK_END
                                               : SEEK_SET;
    off_t pos = ::lseek(descriptor(file), offset, whence);
    return pos < 0 ? 0xFFFFFFFFu : static_cast<uint32_t>(pos);
}

uint32_t fileSize(FileHandle file) {
    struct stat st {};
    if (!file || ::fstat(descriptor(file), &st) != 0 || st.st_size < 0 || st.st_size > 0xFFFFFFFFll)
        return 0;
    return static_cast<uint32_t>(st.st_size);
}

bool deleteFile(const char* path) {
    return ::unlink(path) == 0;
}

bool replaceFile(const char* from, const char* to) {
    return std::rename(from, to) == 0;
}

bool createDirectory(const char* path) {
    if (::mkdir(path, 0755) == 0)
        return true;
    struct stat st {};
    return errno == EEXIST && ::stat(path, &st) == 0 && S_ISDIR(st.st_mode);
}

} // namespace tolva::platform
