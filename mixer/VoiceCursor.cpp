#include "mixer/VoiceCursor.h"

#include <algorithm>
#include <cstdint>

namespace tolva {

namespace {

// Offsets below `data` come out huge, so such a voice fails the range checks and stops.
uint32_t frameOf(const uint8_t* pointer, const uint8_t* data, uint8_t shift) {
    return static_cast<uint32_t>(
        (reinterpret_cast<uintptr_t>(pointer) - reinterpret_cast<uintptr_t>(data)) >> shift);
}

} // namespace

VoiceCursor VoiceCursor::load(const Voice& voice, uint8_t turns) {
    VoiceCursor c;
    c.turns = turns;
    c.flags = voice.flags;
    c.frameShift = static_cast<uint8_t>(((voice.flags & VoiceStereo) ? 1 : 0) +
                                        ((voice.flags & Voice16Bit) ? 1 : 0));
    c.data = voice.data;
    c.index = frameOf(voice.position, voice.data, c.frameShift);
    c.fraction = voice.fraction & 0xFFFF;
    c.loopFrame = frameOf(voice.loopStart, voice.data, c.frameShift);
    c.endFrame = frameOf(voice.end, voice.data, c.frameShift);
    c.step = voice.step;
    c.signFlip = voice.signFlip;
    c.looped = voice.looped;
    return c;
}

void VoiceCursor::store(Voice& voice) const {
    voice.position = data + (static_cast<uintptr_t>(index) << frameShift);
    voice.fraction = fraction;
    voice.flags = flags;
    voice.looped = looped;
}

bool VoiceCursor::prepareSegment() {
    if (!active())
        return false;
    if ((flags & VoiceLoop) && endFrame < loopFrame) {
        stop();
        return false;
    }
    const int64_t here = index;
    if (!backwards()) {
        if (here > endFrame)
            stop();
        else if (here == endFrame)
            wrapAtBoundary(0);
    } else {
        if (here >= endFrame || here < int64_t(loopFrame) - 1)
            stop();
        else if (here == int64_t(loopFrame) - 1)
            wrapAtBoundary(0);
    }
    return active();
}

bool VoiceCursor::partnerFrame(uint32_t& partner) const {
    if (framesToBoundary() >= 2) {
        partner = backwards() ? index - 1 : index + 1;
        return true;
    }
    if (!(flags & VoiceLoop))
        return false;
    const int64_t first = loopFrame;
    const int64_t last = int64_t(endFrame) - 1;
    int64_t frame;
    if (flags & VoicePingPong)
        frame = backwards() ? first + 1 - repeats(TurnRepeatsStart)
                            : last - 1 + repeats(TurnRepeatsEnd);
    else
        frame = backwards() ? last : first;
    // Only loop frames qualify: a loop of one frame has no mirror partner.
    if (frame < first || frame > last)
        return false;
    partner = static_cast<uint32_t>(frame);
    return true;
}

void VoiceCursor::advance() {
    fraction += step & 0xFFFF;
    const uint32_t frames = (step >> 16) + (fraction >> 16);
    fraction &= 0xFFFF;
    const int64_t distance = framesToBoundary();
    if (frames < distance)
        index = backwards() ? index - frames : index + frames;
    else
        wrapAtBoundary(static_cast<uint64_t>(frames - distance));
}

void VoiceCursor::wrapAtBoundary(uint64_t overshoot) {
    if (!(flags & VoiceLoop)) {
        stop();
        return;
    }
    const int64_t first = loopFrame;
    const int64_t end = endFrame;
    const int64_t o = static_cast<int64_t>(overshoot);
    int64_t frame;
    bool forwardsAfter;
    if (!(flags & VoicePingPong)) {
        forwardsAfter = !backwards();
        frame = forwardsAfter ? first + o : end - 1 - o;
    } else {
        forwardsAfter = backwards();
        frame = forwardsAfter ? first + 1 - repeats(TurnRepeatsStart) + o
                              : end - 2 + repeats(TurnRepeatsEnd) - o;
    }
    if (forwardsAfter ? frame >= end : frame <= first - 1) {
        stop();
        return;
    }
    index = static_cast<uint32_t>(frame);
    looped = true;
    if (forwardsAfter)
        flags &= static_cast<uint8_t>(~VoiceBackwards);
    else
        flags |= VoiceBackwards;
}

void VoiceCursor::advanceSilently(uint32_t frames) {
    frames &= ~1u;
    while (frames > 0 && active() && step != 0) {
        skipLoops(frames);
        if (frames == 0)
            break;
        const int64_t need = framesToBoundary() * 65536 - fraction;
        // Frames until the boundary is reached; mixing turns or wraps there, frame by frame.
        const uint64_t toBoundary = (static_cast<uint64_t>(need) + step - 1) / step;
        // Mixing stops a voice on the frame before the boundary when that frame has nothing to
        // interpolate towards: where a frame starts on it, here or further on.
        VoiceCursor last = *this;
        last.index = backwards() ? loopFrame : endFrame - 1;
        uint32_t partner;
        if (!last.partnerFrame(partner)) {
            const int64_t beforeLast = need - 65536;
            const uint64_t toLast =
                beforeLast > 0 ? (static_cast<uint64_t>(beforeLast) + step - 1) / step : 0;
            if (toLast < frames && toLast * step < static_cast<uint64_t>(need)) {
                stop();
                break;
            }
        }
        const uint32_t used = toBoundary < frames ? static_cast<uint32_t>(toBoundary) : frames;
        const int64_t rest = need - int64_t(used) * step;
        const int64_t before = (rest + 65535) >> 16; // whole frames short of the boundary
        fraction = static_cast<uint32_t>(-rest) & 0xFFFF;
        frames -= used;
        if (before > 0)
            index = static_cast<uint32_t>(backwards() ? int64_t(loopFrame) - 1 + before
                                                      : int64_t(endFrame) - before);
        else
            wrapAtBoundary(static_cast<uint64_t>(-before));
    }
}

// Positions here are in 1/65536 frame. Inside a loop a frame moves the position by the step; a
// frame that passes the loop's end takes it back by one period, and stops the voice when that
// still leaves it past the end. Ping-pong loops are unfolded into a line on which the backward
// half follows the forward half, the period being twice the distance between the turning
// frames. With a step up to half the period (the whole period for a forward loop) no frame stops
// the voice and the position goes round in the period; with a larger step every frame turns the
// voice, and its place creeps on by a fixed amount until it stops.
namespace {

constexpr int64_t Unit = 65536;

void skipForwardLoop(VoiceCursor& c, uint32_t& frames) {
    uint64_t left = frames;
    const int64_t move = c.step; // one frame's move
    const int64_t end = int64_t{c.endFrame} * Unit;
    const int64_t first = int64_t{c.loopFrame} * Unit;
    const int64_t period = end - first;
    int64_t u = int64_t{c.index} * Unit + c.fraction;
    if (c.backwards() || u < first || u >= end)
        return;
    if (move <= period) {
        const uint64_t travel = left * uint64_t(move);
        c.looped = c.looped || uint64_t(u - first) + travel >= uint64_t(period);
        u = first + (u - first + static_cast<int64_t>(travel % uint64_t(period))) % period;
        left = 0;
    } else if (move < 2 * period) {
        const int64_t creep = move - period;
        const uint64_t alive = static_cast<uint64_t>((end - 1 - u) / creep);
        const uint64_t skipped = std::min(alive, left);
        u += static_cast<int64_t>(skipped) * creep;
        left -= skipped;
        c.looped = c.looped || skipped > 0;
    } else {
        return;
    }
    c.index = static_cast<uint32_t>(u / Unit);
    c.fraction = static_cast<uint32_t>(u % Unit);
    frames = static_cast<uint32_t>(left);
}

// A ping-pong loop unfolded into a line.
struct PingPongLine {
    int64_t base;   // the forward half's first position
    int64_t end;    // where the backward half begins
    int64_t period; // an end frame that sounds again on the way back adds a frame to it
    int64_t turn;   // backwards, the unfolded place is turn - position
};

PingPongLine unfold(const VoiceCursor& c) {
    const int64_t repeatsEnd = c.repeats(TurnRepeatsEnd);
    const int64_t repeatsStart = c.repeats(TurnRepeatsStart);
    const int64_t end = int64_t{c.endFrame} * Unit;
    return {(int64_t{c.loopFrame} + 1 - repeatsStart) * Unit, end,
            (2 * (int64_t{c.endFrame} - c.loopFrame - 1) + repeatsEnd + repeatsStart) * Unit,
            2 * end - (2 - repeatsEnd) * Unit};
}

// From the forward half, two frames turn the voice twice and move it on by `creep`; false when
// the step is too large for that.
bool creepPingPong(VoiceCursor& c, const PingPongLine& line, int64_t& u, uint64_t& left) {
    const int64_t move = c.step;
    if (move >= line.period || c.backwards() || c.turns != 0)
        return false;
    const int64_t creep = 2 * move - line.period;
    const int64_t limit = std::min(line.base + line.period - move, line.end - creep);
    const uint64_t alive = u < limit ? static_cast<uint64_t>((limit - u + creep - 1) / creep) : 0;
    const uint64_t skipped = std::min(alive, left / 2);
    u += static_cast<int64_t>(skipped) * creep;
    left -= 2 * skipped;
    c.looped = c.looped || skipped > 0;
    return true;
}

void skipPingPongLoop(VoiceCursor& c, uint32_t& frames) {
    if (c.endFrame - c.loopFrame < 2)
        return;
    const PingPongLine line = unfold(c);
    int64_t u;
    if (!c.backwards()) {
        u = int64_t{c.index} * Unit + c.fraction;
        if (u < line.base || u >= line.end)
            return;
    } else {
        u = line.turn - (int64_t{c.index} * Unit - c.fraction);
        if (u < line.end || u >= line.base + line.period)
            return;
    }
    // A frame that passes a turn by less than the frames back to the other end cannot stop the
    // voice: half the period, less a frame where only one end sounds twice.
    const int64_t safe = (int64_t{c.endFrame} - c.loopFrame - 1 +
                          std::min(c.repeats(TurnRepeatsEnd), c.repeats(TurnRepeatsStart))) *
                         Unit;
    uint64_t left = frames;
    if (c.step <= safe) {
        const uint64_t travel = left * uint64_t(c.step);
        // The next turn lies at the end from the forward half, at the start from the other.
        const int64_t turnAt = u < line.end ? line.end : line.base + line.period;
        c.looped = c.looped || uint64_t(u - line.base) + travel >= uint64_t(turnAt - line.base);
        u = line.base +
            (u - line.base + static_cast<int64_t>(travel % uint64_t(line.period))) % line.period;
        left = 0;
    } else if (!creepPingPong(c, line, u, left)) {
        return;
    }
    if (u < line.end) {
        c.index = static_cast<uint32_t>(u / Unit);
        c.fraction = static_cast<uint32_t>(u % Unit);
        c.flags &= static_cast<uint8_t>(~VoiceBackwards);
    } else {
        const int64_t position = line.turn - u;
        const int64_t frame = (position + Unit - 1) / Unit;
        c.index = static_cast<uint32_t>(frame);
        c.fraction = static_cast<uint32_t>(frame * Unit - position);
        c.flags |= VoiceBackwards;
    }
    frames = static_cast<uint32_t>(left);
}

} // namespace

void VoiceCursor::skipLoops(uint32_t& frames) {
    if (frames < 4 || !(flags & VoiceLoop) || endFrame <= loopFrame)
        return;
    if (flags & VoicePingPong)
        skipPingPongLoop(*this, frames);
    else
        skipForwardLoop(*this, frames);
}

} // namespace tolva
