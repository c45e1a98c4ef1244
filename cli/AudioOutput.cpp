#include "AudioOutput.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <sndfile.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace tolva::cli {

namespace {

class StandardOutput final : public AudioOutput {
public:
    explicit StandardOutput(uint32_t bits) : frameBytes_(2 * bits / 8) {}

    bool write(const void* frames, uint32_t count) override {
        return std::fwrite(frames, frameBytes_, count, stdout) == count;
    }
    bool close() override { return std::fflush(stdout) == 0; }

private:
    uint32_t frameBytes_;
};

// Writes under a temporary name beside the target and renames it over the target once the
// file is complete, so that a render that fails part-way leaves nothing that looks whole.
class SoundFileOutput final : public AudioOutput {
public:
    SoundFileOutput(SNDFILE* file, uint32_t bits, std::string temporary, std::string target)
        : file_(file), bits_(bits), temporary_(std::move(temporary)), target_(std::move(target)) {}
    ~SoundFileOutput() override {
        if (file_)
            sf_close(file_);
        if (!temporary_.empty())
            std::remove(temporary_.c_str());
    }

    bool write(const void* frames, uint32_t count) override {
        sf_count_t n = count;
        switch (bits_) {
        case 8: {
            // Unsigned bytes become the top of 16-bit values, which the file stores as 8 bits
            // again without loss.
            const auto* bytes = static_cast<const uint8_t*>(frames);
            wide_.resize(2 * count);
            for (uint32_t i = 0; i < 2 * count; ++i)
                wide_[i] = static_cast<short>((bytes[i] - 128) * 256);
            return sf_writef_short(file_, wide_.data(), n) == n;
        }
        case 16:
            return sf_writef_short(file_, static_cast<const short*>(frames), n) == n;
        default:
            return sf_writef_int(file_, static_cast<const int*>(frames), n) == n;
        }
    }

    bool close() override {
        int status = sf_close(file_);
        file_ = nullptr;
        if (status != 0 || std::rename(temporary_.c_str(), target_.c_str()) != 0)
            return false;
        temporary_.clear();
        return true;
    }

private:
    SNDFILE* file_;
    uint32_t bits_;
    std::string temporary_;
    std::string target_;
    std::vector<short> wide_;
};

// A new file beside `path` that only this process knows, with the permissions a file made by
// open() would get; -1 when the folder cannot take it.
int createTemporaryBeside(const std::string& path, std::string& name) {
    name = path + ".XXXXXX";
    const int fd = mkstemp(name.data());
    if (fd < 0)
        return -1;
    // Read once: reading the mask means setting it, which renders side by side must not race on.
    static const mode_t mask = [] {
        const mode_t m = umask(0);
        umask(m);
        return m;
    }();
    fchmod(fd, 0666 & ~mask);
    return fd;
}

std::string lowerExtension(const std::string& path) {
    std::size_t dot = path.find_last_of('.');
    std::size_t slash = path.find_last_of('/');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash))
        return "";
    std::string ext = path.substr(dot + 1);
    std::transform(ext.begin(), ext.end(), ext.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return ext;
}

} // namespace

std::unique_ptr<AudioOutput> openAudioOutput(const std::string& path, uint32_t rate, uint32_t bits,
                                             bool replace, Failure& failure) {
    if (path == "-")
        return std::make_unique<StandardOutput>(bits);
    struct stat existing;
    if (!replace && stat(path.c_str(), &existing) == 0) {
        failure = {ExitFailure, "file exists (use --force to replace it)"};
        return nullptr;
    }

    const std::string ext = lowerExtension(path);
    SF_INFO info{};
    info.samplerate = static_cast<int>(rate);
    info.channels = 2;
    if (ext == "wav") {
        info.format = SF_FORMAT_WAV | (bits == 8    ? SF_FORMAT_PCM_U8
                                       : bits == 16 ? SF_FORMAT_PCM_16
                                                    : SF_FORMAT_PCM_32);
    } else if (ext == "raw") {
        // The same bytes as standard output gets.
        info.format = SF_FORMAT_RAW | SF_ENDIAN_CPU |
                      (bits == 8    ? SF_FORMAT_PCM_U8
                       : bits == 16 ? SF_FORMAT_PCM_16
                                    : SF_FORMAT_PCM_32);
    } else if (ext == "flac") {
        // FLAC holds at most 24 bits: 32-bit output keeps its top 24.
        if (bits == 32)
            std::fprintf(
                stderr, "%s\n",
                failureText(path, "FLAC holds at most 24 bits: writing 24-bit samples").c_str());
        info.format = SF_FORMAT_FLAC | (bits == 8    ? SF_FORMAT_PCM_S8
                                        : bits == 16 ? SF_FORMAT_PCM_16
                                                     : SF_FORMAT_PCM_24);
    } else {
        failure = {ExitFailure, "unknown output type (use .wav, .flac, .raw or -)"};
        return nullptr;
    }
    std::string temporary;
    const int fd = createTemporaryBeside(path, temporary);
    if (fd < 0) {
        failure = {ExitFailure, std::string("cannot write file (") + std::strerror(errno) + ")"};
        return nullptr;
    }
    SNDFILE* file = sf_open_fd(fd, SFM_WRITE, &info, SF_TRUE);
    if (!file) {
        failure = {ExitFailure, std::string("cannot write file (") + sf_strerror(nullptr) + ")"};
        std::remove(temporary.c_str());
        return nullptr;
    }
    return std::make_unique<SoundFileOutput>(file, bits, std::move(temporary), path);
}

} // namespace tolva::cli
