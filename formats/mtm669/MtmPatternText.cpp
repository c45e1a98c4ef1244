#include "formats/mtm669/MtmPlayer.h"

namespace tolva {

// Track rows: note << 2 | sample high bits, sample low bits << 4 | effect, parameter.
void writeMtmPatternText(const PatternDescription& p, uint32_t channels, CellText* out) {
    for (uint32_t row = 0; row < p.rows; ++row)
        for (uint32_t c = 0; c < channels; ++c) {
            CellText& cell = out[row * channels + c];
            const uint8_t* track = c < DescribedTracks ? p.tracks[c] : nullptr;
            if (!track || row >= MtmTrackRows) {
                writeProTrackerCell(cell, 0, 0, 0, 0);
                continue;
            }
            const uint8_t* b = track + row * MtmRowBytes;
            const uint32_t stored = b[0] >> 2;
            writeProTrackerCell(cell, stored != 0 ? stored + 1 : 0, (b[0] & 3u) << 4 | b[1] >> 4,
                                b[1] & 15u, b[2]);
        }
}

bool MtmPlayer::writePatternText(const PatternDescription& pattern, uint32_t channels,
                                 CellText* out) {
    writeMtmPatternText(pattern, channels, out);
    return true;
}

} // namespace tolva
