// Mixed frames per second of the software mixer: voices looping samples of every width at
// steps around 1.0, rendered to 16-bit output in the playback thread's blocks of 576 frames.
#include "mixer/SoftwareMixer.h"

#include <benchmark/benchmark.h>

#include <cstdint>
#include <vector>

using namespace tolva;

namespace {

class BenchOwner : public MixerOwner, public TickListener {
public:
    std::vector<std::vector<uint8_t>> samples;
    SoftwareMixer* mixer = nullptr;
    bool moveVolumes = false;
    uint32_t tick = 0;

    bool isEnded() override { return false; }
    bool fillVoiceStart(uint32_t voice, const void*, VoiceStart& out) override {
        const std::vector<uint8_t>& data = samples[voice % samples.size()];
        out.data = data.data();
        out.startOffset = 0;
        out.end = static_cast<uint32_t>(data.size());
        out.loopStart = static_cast<uint32_t>(data.size() / 3);
        out.flags = static_cast<uint8_t>(VoiceLoop | (voice % 2 ? Voice16Bit : 0) |
                                         (voice % 5 == 0 ? VoicePingPong : 0));
        out.volume = 100;
        out.panning = static_cast<uint8_t>(voice * 37);
        out.sign = 0x80;
        return true;
    }
    // Keeps every voice ramping when asked: a new volume on every tick.
    bool onTick(uint32_t, uint32_t) override {
        ++tick;
        if (moveVolumes) {
            for (uint32_t v = 0; v < mixer->voiceCount(); ++v)
                mixer->setVoiceVolume(v, static_cast<uint8_t>((tick + v) % 2 ? 120 : 40));
        }
        return true;
    }
};

void mixVoices(benchmark::State& state) {
    const uint32_t voices = static_cast<uint32_t>(state.range(0));
    const auto interpolation = static_cast<Interpolation>(state.range(1));
    const bool ramps = state.range(2) != 0;
    BenchOwner owner;
    for (int s = 0; s < 8; ++s) {
        std::vector<uint8_t> data(20000 + 3000 * s);
        for (std::size_t i = 0; i < data.size(); ++i)
            data[i] = static_cast<uint8_t>((i * (s + 3) * 7) ^ (i >> 3));
        owner.samples.push_back(std::move(data));
    }
    SoftwareMixer* mixer = createMixer();
    owner.mixer = mixer;
    owner.moveVolumes = ramps;
    mixer->setOwner(&owner);
    mixer->setMixingRate(44100);
    mixer->addTickListener(&owner, 882);
    mixer->setSignedByDefault(true);
    mixer->setVoiceCount(voices);
    mixer->setRampingEnabled(ramps);
    for (uint32_t v = 0; v < voices; ++v) {
        mixer->startVoice(v, nullptr);
        mixer->setVoiceStep(v, 0xB000 + v * 0x0A31);
    }
    RenderFormat format;
    format.gain = 77 * voices;
    format.interpolation = interpolation;
    std::vector<int16_t> out(2 * 576);
    for (auto _ : state) {
        mixer->render(576, out.data(), &format);
        benchmark::DoNotOptimize(out.data());
    }
    state.SetItemsProcessed(state.iterations() * 576);
    destroyMixer(mixer);
}

} // namespace

BENCHMARK(mixVoices)
    ->ArgNames({"voices", "interpolation", "ramps"})
    ->ArgsProduct({{4, 16, 64}, {1, 0, 2, 3}, {0, 1}});
