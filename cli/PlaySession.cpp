#include "PlaySession.h"
#include "DisplayText.h"
#include "Failure.h"
#include "TimeText.h"

#include <algorithm>
#include <cstdio>
#include <thread>
#include <unistd.h>

namespace tolva::cli {

namespace {

constexpr int TickMs = 20;
constexpr auto RedrawEvery = std::chrono::milliseconds(200);
constexpr uint32_t RingFrames = 8192; // about 0.2 s ahead of the sound card
constexpr uint32_t ShortSeekMs = 10000;
constexpr uint32_t LongSeekMs = 60000;
constexpr uint32_t VolumeStep = 10;
constexpr uint32_t MaxVolume = 200;
constexpr int ExitInterrupted = 130;

// Seeks land on whole seconds, so the time shown after one is the time asked for.
uint32_t seekTarget(uint32_t fromMs, int64_t byMs) {
    int64_t target = (int64_t{fromMs} + byMs + 500) / 1000 * 1000;
    return static_cast<uint32_t>(std::clamp<int64_t>(target, 0, 0xFFFFFFFFll));
}

std::size_t ringBytes(uint32_t frameBytes) {
    std::size_t size = 1;
    while (size < std::size_t{RingFrames} * frameBytes)
        size *= 2;
    return size;
}

} // namespace

PlaySession::PlaySession(PlayList list, const PlaybackPlan& plan, bool interactive, bool quiet)
    : plan_(plan), interactive_(interactive), quiet_(quiet),
      // A terminal that cannot move its cursor gets the lines a pipe gets.
      drawing_(interactive && !quiet && Terminal::movesCursor(STDOUT_FILENO)),
      ring_(ringBytes(plan.frameBytes())), device_(ring_, plan.rate(), plan.format),
      renderer_(std::move(list), plan, ring_),
      lastDraw_(std::chrono::steady_clock::now() - RedrawEvery) {}

int PlaySession::run() {
    if (!device_.initialise(reason_))
        return noDevice();
    terminal_.emplace(interactive_);
    display_.emplace(stdout, drawing_);
    renderer_.start();
    bool interrupted = false;
    while (true) {
        if (!startWhenReady())
            return noDevice();
        const Key key = terminal_->readKey(TickMs);
        if (key == Key::Interrupt || key == Key::Quit) {
            interrupted = key == Key::Interrupt;
            break;
        }
        known_ = renderer_.heard(ring_.consumed(), state_, card_) || known_;
        act(key);
        display_->report(renderer_.takeMessages());
        announce();
        if (playedOut())
            break;
        redraw();
    }
    display_->report(renderer_.takeMessages());
    if (interrupted)
        return ExitInterrupted;
    return renderer_.anyRefused() ? ExitFailure : ExitOk;
}

bool PlaySession::startWhenReady() {
    if (started_ ||
        (ring_.written() < std::size_t{BlockFrames} * plan_.frameBytes() && !ring_.drained()))
        return true;
    if (!device_.start(reason_)) {
        display_->report(renderer_.takeMessages());
        return false;
    }
    started_ = true;
    return true;
}

void PlaySession::act(Key key) {
    switch (key) {
    case Key::Pause:
        paused_ = !paused_;
        device_.setPaused(paused_);
        break;
    case Key::Back:
    case Key::Forward:
    case Key::BackLong:
    case Key::ForwardLong:
        seek(key);
        break;
    case Key::Next:
    case Key::Previous:
        step(key);
        break;
    case Key::Louder:
        setVolume(std::min(volume_ + VolumeStep, MaxVolume));
        break;
    case Key::Softer:
        setVolume(volume_ - std::min(volume_, VolumeStep));
        break;
    default:
        break;
    }
}

void PlaySession::seek(Key key) {
    if (!known_)
        return;
    const int64_t by = key == Key::Back       ? -int64_t{ShortSeekMs}
                       : key == Key::Forward  ? int64_t{ShortSeekMs}
                       : key == Key::BackLong ? -int64_t{LongSeekMs}
                                              : int64_t{LongSeekMs};
    renderer_.seek(card_.serial, seekTarget(state_.positionMs, by));
}

void PlaySession::step(Key key) {
    if (!known_)
        return;
    // With --all-subsongs, the file's subsongs come before the next file.
    const int direction = key == Key::Next ? 1 : -1;
    const int64_t tune = int64_t{card_.subsong} + direction;
    if (renderer_.allSubsongs() && tune >= 0 && tune < card_.subsongs)
        renderer_.jump(card_.index, direction, tune);
    else
        renderer_.jump(int64_t{card_.index} + direction, direction);
}

void PlaySession::setVolume(uint32_t percent) {
    volume_ = percent;
    renderer_.setVolume(percent);
}

void PlaySession::announce() {
    if (!known_ || card_.serial == lastSerial_)
        return;
    lastSerial_ = card_.serial;
    if (drawing_ || quiet_)
        return;
    std::printf("%s: %s%s%s, %s%s\n", terminalText(card_.file).c_str(), card_.format.c_str(),
                card_.title.empty() ? "" : ", ", card_.title.c_str(),
                minutesText(card_.lengthMs).c_str(), subsongText(card_).c_str());
    std::fflush(stdout);
}

void PlaySession::redraw() {
    const auto now = std::chrono::steady_clock::now();
    if (!drawing_ || !started_ || !known_ || now - lastDraw_ < RedrawEvery)
        return;
    lastDraw_ = now;
    PlayerView view{paused_, volume_, renderer_.fileCount(), renderer_.allSubsongs()};
    display_->show(statusLines(card_, state_, view, Terminal::width()));
}

bool PlaySession::playedOut() const {
    if (!ring_.drained() || ring_.consumed() < ring_.written())
        return false;
    // What the card has taken still has to be heard.
    std::this_thread::sleep_for(std::chrono::milliseconds(2 * device_.latencyMs()));
    return true;
}

int PlaySession::noDevice() const {
    reportFailure("", "no audio device could be opened (" + reason_ +
                          "); 'tolva render' writes a song to a file instead");
    return ExitFailure;
}

} // namespace tolva::cli
