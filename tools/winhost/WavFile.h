#pragma once
#include <cstdint>
#include <cstdio>

namespace winhost {

// A PCM WAV file written as data arrives; the sizes in its header are filled in by close().
class WavFile {
public:
    WavFile() = default;
    ~WavFile() { close(); }
    WavFile(const WavFile&) = delete;
    WavFile& operator=(const WavFile&) = delete;

    bool open(const char* path, int rate, int channels, int bits);
    void append(const void* data, uint32_t bytes);
    void close();

private:
    FILE* file_ = nullptr;
    uint32_t dataBytes_ = 0;
};

} // namespace winhost
