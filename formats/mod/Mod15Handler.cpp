#include "engine/Player.h"
#include "formats/mod/ModLoader.h"
#include "formats/mod/ModTag.h"
#include "song/FormatHandler.h"

namespace tolva {

namespace {

// The older MOD form with 15 samples has no tag: a file is one when it loads as one.
class Mod15Handler final : public FormatHandler {
public:
    uint32_t identify(InputStream& stream) override {
        if (findModTag(stream) != 0)
            return IdentifyUnreadable;
        std::unique_ptr<Player> trial = loadMod(stream, true, nullptr);
        return trial ? IdentifyMatch : IdentifyUnreadable;
    }

    std::unique_ptr<Player> create(InputStream& stream, bool infoOnly, Mixer* mixer) override {
        return loadMod(stream, infoOnly, mixer);
    }
};

Mod15Handler handler;

} // namespace

FormatHandler& mod15Handler() {
    return handler;
}

} // namespace tolva
