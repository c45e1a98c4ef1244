#pragma once
#include "WavFile.h"
#include "host/HostRecords.h"

#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

namespace winhost {

struct FlushMark {
    int timeMs;
    uint64_t atByte; // bytes written before the flush
};

// The harness's output plug-in. It plays from a buffer of `bufferMs` like a sound card,
// `speed` times faster than real time (0: instantly), and keeps everything written in a WAV
// file. It also notes every misuse it can see: writes that do not fit, writes after Close.
class SoundCard {
public:
    struct Options {
        std::string wavPath;
        double speed = 1.0;
        int bufferMs = 500;
        bool failOpen = false;
    };

    explicit SoundCard(const Options& options);
    ~SoundCard();
    SoundCard(const SoundCard&) = delete;
    SoundCard& operator=(const SoundCard&) = delete;

    tolva::host::OutputModule* record() { return &record_; }
    void finish();

    struct Report {
        int opens = 0, openRate = 0, openChannels = 0, openBits = 0, openBufferMs = 0,
            openPrebufferMs = 0;
        int closes = 0, pauses = 0, lastPause = -1, volumeCalls = 0, lastVolume = 0, panCalls = 0,
            lastPan = 0;
        uint64_t writes = 0, bytes = 0, overflows = 0, writesWhileClosed = 0;
        int minRoomBeforeWrite = -1; // smallest CanWrite answer that preceded a write
        std::vector<FlushMark> flushes;
    };
    Report report();
    uint64_t bytesWritten();
    // Bytes written but not yet heard.
    uint64_t bytesBuffered();

private:
    static int open(int rate, int channels, int bits, int bufferMs, int prebufferMs);
    static void close();
    static void write(char* block, int bytes);
    static int canWrite();
    static int isPlaying();
    static void pause(int pause);
    static void setVolume(int volume);
    static void setPan(int pan);
    static void flush(int playTimeMs);
    static int outputTime();
    static int writtenTime();
    static void ignoreWindow(HWND);
    static void nothing();

    void drain();
    int room() const;
    int msOf(uint64_t bytes) const;

    Options options_;
    tolva::host::OutputModule record_{};
    std::mutex lock_;
    WavFile wav_;
    Report report_;
    bool open_ = false;
    bool paused_ = false;
    uint32_t byteRate_ = 0;
    uint32_t frameBytes_ = 0;
    uint64_t capacity_ = 0;
    uint64_t buffered_ = 0;
    double drainCredit_ = 0;
    LARGE_INTEGER lastDrain_{};
    LARGE_INTEGER ticksPerSecond_{};
    int flushBaseMs_ = 0;
    uint64_t bytesSinceFlush_ = 0;
    int lastRoom_ = -1;

    static SoundCard* instance_;
};

} // namespace winhost
