#include "engine/Player.h"
#include "formats/it/ItPlayer.h"
#include "song/FormatHandler.h"
#include "song/InputStream.h"

#include <cstring>

namespace tolva {

namespace {

class ItHandler final : public FormatHandler {
public:
    uint32_t identify(InputStream& stream) override {
        uint8_t magic[4];
        stream.seek(0, SeekFromStart);
        if (stream.read(sizeof(magic), magic))
            return IdentifyUnreadable;
        return std::memcmp(magic, "IMPM", 4) == 0 ? IdentifyMatch : IdentifyNotThisFormat;
    }

    std::unique_ptr<Player> create(InputStream& stream, bool infoOnly, Mixer* mixer) override {
        return loadIt(stream, infoOnly, mixer);
    }
};

ItHandler handler;

} // namespace

FormatHandler& itHandler() {
    return handler;
}

} // namespace tolva
