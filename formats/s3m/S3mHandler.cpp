#include "engine/Player.h"
#include "formats/s3m/S3mLoader.h"
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
        return IdentifyMatch;
    }

    std::unique_ptr<Player> create(InputStream& stream, bool infoOnly, Mixer* mixer) override {
        return loadS3m(stream, infoOnly, mixer);
    }
};

S3mHandler handler;

} // namespace

FormatHandler& s3mHandler() {
    return handler;
}

} // namespace tolva
