#include "host/PlaybackThread.h"

#include "host/BlockSource.h"
#include "host/PlaybackState.h"
#include "host/PluginRecord.h"
#include "platform/Clock.h"

namespace tolva::host {

void runPlayback(void* context) {
    PlaybackState& s = *static_cast<PlaybackState*>(context);
    const uint32_t rate = s.playRate;
    const uint32_t bits = s.playBits;
    const uint32_t bytes = bits / 8;
    OutputModule& out = *plugin.outMod;
    BlockSource source(*s.currentModule, s, rate);
    // Two blocks: the DSP may answer up to twice the frames it was given.
    alignas(16) uint8_t block[2 * BlockFrames * 2 * 4];
    bool finished = false;
    uint32_t optionsSeen = 0;
    SongOptions options;
    RenderFormat format;

    while (!s.stopRequested) {
        if (source.takeSeek())
            out.Flush(s.outputTimeMs);
        if (finished) {
            out.CanWrite();
            if (out.IsPlaying()) {
                platform::sleepMs(10);
                continue;
            }
            PostMessageA(plugin.hMainWindow, MessageEndOfFile, 0, 0);
            return;
        }
        int need = static_cast<int>(bytes * (plugin.dsp_isactive() ? 2 : 1) * BlockFrames * 2);
        if (out.CanWrite() < need) {
            platform::sleepMs(20);
            continue;
        }
        if (s.liveOptions.take(optionsSeen, options)) {
            format = renderFormat(options, bits);
            setAmplification(*s.currentModule, options.amp);
        }
        int frames = static_cast<int>(source.render(block, format));
        if (frames == 0) {
            finished = true;
            continue;
        }
        plugin.SAAddPCMData(block, 2, static_cast<int>(bits), s.outputTimeMs);
        plugin.VSAAddPCMData(block, 2, static_cast<int>(bits), s.outputTimeMs);
        source.handOn(static_cast<uint32_t>(frames));
        if (plugin.dsp_isactive()) {
            frames = plugin.dsp_dosamples(block, frames, static_cast<int>(bits), 2,
                                          static_cast<int>(rate));
            // Never hand on more than the buffer holds, whatever the DSP claims.
            if (frames < 0)
                frames = 0;
            if (frames > static_cast<int>(2 * BlockFrames))
                frames = 2 * BlockFrames;
        }
        out.Write(reinterpret_cast<char*>(block), static_cast<int>(bytes) * frames * 2);
    }
}

} // namespace tolva::host
