#pragma once
#include "mixer/Voice.h"

#include <cstdint>

namespace tolva {

// A voice's place in its sample as frame indices, which the mixing routines move. Loaded from
// the Voice before a run and stored back after it. Holding indices instead of addresses keeps
// every read inside the frames the voice may play.
struct VoiceCursor {
    const uint8_t* data;
    uint32_t index;    // current frame
    uint32_t fraction; // 1/65536 frame travelled beyond `index` in the direction of play
    uint32_t loopFrame;
    uint32_t endFrame; // one past the last playable frame
    uint32_t step;     // 16.16 frames per output frame
    uint8_t flags;
    uint8_t frameShift; // log2 of the bytes per frame
    uint8_t signFlip;
    uint8_t turns; // TurnRepeatsEnd, TurnRepeatsStart
    bool looped;   // has gone round its loop: what it played before lies at the loop's end

    static VoiceCursor load(const Voice& voice, uint8_t turns = 0);
    // Writes back position, fraction, flags and whether it has looped.
    void store(Voice& voice) const;

    bool active() const { return (flags & VoiceActive) != 0; }
    // 1 where a ping-pong turn at that end (TurnRepeatsEnd, TurnRepeatsStart) plays the frame
    // again, else 0.
    int64_t repeats(uint8_t end) const { return (turns & end) ? 1 : 0; }
    bool backwards() const { return (flags & VoiceBackwards) != 0; }
    bool stereo() const { return (flags & VoiceStereo) != 0; }
    bool sixteenBit() const { return (flags & Voice16Bit) != 0; }
    void stop() { flags &= static_cast<uint8_t>(~VoiceActive); }

    // Whole frames from the current one to the segment boundary in the direction of play:
    // the end going forwards, the frame below the loop start going backwards.
    int64_t framesToBoundary() const {
        return backwards() ? int64_t(index) - loopFrame + 1 : int64_t(endFrame) - index;
    }

    // Checks the geometry before a run and turns a voice sitting on its boundary; false when
    // the voice cannot play (and is stopped).
    bool prepareSegment();
    // The frame interpolated towards from the current one; false when there is none and the
    // voice must stop.
    bool partnerFrame(uint32_t& partner) const;
    // Moves one output frame, turning or stopping at the boundary.
    void advance();
    // Applies the loop after the boundary was reached `overshoot` whole frames ago.
    void wrapAtBoundary(uint64_t overshoot);
    // Moves as mixing `frames` frames (a whole number of pairs) would, without reading sample
    // data.
    void advanceSilently(uint32_t frames);
    // Passes over the frames that a voice inside its loop spends going round it, by arithmetic;
    // leaves in `frames` what is left to step through.
    void skipLoops(uint32_t& frames);
};

} // namespace tolva
