#include "SettingsOptionTable.h"

#include "NumberCheck.h"
#include "SettingsOptions.h"
#include "formats/FormatTable.h"

#include <cmath>

namespace tolva::cli {

namespace {

using V = OptionValues;

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

std::string byDefault(uint32_t value) {
    return byDefault(std::to_string(value));
}

// --loops and --extra-seconds each choose how a looping song ends.
void playLoops(const V& v, Settings& s) {
    s.loopCount = v.loops;
    s.lengthMode = LengthDetectLoop;
    s.extraPlayTime = 1;
    s.loopByCount = 1;
}

void playExtraSeconds(const V& v, Settings& s) {
    s.extraLoopSeconds = v.extraSeconds;
    s.lengthMode = LengthDetectLoop;
    s.extraPlayTime = 1;
    s.loopByCount = 0;
}

std::vector<OptionRow> lengthRows(const Settings& d) {
    return {
        {"--rate", "HZ", &V::rate, "Mixing frequency, 5000 to 96000" + byDefault(d.mixingFrequency),
         numberIn(MinMixingFrequency, MaxMixingFrequency),
         [](const V& v, Settings& s) { s.mixingFrequency = v.rate; }},
        {"--length-mode", "MODE", &V::lengthMode,
         "How a song that jumps back ends: no-backward-jumps skips positions played before; "
         "detect takes a return to a played position as the song's loop" +
             byDefault("no-backward-jumps"),
         oneOf({"detect", "no-backward-jumps"}),
         [](const V& v, Settings& s) {
             s.lengthMode = v.lengthMode == "detect" ? LengthDetectLoop : LengthNoBackwardJumps;
         }},
        {"--loops", "N", &V::loops,
         "Play a looping song N times, 1 to 9999 (sets --length-mode detect, --extra-play-time "
         "and --loop-by-count)",
         numberIn(1, MaxLoopCount), playLoops},
        {"--extra-seconds", "SECONDS", &V::extraSeconds,
         "Play a looping song this long past its first loop (sets --length-mode detect, "
         "--extra-play-time and --no-loop-by-count)" +
             byDefault(d.extraLoopSeconds),
         numberIn(0, MaxSilenceOrExtraSeconds), playExtraSeconds},
        {"--extra-play-time,!--no-extra-play-time",
         "",
         &V::extraPlayTime,
         "Looping songs play past their first loop, with --length-mode detect" +
             onOff(d.extraPlayTime),
         {},
         [](const V& v, Settings& s) { s.extraPlayTime = v.extraPlayTime; }},
        {"--loop-by-count,!--no-loop-by-count",
         "",
         &V::loopByCount,
         "Extra play time counts loops rather than seconds" + onOff(d.loopByCount),
         {},
         [](const V& v, Settings& s) { s.loopByCount = v.loopByCount; }},
        {"--remove-silence,!--no-remove-silence",
         "",
         &V::removeSilence,
         "Skip leading silence and cut trailing silence" + onOff(d.removeSilence),
         {},
         [](const V& v, Settings& s) { s.removeSilence = v.removeSilence; }},
        {"--trailing-silence", "SECONDS", &V::trailingSilence,
         "Silence kept at the end when silence is removed" + byDefault(d.trailingSilenceSeconds),
         numberIn(0, MaxSilenceOrExtraSeconds),
         [](const V& v, Settings& s) { s.trailingSilenceSeconds = v.trailingSilence; }},
        {"--strip-empty-patterns,!--no-strip-empty-patterns",
         "",
         &V::stripEmptyPatterns,
         "Pass over trailing orders without pattern data" + onOff(d.stripTrailingEmptyPatterns),
         {},
         [](const V& v, Settings& s) { s.stripTrailingEmptyPatterns = v.stripEmptyPatterns; }},
        {"--old-protracker,!--no-old-protracker",
         "",
         &V::oldProTracker,
         "A constant 125 BPM for MOD files" + onOff(d.oldProTrackerMode),
         {},
         [](const V& v, Settings& s) { s.oldProTrackerMode = v.oldProTracker; }},
    };
}

// The settings file holds only what the plug-in plays: 8, 16 or 32-bit integers, and
// interpolation on or off. The tool plays floats and two more interpolations besides.
std::vector<OptionRow> soundRows(const Settings& d, bool tool) {
    std::vector<std::string> widths = {"8", "16", "32"};
    std::vector<std::string> modes = {"none", "linear"};
    if (tool) {
        widths.push_back("float");
        modes.insert(modes.end(), {"cubic", "sinc"});
    }
    return {
        {"--bits", "BITS", &V::bits,
         "Output samples: 8 (unsigned), 16 or 32-bit integers" +
             std::string(tool ? ", or float (32-bit, full scale 1.0)" : "") +
             byDefault(d.outputBits),
         oneOf(widths),
         [](const V& v, Settings& s) {
             s.outputBits = v.bits == "float" ? 32 : static_cast<uint8_t>(std::stoi(v.bits));
         }},
        {"--amp", "DB", &V::ampDb, "Amplification in decibels, -15 to 15" + byDefault("0"),
         numberIn(-MaxAmp / 100.0, MaxAmp / 100.0, false),
         [](const V& v, Settings& s) { s.amp = static_cast<int16_t>(std::lround(v.ampDb * 100)); }},
        {"--interpolation", "MODE", &V::interpolation,
         "How samples are read between their frames: " +
             std::string(tool ? "none (the frame before), linear, cubic (a 4-point spline) or "
                                "sinc (a windowed sinc that also keeps high notes from folding "
                                "back)"
                              : "none (the frame before) or linear") +
             byDefault(d.disableOversampling ? "none" : "linear"),
         oneOf(modes),
         [](const V& v, Settings& s) { s.disableOversampling = v.interpolation == "none"; }},
        {"--mod-panning,!--no-mod-panning",
         "",
         &V::modPanning,
         "Obey panning effects in MOD files" + onOff(!d.disableModPanning),
         {},
         [](const V& v, Settings& s) { s.disableModPanning = !v.modPanning; }},
        {"--mono,!--no-mono",
         "",
         &V::mono,
         "The same mono signal on both channels" + onOff(d.forceMono),
         {},
         [](const V& v, Settings& s) { s.forceMono = v.mono; }},
        {"--reverse-stereo,!--no-reverse-stereo",
         "",
         &V::reverseStereo,
         "Swap left and right" + onOff(d.reverseStereo),
         {},
         [](const V& v, Settings& s) { s.reverseStereo = v.reverseStereo; }},
    };
}

// What the tool plays beyond the record; SettingsOptions::soundChoices reads them.
std::vector<OptionRow> toolSoundRows() {
    return {
        {"--stereo-separation", "PERCENT", &V::stereoSeparation,
         "Width of the stereo image in percent: 0 mono, 200 twice as wide" + byDefault("100"),
         numberIn(0, MaxStereoSeparation)},
        {"--mute", "CHANNELS", &V::muted, "Silence these channels, counted from 1 (e.g. 1,3)",
         numberIn(1, 64), nullptr, ','},
        {"--solo", "CHANNELS", &V::solo, "Hear only these channels, counted from 1",
         numberIn(1, 64), nullptr, ','},
    };
}

std::vector<OptionRow> dialogRows(const Settings& d) {
    return {
        {"--title-format", "N", &V::titleFormat,
         "Playlist title: 0 title, 1 title - file, 2 TOLVA: title - file" +
             byDefault(d.titleFormat),
         numberIn(0, 2), [](const V& v, Settings& s) { s.titleFormat = v.titleFormat; }},
        {"--remove-initial-silence,!--no-remove-initial-silence",
         "",
         &V::removeInitialSilence,
         "A box of the configuration dialog" + onOff(d.removeInitialSilence),
         {},
         [](const V& v, Settings& s) { s.removeInitialSilence = v.removeInitialSilence; }},
        {"--limit-trailing-silence,!--no-limit-trailing-silence",
         "",
         &V::limitTrailingSilence,
         "A box of the configuration dialog" + onOff(d.limitTrailingSilence),
         {},
         [](const V& v, Settings& s) { s.limitTrailingSilence = v.limitTrailingSilence; }},
    };
}

std::vector<OptionRow> formatSwitchRows() {
    const std::vector<std::string> names = formatOptionNames();
    return {
        {"--disable", "FORMAT", &V::disabled,
         "Do not recognise this format: " + listed(names) +
             "; repeatable (default: all recognised)",
         oneOf(names),
         [](const V& v, Settings& s) {
             for (const std::string& name : v.disabled)
                 formatSwitch(s, name) = 0;
         }},
        {"--enable", "FORMAT", &V::enabled,
         "Recognise this format again, as --settings may have disabled it; repeatable",
         oneOf(names),
         [](const V& v, Settings& s) {
             for (const std::string& name : v.enabled)
                 formatSwitch(s, name) = 1;
         }},
    };
}

void append(std::vector<OptionRow>& rows, std::vector<OptionRow> more) {
    rows.insert(rows.end(), std::make_move_iterator(more.begin()),
                std::make_move_iterator(more.end()));
}

} // namespace

std::vector<OptionRow> settingsOptionRows(unsigned groups) {
    const Settings d;
    std::vector<OptionRow> rows = {{"--settings", "FILE", &V::file,
                                    "Start from this in_tolva.dat instead of the defaults",
                                    std::nullopt}};
    if (groups & LengthSettings)
        append(rows, lengthRows(d));
    if (groups & SoundSettings)
        append(rows, soundRows(d, groups & ToolSound));
    if ((groups & SoundSettings) && (groups & ToolSound))
        append(rows, toolSoundRows());
    if (groups & DialogSettings)
        append(rows, dialogRows(d));
    append(rows, formatSwitchRows());
    return rows;
}

} // namespace tolva::cli
