#include "Commands.h"
#include "PlaySession.h"

#include <algorithm>
#include <cmath>
#include <random>
#include <unistd.h>

namespace tolva::cli {

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
    PlayList list{files_, static_cast<uint32_t>(std::min(start_ * 1000.0, 4e9)), UINT64_MAX,
                  repeat_, subsongs_};
    if (secondsOption_->count() > 0)
        list.framesPerSong = static_cast<uint64_t>(std::floor(seconds_ * plan.rate()));
    PlaySession session(std::move(list), plan, isatty(STDIN_FILENO) && isatty(STDOUT_FILENO),
                        quiet_);
    return session.run();
}

} // namespace tolva::cli
