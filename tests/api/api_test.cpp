// The library through its public header only, as a program linking libtolva.so sees it.
#include "support/Corpus.h"
#include "support/ModBuilder.h"

#include "tolva/tolva.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <tuple>
#include <vector>

namespace tolva::test {
namespace {

using Pcm = std::vector<int16_t>;
using Song = std::unique_ptr<tolva_song, decltype(&tolva_close)>;

// At 44.1 kHz, tempo 125 and speed 6, a tick lasts 882 frames and a row 6 ticks.
constexpr uint64_t RowFrames = 6 * 882;

// A struct of the API with its size set, as callers hand them.
template <typename T> T sized() {
    T value{};
    value.size = sizeof value;
    return value;
}

Song open(const std::vector<uint8_t>& file, const tolva_options* options = nullptr) {
    int error = -1;
    Song song(tolva_open_memory(file.data(), file.size(), options, &error), tolva_close);
    EXPECT_EQ(error, song ? TOLVA_OK : error);
    return song;
}

// Three patterns in order 0, 1, 2, each a note on row 0 (sample 1) held for its 64 rows.
std::vector<uint8_t> threePatterns() {
    ModBuilder b;
    b.title("Caf\xE9").sample(squareSample(64)).orders({0, 1, 2});
    for (uint32_t p = 0; p < 3; ++p)
        b.cell(p, 0, 0, note(25 + 12 * p, 1));
    return b.build();
}

Pcm renderAll(tolva_song* song, size_t block) {
    Pcm pcm;
    std::vector<int16_t> buffer(2 * block);
    while (size_t n = tolva_render_s16(song, buffer.data(), block))
        pcm.insert(pcm.end(), buffer.begin(), buffer.begin() + 2 * n);
    return pcm;
}

TEST(Api, EveryFunctionTakesANullSongOrNullOutputs) {
    int16_t s16[2];
    float f32[2];
    auto info = sized<tolva_song_info>();
    auto position = sized<tolva_position>();
    auto subsong = sized<tolva_subsong_info>();
    EXPECT_EQ(tolva_render_s16(nullptr, s16, 1), 0u);
    EXPECT_EQ(tolva_render_f32(nullptr, f32, 1), 0u);
    for (int status : {tolva_song_info_get(nullptr, &info), tolva_position_get(nullptr, &position),
                       tolva_subsong_info_get(nullptr, 0, &subsong), tolva_seek_frame(nullptr, 0),
                       tolva_seek_ms(nullptr, 0), tolva_seek_order(nullptr, 0, 0),
                       tolva_select_subsong(nullptr, 0), tolva_set_gain(nullptr, 0),
                       tolva_set_interpolation(nullptr, 0), tolva_set_repeat(nullptr, 0),
                       tolva_jump_to_order(nullptr, 0, 0)})
        EXPECT_EQ(status, TOLVA_E_INVALID);
    EXPECT_EQ(tolva_sample_name(nullptr, 0), nullptr);
    EXPECT_EQ(tolva_length_frames(nullptr), 0u);
    EXPECT_EQ(tolva_subsong_count(nullptr), 0u);
    tolva_close(nullptr);
    tolva_options_init(nullptr);

    int error = 0;
    const auto file = threePatterns();
    EXPECT_EQ(tolva_open_memory(nullptr, 10, nullptr, &error), nullptr);
    EXPECT_EQ(error, TOLVA_E_INVALID);
    EXPECT_EQ(tolva_open_memory(file.data(), 0, nullptr, nullptr), nullptr);
    EXPECT_EQ(tolva_open_file(nullptr, nullptr, &error), nullptr);
    EXPECT_EQ(tolva_open_file("/nonexistent/song.mod", nullptr, &error), nullptr);
    EXPECT_EQ(error, TOLVA_E_UNREADABLE);
    const uint8_t text[] = "just some text, not a module";
    EXPECT_EQ(tolva_open_memory(text, sizeof text, nullptr, &error), nullptr);
    EXPECT_EQ(error, TOLVA_E_NOT_MODULE);
    EXPECT_STREQ(tolva_error_text(error), "not a module in a supported format");
    EXPECT_STREQ(tolva_error_text(12345), "unknown error");

    Song song = open(file);
    ASSERT_TRUE(song);
    EXPECT_EQ(tolva_render_s16(song.get(), nullptr, 10), 0u);
    EXPECT_EQ(tolva_render_s16(song.get(), s16, SIZE_MAX), 0u);
    EXPECT_EQ(tolva_song_info_get(song.get(), nullptr), TOLVA_E_INVALID);
    EXPECT_EQ(tolva_sample_name(song.get(), 31), nullptr);
    EXPECT_EQ(tolva_seek_order(song.get(), 3, 0), TOLVA_E_NOT_FOUND);
    EXPECT_EQ(tolva_jump_to_order(song.get(), 7, TOLVA_JUMP_NEXT_ROW), TOLVA_E_NOT_FOUND);
    EXPECT_EQ(tolva_select_subsong(song.get(), 1), TOLVA_E_NOT_FOUND);
}

TEST(Api, OptionsOutOfRangeAreRefusedAndAnOlderStructKeepsTheNewerDefaults) {
    const auto file = threePatterns();
    tolva_options options;
    struct Case {
        uint32_t tolva_options::*field;
        uint32_t value;
    };
    for (Case c : {Case{&tolva_options::rate, 4999},
                   {&tolva_options::rate, 96001},
                   {&tolva_options::formats, 1},
                   {&tolva_options::loop_count, 0},
                   {&tolva_options::length_rule, 2},
                   {&tolva_options::seed, 65536}}) {
        tolva_options_init(&options);
        options.*c.field = c.value;
        int error = 0;
        EXPECT_EQ(tolva_open_memory(file.data(), file.size(), &options, &error), nullptr);
        EXPECT_EQ(error, TOLVA_E_INVALID);
    }
    // A caller that knew only `size` and `rate`.
    tolva_options_init(&options);
    options.size = offsetof(tolva_options, formats);
    options.rate = 22050;
    options.formats = 0; // unseen: all formats stay on
    Song song = open(file, &options);
    ASSERT_TRUE(song);
    EXPECT_EQ(tolva_length_frames(song.get()), 3 * 64 * RowFrames / 2);
    options.formats = TOLVA_ALL_FORMATS & ~TOLVA_FORMAT_BIT(TOLVA_FORMAT_MOD);
    options.size = sizeof options;
    int error = 0;
    EXPECT_EQ(tolva_open_memory(file.data(), file.size(), &options, &error), nullptr);
    EXPECT_EQ(error, TOLVA_E_NOT_MODULE);
}

TEST(Api, FactsAreUtf8AndTheLengthIsWhatRenderingGives) {
    Song song = open(threePatterns());
    ASSERT_TRUE(song);
    auto info = sized<tolva_song_info>();
    ASSERT_EQ(tolva_song_info_get(song.get(), &info), TOLVA_OK);
    EXPECT_EQ(info.format, uint32_t{TOLVA_FORMAT_MOD});
    EXPECT_STREQ(info.format_name, "Amiga Protracker");
    EXPECT_STREQ(info.title, "Caf\u00e9"); // the Amiga's Latin-1
    EXPECT_EQ(info.channels, 4u);
    EXPECT_EQ(info.orders, 3u);
    EXPECT_EQ(info.patterns, 3u);
    EXPECT_EQ(info.samples, 31u);
    EXPECT_STREQ(tolva_sample_name(song.get(), 0), "square");
    EXPECT_EQ(tolva_length_ms(song.get()), 3 * 64 * 6 * 20u); // a tick is 20 ms at tempo 125
    EXPECT_EQ(tolva_length_frames(song.get()), 3 * 64 * RowFrames);
    EXPECT_EQ(renderAll(song.get(), 4096).size(), 2 * 3 * 64 * RowFrames);
    int16_t frame[2];
    EXPECT_EQ(tolva_render_s16(song.get(), frame, 1), 0u);
}

TEST(Api, OddBlocksMixedSampleTypesAndExactSeeksGiveTheSameFrames) {
    const auto file = threePatterns();
    Song whole = open(file);
    const Pcm reference = renderAll(whole.get(), 4096);

    Song odd = open(file);
    EXPECT_EQ(renderAll(odd.get(), 1001), reference);

    // Floats carry the same sound: the 16-bit value over 32768, to within its rounding.
    Song mixed = open(file);
    std::vector<float> f32(2 * 333);
    int16_t s16[2 * 333];
    for (size_t at = 0; at + 666 <= reference.size() / 2; at += 666) {
        ASSERT_EQ(tolva_render_f32(mixed.get(), f32.data(), 333), 333u);
        for (size_t i = 0; i < f32.size(); ++i)
            ASSERT_NEAR(f32[i] * 32768.0f, reference[2 * at + i], 1.0f) << at;
        // The frame rendered ahead as a float is converted, to within a step.
        ASSERT_EQ(tolva_render_s16(mixed.get(), s16, 333), 333u);
        ASSERT_NEAR(s16[0], reference[2 * (at + 333)], 1);
        ASSERT_TRUE(std::equal(s16 + 2, s16 + 666, reference.begin() + 2 * (at + 334))) << at;
    }

    // Forwards, backwards, onto odd and even frames, and onto the frame already waiting.
    Song seeking = open(file);
    for (uint64_t target : {uint64_t{100001}, uint64_t{5}, uint64_t{250000}, uint64_t{250000},
                            uint64_t{0}, 3 * RowFrames + 1}) {
        ASSERT_EQ(tolva_seek_frame(seeking.get(), target), TOLVA_OK);
        ASSERT_EQ(tolva_render_s16(seeking.get(), s16, 333), 333u);
        EXPECT_TRUE(std::equal(s16, s16 + 666, reference.begin() + 2 * target)) << target;
    }
    ASSERT_EQ(tolva_seek_ms(seeking.get(), 1000), TOLVA_OK);
    auto position = sized<tolva_position>();
    tolva_position_get(seeking.get(), &position);
    EXPECT_EQ(position.frame, 44100u);
    ASSERT_EQ(tolva_seek_frame(seeking.get(), UINT64_MAX / 2), TOLVA_OK);
    EXPECT_EQ(tolva_render_s16(seeking.get(), s16, 333), 0u);
}

// A rewound song plays as it first did: channels, background voices, random variation, and
// the kernels of the sinc mode (on fewer songs: it is slower).
TEST(Api, CorpusSongsSeekBackAndForthToTheSameFrames) {
    constexpr size_t Frames = 3 * 44100;
    constexpr size_t Compared = 4096;
    const std::vector<std::string> files = corpusFiles("songs");
    for (size_t i = 0; i < 2 * files.size(); ++i) {
        const std::string& path = files[i % files.size()];
        const bool sinc = i >= files.size();
        if (sinc && i % 8 != 0)
            continue;
        Song song(tolva_open_file(path.c_str(), nullptr, nullptr), tolva_close);
        ASSERT_TRUE(song) << path;
        tolva_set_interpolation(song.get(),
                                sinc ? TOLVA_INTERPOLATION_SINC : TOLVA_INTERPOLATION_LINEAR);
        Pcm reference(2 * Frames);
        reference.resize(2 * tolva_render_s16(song.get(), reference.data(), Frames));
        Pcm again(2 * Compared);
        for (size_t target : {Frames / 2 + 1, Frames / 3, size_t{0}, Frames - Compared}) {
            if (target + Compared > reference.size() / 2)
                continue;
            ASSERT_EQ(tolva_seek_frame(song.get(), target), TOLVA_OK);
            ASSERT_EQ(tolva_render_s16(song.get(), again.data(), Compared), Compared);
            EXPECT_TRUE(std::equal(again.begin(), again.end(), reference.begin() + 2 * target))
                << path << " at frame " << target;
        }
    }
}

TEST(Api, OrdersAreReachedBySeekAndByJump) {
    Song song = open(threePatterns());
    auto position = sized<tolva_position>();
    ASSERT_EQ(tolva_seek_order(song.get(), 1, 16), TOLVA_OK);
    tolva_position_get(song.get(), &position);
    EXPECT_EQ(position.frame, (64 + 16) * RowFrames);
    EXPECT_EQ(position.order, 1u);
    EXPECT_EQ(position.pattern, 1u);
    EXPECT_EQ(position.speed, 6u);
    EXPECT_EQ(position.tempo, 125u);

    // From order 0, row 2: the next row is order 2's first, or order 0's end comes first.
    std::vector<int16_t> rows(2 * 2 * RowFrames);
    for (uint32_t when : {TOLVA_JUMP_NEXT_ROW, TOLVA_JUMP_PATTERN_END}) {
        ASSERT_EQ(tolva_seek_frame(song.get(), 2 * RowFrames + 10), TOLVA_OK);
        ASSERT_EQ(tolva_jump_to_order(song.get(), 2, when), TOLVA_OK);
        tolva_render_s16(song.get(), rows.data(), 2 * RowFrames);
        tolva_position_get(song.get(), &position);
        EXPECT_EQ(position.order, when == TOLVA_JUMP_NEXT_ROW ? 2u : 0u);
        EXPECT_EQ(position.row, when == TOLVA_JUMP_NEXT_ROW ? 1u : 4u);
    }
    // The same jump asked for at the same row again goes there again.
    ASSERT_EQ(tolva_seek_order(song.get(), 0, 63), TOLVA_OK);
    std::vector<int16_t> pattern(2 * 64 * RowFrames);
    for (int pass = 0; pass < 2; ++pass) {
        ASSERT_EQ(tolva_jump_to_order(song.get(), 0, TOLVA_JUMP_PATTERN_END), TOLVA_OK);
        EXPECT_EQ(tolva_render_s16(song.get(), pattern.data(), 64 * RowFrames), 64 * RowFrames);
    }
    tolva_position_get(song.get(), &position);
    EXPECT_EQ(position.order * 100 + position.row, 63u);
}

TEST(Api, MutedChannelsAndSeparationChangeTheSoundBetweenRenders) {
    Song song = open(threePatterns());
    std::vector<int16_t> pcm(2 * 4096);
    ASSERT_EQ(tolva_set_stereo_separation(song.get(), 0), TOLVA_OK);
    tolva_render_s16(song.get(), pcm.data(), 4096);
    for (size_t i = 0; i < pcm.size(); i += 2)
        ASSERT_EQ(pcm[i], pcm[i + 1]) << i;
    EXPECT_NE(*std::max_element(pcm.begin(), pcm.end()), 0);
    ASSERT_EQ(tolva_set_channel_mute(song.get(), 0, 1), TOLVA_OK);
    tolva_render_s16(song.get(), pcm.data(), 4096);
    EXPECT_EQ(*std::max_element(pcm.begin(), pcm.end()), 0);
    EXPECT_EQ(*std::min_element(pcm.begin(), pcm.end()), 0);
    EXPECT_EQ(tolva_set_channel_mute(song.get(), 4, 1), TOLVA_E_NOT_FOUND);
    EXPECT_EQ(tolva_set_stereo_separation(song.get(), 201), TOLVA_E_INVALID);
}

// Three tunes, one per order: tune k (from 0) plays 16 (k + 1) rows of its pattern and jumps
// back to its own start.
TEST(Api, SubsongsAreListedSelectedSoughtAndRepeated) {
    ModBuilder b;
    b.sample(squareSample(64)).orders({0, 1, 2});
    for (uint8_t k = 0; k < 3; ++k)
        b.cell(k, 0, 0, note(25 + k, 1)).cell(k, 16 * k + 15, 3, fx(0xB, k));
    Song song = open(b.build());
    auto info = sized<tolva_song_info>();
    tolva_song_info_get(song.get(), &info);
    ASSERT_EQ(std::tuple(tolva_subsong_count(song.get()), info.subsongs), std::tuple(3u, 3u));
    auto tune = sized<tolva_subsong_info>();
    for (uint32_t k = 0; k < 3; ++k) {
        ASSERT_EQ(tolva_subsong_info_get(song.get(), k, &tune), TOLVA_OK);
        EXPECT_EQ(std::tuple(tune.start_order, tune.length_ms, tune.length_frames),
                  std::tuple(k, 16 * (k + 1) * 120u, 16 * (k + 1) * RowFrames));
    }
    EXPECT_EQ(tolva_subsong_info_get(song.get(), 3, &tune), TOLVA_E_NOT_FOUND);
    EXPECT_EQ(tolva_length_frames(song.get()), 16 * RowFrames); // the main song's

    ASSERT_EQ(tolva_select_subsong(song.get(), 1), TOLVA_OK);
    EXPECT_EQ(tolva_length_frames(song.get()), 32 * RowFrames);
    const Pcm reference = renderAll(song.get(), 4096);
    EXPECT_EQ(reference.size(), 2 * 32 * RowFrames);
    int16_t s16[2 * 333];
    for (uint64_t target : {uint64_t{20001}, uint64_t{7}}) {
        ASSERT_EQ(tolva_seek_frame(song.get(), target), TOLVA_OK);
        ASSERT_EQ(tolva_render_s16(song.get(), s16, 333), 333u);
        EXPECT_TRUE(std::equal(s16, s16 + 666, reference.begin() + 2 * target)) << target;
    }
    auto position = sized<tolva_position>();
    EXPECT_EQ(tolva_seek_order(song.get(), 0, 0), TOLVA_E_NOT_FOUND); // the main song's order
    ASSERT_EQ(tolva_seek_order(song.get(), 1, 4), TOLVA_OK);
    tolva_position_get(song.get(), &position);
    EXPECT_EQ(std::tuple(position.subsong, position.order, position.row, position.frame),
              std::tuple(1u, 1u, 4u, 4 * RowFrames));

    // A repeat asked for before stays: the last tune plays twice, its length unchanged.
    ASSERT_EQ(tolva_set_repeat(song.get(), 1), TOLVA_OK);
    ASSERT_EQ(tolva_select_subsong(song.get(), 2), TOLVA_OK);
    EXPECT_EQ(renderAll(song.get(), 4096).size(), 2 * 2 * 48 * RowFrames);
    EXPECT_EQ(tolva_length_frames(song.get()), 48 * RowFrames);
    ASSERT_EQ(tolva_seek_frame(song.get(), 0), TOLVA_OK);
    ASSERT_EQ(tolva_set_repeat(song.get(), 0), TOLVA_OK);
    EXPECT_EQ(renderAll(song.get(), 4096).size(), 2 * 48 * RowFrames);
    EXPECT_EQ(tolva_select_subsong(song.get(), 3), TOLVA_E_NOT_FOUND);
}

TEST(Api, ProbeNamesTheFormatFromTheFirstBytes) {
    const auto tagged = threePatterns();
    auto fifteen = ModBuilder(4, "").sample(squareSample(64)).cell(0, 0, 0, note(25, 1)).build();
    uint32_t confidence = 0;
    EXPECT_EQ(tolva_probe(tagged.data(), tagged.size(), tagged.size(), &confidence),
              uint32_t{TOLVA_FORMAT_MOD});
    EXPECT_EQ(confidence, 100u);
    EXPECT_EQ(tolva_probe(fifteen.data(), fifteen.size(), fifteen.size(), &confidence),
              uint32_t{TOLVA_FORMAT_MOD15});
    EXPECT_EQ(confidence, 50u);
    // Its patterns cut off: nothing is sure.
    EXPECT_EQ(tolva_probe(fifteen.data(), 700, fifteen.size(), &confidence),
              uint32_t{TOLVA_FORMAT_UNKNOWN});
    std::vector<uint8_t> xm(80);
    std::copy_n("Extended Module: ", 17, xm.begin());
    xm[37] = 0x1A;
    xm[58] = 0x04; // version 1.04
    xm[59] = 0x01;
    EXPECT_EQ(tolva_probe(xm.data(), xm.size(), 0, &confidence), uint32_t{TOLVA_FORMAT_XM});
    EXPECT_EQ(tolva_probe(nullptr, 10, 0, nullptr), uint32_t{TOLVA_FORMAT_UNKNOWN});
}

} // namespace
} // namespace tolva::test
