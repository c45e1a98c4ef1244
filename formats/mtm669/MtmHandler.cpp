#include "engine/Player.h"
#include "formats/mtm669/MtmLoader.h"
#include "song/FormatHandler.h"
#include "song/InputStream.h"

#include <cstring>

namespace tolva {

namespace {

class MtmHandler final : public FormatHandler {
public:
    uint32_t identify(InputStream& stream) override {
        uint8_t magic[4]; // "MTM" and a version byte that any value may take
        stream.seek(0, SeekFromStart);
        if (stream.read(sizeof(magic), magic))
            return IdentifyUnreadable;
        if (std::memcmp(magic, "MTM", 3) != 0)
            return IdentifyNotThisFormat;
        return IdentifyMatch;
    }

    std::unique_ptr<Player> create(InputStream& stream, bool infoOnly, Mixer* mixer) override {
        return loadMtm(stream, infoOnly, mixer);
    }
};

MtmHandler handler;

} // namespace

FormatHandler& mtmHandler() {
    return handler;
}

} // namespace tolva
