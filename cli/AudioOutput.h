#pragma once
#include "Failure.h"
#include "mixer/Voice.h"

#include <cstdint>
#include <memory>
#include <string>

namespace tolva::cli {

// Where rendered PCM goes: a WAV, FLAC or raw file chosen by its extension, or raw PCM on
// standard output for the name "-". Blocks arrive as the engine renders them in `format`:
// interleaved stereo, 8-bit unsigned, 16/32-bit signed or 32-bit float, in the machine's byte
// order.
class AudioOutput {
public:
    virtual ~AudioOutput() = default;
    virtual bool write(const void* frames, uint32_t count) = 0;
    // Completes the file; false when it could not be written whole.
    virtual bool close() = 0;
};

// None, with the reason, when the output cannot be created. An existing file is replaced only
// when `replace` is set, and only once the new one is complete.
std::unique_ptr<AudioOutput> openAudioOutput(const std::string& path, uint32_t rate,
                                             const RenderFormat& format, bool replace,
                                             Failure& failure);

} // namespace tolva::cli
