#include "SongFacts.h"

#include "DisplayText.h"
#include "TimeText.h"
#include "formats/SongFacts.h"

#include <algorithm>
#include <cstdio>

namespace tolva::cli {

SongFacts describe(const std::string& file, LoadedSong& song) {
    ::tolva::SongFacts core;
    describeSong(song.session->player(), core);
    SongFacts f;
    f.file = file;
    f.fileSize = song.fileSize;
    f.format = core.formatName.c_str();
    f.title = core.title.c_str();
    f.channels = core.channels;
    f.orders = core.orders;
    f.patterns = core.patterns;
    f.instruments = core.instruments;
    for (std::size_t i = 0; i < core.instrumentNames.size(); ++i)
        f.instrumentNames.push_back(core.instrumentNames[i]);
    f.message = core.message.c_str();
    f.speed = core.speed;
    f.tempo = core.tempo;
    f.length = song.length;
    for (const Subsong& tune : song.subsongs)
        f.subsongs.push_back({tune.startOrder, tune.length.lengthMs, tune.length.looped});
    for (std::size_t i = 0; i < core.samples.size(); ++i) {
        const ::tolva::SampleFacts& s = core.samples[i];
        f.sampleList.push_back(
            {s.number, s.instrument, core.sampleNames[i], s.lengthBytes, s.looped});
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
    std::printf("Subsongs:    %zu\n", f.subsongs.size());
    if (f.subsongs.size() > 1)
        for (std::size_t i = 0; i < f.subsongs.size(); ++i)
            std::printf("  %3zu order %3u  %s%s\n", i + 1, f.subsongs[i].startOrder,
                        minutesText(f.subsongs[i].lengthMs).c_str(),
                        f.subsongs[i].looped ? " (loops)" : "");
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
    nlohmann::ordered_json subsongs = nlohmann::ordered_json::array();
    for (const SubsongFacts& s : f.subsongs)
        subsongs.push_back(
            {{"start_order", s.startOrder}, {"length_ms", s.lengthMs}, {"looped", s.looped}});
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
            {"subsongs", subsongs},
            {"sample_list", samples},
            {"instrument_list", instruments},
            {"message", f.message}};
}

} // namespace tolva::cli
