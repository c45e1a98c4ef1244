#include "support/MixerHarness.h"

namespace tolva::test {

MixerPtr makeMixer(FakeOwner& owner, uint32_t rate, uint32_t voices) {
    MixerPtr mixer(createMixer());
    mixer->setOwner(&owner);
    mixer->setMixingRate(rate);
    mixer->setSignedByDefault(true);
    mixer->setVoiceCount(voices);
    return mixer;
}

void startSample(SoftwareMixer& mixer, FakeOwner& owner, uint32_t voice,
                 const std::vector<uint8_t>& data, uint32_t end, uint32_t loopStart, uint8_t flags,
                 uint8_t volume, uint8_t panning) {
    owner.start = VoiceStart{};
    owner.start.data = data.data();
    owner.start.end = end;
    owner.start.loopStart = loopStart;
    owner.start.flags = flags;
    owner.start.volume = volume;
    owner.start.panning = panning;
    mixer.startVoice(voice, nullptr);
}

std::vector<int16_t> render16(SoftwareMixer& mixer, uint32_t frames, uint32_t gain) {
    std::vector<int16_t> out(2 * static_cast<std::size_t>(frames));
    RenderFormat format;
    format.gain = gain;
    const uint32_t done = mixer.render(frames, out.data(), &format);
    out.resize(2 * static_cast<std::size_t>(done));
    return out;
}

std::vector<uint8_t> bytesOf(std::initializer_list<int> values) {
    std::vector<uint8_t> out;
    for (int v : values)
        out.push_back(static_cast<uint8_t>(v));
    return out;
}

std::vector<uint8_t> words16(const std::vector<int>& values) {
    std::vector<uint8_t> out;
    for (int v : values) {
        out.push_back(static_cast<uint8_t>(v & 0xFF));
        out.push_back(static_cast<uint8_t>((v >> 8) & 0xFF));
    }
    return out;
}

} // namespace tolva::test
