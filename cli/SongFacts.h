#pragma once
#include "SongLoader.h"

#include <cstdint>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

namespace tolva::cli {

struct SampleFacts {
    uint32_t number = 0;     // as the format counts them
    uint32_t instrument = 0; // 1-based; 0 when samples do not belong to instruments
    std::string name;
    uint32_t lengthBytes = 0;
    bool looped = false;
};

struct SubsongFacts {
    uint32_t startOrder = 0;
    uint32_t lengthMs = 0;
    bool looped = false;
};

// What `tolva info` tells about a song.
struct SongFacts {
    std::string file;
    uint32_t fileSize = 0;
    std::string format;
    std::string title; // in UTF-8, as are the names
    uint32_t channels = 0;
    uint32_t orders = 0;
    uint32_t patterns = 0; // patterns that hold data
    uint32_t samples = 0;
    uint32_t instruments = 0;
    uint32_t speed = 0;
    uint32_t tempo = 0;
    SongLength length;
    std::vector<SubsongFacts> subsongs; // the main song first
    std::vector<SampleFacts> sampleList;
    std::vector<std::string> instrumentNames; // by instrument number, from 1
    std::string message;                      // lines ending in '\n' but the last
};

SongFacts describe(const std::string& file, LoadedSong& song);

void printFacts(const SongFacts& facts);
nlohmann::ordered_json factsJson(const SongFacts& facts);

} // namespace tolva::cli
