#include "engine/Player.h"
#include "formats/mtm669/Loader669.h"
#include "song/FormatHandler.h"
#include "song/InputStream.h"

#include <cstring>

namespace tolva {

namespace {

class Handler669 final : public FormatHandler {
public:
    uint32_t identify(InputStream& stream) override {
        uint8_t magic[2];
        stream.seek(0, SeekFromStart);
        if (stream.read(sizeof(magic), magic))
            return IdentifyUnreadable;
        if (std::memcmp(magic, "if", 2) != 0 && std::memcmp(magic, "JN", 2) != 0)
            return IdentifyNotThisFormat;
        return IdentifyMatch;
    }

    std::unique_ptr<Player> create(InputStream& stream, bool infoOnly, Mixer* mixer) override {
        return load669(stream, infoOnly, mixer);
    }
};

Handler669 handler;

} // namespace

FormatHandler& handler669() {
    return handler;
}

} // namespace tolva
