#include "platform/File.h"

#include <windows.h>

namespace tolva::platform {

FileHandle openFile(const char* path, FileMode mode) {
    HANDLE h = mode == FileMode::Read ? CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr,
                                                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr)
                                      : CreateFileA(path, GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                                                    CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    return h == INVALID_HANDLE_VALUE ? nullptr : h;
}

void closeFile(FileHandle file) {
    if (file)
        CloseHandle(file);
}

bool readFile(FileHandle file, void* buffer, uint32_t count, uint32_t& done) {
    DWORD got = 0;
    BOOL ok = file && ReadFile(file, buffer, count, &got, nullptr);
    done = ok ? got : 0;
    return ok;
}

bool writeFile(FileHandle file, const void* buffer, uint32_t count, uint32_t& done) {
    DWORD put = 0;
    BOOL ok = file && WriteFile(file, buffer, count, &put, nullptr);
    done = ok ? put : 0;
    return ok;
}

uint32_t seekFile(FileHandle file, int32_t offset, SeekOrigin origin) {
    DWORD method = origin == SeekOrigin::Current ? FILE_CURRENT
                   : origin == SeekOrigin::End   ? FILE_END
                                                 : FILE_BEGIN;
    return SetFilePointer(file, offset, nullptr, method);
}

uint32_t fileSize(FileHandle file) {
    DWORD high = 0;
    DWORD low = file ? GetFileSize(file, &high) : INVALID_FILE_SIZE;
    if (low == INVALID_FILE_SIZE || high != 0)
        return 0;
    return low;
}

bool deleteFile(const char* path) {
    return DeleteFileA(path) != 0;
}

bool replaceFile(const char* from, const char* to) {
    return MoveFileExA(from, to, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
}

bool createDirectory(const char* path) {
    if (CreateDirectoryA(path, nullptr))
        return true;
    DWORD attrs = GetFileAttributesA(path);
    return attrs != INVALID_FILE_ATTRIBUTES && (attrs & FILE_ATTRIBUTE_DIRECTORY);
}

} // namespace tolva::platform
