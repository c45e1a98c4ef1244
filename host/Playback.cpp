// Play, stop, pause, seek and the output controls the player hands through.
#include "engine/SongSession.h"
#include "host/EntryLock.h"
#include "host/EntryPoints.h"
#include "host/ModuleCache.h"
#include "host/PlaybackState.h"
#include "host/PlaybackThread.h"
#include "host/PluginRecord.h"
#include "settings/SettingsConversion.h"

namespace tolva::host {

namespace {
constexpr uint32_t StopWaitMs = 10000;
}

int TOLVA_CDECL Play(const char* file) {
    if (!state.usable || !file)
        return 1;
    EntryLock lock;
    // The player stops before it plays again; should it not, the running song must end
    // before the current module may change.
    if (state.playThread)
        Stop();
    ModuleRef ref = acquireModule(file, false);
    if (!ref || !ref->session)
        return 1;
    const uint32_t rate = state.settings.mixingFrequency;
    const uint32_t bits = state.settings.outputBits;
    OutputModule& out = *plugin.outMod;
    int maxLatency = out.Open(static_cast<int>(rate), 2, static_cast<int>(bits), -1, -1);
    if (maxLatency < 0)
        return 1;
    plugin.SetInfo(static_cast<int>(bits * rate * 2 / 1000), static_cast<int>(rate / 1000), 2, 1);
    plugin.SAVSAInit(maxLatency, static_cast<int>(rate));
    plugin.VSASetInfo(static_cast<int>(rate), 2);
    out.SetVolume(KeepVolume);

    state.stopRequested = false;
    state.seekTargetMs = 0;
    state.outputTimeMs = 0;
    state.paused = false;
    // The first act of the thread is then to skip the leading silence.
    state.seekRequested = ref->length.startOffsetMs != 0;
    state.playRate = rate;
    state.playBits = bits;
    state.liveOptions.publish(loadOptions(state.settings).song);
    preparePlayback(*ref, rate);
    // The thread plays the current module; acquireModule made `ref` current, as nothing
    // was playing.
    state.playThread = platform::startThread(runPlayback, &state, PlaybackStackSize);
    if (!state.playThread) {
        out.Close();
        plugin.SAVSADeInit();
        return 1;
    }
    return 0;
}

void TOLVA_CDECL Stop() {
    EntryLock lock;
    if (state.playThread) {
        state.stopRequested = true;
        if (!platform::waitThread(state.playThread, StopWaitMs))
            platform::terminateThread(state.playThread);
        platform::closeThread(state.playThread);
        state.playThread = nullptr;
        if (state.currentModule && state.currentModule->session) {
            SongSession& session = *state.currentModule->session;
            session.seekToFrame(0);
            session.mixer().releaseScratch();
        }
    }
    plugin.outMod->Close();
    plugin.SAVSADeInit();
}

void TOLVA_CDECL Pause() {
    state.paused = true;
    plugin.outMod->Pause(1);
}

void TOLVA_CDECL UnPause() {
    state.paused = false;
    plugin.outMod->Pause(0);
}

int TOLVA_CDECL IsPaused() {
    return state.paused ? 1 : 0;
}

int TOLVA_CDECL GetOutputTime() {
    if (state.seekRequested)
        return state.seekTargetMs;
    return state.outputTimeMs - plugin.outMod->GetWrittenTime() + plugin.outMod->GetOutputTime();
}

void TOLVA_CDECL SetOutputTime(int ms) {
    state.seekTargetMs = ms;
    state.seekRequested = true;
}

void TOLVA_CDECL SetVolume(int volume) {
    plugin.outMod->SetVolume(volume);
}

void TOLVA_CDECL SetPan(int pan) {
    plugin.outMod->SetPan(pan);
}

void TOLVA_CDECL EQSet() {}

} // namespace tolva::host
