#include "settings/SettingsConversion.h"

namespace tolva {

namespace {

LoopRule loopRule(const Settings& s) {
    if (!s.extraPlayTime)
        return LoopRule::Once;
    return s.loopByCount ? LoopRule::Count : LoopRule::Seconds;
}

} // namespace

LoadOptions loadOptions(const Settings& s) {
    LoadOptions options;
    SongOptions& song = options.song;
    song.rate = s.mixingFrequency;
    song.lengthRule =
        s.lengthMode == LengthDetectLoop ? LengthRule::DetectLoop : LengthRule::NoBackwardJumps;
    song.loops = loopRule(s);
    song.loopCount = s.loopCount;
    song.extraSeconds = s.extraLoopSeconds;
    song.removeSilence = s.removeSilence != 0;
    song.trailingSilenceSeconds = s.trailingSilenceSeconds;
    song.skipTrailingEmptyPatterns = s.stripTrailingEmptyPatterns != 0;
    song.oldProTrackerMode = s.oldProTrackerMode != 0;
    song.modPanning = s.disableModPanning == 0;
    song.amp = s.amp;
    song.interpolation = s.disableOversampling ? Interpolation::None : Interpolation::Linear;
    song.mono = s.forceMono != 0;
    song.reverseStereo = s.reverseStereo != 0;
    options.formats = FormatSet::none();
    for (const FormatRow& row : formatRows())
        if (s.formatSwitches[row.settingsSwitch])
            options.formats.add(row.id);
    return options;
}

} // namespace tolva
