#include "platform/File.h"
#include "settings/SettingsFile.h"
#include "settings/SettingsPath.h"
#include "song/FileStream.h"
#include "support/Corpus.h"
#include "support/TempDir.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <numeric>
#include <vector>

namespace tolva::test {
namespace {

using Bytes = std::vector<uint8_t>;

void writeFile(const std::string& path, const Bytes& bytes) {
    FileStream(path.c_str(), platform::FileMode::Write)
        .write(static_cast<uint32_t>(bytes.size()), bytes.data());
}

Bytes encoded(const Settings& s) {
    uint8_t bytes[SettingsFileSize];
    encodeSettings(s, bytes);
    return Bytes(bytes, bytes + SettingsFileSize);
}

Settings decoded(const Bytes& bytes) {
    uint8_t raw[SettingsFileSize];
    std::copy_n(bytes.begin(), SettingsFileSize, raw);
    return decodeSettings(raw);
}

// Bytes 0xA0, 0xA1, ...: every field different from its default and from its neighbours.
Bytes counting() {
    Bytes bytes(SettingsFileSize);
    std::iota(bytes.begin(), bytes.end(), uint8_t{0xA0});
    return bytes;
}

// The counting settings with the fields that have a range taken from `ranged`.
Settings countingWith(const Settings& ranged) {
    Settings s = decoded(counting());
    s.titleFormat = ranged.titleFormat;
    s.lengthMode = ranged.lengthMode;
    s.mixingFrequency = ranged.mixingFrequency;
    s.amp = ranged.amp;
    s.outputBits = ranged.outputBits;
    return s;
}

const Settings Unusual = countingWith(
    {.titleFormat = 1, .lengthMode = 1, .mixingFrequency = 22050, .amp = -1234, .outputBits = 32});

TEST(SettingsFile, DefaultsGiveTheDocumentedBytes) {
    EXPECT_EQ(
        encoded(Settings{}),
        Bytes({0x02, 0, 0, 0,    0, 0, 0, 0, 0x44, 0xAC, 0, 0,    1, 0, 0, 0, 1, 0, 0, 0, 0, 0, 0,
               0,    0, 0, 0x10, 0, 0, 0, 0, 0,    0,    0, 0x01, 0, 0, 0, 1, 1, 1, 1, 1, 1, 1}));
}

TEST(SettingsFile, EveryFieldSitsAtItsOffsetLittleEndian) {
    const Bytes bytes = counting();
    const Settings s = decoded(bytes);
    EXPECT_EQ((std::vector<uint32_t>{s.titleFormat, s.lengthMode, s.mixingFrequency,
                                     s.trailingSilenceSeconds, s.loopCount, s.extraLoopSeconds}),
              (std::vector<uint32_t>{0xA3A2A1A0u, 0xA7A6A5A4u, 0xABAAA9A8u, 0xAFAEADACu,
                                     0xB3B2B1B0u, 0xB7B6B5B4u}));
    EXPECT_EQ(s.amp, static_cast<int16_t>(0xB9B8));
    Bytes flags;
    for (uint8_t Settings::*f :
         {&Settings::outputBits, &Settings::stripTrailingEmptyPatterns, &Settings::removeSilence,
          &Settings::removeInitialSilence, &Settings::limitTrailingSilence, &Settings::loopByCount,
          &Settings::extraPlayTime, &Settings::oldProTrackerMode, &Settings::disableModPanning,
          &Settings::disableOversampling, &Settings::forceMono, &Settings::reverseStereo})
        flags.push_back(s.*f);
    flags.insert(flags.end(), s.formatSwitches.begin(), s.formatSwitches.end());
    EXPECT_EQ(flags, Bytes(bytes.begin() + 26, bytes.end()));
    EXPECT_EQ(encoded(s), bytes);
}

TEST(SettingsFile, LoadKeepsUsableValuesOfFilesOf45BytesOrMoreAndLeavesTheRecordOtherwise) {
    TempDir dir;
    const std::string path = dir.path("in_tolva.dat");
    ASSERT_TRUE(saveSettings(path.c_str(), Unusual));
    Settings live;
    ASSERT_TRUE(loadSettings(path.c_str(), live));
    EXPECT_EQ(live, Unusual);

    Bytes longer = encoded(Unusual);
    longer.push_back(0x77);
    writeFile(path, longer);
    ASSERT_TRUE(loadSettings(path.c_str(), live = Settings{}));
    EXPECT_EQ(live, Unusual);

    // Fields with a range fall back to their defaults, the others are taken as they stand.
    writeFile(path, counting());
    ASSERT_TRUE(loadSettings(path.c_str(), live));
    EXPECT_EQ(live, countingWith(Settings{}));

    const Settings edges{
        .titleFormat = 0, .mixingFrequency = MinMixingFrequency, .amp = -MaxAmp, .outputBits = 8};
    Settings checked = edges;
    replaceUnusableFields(checked);
    EXPECT_EQ(checked, edges);

    for (std::size_t size : {0u, 1u, 44u})
        writeFile(dir.path(std::to_string(size)), Bytes(size, 0));
    // Files of 0, 1 and 44 bytes, a missing one, a folder, no name.
    for (const std::string& path : {dir.path("0"), dir.path("1"), dir.path("44"),
                                    dir.path("missing.dat"), dir.root(), std::string()}) {
        Settings live = Unusual;
        EXPECT_FALSE(loadSettings(path.c_str(), live)) << path;
        EXPECT_EQ(live, Unusual) << path;
    }
}

TEST(SettingsFile, SaveReplacesTheWholeFileOrNothing) {
    TempDir dir;
    const std::string path = dir.path("in_tolva.dat");
    writeFile(path, Bytes(100, 0xEE));
    ASSERT_TRUE(saveSettings(path.c_str(), Settings{}));
    EXPECT_EQ(readWholeFile(path), encoded(Settings{}));

    // A folder in the file's place: the save fails and leaves no temporary file behind.
    const std::string blocked = dir.path("blocked");
    std::filesystem::create_directories(blocked + "/inside");
    EXPECT_FALSE(saveSettings(blocked.c_str(), Settings{}));
    EXPECT_TRUE(std::filesystem::is_directory(blocked));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.root()),
                            std::filesystem::directory_iterator()),
              2);
    EXPECT_FALSE(saveSettings(dir.path("no/such/folder/in_tolva.dat").c_str(), Settings{}));
    EXPECT_FALSE(saveSettings("", Settings{}));
}

TEST(SettingsPath, ThePluginsFileBelowTheFolderWhichIsMadeOnlyWhenAsked) {
    const std::string sep(1, platform::PathSeparator);
    const auto joined = [&](const std::string& folder) {
        return folder + sep + "Plugins" + sep + "in_tolva.dat";
    };
    TempDir dir;
    SettingsPath path;
    for (bool create : {false, true, true}) { // an existing folder is fine
        buildSettingsPath(dir.root().c_str(), create, path);
        EXPECT_EQ(std::string(path.text), joined(dir.root()));
        EXPECT_EQ(std::filesystem::is_directory(dir.path("Plugins")), create);
    }
    buildSettingsPath(nullptr, false, path);
    EXPECT_TRUE(path.empty());
    // 258 characters leave exactly room for the 21 characters and the terminator.
    const std::string longest(SettingsPathCapacity - 22, 'a');
    buildSettingsPath(longest.c_str(), false, path);
    EXPECT_EQ(std::string(path.text), joined(longest));
    buildSettingsPath((longest + "a").c_str(), false, path);
    EXPECT_TRUE(path.empty());
}

} // namespace
} // namespace tolva::test
