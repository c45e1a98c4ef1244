#include "SongFacts.h"

#include "DisplayText.h"
#include "TimeText.h"
#include "engine/Player.h"
#include "formats/FormatTable.h"

#include <algorithm>
#include <cstdio>

namespace tolva::cli {

namespace {

std::string boundedText(const char* text, std::size_t capacity) {
    std::size_t n = 0;
    while (n < capacity && text[n])
        ++n;
    return std::string(text, n);
}

SampleFacts sampleFacts(Player& player, uint32_t index, uint32_t instrument) {
    SampleDescription d;
    player.describeSample(d, index, instrument);
    SampleFacts s;
    s.number = index + 1;
    s.name = moduleText(d.name, sizeof d.name, codePageOf(player.formatType()));
    s.lengthBytes = d.length;
    s.looped = d.loopKind != LoopNone;
    return s;
}

} // namespace

SongFacts describe(const std::string& file, LoadedSong& song) {
    Player& player = song.session->player();
    SongFacts f;
    f.file = file;
    f.fileSize = song.fileSize;
    uint32_t type = player.formatType();
    f.format = formatName(type);
    char creator[CreatorTextSize] = {};
    player.creatorText(creator, sizeof creator);
    f.format += boundedText(creator, sizeof creator);
    f.title = moduleText(player.song.title, sizeof player.song.title, codePageOf(type));
    f.channels = player.channelCount();
    f.orders = player.song.orderCount;
    for (uint32_t p = 0; p < player.song.patterns.size(); ++p)
        if (!player.isPatternMissing(p))
            ++f.patterns;
    f.instruments = player.instrumentCount();
    const CodePage page = codePageOf(type);
    for (uint32_t i = 0; i < f.instruments; ++i) {
        InstrumentDescription d;
        player.describeInstrument(d, i);
        f.instrumentNames.push_back(d.valid ? moduleText(d.name, sizeof d.name, page) : "");
    }
    if (const char* message = player.songMessage())
        f.message = messageText(message, page);
    SongDescription described;
    player.describeSong(described);
    f.speed = described.initialSpeed;
    f.tempo = described.initialTempo;
    f.length = song.length;
    if (player.samplesBelongToInstruments()) {
        for (uint32_t i = 0; i < f.instruments; ++i)
            for (uint32_t s = 0; s < player.instrumentSampleCount(i); ++s) {
                SampleFacts facts = sampleFacts(player, s, i);
                facts.instrument = i + 1;
                f.sampleList.push_back(facts);
            }
    } else {
        for (uint32_t s = 0; s < player.song.sampleCount; ++s)
            f.sampleList.push_back(sampleFacts(player, s, 0));
    }
    f.samples = static_cast<uint32_t>(f.sampleList.size());
    return f;
}

void printFacts(const SongFacts& f) {
    std::printf("File:        %s (%u bytes)\n", terminalText(f.file).c_str(), f.fileSize);
    std::printf("Format:      %s\n", f.format.c_str());
    std::printf("Title:       %s\n", f.title.c_str());
    std::printf("Channels:    %u\n", f.channels);
    std::printf("Orders:      %u\n", f.orders);
    std::printf("Patterns:    %u\n", f.patterns);
    std::printf("Samples:     %u\n", f.samples);
    std::printf("Instruments: %u\n", f.instruments);
    std::printf("Speed:       %u\n", f.speed);
    std::printf("Tempo:       %u BPM\n", f.tempo);
    std::printf("Length:      %s%s\n", minutesText(f.length.lengthMs).c_str(),
                f.length.looped ? " (loops)" : "");
    if (f.length.startOffsetMs)
        std::printf("Starts at:   %s (leading silence skipped)\n",
                    minutesText(f.length.startOffsetMs).c_str());
    if (std::any_of(f.instrumentNames.begin(), f.instrumentNames.end(),
                    [](const std::string& name) { return !name.empty(); })) {
        std::printf("Instrument names:\n");
        for (std::size_t i = 0; i < f.instrumentNames.size(); ++i)
            if (!f.instrumentNames[i].empty())
                std::printf("  %3zu %s\n", i + 1, f.instrumentNames[i].c_str());
    }
    if (std::any_of(f.sampleList.begin(), f.sampleList.end(),
                    [](const SampleFacts& s) { return !s.name.empty(); })) {
        std::printf("Sample names:\n");
        for (const SampleFacts& s : f.sampleList) {
            if (s.name.empty() && s.lengthBytes == 0)
                continue; // an unused slot
            if (s.instrument)
                std::printf("  %3u.%-2u %s\n", s.instrument, s.number, s.name.c_str());
            else
                std::printf("  %3u %s\n", s.number, s.name.c_str());
        }
    }
    if (!f.message.empty()) {
        std::printf("Message:\n");
        std::size_t from = 0;
        while (from <= f.message.size()) {
            const std::size_t end = std::min(f.message.find('\n', from), f.message.size());
            std::printf("  %s\n", f.message.substr(from, end - from).c_str());
            from = end + 1;
        }
    }
}

nlohmann::ordered_json factsJson(const SongFacts& f) {
    nlohmann::ordered_json samples = nlohmann::ordered_json::array();
    for (const SampleFacts& s : f.sampleList) {
        nlohmann::ordered_json one = {{"number", s.number}};
        if (s.instrument)
            one["instrument"] = s.instrument;
        one["name"] = s.name;
        one["length_bytes"] = s.lengthBytes;
        one["looped"] = s.looped;
        samples.push_back(one);
    }
    nlohmann::ordered_json instruments = nlohmann::ordered_json::array();
    for (std::size_t i = 0; i < f.instrumentNames.size(); ++i)
        instruments.push_back({{"number", i + 1}, {"name", f.instrumentNames[i]}});
    return {{"file", f.file},
            {"file_size", f.fileSize},
            {"format", f.format},
            {"title", f.title},
            {"channels", f.channels},
            {"orders", f.orders},
            {"patterns", f.patterns},
            {"samples", f.samples},
            {"instruments", f.instruments},
            {"speed", f.speed},
            {"tempo", f.tempo},
            {"length_ms", f.length.lengthMs},
            {"start_offset_ms", f.length.startOffsetMs},
            {"looped", f.length.looped},
            {"sample_list", samples},
            {"instrument_list", instruments},
            {"message", f.message}};
}

} // namespace tolva::cli
