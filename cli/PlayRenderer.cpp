#include "PlayRenderer.h"

#include "SongFacts.h"
#include "SongPlayback.h"
#include "engine/Player.h"

#include <algorithm>
#include <cmath>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <utility>

namespace tolva::cli {

namespace {

// The loudest sample of each channel in a block of interleaved stereo, 0..1.
void measurePeaks(const uint8_t* block, uint32_t frames, const RenderFormat& format,
                  float peak[2]) {
    const uint32_t bits = format.bits;
    uint32_t top[2] = {};
    for (uint32_t i = 0; i < 2 * frames; ++i) {
        uint32_t level;
        if (format.floatSamples) {
            float v;
            std::memcpy(&v, block + 4 * i, 4);
            level = static_cast<uint32_t>(std::min(std::fabs(v), 1.0f) * 2147483647.0f);
        } else if (bits == 8) {
            level = static_cast<uint32_t>(std::abs(block[i] - 128)) << 24;
        } else if (bits == 16) {
            int16_t v;
            std::memcpy(&v, block + 2 * i, 2);
            level = static_cast<uint32_t>(std::abs(int32_t{v})) << 16;
        } else {
            int32_t v;
            std::memcpy(&v, block + 4 * i, 4);
            level = v < 0 ? static_cast<uint32_t>(-(int64_t{v})) : static_cast<uint32_t>(v);
        }
        top[i & 1] = std::max(top[i & 1], level);
    }
    for (int c = 0; c < 2; ++c)
        peak[c] = std::min(1.0f, static_cast<float>(top[c]) / 2147483648.0f);
}

} // namespace

PlayRenderer::PlayRenderer(PlayList list, const PlaybackPlan& plan, SampleRing& ring)
    : list_(std::move(list)), refused_(list_.files.size(), false), plan_(plan), ring_(ring),
      block_(BlockFrames * plan.frameBytes()) {}

PlayRenderer::~PlayRenderer() {
    {
        std::lock_guard lock(mutex_);
        quit_ = true;
    }
    wake_.notify_all();
    if (thread_.joinable())
        thread_.join();
    playback_.reset();
}

void PlayRenderer::start() {
    thread_ = std::thread([this] { run(); });
}

void PlayRenderer::seek(uint32_t serial, uint32_t ms) {
    std::lock_guard lock(mutex_);
    seekWanted_ = true;
    seekSerial_ = serial;
    seekMs_ = ms;
}

void PlayRenderer::jump(int64_t index, int direction, int64_t tune) {
    {
        std::lock_guard lock(mutex_);
        jumpWanted_ = true;
        seekWanted_ = false;
        jumpIndex_ = index;
        jumpDirection_ = direction;
        jumpTune_ = tune;
    }
    wake_.notify_all();
}

bool PlayRenderer::heard(uint64_t streamByte, BlockState& state, SongCard& card) {
    std::lock_guard lock(mutex_);
    while (states_.size() >= 2 && states_[1].streamByte <= streamByte)
        states_.pop_front();
    if (states_.empty() || states_.front().streamByte > streamByte)
        return false;
    state = states_.front();
    const uint64_t frames = (streamByte - state.streamByte) / plan_.frameBytes();
    state.positionMs += static_cast<uint32_t>(frames * 1000 / plan_.rate());
    while (!cards_.empty() && cards_.front().serial < state.serial)
        cards_.pop_front();
    if (cards_.empty() || cards_.front().serial != state.serial)
        return false;
    card = cards_.front();
    return true;
}

std::vector<std::string> PlayRenderer::takeMessages() {
    std::lock_guard lock(mutex_);
    return std::exchange(messages_, {});
}

void PlayRenderer::run() {
    load(0, 1, list_.startMs);
    while (true) {
        std::unique_lock lock(mutex_);
        if (quit_)
            return;
        if (jumpWanted_) {
            jumpWanted_ = false;
            const int64_t index = jumpIndex_;
            const int direction = jumpDirection_;
            const int64_t tune = jumpTune_;
            lock.unlock();
            if (!song_ || index != index_ || tune < 0 ||
                tune >= static_cast<int64_t>(song_->subsongs.size()) ||
                !startTune(static_cast<uint32_t>(tune), 0))
                load(index, direction, 0);
            ring_.discardWritten();
            continue;
        }
        if (seekWanted_) {
            seekWanted_ = false;
            if (playback_ && seekSerial_ == serial_) {
                const uint32_t ms = seekMs_;
                lock.unlock();
                playback_->seek(ms);
                ring_.discardWritten();
                continue;
            }
        }
        if (!playback_) {
            ring_.setDrained(true);
            wake_.wait(lock, [this] { return quit_ || jumpWanted_; });
            continue;
        }
        if (ring_.writable() < block_.size()) {
            wake_.wait_for(lock, std::chrono::milliseconds(5));
            continue;
        }
        lock.unlock();
        renderBlock();
    }
}

void PlayRenderer::load(int64_t index, int direction, uint32_t startMs) {
    playback_.reset();
    song_.reset();
    const auto count = static_cast<int64_t>(list_.files.size());
    LoadOptions options = plan_.load;
    options.findSubsongs = true;
    for (int64_t tries = 0; tries < count; ++tries, index += direction) {
        if (list_.repeat) {
            index = (index % count + count) % count;
        } else if (index < 0) {
            index = 0;
            direction = 1;
        } else if (index >= count) {
            break;
        }
        if (refused_[index])
            continue;
        song_ = std::make_unique<LoadedSong>();
        index_ = index;
        Failure failure;
        if (loadSong(list_.files[index], options, *song_, failure)) {
            const SongFacts facts = describe(list_.files[index], *song_);
            format_ = facts.format;
            title_ = facts.title;
            const SubsongChoice& choice = list_.subsongs;
            const auto tunes = static_cast<uint32_t>(song_->subsongs.size());
            failure.reason = choice.problem(tunes);
            const uint32_t tune = direction < 0 && choice.all() ? tunes - 1 : choice.first();
            if (failure.reason.empty() && startTune(tune, startMs))
                return;
        }
        refused_[index] = true;
        anyRefused_ = true;
        if (!failure.reason.empty()) {
            std::lock_guard lock(mutex_);
            messages_.push_back(failureText(list_.files[index], failure.reason));
        }
        playback_.reset();
        song_.reset();
    }
    index_ = count;
}

bool PlayRenderer::startTune(uint32_t tune, uint32_t startMs) {
    playback_.reset();
    selectSubsong(*song_, tune);
    const std::string problem = startProblem(startMs, song_->length);
    if (!problem.empty()) {
        std::lock_guard lock(mutex_);
        messages_.push_back(failureText(list_.files[index_], problem));
        return false;
    }
    playback_ = std::make_unique<SongPlayback>(*song_, plan_, startMs);
    playback_->allowFrames(list_.framesPerSong);
    appliedVolume_ = 100;
    tune_ = tune;
    std::lock_guard lock(mutex_);
    SongCard& card = cards_.emplace_back();
    card.serial = ++serial_;
    card.index = static_cast<uint32_t>(index_);
    card.subsong = tune;
    card.subsongs = static_cast<uint32_t>(song_->subsongs.size());
    card.file = list_.files[index_];
    card.format = format_;
    card.title = title_;
    card.lengthMs = song_->length.lengthMs;
    ring_.setDrained(false);
    return true;
}

void PlayRenderer::renderBlock() {
    const uint32_t volume = volume_.load(std::memory_order_relaxed);
    if (volume != appliedVolume_) {
        playback_->setGain(static_cast<int32_t>(int64_t{playback_->baseGain()} * volume / 100));
        appliedVolume_ = volume;
    }
    Player& player = song_->session->player();
    BlockState state;
    state.streamByte = ring_.written();
    state.serial = serial_;
    state.positionMs = playback_->positionMs();
    // The order the sequencer is in: orderIndex already names the next one.
    state.order = player.songPosition / 256;
    state.orders = player.song.orderCount;
    state.row = player.currentRow();
    state.rows = player.song.rowsPerPattern;
    state.speed = player.speed;
    state.tempo = player.beatsPerMinute();
    Mixer& mixer = song_->session->mixer();
    for (uint32_t v = 0; v < mixer.voiceCount(); ++v)
        state.voices += (mixer.voiceFlags(v) & VoiceActive) != 0;

    const uint32_t frames = playback_->render(block_.data(), BlockFrames);
    if (frames == 0) {
        const bool moreTunes = list_.subsongs.all() && tune_ + 1 < song_->subsongs.size();
        if (!moreTunes || !startTune(tune_ + 1, 0))
            load(index_ + 1, 1, 0);
        return;
    }
    measurePeaks(block_.data(), frames, plan_.format, state.peak);
    {
        std::lock_guard lock(mutex_);
        states_.push_back(state);
    }
    ring_.write(block_.data(), frames * playback_->frameBytes());
}

} // namespace tolva::cli
