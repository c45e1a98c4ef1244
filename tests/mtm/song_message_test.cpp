#include "engine/Player.h"
#include "formats/mtm669/MtmLoader.h"
#include "song/MemoryStream.h"
#include "support/MtmBuilder.h"

#include <gtest/gtest.h>

#include <string>

namespace tolva::test {
namespace {

std::string messageOf(const std::vector<uint8_t>& comment) {
    MemoryStream stream(MtmBuilder().comment(comment).build());
    auto player = loadMtm(stream, true, nullptr);
    const char* text = player ? player->songMessage() : nullptr;
    return text ? text : "(none)";
}

TEST(MtmComment, ZeroPaddedLinesBecomeLinesEndedByLineBreaks) {
    std::vector<uint8_t> comment(80, 0);
    const std::string first = "First line";
    const std::string second = "Second line";
    std::copy(first.begin(), first.end(), comment.begin());
    std::copy(second.begin(), second.end(), comment.begin() + 40);
    EXPECT_EQ(messageOf(comment), "First line\r\nSecond line\r\n");
}

TEST(MtmComment, ALeadingZeroGivesAnEmptyFirstLineAndNoTextGivesNoMessage) {
    EXPECT_EQ(messageOf({0, 0, 'a', 'b', 0}), "\r\nab\r\n");
    EXPECT_EQ(messageOf({'x', 'y'}), "xy");
    EXPECT_EQ(messageOf(std::vector<uint8_t>(40, 0)), "(none)");
    EXPECT_EQ(messageOf({}), "(none)");
}

} // namespace
} // namespace tolva::test
