#include "host/PlaybackThread.h"

#include "engine/SongSession.h"
#include "host/PlaybackState.h"
#include "host/PluginRecord.h"
#include "platform/Clock.h"
#include "settings/SettingsConversion.h"

namespace tolva::host {

namespace {

// Carries out a pending seek; the target counts from the end of the skipped leading silence.
void seek(PlaybackState& s, uint32_t rate) {
    LoadedModule& module = *s.currentModule;
    if (module.session) {
        seekSong(module, rate, s.seekTargetMs);
        s.outputTimeMs = static_cast<int32_t>(songPositionMs(module, rate));
        plugin.outMod->Flush(s.outputTimeMs);
    }
}

} // namespace

void runPlayback(void* context) {
    PlaybackState& s = *static_cast<PlaybackState*>(context);
    const uint32_t rate = s.playRate;
    const uint32_t bits = s.playBits;
    const uint32_t bytes = bits / 8;
    OutputModule& out = *plugin.outMod;
    SongSession& session = *s.currentModule->session;
    // Two blocks: the DSP may answer up to twice the frames it was given.
    alignas(16) uint8_t block[2 * BlockFrames * 2 * 4];
    bool finished = false;

    while (!s.stopRequested) {
        // Taken before the target is read: a request made meanwhile is carried out next time
        // rather than lost.
        if (s.seekRequested.exchange(false))
            seek(s, rate);
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
        const RenderFormat format = renderFormat(loadOptions(s.settings).song, bits);
        int frames = static_cast<int>(session.renderFrames(BlockFrames, block, &format));
        if (frames == 0) {
            finished = true;
            continue;
        }
        plugin.SAAddPCMData(block, 2, static_cast<int>(bits), s.outputTimeMs);
        plugin.VSAAddPCMData(block, 2, static_cast<int>(bits), s.outputTimeMs);
        s.outputTimeMs += static_cast<int32_t>(uint32_t(frames) * 1000 / rate);
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
