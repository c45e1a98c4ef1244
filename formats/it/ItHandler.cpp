#include "engine/Player.h"
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
        if (std::memcmp(magic, "IMPM", 4) != 0)
            return IdentifyNotThisFormat;
        // IT files are recognised but not loaded yet: leave them to no one.
        return IdentifyNotThisFormat;
    }

    std::unique_ptr<Player> create(InputStream&, bool, Mixer*) override { return nullptr; }
};

ItHandler handler;

} // namespace

FormatHandler& itHandler() {
    return handler;
}

} // namespace tolva
