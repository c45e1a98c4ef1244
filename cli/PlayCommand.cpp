#include "Commands.h"
#include "DisplayText.h"
#include "PlayRenderer.h"
#include "SampleRing.h"
#include "SongPlayback.h"
#include "SoundDevice.h"
#include "StatusDisplay.h"
#include "Terminal.h"
#include "TimeText.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <random>
#include <thread>
#include <unistd.h>

namespace tolva::cli {

namespace {

constexpr int TickMs = 20;
constexpr int RedrawMs = 200;
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

PlayCommand::PlayCommand(CLI::App& app)
    : Command(app, "play", "Play modules through the sound card (the default command)",
              LengthSettings | SoundSettings | ToolSound) {
    command_->add_option("SONG", files_, "The modules, played in turn")->required();
    command_->add_flag("--shuffle", shuffle_, "Play the files in a random order");
    command_->add_flag("--repeat", repeat_, "Start the list again after its last file");
    command_->add_flag("--quiet", quiet_, "No status display");
    command_
        ->add_option("--start", start_, "Start the first song this many seconds in (default: 0)")
        ->type_name("SECONDS")
        ->check(numberIn(0, MaxStartSeconds, false));
    secondsOption_ = command_
                         ->add_option("--seconds", seconds_,
                                      "Play at most this many seconds of each song (default: all)")
                         ->type_name("SECONDS")
                         ->check(numberIn(0, MaxStartSeconds, false));
    subsongs_.addTo(*command_, "Play every subsong of each song, one after another");
}

int PlayCommand::run() {
    Settings settings;
    if (!resolveSettings(settings))
        return ExitFailure;
    const PlaybackPlan plan = playbackPlan(settings, settings_.soundChoices());
    if (shuffle_)
        std::shuffle(files_.begin(), files_.end(), std::mt19937(std::random_device{}()));

    if (!SoundDevice::missingLibrary().empty()) {
        reportFailure("", "cannot play: " + SoundDevice::missingLibrary());
        return ExitFailure;
    }
    SampleRing ring(ringBytes(plan.frameBytes()));
    SoundDevice device(ring, plan.rate(), plan.format);
    std::string reason;
    auto noDevice = [&reason] {
        reportFailure("", "no audio device could be opened (" + reason +
                              "); 'tolva render' writes a song to a file instead");
        return ExitFailure;
    };
    if (!device.initialise(reason))
        return noDevice();
    const bool interactive = isatty(STDIN_FILENO) && isatty(STDOUT_FILENO);
    // A terminal that cannot move its cursor gets the lines a pipe gets.
    const bool drawing = interactive && !quiet_ && Terminal::movesCursor(STDOUT_FILENO);
    PlayList list{files_, static_cast<uint32_t>(std::min(start_ * 1000.0, 4e9)), UINT64_MAX,
                  repeat_, subsongs_};
    if (secondsOption_->count() > 0)
        list.framesPerSong = static_cast<uint64_t>(std::floor(seconds_ * plan.rate()));
    PlayRenderer renderer(std::move(list), plan, ring);
    Terminal terminal(interactive);
    StatusDisplay display(stdout, drawing);

    renderer.start();
    bool paused = false;
    bool started = false;
    bool interrupted = false;
    uint32_t volume = 100;
    uint32_t lastSerial = 0;
    BlockState state;
    SongCard card;
    bool known = false;
    auto lastDraw = std::chrono::steady_clock::now() - std::chrono::milliseconds(RedrawMs);

    while (true) {
        // The card starts once a little sound is ready, so the first callback finds some.
        if (!started &&
            (ring.written() >= std::size_t{BlockFrames} * plan.frameBytes() || ring.drained())) {
            if (!device.start(reason)) {
                display.report(renderer.takeMessages());
                return noDevice();
            }
            started = true;
        }
        const Key key = terminal.readKey(TickMs);
        if (key == Key::Interrupt) {
            interrupted = true;
            break;
        }
        if (key == Key::Quit)
            break;
        known = renderer.heard(ring.consumed(), state, card) || known;
        switch (key) {
        case Key::Pause:
            paused = !paused;
            device.setPaused(paused);
            break;
        case Key::Back:
        case Key::Forward:
        case Key::BackLong:
        case Key::ForwardLong:
            if (known) {
                const int64_t by = key == Key::Back       ? -int64_t{ShortSeekMs}
                                   : key == Key::Forward  ? int64_t{ShortSeekMs}
                                   : key == Key::BackLong ? -int64_t{LongSeekMs}
                                                          : int64_t{LongSeekMs};
                renderer.seek(card.serial, seekTarget(state.positionMs, by));
            }
            break;
        case Key::Next:
        case Key::Previous:
            if (known) {
                // With --all-subsongs, the file's subsongs come before the next file.
                const int direction = key == Key::Next ? 1 : -1;
                const int64_t tune = int64_t{card.subsong} + direction;
                if (renderer.allSubsongs() && tune >= 0 && tune < card.subsongs)
                    renderer.jump(card.index, direction, tune);
                else
                    renderer.jump(int64_t{card.index} + direction, direction);
            }
            break;
        case Key::Louder:
            volume = std::min(volume + VolumeStep, MaxVolume);
            renderer.setVolume(volume);
            break;
        case Key::Softer:
            volume -= std::min(volume, VolumeStep);
            renderer.setVolume(volume);
            break;
        default:
            break;
        }
        display.report(renderer.takeMessages());
        if (known && card.serial != lastSerial) {
            lastSerial = card.serial;
            if (!drawing && !quiet_) {
                std::printf("%s: %s%s%s, %s%s\n", terminalText(card.file).c_str(),
                            card.format.c_str(), card.title.empty() ? "" : ", ", card.title.c_str(),
                            minutesText(card.lengthMs).c_str(), subsongText(card).c_str());
                std::fflush(stdout);
            }
        }
        if (ring.drained() && ring.consumed() >= ring.written()) {
            // What the card has taken still has to be heard.
            std::this_thread::sleep_for(std::chrono::milliseconds(2 * device.latencyMs()));
            break;
        }
        const auto now = std::chrono::steady_clock::now();
        if (drawing && started && known && now - lastDraw >= std::chrono::milliseconds(RedrawMs)) {
            lastDraw = now;
            PlayerView view{paused, volume, renderer.fileCount(), renderer.allSubsongs()};
            display.show(statusLines(card, state, view, Terminal::width()));
        }
    }
    display.report(renderer.takeMessages());
    if (interrupted)
        return ExitInterrupted;
    return renderer.anyRefused() ? ExitFailure : ExitOk;
}

} // namespace tolva::cli
