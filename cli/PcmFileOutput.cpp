#include "PcmFileOutput.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <unistd.h>

namespace tolva::cli {

namespace {

constexpr uint32_t WavHeaderBytes = 44;

void put16(uint8_t* at, uint32_t value) {
    at[0] = static_cast<uint8_t>(value);
    at[1] = static_cast<uint8_t>(value >> 8);
}

void put32(uint8_t* at, uint32_t value) {
    put16(at, value & 0xFFFF);
    put16(at + 2, value >> 16);
}

// The canonical 44-byte header of integer PCM: 8-bit samples unsigned, wider ones signed and
// little-endian, which is how the engine hands them over on this machine.
void wavHeader(uint8_t* h, uint32_t rate, uint32_t bits, uint64_t dataBytes) {
    const auto data = static_cast<uint32_t>(std::min<uint64_t>(dataBytes, 0xFFFFFFFF - 36));
    const uint32_t frameBytes = 2 * bits / 8;
    std::memcpy(h, "RIFF", 4);
    put32(h + 4, 36 + data);
    std::memcpy(h + 8, "WAVEfmt ", 8);
    put32(h + 16, 16);
    put16(h + 20, 1); // integer PCM
    put16(h + 22, 2);
    put32(h + 24, rate);
    put32(h + 28, rate * frameBytes);
    put16(h + 32, frameBytes);
    put16(h + 34, bits);
    std::memcpy(h + 36, "data", 4);
    put32(h + 40, data);
}

class PcmFileOutput final : public AudioOutput {
public:
    PcmFileOutput(std::FILE* file, PendingFile pending, uint32_t rate, uint32_t bits, bool wav)
        : file_(file), pending_(std::move(pending)), rate_(rate), bits_(bits), wav_(wav) {}
    ~PcmFileOutput() override {
        if (file_)
            std::fclose(file_);
    }

    bool write(const void* frames, uint32_t count) override {
        const uint32_t frameBytes = 2 * bits_ / 8;
        dataBytes_ += uint64_t{count} * frameBytes;
        return std::fwrite(frames, frameBytes, count, file_) == count;
    }

    bool close() override {
        bool written = std::fflush(file_) == 0;
        if (written && wav_) {
            uint8_t header[WavHeaderBytes];
            wavHeader(header, rate_, bits_, dataBytes_);
            written = pwrite(fileno(file_), header, sizeof header, 0) == sizeof header;
        }
        written = std::fclose(file_) == 0 && written;
        file_ = nullptr;
        return written && pending_.keep();
    }

private:
    std::FILE* file_;
    PendingFile pending_;
    uint32_t rate_;
    uint32_t bits_;
    bool wav_;
    uint64_t dataBytes_ = 0;
};

} // namespace

std::unique_ptr<AudioOutput> openPcmFile(int fd, PendingFile pending, uint32_t rate, uint32_t bits,
                                         bool wav, Failure& failure) {
    std::FILE* file = fdopen(fd, "wb");
    // The header's sizes are filled in when the file is complete.
    uint8_t header[WavHeaderBytes];
    wavHeader(header, rate, bits, 0);
    if (!file || (wav && std::fwrite(header, sizeof header, 1, file) != 1)) {
        failure = {ExitFailure, std::string("cannot write file (") + std::strerror(errno) + ")"};
        if (file)
            std::fclose(file);
        else
            ::close(fd);
        return nullptr;
    }
    return std::make_unique<PcmFileOutput>(file, std::move(pending), rate, bits, wav);
}

} // namespace tolva::cli
