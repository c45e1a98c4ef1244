#include "engine/Player.h"
#include "mixer/Mixer.h"
#include "platform/File.h"
#include "song/FileStream.h"
#include "song/FormatRegistry.h"
#include "song/MemoryStream.h"
#include "support/FormatsEnabled.h"
#include "support/ModBuilder.h"
#include "support/TempDir.h"

#include <filesystem>
#include <gtest/gtest.h>

using namespace tolva;
using namespace tolva::test;

namespace {

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

LoadFailure refusal(InputStream& stream) {
    Mixer silent;
    LoadFailure failure = LoadFailure::None;
    std::unique_ptr<Player> player = createPlayer(stream, true, &silent, &failure);
    EXPECT_FALSE(player);
    return failure;
}

std::vector<uint8_t> modWithSamples() {
    return ModBuilder(4, "M.K.")
        .sample(squareSample(64))
        .sample(squareSample(32))
        .orders({0, 1})
        .cell(0, 0, 0, note(25, 1))
        .cell(1, 3, 1, note(30, 2))
        .build();
}

} // namespace

class RefusedInput : public ::testing::Test {
    FormatsEnabled formats_;
};

TEST_F(RefusedInput, UnreadableStreamsAreNotModules) {
    FailingStream failing;
    EXPECT_EQ(refusal(failing), LoadFailure::NotAModule);
    MemoryStream empty;
    EXPECT_EQ(refusal(empty), LoadFailure::NotAModule);
    TempDir dir;
    FileStream missing(dir.path("missing.mod").c_str(), platform::FileMode::Read);
    EXPECT_EQ(refusal(missing), LoadFailure::NotAModule);
}

TEST_F(RefusedInput, IdentificationNeverLooksAtTheFileName) {
    TempDir dir;
    const std::vector<uint8_t> bytes = modWithSamples();
    for (const char* name : {"song.mod", "song.xm", "song.IT", "song.s3m", "song.txt", "song"}) {
        std::string path = dir.path(name);
        {
            FileStream out(path.c_str(), platform::FileMode::Write);
            ASSERT_EQ(out.write(static_cast<uint32_t>(bytes.size()), bytes.data()), 0u);
        }
        FileStream in(path.c_str(), platform::FileMode::Read);
        Mixer silent;
        std::unique_ptr<Player> player = createPlayer(in, true, &silent);
        ASSERT_TRUE(player) << name;
        EXPECT_EQ(player->formatType(), FormatMod) << name;
    }
}

TEST_F(RefusedInput, EveryCutCopyOfAModIsRefusedCleanlyOrLoadsWhole) {
    const std::vector<uint8_t> bytes = modWithSamples();
    // Header and patterns: every cut before the sample data (1084 + 2 x 1024 bytes in) loses
    // something the loader needs; a cut inside the sample data plays what is there.
    for (std::size_t size = 0; size < 3132; size += (size < 1200 ? 7 : 1)) {
        MemoryStream stream(bytes.data(), size);
        Mixer silent;
        LoadFailure failure = LoadFailure::None;
        std::unique_ptr<Player> player = createPlayer(stream, false, &silent, &failure);
        EXPECT_FALSE(player) << size << " bytes";
        EXPECT_TRUE(failure == LoadFailure::NotAModule || failure == LoadFailure::Damaged)
            << size << " bytes";
    }
    MemoryStream whole(bytes);
    Mixer silent;
    EXPECT_TRUE(createPlayer(whole, true, &silent));
}

TEST_F(RefusedInput, EveryNotModuleOfTheCorpusIsRefused) {
    namespace fs = std::filesystem;
    const fs::path folder = fs::path(TOLVA_CORPUS_DIR) / "not-modules";
    if (!fs::is_directory(folder))
        GTEST_SKIP() << "no corpus at " << folder;
    int files = 0;
    for (const auto& entry : fs::directory_iterator(folder)) {
        if (!entry.is_regular_file())
            continue;
        ++files;
        FileStream stream(entry.path().string().c_str(), platform::FileMode::Read);
        ASSERT_TRUE(stream.isOpen()) << entry.path();
        EXPECT_EQ(refusal(stream), LoadFailure::NotAModule) << entry.path();
    }
    EXPECT_GT(files, 0);
}
