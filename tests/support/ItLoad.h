#pragma once
#include "formats/it/ItModule.h"
#include "song/Song.h"
#include "support/SampleStoreMixer.h"

#include <memory>
#include <vector>

namespace tolva::test {

// The outcome of loading IT bytes into fresh records.
struct ItLoaded {
    ItLoadError error = ItLoadError::None;
    Song song;
    std::unique_ptr<ItModule> module = std::make_unique<ItModule>();
    std::unique_ptr<SampleStoreMixer> mixer = std::make_unique<SampleStoreMixer>();

    std::vector<uint8_t> sampleBytes(uint32_t index) const {
        return mixer->bytesOf(module->samples[index].data);
    }
};

std::unique_ptr<ItLoaded> loadItBytes(std::vector<uint8_t> bytes, bool infoOnly = false);

} // namespace tolva::test
