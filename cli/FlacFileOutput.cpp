#include "FlacFileOutput.h"

#include "SharedLibrary.h"

#include <algorithm>
#include <sndfile.h>
#include <unistd.h>
#include <vector>

namespace tolva::cli {

namespace {

struct SndFile {
    SharedLibrary library{"libsndfile.so.1"};
    decltype(&sf_open_fd) openFd;
    decltype(&sf_writef_short) writeShort;
    decltype(&sf_writef_int) writeInt;
    decltype(&sf_close) close;
    decltype(&sf_strerror) error;

    SndFile() {
        library.bind(openFd, "sf_open_fd");
        library.bind(writeShort, "sf_writef_short");
        library.bind(writeInt, "sf_writef_int");
        library.bind(close, "sf_close");
        library.bind(error, "sf_strerror");
    }
};

const SndFile& sndfile() {
    static const SndFile calls;
    return calls;
}

class FlacFileOutput final : public AudioOutput {
public:
    FlacFileOutput(SNDFILE* file, PendingFile pending, const RenderFormat& format)
        : file_(file), pending_(std::move(pending)), bits_(format.bits),
          floatSamples_(format.floatSamples != 0) {}
    ~FlacFileOutput() override {
        if (file_)
            sndfile().close(file_);
    }

    bool write(const void* frames, uint32_t count) override {
        sf_count_t n = count;
        if (floatSamples_) {
            // Full scale 1.0 becomes the top of 32-bit values, saturated, of which the file
            // keeps 24 bits.
            const auto* values = static_cast<const float*>(frames);
            whole_.resize(2 * count);
            for (uint32_t i = 0; i < 2 * count; ++i)
                whole_[i] = static_cast<int>(
                    std::clamp(double{values[i]} * 2147483648.0, -2147483648.0, 2147483647.0));
            return sndfile().writeInt(file_, whole_.data(), n) == n;
        }
        switch (bits_) {
        case 8: {
            // Unsigned bytes become the top of 16-bit values, which the file stores as 8 bits
            // again without loss.
            const auto* bytes = static_cast<const uint8_t*>(frames);
            wide_.resize(2 * count);
            for (uint32_t i = 0; i < 2 * count; ++i)
                wide_[i] = static_cast<short>((bytes[i] - 128) * 256);
            return sndfile().writeShort(file_, wide_.data(), n) == n;
        }
        case 16:
            return sndfile().writeShort(file_, static_cast<const short*>(frames), n) == n;
        default:
            return sndfile().writeInt(file_, static_cast<const int*>(frames), n) == n;
        }
    }

    bool close() override {
        const int status = sndfile().close(file_);
        file_ = nullptr;
        return status == 0 && pending_.keep();
    }

private:
    SNDFILE* file_;
    PendingFile pending_;
    uint32_t bits_;
    bool floatSamples_;
    std::vector<short> wide_;
    std::vector<int> whole_;
};

} // namespace

const std::string& flacLibraryProblem() {
    return sndfile().library.problem();
}

std::unique_ptr<AudioOutput> openFlacFile(int fd, PendingFile pending, uint32_t rate,
                                          const RenderFormat& format, Failure& failure) {
    const uint32_t bits = format.bits;
    SF_INFO info{};
    info.samplerate = static_cast<int>(rate);
    info.channels = 2;
    // FLAC holds at most 24 bits: 32-bit and float output keep their top 24.
    info.format = SF_FORMAT_FLAC | (bits == 8    ? SF_FORMAT_PCM_S8
                                    : bits == 16 ? SF_FORMAT_PCM_16
                                                 : SF_FORMAT_PCM_24);
    SNDFILE* file = sndfile().openFd(fd, SFM_WRITE, &info, SF_TRUE);
    if (!file) {
        failure = {ExitFailure,
                   std::string("cannot write file (") + sndfile().error(nullptr) + ")"};
        return nullptr;
    }
    return std::make_unique<FlacFileOutput>(file, std::move(pending), format);
}

} // namespace tolva::cli
