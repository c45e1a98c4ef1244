#include "WavFile.h"

namespace winhost {

namespace {

void put16(FILE* f, uint32_t v) {
    fputc(v & 0xFF, f);
    fputc((v >> 8) & 0xFF, f);
}

void put32(FILE* f, uint32_t v) {
    put16(f, v & 0xFFFF);
    put16(f, v >> 16);
}

} // namespace

bool WavFile::open(const char* path, int rate, int channels, int bits) {
    close();
    file_ = fopen(path, "wb");
    if (!file_)
        return false;
    uint32_t frameBytes = static_cast<uint32_t>(channels * bits / 8);
    fwrite("RIFF", 1, 4, file_);
    put32(file_, 36);
    fwrite("WAVEfmt ", 1, 8, file_);
    put32(file_, 16);
    put16(file_, 1);
    put16(file_, static_cast<uint32_t>(channels));
    put32(file_, static_cast<uint32_t>(rate));
    put32(file_, static_cast<uint32_t>(rate) * frameBytes);
    put16(file_, frameBytes);
    put16(file_, static_cast<uint32_t>(bits));
    fwrite("data", 1, 4, file_);
    put32(file_, 0);
    dataBytes_ = 0;
    return true;
}

void WavFile::append(const void* data, uint32_t bytes) {
    if (!file_)
        return;
    fwrite(data, 1, bytes, file_);
    dataBytes_ += bytes;
}

void WavFile::close() {
    if (!file_)
        return;
    fseek(file_, 4, SEEK_SET);
    put32(file_, 36 + dataBytes_);
    fseek(file_, 40, SEEK_SET);
    put32(file_, dataBytes_);
    fclose(file_);
    file_ = nullptr;
}

} // namespace winhost
