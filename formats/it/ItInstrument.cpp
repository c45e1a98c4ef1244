#include "formats/it/ItInstrument.h"

#include "song/ByteOrder.h"

#include <cstring>

namespace tolva {

void copyItName(char* out, const uint8_t* name) {
    for (int i = 0; i < 25; ++i)
        out[i] = name[i] ? static_cast<char>(name[i]) : ' ';
    out[25] = 0;
}

namespace {

void parseEnvelope(const uint8_t* b, uint8_t flagMask, ItEnvelope& out) {
    out.flags = b[0] & flagMask;
    out.nodeCount = b[1];
    out.loopStart = b[2];
    out.loopEnd = b[3];
    out.sustainStart = b[4];
    out.sustainEnd = b[5];
    for (uint32_t i = 0; i < ItEnvelopeNodes; ++i) {
        out.nodes[i].value = static_cast<int8_t>(b[6 + 3 * i]);
        out.nodes[i].tick = readLe16(b + 7 + 3 * i);
    }
    // Backwards ranges cannot be played; they drop the loop rather than the envelope.
    if (out.loopEnd < out.loopStart)
        out.flags &= static_cast<uint8_t>(~ItEnvelopeLoop);
    if (out.sustainEnd < out.sustainStart)
        out.flags &= static_cast<uint8_t>(~ItEnvelopeSustain);
}

void parseNoteMap(const uint8_t* b, ItInstrument& out) {
    for (uint32_t i = 0; i < ItNoteCount; ++i) {
        out.noteMap[i].note = b[2 * i];
        out.noteMap[i].sample = b[2 * i + 1];
    }
}

void copyFileName(char* out, const uint8_t* b) {
    std::memcpy(out, b, 12);
    out[12] = 0;
}

void putWord(uint8_t* b, uint16_t value) {
    b[0] = static_cast<uint8_t>(value);
    b[1] = static_cast<uint8_t>(value >> 8);
}

void writeEnvelope(const ItEnvelope& env, uint8_t* b) {
    b[0] = env.flags;
    b[1] = env.nodeCount;
    b[2] = env.loopStart;
    b[3] = env.loopEnd;
    b[4] = env.sustainStart;
    b[5] = env.sustainEnd;
    for (uint32_t i = 0; i < ItEnvelopeNodes; ++i) {
        b[6 + 3 * i] = static_cast<uint8_t>(env.nodes[i].value);
        putWord(b + 7 + 3 * i, env.nodes[i].tick);
    }
}

} // namespace

bool parseItInstrument(const uint8_t* b, ItInstrument& out) {
    if (std::memcmp(b, "IMPI", 4))
        return false;
    out = ItInstrument{};
    copyFileName(out.fileName, b + 0x04);
    out.newNoteAction = b[0x11];
    out.duplicateCheckType = b[0x12];
    out.duplicateCheckAction = b[0x13];
    out.fadeOut = readLe16(b + 0x14);
    out.pitchPanSeparation = static_cast<int8_t>(b[0x16]);
    out.pitchPanCentre = b[0x17];
    out.globalVolume = b[0x18];
    out.defaultPan = b[0x19];
    out.randomVolume = b[0x1A];
    out.randomPan = b[0x1B];
    out.trackerVersion = readLe16(b + 0x1C);
    out.sampleCount = b[0x1E];
    copyItName(out.name, b + 0x20);
    out.filterCutoff = b[0x3A];
    out.filterResonance = b[0x3B];
    out.midiChannel = b[0x3C];
    out.midiProgram = b[0x3D];
    out.midiBank = readLe16(b + 0x3E);
    parseNoteMap(b + 0x40, out);
    parseEnvelope(b + 0x130, 0x0F, out.volumeEnvelope);
    parseEnvelope(b + 0x182, 0x0F, out.panEnvelope);
    parseEnvelope(b + 0x1D4, 0x8F, out.pitchEnvelope);
    return true;
}

bool parseOldItInstrument(const uint8_t* b, ItInstrument& out) {
    if (std::memcmp(b, "IMPI", 4))
        return false;
    out = ItInstrument{};
    copyFileName(out.fileName, b + 0x04);
    out.fadeOut = static_cast<uint16_t>(readLe16(b + 0x18) * 2);
    out.newNoteAction = b[0x1A];
    out.duplicateCheckType = b[0x1B] == 1 ? ItDctNote : ItDctOff;
    out.trackerVersion = readLe16(b + 0x1C);
    out.sampleCount = b[0x1E];
    copyItName(out.name, b + 0x20);
    parseNoteMap(b + 0x40, out);

    // The old layout keeps its volume envelope as up to 25 (tick, value) byte pairs ended by
    // tick 0xFF, with the loop and sustain nodes beside the flags.
    ItEnvelope& env = out.volumeEnvelope;
    env.flags = b[0x11] & (ItEnvelopeOn | ItEnvelopeLoop | ItEnvelopeSustain);
    env.loopStart = b[0x12];
    env.loopEnd = b[0x13];
    env.sustainStart = b[0x14];
    env.sustainEnd = b[0x15];
    const uint8_t* nodes = b + 0x1F8;
    while (env.nodeCount < ItEnvelopeNodes && nodes[2 * env.nodeCount] != 0xFF) {
        env.nodes[env.nodeCount].tick = nodes[2 * env.nodeCount];
        env.nodes[env.nodeCount].value = static_cast<int8_t>(nodes[2 * env.nodeCount + 1]);
        ++env.nodeCount;
    }
    if (env.nodeCount == 0)
        env.flags = 0;
    if (env.loopEnd < env.loopStart || env.loopEnd >= env.nodeCount)
        env.flags &= static_cast<uint8_t>(~ItEnvelopeLoop);
    if (env.sustainEnd < env.sustainStart || env.sustainEnd >= env.nodeCount)
        env.flags &= static_cast<uint8_t>(~ItEnvelopeSustain);
    return true;
}

void writeItInstrument(const ItInstrument& in, uint8_t* b) {
    std::memset(b, 0, ItInstrumentBytes);
    std::memcpy(b, "IMPI", 4);
    std::memcpy(b + 0x04, in.fileName, 12);
    b[0x11] = in.newNoteAction;
    b[0x12] = in.duplicateCheckType;
    b[0x13] = in.duplicateCheckAction;
    putWord(b + 0x14, in.fadeOut);
    b[0x16] = static_cast<uint8_t>(in.pitchPanSeparation);
    b[0x17] = in.pitchPanCentre;
    b[0x18] = in.globalVolume;
    b[0x19] = in.defaultPan;
    b[0x1A] = in.randomVolume;
    b[0x1B] = in.randomPan;
    putWord(b + 0x1C, in.trackerVersion);
    b[0x1E] = in.sampleCount;
    std::memcpy(b + 0x20, in.name, 26);
    b[0x3A] = in.filterCutoff;
    b[0x3B] = in.filterResonance;
    b[0x3C] = in.midiChannel;
    b[0x3D] = in.midiProgram;
    putWord(b + 0x3E, in.midiBank);
    for (uint32_t i = 0; i < ItNoteCount; ++i) {
        b[0x40 + 2 * i] = in.noteMap[i].note;
        b[0x41 + 2 * i] = in.noteMap[i].sample;
    }
    writeEnvelope(in.volumeEnvelope, b + 0x130);
    writeEnvelope(in.panEnvelope, b + 0x182);
    writeEnvelope(in.pitchEnvelope, b + 0x1D4);
}

} // namespace tolva
