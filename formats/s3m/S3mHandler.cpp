#include "engine/Player.h"
#include "song/FormatHandler.h"
#include "song/InputStream.h"

#include <cstring>

namespace tolva {

namespace {

class S3mHandler final : public FormatHandler {
public:
    uint32_t identify(InputStream& stream) override {
        uint8_t header[96];
        stream.seek(0, SeekFromStart);
        if (stream.read(sizeof(header), header))
            return IdentifyUnreadable;
        if (std::memcmp(header + 44, "SCRM", 4) != 0)
            return IdentifyNotThisFormat;
        // S3M files are recognised but not loaded yet: leave them to no one.
        return IdentifyNotThisFormat;
    }

    std::unique_ptr<Player> create(InputStream&, bool, Mixer*) override { return nullptr; }
};

S3mHandler handler;

} // namespace

FormatHandler& s3mHandler() {
    return handler;
}

} // namespace tolva
