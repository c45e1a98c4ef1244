#include "platform/File.h"
#include "song/ByteReader.h"
#include "song/FileStream.h"
#include "song/MemoryStream.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>
#include <numeric>
#include <vector>

namespace tolva::test {

TEST(FileStream, ReadsSeeksAndSizesOfPresentEmptyAndMissingFiles) {
    TempDir dir;
    const std::string path = dir.path("a.bin");
    std::vector<uint8_t> bytes(1000);
    std::iota(bytes.begin(), bytes.end(), 0);
    FileStream(path.c_str(), platform::FileMode::Write).write(1000, bytes.data());
    FileStream in(path.c_str(), platform::FileMode::Read);
    ASSERT_TRUE(in.isOpen());
    EXPECT_EQ(in.size(), 1000u);
    uint8_t buf[4];
    uint32_t got = 99, pos = 0;
    in.seek(998, SeekFromStart);
    EXPECT_EQ(in.read(4, buf), 1u); // short without a count
    in.seek(998, SeekFromStart);
    EXPECT_EQ(in.read(4, buf, &got), 0u);
    EXPECT_EQ(got, 2u);
    EXPECT_EQ(in.seek(10, 7, &pos), 0u); // an unknown origin seeks from the start
    EXPECT_EQ(pos, 10u);
    EXPECT_EQ(in.read(1, buf), 0u);
    EXPECT_EQ(buf[0], 10);
    EXPECT_EQ(in.seek(-5, SeekFromEnd, &pos), 0u);
    EXPECT_EQ(pos, 995u);
    EXPECT_EQ(in.seek(-5, SeekFromCurrent, &pos), 0u);
    EXPECT_EQ(pos, 990u);

    FileStream(dir.path("empty.bin").c_str(), platform::FileMode::Write);
    FileStream empty(dir.path("empty.bin").c_str(), platform::FileMode::Read);
    EXPECT_EQ(std::tuple(empty.isOpen(), empty.size()), std::tuple(true, 0u));
    FileStream missing(dir.path("missing.bin").c_str(), platform::FileMode::Read);
    EXPECT_EQ(std::tuple(missing.isOpen(), missing.size(), missing.seek(0, SeekFromStart),
                         missing.read(1, buf, &got), missing.write(1, buf)),
              std::tuple(false, 0u, 0u, 1u, 1u));
}

// Offsets and counts taken from a damaged file: nothing beyond the end of a 10-byte stream is
// read, a refused block is never allocated, and the first failure sticks.
TEST(ByteReader, RefusesWhatLiesBeyondTheEndAndStaysFailed) {
    const std::tuple<uint64_t, uint32_t, bool> cases[] = {
        {0, 10, true},         {6, 4, true},   {7, 4, false},
        {10, 0, true},         {11, 0, false}, {0x100000000, 0, false},
        {0, 0xFFFFFFFF, false}};
    for (const auto& [offset, count, fits] : cases) {
        MemoryStream stream(std::vector<uint8_t>(10));
        HeapArray<uint8_t> block;
        EXPECT_EQ(ByteReader(stream).at(offset).block(count, block).ok(), fits) << offset;
        EXPECT_EQ(block.size(), fits ? count : 0u) << offset;
    }
    MemoryStream stream(std::vector<uint8_t>{1, 2, 3, 4, 5, 6, 7, 8, 9, 10});
    ByteReader in(stream);
    std::vector<uint32_t> fields = {in.u8()};
    fields.push_back(in.u16le());
    fields.push_back(in.u16be());
    fields.push_back(in.u32le());
    fields.push_back(in.left());
    EXPECT_EQ(fields, (std::vector<uint32_t>{1, 0x0302, 0x0405, 0x09080706, 1}));
    EXPECT_EQ(in.u16le(), 0); // one byte short
    EXPECT_FALSE(in.ok());
    EXPECT_EQ(in.at(0).u8(), 0); // and failed from then on
    EXPECT_FALSE(in.ok());
}

} // namespace tolva::test
