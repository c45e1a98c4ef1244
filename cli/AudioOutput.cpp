#include "AudioOutput.h"

#include "FlacFileOutput.h"
#include "PcmFileOutput.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

namespace tolva::cli {

namespace {

class StandardOutput final : public AudioOutput {
public:
    // A pipe takes a pipe's worth of blocks per write rather than a page at a time.
    explicit StandardOutput(uint32_t bits) : frameBytes_(2 * bits / 8) {
        static char buffer[1 << 16];
        std::setvbuf(stdout, buffer, _IOFBF, sizeof buffer);
    }

    bool write(const void* frames, uint32_t count) override {
        return std::fwrite(frames, frameBytes_, count, stdout) == count;
    }
    bool close() override { return std::fflush(stdout) == 0; }

private:
    uint32_t frameBytes_;
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

std::unique_ptr<AudioOutput> openAudioOutput(const std::string& path, uint32_t rate,
                                             const RenderFormat& format, bool replace,
                                             Failure& failure) {
    if (path == "-")
        return std::make_unique<StandardOutput>(format.bits);
    struct stat existing;
    if (!replace && stat(path.c_str(), &existing) == 0) {
        failure = {ExitFailure, "file exists (use --force to replace it)"};
        return nullptr;
    }

    const std::string ext = lowerExtension(path);
    if (ext != "wav" && ext != "raw" && ext != "flac") {
        failure = {ExitFailure, "unknown output type (use .wav, .flac, .raw or -)"};
        return nullptr;
    }
    if (ext == "flac" && !flacLibraryProblem().empty()) {
        failure = {ExitFailure, "cannot write FLAC: " + flacLibraryProblem()};
        return nullptr;
    }
    if (ext == "flac" && format.bits == 32)
        std::fprintf(
            stderr, "%s\n",
            failureText(path, "FLAC holds at most 24 bits: writing 24-bit samples").c_str());
    std::string temporary;
    const int fd = createTemporaryBeside(path, temporary);
    if (fd < 0) {
        failure = {ExitFailure, std::string("cannot write file (") + std::strerror(errno) + ")"};
        return nullptr;
    }
    PendingFile pending(std::move(temporary), path);
    if (ext == "flac")
        return openFlacFile(fd, std::move(pending), rate, format, failure);
    return openPcmFile(fd, std::move(pending), rate, format, ext == "wav", failure);
}

} // namespace tolva::cli
