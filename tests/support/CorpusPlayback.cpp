#include "support/CorpusPlayback.h"

#include <algorithm>
#include <cstdlib>
#include <vector>

namespace tolva::test {

PlaybackResult playToEnd(Player& player, uint32_t rate, uint32_t maxSeconds) {
    constexpr uint32_t Block = 576;
    PlaybackResult result;
    player.restartSong();
    player.configurePlayback(rate);
    std::vector<int16_t> out(2 * Block);
    RenderFormat format;
    while (result.frames < maxSeconds * rate) {
        const uint32_t done = player.renderFrames(Block, out.data(), &format);
        result.frames += done;
        for (uint32_t i = 0; i < 2 * done; ++i)
            result.peak = std::max(result.peak, std::abs(int32_t{out[i]}));
        if (player.isEnded() || done < Block) {
            result.ended = player.isEnded();
            break;
        }
    }
    return result;
}

} // namespace tolva::test
