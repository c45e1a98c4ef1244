#pragma once
#include "host/HostRecords.h"

namespace winhost {

// The player's visualisation, DSP and stream-information services. Every call is counted;
// the DSP, when switched on, doubles each frame it is given.
class HostServices {
public:
    explicit HostServices(bool doublingDsp);
    ~HostServices();
    HostServices(const HostServices&) = delete;
    HostServices& operator=(const HostServices&) = delete;

    // Fills the service fields of the plug-in's record.
    void install(tolva::host::InputModule& plugin);

    struct Report {
        int savsaInits = 0, savsaInitLatency = 0, savsaInitRate = 0, savsaDeInits = 0;
        // Every block must be stereo and of one sample width.
        int saCalls = 0, vsaCalls = 0, badPcmCalls = 0, pcmBits = 0;
        int firstPcmTimeMs = -1, lastPcmTimeMs = -1;
        int vsaInfoCalls = 0, vsaInfoRate = 0, vsaInfoChannels = 0;
        int dspActiveQueries = 0, dspCalls = 0, badDspCalls = 0;
        int setInfoCalls = 0, setInfoKbps = 0, setInfoKhz = 0, setInfoChannels = 0,
            setInfoSynched = 0;
        int unexpectedCalls = 0; // services the plug-in has no business calling
    };
    Report report() const;

private:
    static void savsaInit(int maxLatencyMs, int rate);
    static void savsaDeInit();
    static void saAddPcm(void* block, int channels, int bits, int timeMs);
    static void vsaAddPcm(void* block, int channels, int bits, int timeMs);
    static void vsaSetInfo(int rate, int channels);
    static int dspIsActive();
    static int dspDoSamples(void* block, int frames, int bits, int channels, int rate);
    static void setInfo(int kbps, int khz, int channels, int synched);
    static void unexpected();
    bool goodPcm(int channels, int bits);

    bool doublingDsp_;
    Report report_;
    static HostServices* instance_;
};

} // namespace winhost
