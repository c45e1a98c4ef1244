#pragma once
#include "mixer/Mixer.h"

#include <cstdint>
#include <memory>
#include <vector>

namespace tolva::test {

// A mixer that only keeps sample blocks, so loaders can be checked without sound.
class SampleStoreMixer : public Mixer {
public:
    uint8_t* allocateSampleData(uint32_t size) override;
    uint8_t* copySampleData(const void* source, uint32_t size) override;
    void freeSampleData(uint8_t* block) override;

    // Bytes of a block handed out and not freed; empty when unknown.
    std::vector<uint8_t> bytesOf(const uint8_t* block) const;
    std::size_t liveBlocks() const { return blocks_.size(); }

private:
    std::vector<std::unique_ptr<std::vector<uint8_t>>> blocks_;
};

} // namespace tolva::test
