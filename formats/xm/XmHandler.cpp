#include "engine/Player.h"
#include "song/FormatHandler.h"
#include "song/InputStream.h"

namespace tolva {

namespace {

class XmHandler final : public FormatHandler {
public:
    uint32_t identify(InputStream& stream) override {
        uint8_t header[60];
        stream.seek(0, SeekFromStart);
        if (stream.read(sizeof(header), header))
            return IdentifyUnreadable;
        static constexpr char Magic[] = "extended module: ";
        for (uint32_t i = 0; i < sizeof(Magic) - 1; ++i) {
            uint8_t c = header[i];
            if (c >= 'A' && c <= 'Z')
                c = static_cast<uint8_t>(c - 'A' + 'a');
            if (c != static_cast<uint8_t>(Magic[i]))
                return IdentifyNotThisFormat;
        }
        uint32_t version = header[58] | (header[59] << 8);
        if (version != 0x0103 && version != 0x0104)
            return IdentifyUnsupported;
        // XM files are recognised but not loaded yet: leave them to no one.
        return IdentifyNotThisFormat;
    }

    std::unique_ptr<Player> create(InputStream&, bool, Mixer*) override { return nullptr; }
};

XmHandler handler;

} // namespace

FormatHandler& xmHandler() {
    return handler;
}

} // namespace tolva
