#include "support/MixerHarness.h"

#include "mixer/MixVoices.h"

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
    owner.start = {data.data(), 0, end, loopStart, flags, volume, panning, 0xFF};
    mixer.startVoice(voice, nullptr);
    mixer.setVoiceStep(voice, 0x10000);
}

uint32_t render16(SoftwareMixer& mixer, uint32_t frames) {
    std::vector<int16_t> out(2 * static_cast<std::size_t>(frames));
    return mixer.render(frames, out.data(), nullptr);
}

Voice makeVoice(const std::vector<uint8_t>& data, uint32_t position, uint32_t end,
                uint32_t loopStart, uint8_t flags, uint32_t step, uint8_t volume, uint8_t panning) {
    Voice v;
    v.data = data.data();
    v.position = v.data + position;
    v.end = v.data + end;
    v.loopStart = v.data + loopStart;
    v.flags = flags | VoiceActive;
    v.step = step;
    v.volume = v.targetVolume = volume;
    v.panning = v.targetPanning = panning;
    v.signFlip = 0x80;
    return v;
}

std::vector<int32_t> mixFrames(Voice* voices, uint32_t count, uint32_t frames,
                               const MixOptions& options) {
    const std::size_t values = 2 * static_cast<std::size_t>(frames);
    Aligned<int32_t> out(values);
    Aligned<float> floats(2 * FloatBufferFrames);
    const auto kernels = std::make_unique<KernelRoom>();
    const MixSettings settings{options.gain,  options.interpolation, options.forceMono,     2, 6,
                               options.turns, options.filter,        options.filterContext, 0};
    mixVoices(voices, count, frames, out.values, settings, {floats.values, kernels.get()});
    return std::vector<int32_t>(out.values, out.values + values);
}

std::vector<int32_t> leftOf(const std::vector<int32_t>& frames) {
    std::vector<int32_t> left;
    for (std::size_t i = 0; i < frames.size(); i += 2)
        left.push_back(frames[i]);
    return left;
}

std::vector<uint8_t> indexRamp16(int frames) {
    std::vector<int> values;
    for (int i = 0; i < frames; ++i)
        values.push_back(100 * i);
    return words16(values);
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
