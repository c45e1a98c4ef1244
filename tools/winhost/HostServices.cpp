#include "HostServices.h"

#include <cstring>

namespace winhost {

HostServices* HostServices::instance_ = nullptr;

HostServices::HostServices(bool doublingDsp) : doublingDsp_(doublingDsp) {
    instance_ = this;
}

HostServices::~HostServices() {
    instance_ = nullptr;
}

void HostServices::install(tolva::host::InputModule& plugin) {
    plugin.SAVSAInit = savsaInit;
    plugin.SAVSADeInit = savsaDeInit;
    plugin.SAAddPCMData = saAddPcm;
    plugin.SAGetMode = unexpected;
    plugin.SAAdd = unexpected;
    plugin.VSAAddPCMData = vsaAddPcm;
    plugin.VSAGetMode = unexpected;
    plugin.VSAAdd = unexpected;
    plugin.VSASetInfo = vsaSetInfo;
    plugin.dsp_isactive = dspIsActive;
    plugin.dsp_dosamples = dspDoSamples;
    plugin.SetInfo = setInfo;
}

// The services run on the plug-in's playback thread and the report is read after it ended,
// so the counters need no lock.
HostServices::Report HostServices::report() const {
    return report_;
}

void HostServices::savsaInit(int maxLatencyMs, int rate) {
    Report& r = instance_->report_;
    ++r.savsaInits;
    r.savsaInitLatency = maxLatencyMs;
    r.savsaInitRate = rate;
}

void HostServices::savsaDeInit() {
    ++instance_->report_.savsaDeInits;
}

bool HostServices::goodPcm(int channels, int bits) {
    if (report_.pcmBits == 0)
        report_.pcmBits = bits;
    return channels == 2 && bits == report_.pcmBits;
}

void HostServices::saAddPcm(void*, int channels, int bits, int timeMs) {
    Report& r = instance_->report_;
    ++r.saCalls;
    if (!instance_->goodPcm(channels, bits))
        ++r.badPcmCalls;
    if (r.firstPcmTimeMs < 0)
        r.firstPcmTimeMs = timeMs;
    r.lastPcmTimeMs = timeMs;
}

void HostServices::vsaAddPcm(void*, int channels, int bits, int) {
    Report& r = instance_->report_;
    ++r.vsaCalls;
    if (!instance_->goodPcm(channels, bits))
        ++r.badPcmCalls;
}

void HostServices::vsaSetInfo(int rate, int channels) {
    Report& r = instance_->report_;
    ++r.vsaInfoCalls;
    r.vsaInfoRate = rate;
    r.vsaInfoChannels = channels;
}

int HostServices::dspIsActive() {
    ++instance_->report_.dspActiveQueries;
    return instance_->doublingDsp_ ? 1 : 0;
}

// Plays every frame twice, so the block comes back twice as long.
int HostServices::dspDoSamples(void* block, int frames, int bits, int channels, int) {
    Report& r = instance_->report_;
    ++r.dspCalls;
    if (!instance_->doublingDsp_ || !instance_->goodPcm(channels, bits) || frames <= 0) {
        ++r.badDspCalls;
        return frames;
    }
    auto* bytes = static_cast<char*>(block);
    int frameBytes = channels * bits / 8;
    for (int i = frames - 1; i >= 0; --i) {
        std::memmove(bytes + 2 * i * frameBytes, bytes + i * frameBytes, frameBytes);
        std::memcpy(bytes + (2 * i + 1) * frameBytes, bytes + 2 * i * frameBytes, frameBytes);
    }
    return frames * 2;
}

void HostServices::setInfo(int kbps, int khz, int channels, int synched) {
    Report& r = instance_->report_;
    ++r.setInfoCalls;
    r.setInfoKbps = kbps;
    r.setInfoKhz = khz;
    r.setInfoChannels = channels;
    r.setInfoSynched = synched;
}

void HostServices::unexpected() {
    ++instance_->report_.unexpectedCalls;
}

} // namespace winhost
