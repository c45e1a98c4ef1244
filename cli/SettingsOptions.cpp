#include "SettingsOptions.h"

#include "settings/SettingsFile.h"
#include "song/FileStream.h"

#include <cmath>

namespace tolva::cli {

const char* const FormatOptionNames[7] = {"mod", "669", "mtm", "s3m", "xm", "it", "mod15"};

namespace {

uint32_t formatIndex(const std::string& name) {
    for (uint32_t i = 0; i < 7; ++i)
        if (name == FormatOptionNames[i])
            return i;
    return 0;
}

} // namespace

template <typename T>
void SettingsOptions::addValue(CLI::App& command, const std::string& name, T& value,
                               const std::string& help, std::function<void(Settings&)> apply) {
    CLI::Option* option = command.add_option(name, value, help);
    option->group("Settings");
    edits_.push_back({option, std::move(apply)});
}

void SettingsOptions::addSwitch(CLI::App& command, const std::string& names, bool& value,
                                const std::string& help, std::function<void(Settings&)> apply) {
    CLI::Option* option = command.add_flag(names, value, help);
    option->group("Settings");
    edits_.push_back({option, std::move(apply)});
}

void SettingsOptions::addTo(CLI::App& command) {
    command.add_option("--settings", file_, "Start from this in_tolva.dat instead of the defaults")
        ->group("Settings");

    addValue(command, "--title-format", titleFormat_,
             "Playlist title: 0 title, 1 title - file, 2 TOLVA: title - file",
             [this](Settings& s) { s.titleFormat = titleFormat_; });
    edits_.back().option->check(CLI::Range(0, 2));

    addValue(command, "--length-mode", lengthMode_,
             "detect: a return to a played position is the song's loop; no-backward-jumps: "
             "positions played before are skipped",
             [this](Settings& s) {
                 s.lengthMode = lengthMode_ == "detect" ? LengthDetectLoop : LengthNoBackwardJumps;
             });
    edits_.back().option->check(CLI::IsMember({"detect", "no-backward-jumps"}));

    addValue(command, "--rate", rate_, "Mixing frequency in Hz (5000..96000)",
             [this](Settings& s) { s.mixingFrequency = rate_; });
    edits_.back().option->check(CLI::Range(MinMixingFrequency, MaxMixingFrequency));

    addValue(command, "--bits", bits_, "Bits per output sample: 8 (unsigned), 16 or 32",
             [this](Settings& s) { s.outputBits = static_cast<uint8_t>(bits_); });
    edits_.back().option->check(CLI::IsMember({8u, 16u, 32u}));

    addValue(command, "--amp", ampDb_, "Amplification in decibels (-15..15)",
             [this](Settings& s) { s.amp = static_cast<int16_t>(std::lround(ampDb_ * 100)); });
    edits_.back().option->check(CLI::Range(-15.0, 15.0));

    addValue(command, "--loops", loops_,
             "Play a looping song this many times (1..9999); implies --length-mode detect, "
             "--extra-play-time and --loop-by-count",
             [this](Settings& s) {
                 s.loopCount = loops_;
                 s.lengthMode = LengthDetectLoop;
                 s.extraPlayTime = 1;
                 s.loopByCount = 1;
             });
    edits_.back().option->check(CLI::Range(1u, MaxLoopCount));

    addValue(command, "--extra-seconds", extraSeconds_,
             "Seconds a looping song plays past its first loop; implies --length-mode detect, "
             "--extra-play-time and --no-loop-by-count",
             [this](Settings& s) {
                 s.extraLoopSeconds = extraSeconds_;
                 s.lengthMode = LengthDetectLoop;
                 s.extraPlayTime = 1;
                 s.loopByCount = 0;
             });
    edits_.back().option->check(CLI::Range(0u, MaxSilenceOrExtraSeconds));

    addValue(command, "--trailing-silence", trailingSilence_,
             "Seconds of silence kept at the end when silence is removed",
             [this](Settings& s) { s.trailingSilenceSeconds = trailingSilence_; });
    edits_.back().option->check(CLI::Range(0u, MaxSilenceOrExtraSeconds));

    addSwitch(command, "--remove-silence,!--no-remove-silence", removeSilence_,
              "Skip leading silence and cut trailing silence",
              [this](Settings& s) { s.removeSilence = removeSilence_; });
    addSwitch(command, "--remove-initial-silence,!--no-remove-initial-silence",
              removeInitialSilence_, "Stored for the configuration dialog only",
              [this](Settings& s) { s.removeInitialSilence = removeInitialSilence_; });
    addSwitch(command, "--limit-trailing-silence,!--no-limit-trailing-silence",
              limitTrailingSilence_, "Stored for the configuration dialog only",
              [this](Settings& s) { s.limitTrailingSilence = limitTrailingSilence_; });
    addSwitch(command, "--extra-play-time,!--no-extra-play-time", extraPlayTime_,
              "Looping songs play past their first loop (with --length-mode detect)",
              [this](Settings& s) { s.extraPlayTime = extraPlayTime_; });
    addSwitch(command, "--loop-by-count,!--no-loop-by-count", loopByCount_,
              "Extra play time counts loops rather than seconds",
              [this](Settings& s) { s.loopByCount = loopByCount_; });
    addSwitch(command, "--strip-empty-patterns,!--no-strip-empty-patterns", stripEmptyPatterns_,
              "Pass over trailing orders without pattern data",
              [this](Settings& s) { s.stripTrailingEmptyPatterns = stripEmptyPatterns_; });
    addSwitch(command, "--old-protracker,!--no-old-protracker", oldProTracker_,
              "Constant 125 BPM for MOD files",
              [this](Settings& s) { s.oldProTrackerMode = oldProTracker_; });
    addSwitch(command, "--mod-panning,!--no-mod-panning", modPanning_,
              "Obey panning effects in MOD files",
              [this](Settings& s) { s.disableModPanning = !modPanning_; });
    addSwitch(command, "--no-interpolation,!--interpolation", noInterpolation_,
              "Render without interpolation",
              [this](Settings& s) { s.disableOversampling = noInterpolation_; });
    addSwitch(command, "--mono,!--no-mono", mono_, "The same mono signal on both channels",
              [this](Settings& s) { s.forceMono = mono_; });
    addSwitch(command, "--reverse-stereo,!--no-reverse-stereo", reverseStereo_, "Swap left and right",
              [this](Settings& s) { s.reverseStereo = reverseStereo_; });

    std::vector<std::string> names(FormatOptionNames, FormatOptionNames + 7);
    addValue(command, "--disable", disabled_,
             "Do not recognise this format: mod, 669, mtm, s3m, xm, it, mod15 (repeatable)",
             [this](Settings& s) {
                 for (const std::string& name : disabled_)
                     s.formatEnable(formatIndex(name)) = 0;
             });
    edits_.back().option->check(CLI::IsMember(names));
    addValue(command, "--enable", enabled_, "Recognise this format again (repeatable)",
             [this](Settings& s) {
                 for (const std::string& name : enabled_)
                     s.formatEnable(formatIndex(name)) = 1;
             });
    edits_.back().option->check(CLI::IsMember(names));
}

void SettingsOptions::applyOptions(Settings& settings) const {
    for (const Edit& edit : edits_)
        if (edit.option->count() > 0)
            edit.apply(settings);
}

bool SettingsOptions::resolve(Settings& settings, std::string& reason) const {
    setDefaults(settings);
    if (!file_.empty()) {
        FileStream probe(file_.c_str(), platform::FileMode::Read);
        if (!probe.isOpen()) {
            reason = "cannot open settings file";
            return false;
        }
        if (probe.size() < SettingsFileSize || !loadSettings(file_.c_str(), settings)) {
            reason = "not a settings file (it needs 45 bytes)";
            return false;
        }
    }
    applyOptions(settings);
    return true;
}

} // namespace tolva::cli
