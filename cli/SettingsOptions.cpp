#include "SettingsOptions.h"

#include "Failure.h"
#include "NumberCheck.h"
#include "formats/FormatTable.h"
#include "settings/SettingsFile.h"
#include "song/FileStream.h"

#include <algorithm>
#include <cmath>

namespace tolva::cli {

std::vector<std::string> formatOptionNames() {
    std::vector<std::string> names;
    for (uint32_t i = 0; i < FormatCount; ++i)
        names.emplace_back(formatRowBySwitch(i)->optionName);
    return names;
}

namespace {

uint8_t& formatSwitch(Settings& s, const std::string& optionName) {
    for (const FormatRow& row : formatRows())
        if (optionName == row.optionName)
            return s.formatSwitches[row.settingsSwitch];
    return s.formatSwitches[0];
}

std::string listed(const std::vector<std::string>& names) {
    std::string text;
    for (std::size_t i = 0; i < names.size(); ++i)
        text += (i == 0 ? "" : i + 1 == names.size() ? " or " : ", ") + names[i];
    return text;
}

std::string onOff(bool on) {
    return on ? " (default: on)" : " (default: off)";
}

std::string byDefault(const std::string& value) {
    return " (default: " + value + ")";
}

} // namespace

CLI::Validator oneOf(std::vector<std::string> names) {
    return CLI::Validator(
        [names](std::string& text) -> std::string {
            if (std::find(names.begin(), names.end(), text) != names.end())
                return "";
            std::string list;
            for (const std::string& name : names)
                list += (list.empty() ? "" : ", ") + name;
            return "'" + text + "' is not one of " + list;
        },
        "");
}

template <typename T>
CLI::Option*
SettingsOptions::addValue(CLI::App& command, const std::string& name, const std::string& valueName,
                          T& value, const std::string& help, std::function<void(Settings&)> apply) {
    CLI::Option* option = command.add_option(name, value, help);
    option->group("Settings")->type_name(valueName);
    edits_.push_back({option, std::move(apply)});
    return option;
}

void SettingsOptions::addSwitch(CLI::App& command, const std::string& names, bool& value,
                                const std::string& help, std::function<void(Settings&)> apply) {
    CLI::Option* option = command.add_flag(names, value, help);
    option->group("Settings");
    edits_.push_back({option, std::move(apply)});
}

void SettingsOptions::addTo(CLI::App& command, unsigned groups) {
    const Settings d;
    command.add_option("--settings", file_, "Start from this in_tolva.dat instead of the defaults")
        ->group("Settings")
        ->type_name("FILE");

    if (groups & LengthSettings) {
        addValue(command, "--rate", "HZ", rate_,
                 "Mixing frequency, 5000 to 96000" + byDefault(std::to_string(d.mixingFrequency)),
                 [this](Settings& s) { s.mixingFrequency = rate_; })
            ->check(numberIn(MinMixingFrequency, MaxMixingFrequency));
        addValue(command, "--length-mode", "MODE", lengthMode_,
                 "How a song that jumps back ends: no-backward-jumps skips positions played "
                 "before; detect takes a return to a played position as the song's loop" +
                     byDefault("no-backward-jumps"),
                 [this](Settings& s) {
                     s.lengthMode =
                         lengthMode_ == "detect" ? LengthDetectLoop : LengthNoBackwardJumps;
                 })
            ->check(oneOf({"detect", "no-backward-jumps"}));
        loopsOption_ = addValue(command, "--loops", "N", loops_,
                                "Play a looping song N times, 1 to 9999 (sets --length-mode "
                                "detect, --extra-play-time and --loop-by-count)",
                                [this](Settings& s) {
                                    s.loopCount = loops_;
                                    s.lengthMode = LengthDetectLoop;
                                    s.extraPlayTime = 1;
                                    s.loopByCount = 1;
                                });
        loopsOption_->check(numberIn(1, MaxLoopCount));
        extraSecondsOption_ =
            addValue(command, "--extra-seconds", "SECONDS", extraSeconds_,
                     "Play a looping song this long past its first loop (sets --length-mode "
                     "detect, --extra-play-time and --no-loop-by-count)" +
                         byDefault(std::to_string(d.extraLoopSeconds)),
                     [this](Settings& s) {
                         s.extraLoopSeconds = extraSeconds_;
                         s.lengthMode = LengthDetectLoop;
                         s.extraPlayTime = 1;
                         s.loopByCount = 0;
                     });
        extraSecondsOption_->check(numberIn(0, MaxSilenceOrExtraSeconds));
        addSwitch(command, "--extra-play-time,!--no-extra-play-time", extraPlayTime_,
                  "Looping songs play past their first loop, with --length-mode detect" +
                      onOff(d.extraPlayTime),
                  [this](Settings& s) { s.extraPlayTime = extraPlayTime_; });
        addSwitch(command, "--loop-by-count,!--no-loop-by-count", loopByCount_,
                  "Extra play time counts loops rather than seconds" + onOff(d.loopByCount),
                  [this](Settings& s) { s.loopByCount = loopByCount_; });
        addSwitch(command, "--remove-silence,!--no-remove-silence", removeSilence_,
                  "Skip leading silence and cut trailing silence" + onOff(d.removeSilence),
                  [this](Settings& s) { s.removeSilence = removeSilence_; });
        addValue(command, "--trailing-silence", "SECONDS", trailingSilence_,
                 "Silence kept at the end when silence is removed" +
                     byDefault(std::to_string(d.trailingSilenceSeconds)),
                 [this](Settings& s) { s.trailingSilenceSeconds = trailingSilence_; })
            ->check(numberIn(0, MaxSilenceOrExtraSeconds));
        addSwitch(command, "--strip-empty-patterns,!--no-strip-empty-patterns", stripEmptyPatterns_,
                  "Pass over trailing orders without pattern data" +
                      onOff(d.stripTrailingEmptyPatterns),
                  [this](Settings& s) { s.stripTrailingEmptyPatterns = stripEmptyPatterns_; });
        addSwitch(command, "--old-protracker,!--no-old-protracker", oldProTracker_,
                  "A constant 125 BPM for MOD files" + onOff(d.oldProTrackerMode),
                  [this](Settings& s) { s.oldProTrackerMode = oldProTracker_; });
    }

    if (groups & SoundSettings)
        addSoundOptions(command, groups & ToolSound);

    if (groups & DialogSettings) {
        addValue(command, "--title-format", "N", titleFormat_,
                 "Playlist title: 0 title, 1 title - file, 2 TOLVA: title - file" +
                     byDefault(std::to_string(d.titleFormat)),
                 [this](Settings& s) { s.titleFormat = titleFormat_; })
            ->check(numberIn(0, 2));
        addSwitch(command, "--remove-initial-silence,!--no-remove-initial-silence",
                  removeInitialSilence_,
                  "A box of the configuration dialog" + onOff(d.removeInitialSilence),
                  [this](Settings& s) { s.removeInitialSilence = removeInitialSilence_; });
        addSwitch(command, "--limit-trailing-silence,!--no-limit-trailing-silence",
                  limitTrailingSilence_,
                  "A box of the configuration dialog" + onOff(d.limitTrailingSilence),
                  [this](Settings& s) { s.limitTrailingSilence = limitTrailingSilence_; });
    }

    const std::vector<std::string> names = formatOptionNames();
    addValue(command, "--disable", "FORMAT", disabled_,
             "Do not recognise this format: " + listed(names) +
                 "; repeatable (default: all recognised)",
             [this](Settings& s) {
                 for (const std::string& name : disabled_)
                     formatSwitch(s, name) = 0;
             })
        ->check(oneOf(names));
    addValue(command, "--enable", "FORMAT", enabled_,
             "Recognise this format again, as --settings may have disabled it; repeatable",
             [this](Settings& s) {
                 for (const std::string& name : enabled_)
                     formatSwitch(s, name) = 1;
             })
        ->check(oneOf(names));
}

void SettingsOptions::addSoundOptions(CLI::App& command, bool toolSound) {
    const Settings d;
    // The settings file holds only what the plug-in plays: 8, 16 or 32-bit integers, and
    // interpolation on or off.
    std::vector<std::string> widths = {"8", "16", "32"};
    std::vector<std::string> modes = {"none", "linear"};
    std::string modeHelp = "none (the frame before) or linear";
    if (toolSound) {
        widths.push_back("float");
        modes.insert(modes.end(), {"cubic", "sinc"});
        modeHelp = "none (the frame before), linear, cubic (a 4-point spline) or sinc (a windowed "
                   "sinc that also keeps high notes from folding back)";
    }
    addValue(command, "--bits", "BITS", bits_,
             "Output samples: 8 (unsigned), 16 or 32-bit integers" +
                 std::string(toolSound ? ", or float (32-bit, full scale 1.0)" : "") +
                 byDefault(std::to_string(d.outputBits)),
             [this](Settings& s) {
                 s.outputBits = bits_ == "float" ? 32 : static_cast<uint8_t>(std::stoi(bits_));
             })
        ->check(oneOf(widths));
    addValue(command, "--amp", "DB", ampDb_,
             "Amplification in decibels, -15 to 15" + byDefault("0"),
             [this](Settings& s) { s.amp = static_cast<int16_t>(std::lround(ampDb_ * 100)); })
        ->check(numberIn(-MaxAmp / 100.0, MaxAmp / 100.0, false));
    interpolationOption_ =
        addValue(command, "--interpolation", "MODE", interpolation_,
                 "How samples are read between their frames: " + modeHelp +
                     byDefault(d.disableOversampling ? "none" : "linear"),
                 [this](Settings& s) { s.disableOversampling = interpolation_ == "none"; });
    interpolationOption_->check(oneOf(modes));
    addSwitch(command, "--mod-panning,!--no-mod-panning", modPanning_,
              "Obey panning effects in MOD files" + onOff(!d.disableModPanning),
              [this](Settings& s) { s.disableModPanning = !modPanning_; });
    addSwitch(command, "--mono,!--no-mono", mono_,
              "The same mono signal on both channels" + onOff(d.forceMono),
              [this](Settings& s) { s.forceMono = mono_; });
    addSwitch(command, "--reverse-stereo,!--no-reverse-stereo", reverseStereo_,
              "Swap left and right" + onOff(d.reverseStereo),
              [this](Settings& s) { s.reverseStereo = reverseStereo_; });
    if (!toolSound)
        return;
    command
        .add_option("--stereo-separation", stereoSeparation_,
                    "Width of the stereo image in percent: 0 mono, 200 twice as wide" +
                        byDefault("100"))
        ->group("Settings")
        ->type_name("PERCENT")
        ->check(numberIn(0, MaxStereoSeparation));
    command.add_option("--mute", muted_, "Silence these channels, counted from 1 (e.g. 1,3)")
        ->group("Settings")
        ->type_name("CHANNELS")
        ->delimiter(',')
        ->check(numberIn(1, 64));
    command.add_option("--solo", solo_, "Hear only these channels, counted from 1")
        ->group("Settings")
        ->type_name("CHANNELS")
        ->delimiter(',')
        ->check(numberIn(1, 64));
}

SoundChoices SettingsOptions::soundChoices() const {
    SoundChoices c;
    const std::string modes[] = {"none", "linear", "cubic", "sinc"};
    for (uint8_t i = 0; i < 4; ++i)
        if (interpolationOption_ && interpolationOption_->count() > 0 && interpolation_ == modes[i])
            c.interpolation = static_cast<Interpolation>(i);
    c.stereoSeparation = static_cast<uint16_t>(stereoSeparation_);
    c.floatSamples = bits_ == "float";
    for (const uint32_t channel : muted_)
        c.mutedChannels |= uint64_t{1} << (channel - 1);
    uint64_t heard = 0;
    for (const uint32_t channel : solo_)
        heard |= uint64_t{1} << (channel - 1);
    if (!solo_.empty())
        c.mutedChannels |= ~heard;
    return c;
}

bool SettingsOptions::consistent(std::string& reason) const {
    if (loopsOption_ && loopsOption_->count() > 0 && extraSecondsOption_->count() > 0) {
        reason = "--loops counts loops and --extra-seconds counts seconds: give one of them";
        return false;
    }
    for (const std::string& name : enabled_)
        if (std::find(disabled_.begin(), disabled_.end(), name) != disabled_.end()) {
            reason = "--enable " + name + " and --disable " + name + " contradict each other";
            return false;
        }
    return true;
}

void SettingsOptions::applyOptions(Settings& settings) const {
    for (const Edit& edit : edits_)
        if (edit.option->count() > 0)
            edit.apply(settings);
}

bool SettingsOptions::resolve(Settings& settings, std::string& reason) const {
    setDefaults(settings);
    if (!file_.empty()) {
        if (!readSettingsFile(file_, settings, reason))
            return false;
        replaceUnusableFields(settings);
    }
    applyOptions(settings);
    return true;
}

bool readSettingsFile(const std::string& path, Settings& stored, std::string& reason) {
    reason = unreadable(path);
    if (!reason.empty())
        return false;
    FileStream file(path.c_str(), platform::FileMode::Read);
    if (!file.isOpen()) {
        reason = "cannot read file";
        return false;
    }
    uint8_t bytes[SettingsFileSize];
    if (file.size() < SettingsFileSize || file.read(SettingsFileSize, bytes) != 0) {
        reason = "not a settings file: it holds " + std::to_string(file.size()) +
                 " bytes, a settings file " + std::to_string(SettingsFileSize);
        return false;
    }
    stored = decodeSettings(bytes);
    return true;
}

} // namespace tolva::cli
