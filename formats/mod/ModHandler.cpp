#include "engine/Player.h"
#include "formats/mod/ModLoader.h"
#include "formats/mod/ModTag.h"
#include "song/FormatHandler.h"

namespace tolva {

namespace {

// MOD files with a channel tag at offset 1080 (31 samples), or an Ice Tracker tag.
class ModHandler final : public FormatHandler {
public:
    uint32_t identify(InputStream& stream) override {
        return findModTag(stream) != 0 || hasIceTag(stream) ? IdentifyMatch : IdentifyNotThisFormat;
    }

    std::unique_ptr<Player> create(InputStream& stream, bool infoOnly, Mixer* mixer) override {
        return loadMod(stream, infoOnly, mixer);
    }
};

ModHandler handler;

} // namespace

FormatHandler& modHandler() {
    return handler;
}

} // namespace tolva
