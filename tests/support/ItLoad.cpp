#include "support/ItLoad.h"

#include "song/MemoryStream.h"

namespace tolva::test {

std::unique_ptr<ItLoaded> loadItBytes(std::vector<uint8_t> bytes, bool infoOnly) {
    auto loaded = std::make_unique<ItLoaded>();
    MemoryStream stream(std::move(bytes));
    loaded->error =
        loadItModule(stream, infoOnly, loaded->mixer.get(), loaded->song, *loaded->module);
    return loaded;
}

} // namespace tolva::test
