#include "formats/it/ItPattern.h"

#include "song/ByteOrder.h"

#include <cstring>

namespace tolva {

uint32_t itPatternRows(const HeapArray<uint8_t>& stored) {
    uint32_t rows = stored.size() >= ItPatternHeaderBytes ? readLe16(stored.data() + 2) : 0;
    // A pattern of no rows would never end; it plays as an empty one.
    return rows ? rows : ItEmptyPatternRows;
}

uint32_t itPackedLength(const HeapArray<uint8_t>& stored) {
    return stored.size() >= ItPatternHeaderBytes ? readLe16(stored.data()) : 0;
}

void ItPatternReader::enter(const HeapArray<uint8_t>& stored) {
    uint32_t packed = itPackedLength(stored);
    data_ = packed ? stored.data() + ItPatternHeaderBytes : nullptr;
    size_ = packed && stored.size() >= ItPatternHeaderBytes + packed ? packed : 0;
    position_ = 0;
    std::memset(lastMask_, 0, sizeof lastMask_);
}

bool ItPatternReader::readRow(ItCell (&cells)[ItChannels], ItCellValues (&memory)[ItChannels]) {
    for (ItCell& cell : cells)
        cell = ItCell{};
    if (position_ >= size_)
        return false;
    auto next = [&](uint8_t& byte) {
        if (position_ >= size_)
            return false;
        byte = data_[position_++];
        return true;
    };
    uint8_t what;
    while (next(what) && what) {
        uint32_t channel = (what - 1u) & 63;
        uint8_t mask = lastMask_[channel];
        if (what & 0x80 && !next(mask))
            break;
        lastMask_[channel] = mask;
        ItCellValues& last = memory[channel];
        if ((mask & ItMaskNote && !next(last.note)) ||
            (mask & ItMaskInstrument && !next(last.instrument)) ||
            (mask & ItMaskVolume && !next(last.volume)) ||
            (mask & ItMaskCommand && !(next(last.command) && next(last.param))))
            break;
        cells[channel].mask = mask;
        cells[channel].values = last;
    }
    return true;
}

} // namespace tolva
