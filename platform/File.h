#pragma once
// File access for the core; the only way the engine reaches the file system.
#include <cstdint>

namespace tolva::platform {

// An open file; null means "no file" (opening failed).
using FileHandle = void*;

// Separator between folder and file names in paths the core composes.
#ifdef _WIN32
constexpr char PathSeparator = '\\';
#else
constexpr char PathSeparator = '/';
#endif

enum class FileMode {
    Read,  // existing files only; others may read it meanwhile
    Write, // created or truncated; others may read it meanwhile
};

FileHandle openFile(const char* path, FileMode mode);
void closeFile(FileHandle file);

// Both answer false when the system call fails; `done` receives the bytes moved.
bool readFile(FileHandle file, void* buffer, uint32_t count, uint32_t& done);
bool writeFile(FileHandle file, const void* buffer, uint32_t count, uint32_t& done);

enum class SeekOrigin { Start, Current, End };
// Answers the low 32 bits of the new position, 0xFFFFFFFF when the move failed.
uint32_t seekFile(FileHandle file, int32_t offset, SeekOrigin origin);

// File size in bytes; 0 when it cannot be read or is 4 GiB or more.
uint32_t fileSize(FileHandle file);

bool deleteFile(const char* path);
// Replaces `to` by `from` in one step where the system allows it.
bool replaceFile(const char* from, const char* to);
// Creates one directory; true when it exists afterwards.
bool createDirectory(const char* path);

} // namespace tolva::platform
