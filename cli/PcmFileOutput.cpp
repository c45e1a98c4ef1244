#include "PcmFileOutput.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <unistd.h>

namespace tolva::cli {

namespace {

// Integer PCM takes the canonical 44-byte header; floats a format chunk of 18 bytes and the
// fact chunk, which files of samples other than integer PCM carry.
constexpr uint32_t IntegerHeaderBytes = 44;
constexpr uint32_t FloatHeaderBytes = 58;

void put16(uint8_t* at, uint32_t value) {
    at[0] = static_cast<uint8_t>(value);
    at[1] = static_cast<uint8_t>(value >> 8);
}

void put32(uint8_t* at, uint32_t value) {
    put16(at, value & 0xFFFF);
    put16(at + 2, value >> 16);
}

// The header of a WAV file of stereo samples as the engine hands them over on this machine:
// 8-bit unsigned, wider ones little-endian; answers its size.
uint32_t wavHeader(uint8_t* h, uint32_t rate, const RenderFormat& format, uint64_t dataBytes) {
    const bool isFloat = format.floatSamples != 0;
    const uint32_t size = isFloat ? FloatHeaderBytes : IntegerHeaderBytes;
    const auto data = static_cast<uint32_t>(std::min<uint64_t>(dataBytes, 0xFFFFFFFF - size));
    const uint32_t frameBytes = 2 * format.bits / 8;
    std::memcpy(h, "RIFF", 4);
    put32(h + 4, size - 8 + data);
    std::memcpy(h + 8, "WAVEfmt ", 8);
    put32(h + 16, isFloat ? 18 : 16);
    put16(h + 20, isFloat ? 3 : 1); // IEEE floats or integer PCM
    put16(h + 22, 2);
    put32(h + 24, rate);
    put32(h + 28, rate * frameBytes);
    put16(h + 32, frameBytes);
    put16(h + 34, format.bits);
    uint8_t* chunk = h + 36;
    if (isFloat) {
        put16(chunk, 0); // no extension
        std::memcpy(chunk + 2, "fact", 4);
        put32(chunk + 6, 4);
        put32(chunk + 10, data / frameBytes);
        chunk += 14;
    }
    std::memcpy(chunk, "data", 4);
    put32(chunk + 4, data);
    return size;
}

class PcmFileOutput final : public AudioOutput {
public:
    PcmFileOutput(std::FILE* file, PendingFile pending, uint32_t rate, const RenderFormat& format,
                  bool wav)
        : file_(file), pending_(std::move(pending)), rate_(rate), format_(format), wav_(wav) {}
    ~PcmFileOutput() override {
        if (file_)
            std::fclose(file_);
    }

    bool write(const void* frames, uint32_t count) override {
        const uint32_t frameBytes = 2 * format_.bits / 8;
        dataBytes_ += uint64_t{count} * frameBytes;
        return std::fwrite(frames, frameBytes, count, file_) == count;
    }

    bool close() override {
        bool written = std::fflush(file_) == 0;
        if (written && wav_) {
            uint8_t header[FloatHeaderBytes];
            const uint32_t size = wavHeader(header, rate_, format_, dataBytes_);
            written = pwrite(fileno(file_), header, size, 0) == size;
        }
        written = std::fclose(file_) == 0 && written;
        file_ = nullptr;
        return written && pending_.keep();
    }

private:
    std::FILE* file_;
    PendingFile pending_;
    uint32_t rate_;
    RenderFormat format_;
    bool wav_;
    uint64_t dataBytes_ = 0;
};

} // namespace

std::unique_ptr<AudioOutput> openPcmFile(int fd, PendingFile pending, uint32_t rate,
                                         const RenderFormat& format, bool wav, Failure& failure) {
    std::FILE* file = fdopen(fd, "wb");
    // The header's sizes are filled in when the file is complete.
    uint8_t header[FloatHeaderBytes];
    const uint32_t size = wavHeader(header, rate, format, 0);
    if (!file || (wav && std::fwrite(header, size, 1, file) != 1)) {
        failure = {ExitFailure, std::string("cannot write file (") + std::strerror(errno) + ")"};
        if (file)
            std::fclose(file);
        else
            ::close(fd);
        return nullptr;
    }
    return std::make_unique<PcmFileOutput>(file, std::move(pending), rate, format, wav);
}

} // namespace tolva::cli
