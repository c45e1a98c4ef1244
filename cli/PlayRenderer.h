#pragma once
#include "SampleRing.h"
#include "SongLoader.h"
#include "SubsongChoice.h"
#include "SongPlayback.h"

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace tolva::cli {

class SongPlayback;

// What the display tells about the song being heard.
struct SongCard {
    uint32_t serial = 0;   // counts the songs started, so a restarted one is told apart
    uint32_t index = 0;    // in the play list
    uint32_t subsong = 0;  // from 0
    uint32_t subsongs = 1; // in the file
    std::string file;
    std::string format;
    std::string title;
    uint32_t lengthMs = 0;
};

// The state of the song at the start of one rendered block.
struct BlockState {
    uint64_t streamByte = 0; // where the block starts in the ring's stream
    uint32_t serial = 0;
    uint32_t positionMs = 0;
    uint32_t order = 0;
    uint32_t orders = 0;
    uint32_t row = 0;
    uint32_t rows = 0;
    uint32_t speed = 0;
    uint32_t tempo = 0;
    uint32_t voices = 0;
    float peak[2] = {}; // of the block, 0..1
};

// How the play list is played.
struct PlayList {
    std::vector<std::string> files;
    uint32_t startMs = 0; // into the first song
    uint64_t framesPerSong = UINT64_MAX;
    bool repeat = false;
    SubsongChoice subsongs;
};

// The play list rendered into the ring on a thread of its own, song after song (and with
// --all-subsongs, subsong after subsong) without a gap, a few blocks ahead of the sound card.
// Files that cannot be played are reported and skipped.
class PlayRenderer {
public:
    PlayRenderer(PlayList list, const PlaybackPlan& plan, SampleRing& ring);
    ~PlayRenderer();
    PlayRenderer(const PlayRenderer&) = delete;
    PlayRenderer& operator=(const PlayRenderer&) = delete;

    void start();

    // Requests, carried out before the next block.
    void seek(uint32_t serial, uint32_t ms);
    // Plays list entry `index` (past the end: stops; before the start: the first), stepping
    // on in `direction` past files that cannot be played, from its first subsong taken (its
    // last stepping back), or from subsong `tune` when that is one of the entry's.
    void jump(int64_t index, int direction, int64_t tune = -1);
    void setVolume(uint32_t percent) { volume_.store(percent, std::memory_order_relaxed); }

    // The state of what the consumer has reached; false before the first block.
    bool heard(uint64_t streamByte, BlockState& state, SongCard& card);
    // Reports of refused files not yet shown.
    std::vector<std::string> takeMessages();
    bool anyRefused() const { return anyRefused_.load(); }
    std::size_t fileCount() const { return list_.files.size(); }
    bool allSubsongs() const { return list_.subsongs.all(); }

private:
    void run();
    // Loads the first playable file from `index` on; none left ends the list.
    void load(int64_t index, int direction, uint32_t startMs);
    // Plays subsong `tune` of the loaded song from `startMs`; false (reported) when it is too
    // short for that.
    bool startTune(uint32_t tune, uint32_t startMs);
    void renderBlock();

    PlayList list_;
    std::vector<bool> refused_;
    PlaybackPlan plan_;
    SampleRing& ring_;
    std::thread thread_;

    // Owned by the rendering thread.
    std::unique_ptr<LoadedSong> song_;
    std::unique_ptr<SongPlayback> playback_;
    int64_t index_ = -1;
    uint32_t tune_ = 0;
    std::string format_, title_; // of the loaded song
    uint32_t appliedVolume_ = 100;
    std::vector<uint8_t> block_;

    std::atomic<uint32_t> volume_{100};
    std::atomic<bool> anyRefused_{false};

    std::mutex mutex_;
    std::condition_variable wake_;
    bool quit_ = false;
    bool seekWanted_ = false;
    uint32_t seekSerial_ = 0;
    uint32_t seekMs_ = 0;
    bool jumpWanted_ = false;
    int64_t jumpIndex_ = 0;
    int jumpDirection_ = 1;
    int64_t jumpTune_ = -1;
    uint32_t serial_ = 0;
    std::deque<SongCard> cards_;
    std::deque<BlockState> states_;
    std::vector<std::string> messages_;
};

} // namespace tolva::cli
