#include "SoundCard.h"

namespace winhost {

SoundCard* SoundCard::instance_ = nullptr;

SoundCard::SoundCard(const Options& options) : options_(options) {
    instance_ = this;
    QueryPerformanceFrequency(&ticksPerSecond_);
    static char description[] = "winhost sound card";
    record_.version = 0x10;
    record_.description = description;
    record_.id = 1;
    record_.Config = ignoreWindow;
    record_.About = ignoreWindow;
    record_.Init = nothing;
    record_.Quit = nothing;
    record_.Open = open;
    record_.Close = close;
    record_.Write = write;
    record_.CanWrite = canWrite;
    record_.IsPlaying = isPlaying;
    record_.Pause = pause;
    record_.SetVolume = setVolume;
    record_.SetPan = setPan;
    record_.Flush = flush;
    record_.GetOutputTime = outputTime;
    record_.GetWrittenTime = writtenTime;
}

SoundCard::~SoundCard() {
    finish();
    instance_ = nullptr;
}

void SoundCard::finish() {
    std::lock_guard<std::mutex> hold(lock_);
    wav_.close();
}

SoundCard::Report SoundCard::report() {
    std::lock_guard<std::mutex> hold(lock_);
    return report_;
}

uint64_t SoundCard::bytesWritten() {
    std::lock_guard<std::mutex> hold(lock_);
    return report_.bytes;
}

uint64_t SoundCard::bytesBuffered() {
    std::lock_guard<std::mutex> hold(lock_);
    drain();
    return buffered_;
}

// Moves the play position on by the time passed since the last call.
void SoundCard::drain() {
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    double seconds = double(now.QuadPart - lastDrain_.QuadPart) / double(ticksPerSecond_.QuadPart);
    lastDrain_ = now;
    if (!open_ || paused_)
        return;
    if (options_.speed <= 0) {
        buffered_ = 0;
        return;
    }
    drainCredit_ += seconds * options_.speed * byteRate_;
    uint64_t played = static_cast<uint64_t>(drainCredit_) / frameBytes_ * frameBytes_;
    if (played >= buffered_) {
        buffered_ = 0;
        drainCredit_ = 0;
    } else {
        buffered_ -= played;
        drainCredit_ -= double(played);
    }
}

int SoundCard::room() const {
    return buffered_ >= capacity_ ? 0 : static_cast<int>(capacity_ - buffered_);
}

int SoundCard::msOf(uint64_t bytes) const {
    return byteRate_ ? static_cast<int>(bytes * 1000 / byteRate_) : 0;
}

int SoundCard::open(int rate, int channels, int bits, int bufferMs, int prebufferMs) {
    SoundCard& c = *instance_;
    std::lock_guard<std::mutex> hold(c.lock_);
    Report& r = c.report_;
    ++r.opens;
    r.openRate = rate;
    r.openChannels = channels;
    r.openBits = bits;
    r.openBufferMs = bufferMs;
    r.openPrebufferMs = prebufferMs;
    if (c.options_.failOpen || rate <= 0 || channels <= 0 || bits <= 0)
        return -1;
    c.frameBytes_ = static_cast<uint32_t>(channels * bits / 8);
    c.byteRate_ = static_cast<uint32_t>(rate) * c.frameBytes_;
    c.capacity_ =
        uint64_t(c.byteRate_) * c.options_.bufferMs / 1000 / c.frameBytes_ * c.frameBytes_;
    c.buffered_ = 0;
    c.drainCredit_ = 0;
    c.flushBaseMs_ = 0;
    c.bytesSinceFlush_ = 0;
    c.paused_ = false;
    c.open_ = true;
    QueryPerformanceCounter(&c.lastDrain_);
    if (!c.options_.wavPath.empty())
        c.wav_.open(c.options_.wavPath.c_str(), rate, channels, bits);
    return c.options_.bufferMs;
}

void SoundCard::close() {
    SoundCard& c = *instance_;
    std::lock_guard<std::mutex> hold(c.lock_);
    ++c.report_.closes;
    c.open_ = false;
    c.buffered_ = 0;
}

void SoundCard::write(char* block, int bytes) {
    SoundCard& c = *instance_;
    std::lock_guard<std::mutex> hold(c.lock_);
    Report& r = c.report_;
    c.drain();
    if (!c.open_) {
        ++r.writesWhileClosed;
        return;
    }
    if (bytes < 0 || bytes > c.room())
        ++r.overflows;
    if (bytes <= 0)
        return;
    if (r.minRoomBeforeWrite < 0 || c.lastRoom_ < r.minRoomBeforeWrite)
        r.minRoomBeforeWrite = c.lastRoom_;
    ++r.writes;
    r.bytes += static_cast<uint64_t>(bytes);
    c.buffered_ += static_cast<uint64_t>(bytes);
    c.bytesSinceFlush_ += static_cast<uint64_t>(bytes);
    c.wav_.append(block, static_cast<uint32_t>(bytes));
}

int SoundCard::canWrite() {
    SoundCard& c = *instance_;
    std::lock_guard<std::mutex> hold(c.lock_);
    c.drain();
    c.lastRoom_ = c.open_ ? c.room() : 0;
    return c.lastRoom_;
}

int SoundCard::isPlaying() {
    SoundCard& c = *instance_;
    std::lock_guard<std::mutex> hold(c.lock_);
    c.drain();
    return c.buffered_ > 0;
}

void SoundCard::pause(int pause) {
    SoundCard& c = *instance_;
    std::lock_guard<std::mutex> hold(c.lock_);
    c.drain();
    c.paused_ = pause != 0;
    ++c.report_.pauses;
    c.report_.lastPause = pause;
}

void SoundCard::setVolume(int volume) {
    SoundCard& c = *instance_;
    std::lock_guard<std::mutex> hold(c.lock_);
    ++c.report_.volumeCalls;
    c.report_.lastVolume = volume;
}

void SoundCard::setPan(int pan) {
    SoundCard& c = *instance_;
    std::lock_guard<std::mutex> hold(c.lock_);
    ++c.report_.panCalls;
    c.report_.lastPan = pan;
}

void SoundCard::flush(int playTimeMs) {
    SoundCard& c = *instance_;
    std::lock_guard<std::mutex> hold(c.lock_);
    c.report_.flushes.push_back({playTimeMs, c.report_.bytes});
    c.buffered_ = 0;
    c.drainCredit_ = 0;
    c.flushBaseMs_ = playTimeMs;
    c.bytesSinceFlush_ = 0;
}

int SoundCard::writtenTime() {
    SoundCard& c = *instance_;
    std::lock_guard<std::mutex> hold(c.lock_);
    return c.flushBaseMs_ + c.msOf(c.bytesSinceFlush_);
}

int SoundCard::outputTime() {
    SoundCard& c = *instance_;
    std::lock_guard<std::mutex> hold(c.lock_);
    c.drain();
    return c.flushBaseMs_ + c.msOf(c.bytesSinceFlush_ - c.buffered_);
}

void SoundCard::ignoreWindow(HWND) {}
void SoundCard::nothing() {}

} // namespace winhost
