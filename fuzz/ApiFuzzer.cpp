// Hostile bytes through the public C API as a player would drive it: probed, opened from
// memory under options the first bytes choose, its facts read, a subsong chosen, rendered in
// both sample types with odd block sizes, sought by frame and by order, jumped, repeated.
#include "tolva/tolva.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace {

constexpr size_t ChoiceBytes = 4;

void readFacts(tolva_song* song) {
    tolva_song_info info{};
    info.size = sizeof info;
    tolva_song_info_get(song, &info);
    for (uint32_t i = 0; i <= info.samples; ++i)
        tolva_sample_name(song, i);
    for (uint32_t i = 0; i <= info.instruments; ++i)
        tolva_instrument_name(song, i);
    tolva_subsong_info subsong{};
    subsong.size = sizeof subsong;
    for (uint32_t i = 0; i <= tolva_subsong_count(song); ++i)
        tolva_subsong_info_get(song, i, &subsong);
}

void play(tolva_song* song, const uint8_t* choice) {
    std::vector<int16_t> s16(2 * 2048);
    std::vector<float> f32(2 * 2048);
    tolva_select_subsong(song, choice[3] % (tolva_subsong_count(song) + 1));
    tolva_render_s16(song, s16.data(), 1 + choice[0] * 7);
    tolva_render_f32(song, f32.data(), 1 + choice[1] * 7);
    tolva_seek_frame(song, uint64_t{choice[2]} * 977);
    tolva_jump_to_order(song, choice[3] & 7, choice[3] >> 7);
    tolva_set_repeat(song, (choice[1] & 3) - 1);
    tolva_render_s16(song, s16.data(), 2048);
    tolva_seek_order(song, choice[0] & 3, choice[2] & 63);
    tolva_render_f32(song, f32.data(), 2048);
    tolva_position position{};
    position.size = sizeof position;
    tolva_position_get(song, &position);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < ChoiceBytes)
        return 0;
    const uint8_t* choice = data;
    data += ChoiceBytes;
    size -= ChoiceBytes;
    tolva_probe(data, size, size, nullptr);
    tolva_options options;
    tolva_options_init(&options);
    options.rate = 8000;
    options.length_rule = choice[0] & 1;
    options.remove_silence = (choice[0] >> 1) & 1;
    options.interpolation = (choice[0] >> 2) & 1;
    tolva_song* song = tolva_open_memory(data, size, &options, nullptr);
    if (!song)
        return 0;
    readFacts(song);
    play(song, choice);
    tolva_close(song);
    return 0;
}
