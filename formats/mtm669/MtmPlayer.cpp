#include "formats/mtm669/MtmPlayer.h"

#include "song/ByteOrder.h"

namespace tolva {

MtmPlayer::MtmPlayer(Mixer* mixer) : Player(mixer), BasicSongInfo(static_cast<Player&>(*this)) {
    channels_.show(channels);
    samples_.show(samples);
    quirks = {
        .bcdPatternBreak = false,
        .jumpsInsideLoops = false,
        .laterChannelDecides = false,
        .finetuneOnChannel = false,
        .retriggerOnFirstTick = false,
        .proTrackerOptions = false,
    };
    song.signedSamples = false;
}

MtmPlayer::~MtmPlayer() {
    releaseAllSamples();
}

uint32_t MtmPlayer::trackNumber(uint32_t pattern, uint32_t slot) const {
    if (pattern > lastPattern)
        return 0;
    const HeapArray<uint8_t>& table = patternTracks();
    const std::size_t at = (static_cast<std::size_t>(pattern) * MtmChannelSlots + slot) * 2;
    if (at + 2 > table.size())
        return 0;
    const uint32_t track = readLe16(&table[at]);
    return track <= trackCount ? track : 0;
}

const uint8_t* MtmPlayer::trackRow(uint32_t track, uint32_t row) const {
    if (track == 0 || track > trackCount || row >= MtmTrackRows)
        return nullptr;
    return trackData.data() + (track - 1) * MtmTrackBytes + row * MtmRowBytes;
}

bool MtmPlayer::enterPattern(uint32_t pattern) {
    bool hasData = false;
    for (uint32_t slot = 0; slot < MtmChannelSlots; ++slot) {
        const uint32_t track = trackNumber(pattern, slot);
        tracks_[slot] = trackRow(track, 0);
        hasData = hasData || track != 0;
    }
    return hasData;
}

bool MtmPlayer::isPatternMissing(uint32_t pattern) {
    for (uint32_t slot = 0; slot < MtmChannelSlots; ++slot)
        if (trackNumber(pattern, slot) != 0)
            return false;
    return true;
}

bool MtmPlayer::readCell(uint32_t channelIndex) {
    Channel& ch = channel(channelIndex);
    // A row without data is an empty row: effects of the row before do not run again.
    ch.cellNote = ch.cellInstrument = ch.cellParam = 0;
    ch.cellEffect = -1;
    const uint32_t row = currentRow();
    if ((changeFlags & ChangeNoPatternData) || channelIndex >= MtmChannelSlots ||
        !tracks_[channelIndex] || row >= MtmTrackRows)
        return false;
    const uint8_t* cell = tracks_[channelIndex] + row * MtmRowBytes;
    const uint8_t stored = cell[0] >> 2;
    ch.cellNote = stored != 0 ? static_cast<uint8_t>(stored + 1) : 0;
    ch.cellInstrument = static_cast<uint8_t>((cell[0] & 3) << 4 | cell[1] >> 4);
    ch.cellEffect = static_cast<int8_t>(cell[1] & 15);
    ch.cellParam = cell[2];
    // A delayed note (EDx) waits for the note-delay effect.
    return !(ch.cellEffect == 14 && ch.cellParam >= 0xD1 && ch.cellParam <= 0xDF);
}

void MtmPlayer::triggerNote(Channel& ch) {
    Player::triggerNote(ch);
    // A note with an instrument restarts the sample under a tone portamento with volume slide
    // too; only the plain tone portamento slides into it.
    if (ch.cellNote != 0 && ch.cellInstrument != 0 && ch.sample && ch.cellEffect != 3) {
        changeFlags |= ChangeStartNote;
        restarting_ = &ch;
    }
}

void MtmPlayer::startEffect(Channel& ch) {
    Player::startEffect(ch);
    // The portamento has taken the restart back; the note starts all the same.
    if (restarting_ == &ch)
        changeFlags |= ChangeStartNote;
    restarting_ = nullptr;
}

uint32_t MtmPlayer::formatType() {
    return FormatMtm;
}

const char* MtmPlayer::songMessage() {
    return message.empty() ? nullptr : message.data();
}

void MtmPlayer::describePattern(PatternDescription& out, uint32_t index) {
    out = {};
    out.rows = MtmTrackRows;
    const std::size_t at = static_cast<std::size_t>(index) * MtmPatternEntryBytes;
    if (index > lastPattern || at + MtmPatternEntryBytes > patternTracks().size())
        return;
    out.cells = patternTracks().data() + at;
    out.size = MtmPatternEntryBytes;
    for (uint32_t slot = 0; slot < MtmChannelSlots && slot < DescribedTracks; ++slot)
        out.tracks[slot] = trackRow(trackNumber(index, slot), 0);
}

} // namespace tolva
