#include "platform/File.h"
#include "song/FileStream.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>
#include <vector>

using namespace tolva;

namespace {

std::string writeBytes(const test::TempDir& dir, const char* name, std::size_t size) {
    std::string path = dir.path(name);
    FileStream out(path.c_str(), platform::FileMode::Write);
    std::vector<uint8_t> bytes(size);
    for (std::size_t i = 0; i < size; ++i)
        bytes[i] = static_cast<uint8_t>(i);
    if (size) {
        EXPECT_EQ(out.write(static_cast<uint32_t>(size), bytes.data()), 0u);
    }
    return path;
}

} // namespace

TEST(FileStream, ShortReadFailsWithoutCountAndSucceedsWithIt) {
    test::TempDir dir;
    std::string path = writeBytes(dir, "a.bin", 1000);
    FileStream in(path.c_str(), platform::FileMode::Read);
    ASSERT_TRUE(in.isOpen());
    EXPECT_EQ(in.size(), 1000u);
    uint8_t buf[4];
    in.seek(1080, SeekFromStart);
    EXPECT_EQ(in.read(4, buf), 1u);
    uint32_t got = 99;
    in.seek(1080, SeekFromStart);
    EXPECT_EQ(in.read(4, buf, &got), 0u);
    EXPECT_EQ(got, 0u);
}

TEST(FileStream, UnknownOriginSeeksFromStart) {
    test::TempDir dir;
    std::string path = writeBytes(dir, "b.bin", 100);
    FileStream in(path.c_str(), platform::FileMode::Read);
    uint32_t pos = 0;
    in.seek(50, SeekFromStart);
    EXPECT_EQ(in.seek(10, 7, &pos), 0u);
    EXPECT_EQ(pos, 10u);
    uint8_t b = 0;
    EXPECT_EQ(in.read(1, &b), 0u);
    EXPECT_EQ(b, 10);
    EXPECT_EQ(in.seek(-5, SeekFromEnd, &pos), 0u);
    EXPECT_EQ(pos, 95u);
    EXPECT_EQ(in.seek(-5, SeekFromCurrent, &pos), 0u);
    EXPECT_EQ(pos, 90u);
}

TEST(FileStream, EmptyAndMissingFilesBothHaveSizeZero) {
    test::TempDir dir;
    std::string empty = writeBytes(dir, "empty.bin", 0);
    FileStream e(empty.c_str(), platform::FileMode::Read);
    EXPECT_TRUE(e.isOpen());
    EXPECT_EQ(e.size(), 0u);

    std::string missing = dir.path("missing.bin");
    FileStream m(missing.c_str(), platform::FileMode::Read);
    EXPECT_FALSE(m.isOpen());
    EXPECT_EQ(m.size(), 0u);
    EXPECT_EQ(m.seek(0, SeekFromStart), 0u);
    uint8_t b;
    uint32_t got = 7;
    EXPECT_EQ(m.read(1, &b, &got), 1u);
    EXPECT_EQ(m.write(1, &b), 1u);
}
