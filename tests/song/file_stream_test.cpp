#include "platform/File.h"
#include "song/FileStream.h"
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

} // namespace tolva::test
