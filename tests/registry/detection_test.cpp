#include "engine/Player.h"
#include "mixer/Mixer.h"
#include "platform/File.h"
#include "settings/SettingsConversion.h"
#include "song/FileStream.h"
#include "song/MemoryStream.h"
#include "support/ModBuilder.h"
#include "support/Mtm669Builders.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>
#include <string_view>

namespace tolva::test {
namespace {

// The format a stream is taken for, or -1 with the reason it was refused.
std::pair<int, LoadFailure> detect(InputStream& stream, FormatSet formats = FormatSet::all()) {
    Mixer silent;
    LoadFailure failure = LoadFailure::None;
    std::unique_ptr<Player> player =
        createPlayer(stream, {.formats = formats, .infoOnly = true}, &silent, &failure);
    return {player ? static_cast<int>(player->info().formatType()) : -1, failure};
}

std::pair<int, LoadFailure> detect(const std::vector<uint8_t>& bytes,
                                   FormatSet formats = FormatSet::all()) {
    MemoryStream stream(bytes);
    return detect(stream, formats);
}

std::vector<uint8_t> with(std::vector<uint8_t> bytes, std::size_t offset, std::string_view text) {
    std::copy(text.begin(), text.end(), bytes.begin() + static_cast<std::ptrdiff_t>(offset));
    return bytes;
}

std::vector<uint8_t> cut(std::vector<uint8_t> bytes, std::size_t size) {
    bytes.resize(size);
    return bytes;
}

const std::vector<uint8_t> tagged =
    ModBuilder(4, "M.K.").sample(squareSample(32)).cell(0, 0, 0, note(25, 1)).build();
// One 1024-byte pattern and no sample data: exactly 1624 bytes.
const std::vector<uint8_t> untagged =
    ModBuilder(4, "").sample(ModSampleDef{"empty", {}, 40}).cell(0, 0, 0, note(25, 1)).build();
// A 15-sample MOD whose start reads as an XM header of version 1.01.
const std::vector<uint8_t> oldXm = with(with(untagged, 0, "eXtEnDeD mOdUlE: "), 58, "\1\1");
const std::vector<uint8_t> mtm =
    MtmSong{.samples = {mtmSquare(32)}, .cells = {{{1, 0}, {25, 1}}}, .patterns = {{1}}}.build();

// A stream whose every read fails, as a file does that vanished after it was opened.
class FailingStream final : public InputStream {
public:
    uint32_t seek(int32_t, uint32_t, uint32_t* newPosition) override {
        if (newPosition)
            *newPosition = 0;
        return 0;
    }
    uint32_t read(uint32_t, void*, uint32_t* done) override {
        if (done)
            *done = 0;
        return 1;
    }
    uint32_t write(uint32_t, const void*, uint32_t*) override { return 1; }
    uint32_t size() override { return 100000; }
};

struct Detection {
    const char* what;
    std::vector<uint8_t> bytes;
    int format;
    LoadFailure failure = LoadFailure::None;
};

TEST(Registry, FilesAreTakenByTheFirstHandlerInRegistryOrderThatKnowsThem) {
    const std::vector<uint8_t> highSample =
        ModBuilder(4, "").sample(ModSampleDef{"empty", {}, 40}).cell(0, 5, 2, note(25, 16)).build();
    auto loud = ModBuilder(4, "").sample(squareSample(32, 64)).build();
    const Detection cases[] = {
        {"MOD that also carries 669 and S3M signatures", with(with(tagged, 0, "if"), 44, "SCRM"),
         FormatMod},
        {"tagged MOD cut in its pattern data is not retried as 15 samples", cut(tagged, 2084), -1,
         LoadFailure::Damaged},
        {"15-sample MOD of one whole pattern", untagged, FormatMod15},
        {"15-sample MOD cut in its header", cut(untagged, 599), -1, LoadFailure::NotAModule},
        {"15-sample MOD cut after its header", cut(untagged, 600), -1, LoadFailure::NotAModule},
        {"15-sample MOD cut at its pattern", cut(untagged, 1084), -1, LoadFailure::NotAModule},
        {"15-sample MOD cut in its pattern", cut(untagged, 1623), -1, LoadFailure::NotAModule},
        {"15-sample MOD with a sample", loud, FormatMod15},
        {"15-sample MOD naming sample 16", highSample, -1, LoadFailure::NotAModule},
        {"XM header of an unsupported version", oldXm, -1, LoadFailure::UnsupportedVersion},
        {"669 'if'", Composer669Song{}.build(), Format669},
        {"669 cut in its last pattern",
         cut(Composer669Song{.orders = {0, 1}}.build(), 497 + 2 * 1536 - 1), -1,
         LoadFailure::Damaged},
        {"MTM of version 0", with(mtm, 3, std::string_view("", 1)), FormatMtm},
        {"MTM of version FF", with(mtm, 3, "\xFF"), FormatMtm},
        {"MTM cut in its track data", cut(mtm, mtm.size() - 40), -1, LoadFailure::Damaged},
        {"no bytes", {}, -1, LoadFailure::NotAModule},
    };
    for (const Detection& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(detect(c.bytes), std::make_pair(c.format, c.failure));
    }
    // Streams that cannot be read: one whose reads fail, a missing file.
    const auto notAModule = std::make_pair(-1, LoadFailure::NotAModule);
    FailingStream failing;
    EXPECT_EQ(detect(failing), notAModule);
    TempDir dir;
    FileStream missing(dir.path("missing.mod").c_str(), platform::FileMode::Read);
    EXPECT_EQ(detect(missing), notAModule);
}

TEST(Registry, EachFormatSwitchBelongsToTheFormatOfItsIndex) {
    // The settings file's switches lie in the order of the format ids.
    for (uint32_t off = 0; off < FormatCount; ++off) {
        Settings s;
        s.formatSwitches[off] = 0;
        const FormatSet formats = loadOptions(s).formats;
        for (uint32_t id = 0; id < FormatCount; ++id)
            EXPECT_EQ(formats.contains(id), id != off) << off << " off";
    }
    const struct {
        uint32_t off;
        int tagged, untagged, oldXm;
    } cases[] = {
        {FormatMod, -1, FormatMod15, -1},
        {FormatMod15, FormatMod, -1, -1},
        {FormatXm, FormatMod, FormatMod15, FormatMod15},
    };
    for (const auto& c : cases) {
        FormatSet formats = FormatSet::all();
        formats.remove(c.off);
        EXPECT_EQ(std::tuple(detect(tagged, formats).first, detect(untagged, formats).first,
                             detect(oldXm, formats).first),
                  std::tuple(c.tagged, c.untagged, c.oldXm));
    }
}

} // namespace
} // namespace tolva::test
