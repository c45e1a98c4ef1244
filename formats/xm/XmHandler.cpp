#include "engine/Player.h"
#include "formats/xm/XmLoader.h"
#include "song/FormatHandler.h"

namespace tolva {

namespace {

// FastTracker 2 modules, versions 1.03 and 1.04.
class XmHandler final : public FormatHandler {
public:
    uint32_t identify(InputStream& stream) override { return identifyXm(stream); }

    std::unique_ptr<Player> create(InputStream& stream, bool infoOnly, Mixer* mixer) override {
        return loadXm(stream, infoOnly, mixer);
    }
};

XmHandler handler;

} // namespace

FormatHandler& xmHandler() {
    return handler;
}

} // namespace tolva
