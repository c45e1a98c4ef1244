#include "platform/File.h"
#include "settings/SettingsFile.h"
#include "song/FileStream.h"
#include "support/TempDir.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <vector>

using namespace tolva;

namespace {

void writeFile(const std::string& path, const std::vector<uint8_t>& bytes) {
    FileStream out(path.c_str(), platform::FileMode::Write);
    if (!bytes.empty()) {
        ASSERT_EQ(out.write(static_cast<uint32_t>(bytes.size()), bytes.data()), 0u);
    }
}

std::vector<uint8_t> readFile(const std::string& path) {
    FileStream in(path.c_str(), platform::FileMode::Read);
    std::vector<uint8_t> bytes(in.size());
    if (!bytes.empty()) {
        EXPECT_EQ(in.read(static_cast<uint32_t>(bytes.size()), bytes.data()), 0u);
    }
    return bytes;
}

// Every field different from its default and from its neighbours.
Settings unusualSettings() {
    Settings s;
    s.titleFormat = 1;
    s.lengthMode = 1;
    s.mixingFrequency = 22050;
    s.trailingSilenceSeconds = 10000000;
    s.loopCount = 9999;
    s.extraLoopSeconds = 0x01020304;
    s.amp = -1234;
    s.outputBits = 32;
    uint8_t value = 2;
    for (uint8_t* flag :
         {&s.stripTrailingEmptyPatterns, &s.removeSilence, &s.removeInitialSilence,
          &s.limitTrailingSilence, &s.loopByCount, &s.extraPlayTime, &s.oldProTrackerMode})
        *flag = value++;
    s.disableModPanning = 0;
    s.disableOversampling = 0xFF;
    s.forceMono = 1;
    s.reverseStereo = 1;
    for (uint32_t i = 0; i < 7; ++i)
        s.formatEnable(i) = static_cast<uint8_t>(i % 2 ? 0 : 0x40 + i);
    return s;
}

} // namespace

TEST(SettingsFile, DefaultsGiveTheDocumentedBytes) {
    uint8_t bytes[SettingsFileSize];
    encodeSettings(Settings{}, bytes);
    const std::vector<uint8_t> expected = {
        0x02, 0, 0, 0,    0, 0, 0, 0, 0x44, 0xAC, 0, 0,    1, 0, 0, 0, 1, 0, 0, 0, 0, 0, 0,
        0,    0, 0, 0x10, 0, 0, 0, 0, 0,    0,    0, 0x01, 0, 0, 0, 1, 1, 1, 1, 1, 1, 1};
    EXPECT_EQ(std::vector<uint8_t>(bytes, bytes + SettingsFileSize), expected);
}

TEST(SettingsFile, EveryFieldSitsAtItsOffsetLittleEndian) {
    uint8_t bytes[SettingsFileSize];
    for (uint32_t i = 0; i < SettingsFileSize; ++i)
        bytes[i] = static_cast<uint8_t>(0xA0 + i);
    Settings s = decodeSettings(bytes);
    EXPECT_EQ(s.titleFormat, 0xA3A2A1A0u);
    EXPECT_EQ(s.lengthMode, 0xA7A6A5A4u);
    EXPECT_EQ(s.mixingFrequency, 0xABAAA9A8u);
    EXPECT_EQ(s.trailingSilenceSeconds, 0xAFAEADACu);
    EXPECT_EQ(s.loopCount, 0xB3B2B1B0u);
    EXPECT_EQ(s.extraLoopSeconds, 0xB7B6B5B4u);
    EXPECT_EQ(s.amp, static_cast<int16_t>(0xB9B8));
    EXPECT_EQ(s.outputBits, 0xBA);
    EXPECT_EQ(s.stripTrailingEmptyPatterns, 0xBB);
    EXPECT_EQ(s.removeSilence, 0xBC);
    EXPECT_EQ(s.removeInitialSilence, 0xBD);
    EXPECT_EQ(s.limitTrailingSilence, 0xBE);
    EXPECT_EQ(s.loopByCount, 0xBF);
    EXPECT_EQ(s.extraPlayTime, 0xC0);
    EXPECT_EQ(s.oldProTrackerMode, 0xC1);
    EXPECT_EQ(s.disableModPanning, 0xC2);
    EXPECT_EQ(s.disableOversampling, 0xC3);
    EXPECT_EQ(s.forceMono, 0xC4);
    EXPECT_EQ(s.reverseStereo, 0xC5);
    for (uint32_t i = 0; i < 7; ++i)
        EXPECT_EQ(s.formatEnable(i), 0xC6 + i) << "format " << i;

    uint8_t again[SettingsFileSize];
    encodeSettings(s, again);
    EXPECT_EQ(std::vector<uint8_t>(again, again + SettingsFileSize),
              std::vector<uint8_t>(bytes, bytes + SettingsFileSize));
}

TEST(SettingsFile, SaveAndLoadKeepEveryField) {
    test::TempDir dir;
    std::string path = dir.path("in_tolva.dat");
    Settings saved = unusualSettings();
    ASSERT_TRUE(saveSettings(path.c_str(), saved));
    EXPECT_EQ(readFile(path).size(), SettingsFileSize);
    Settings loaded;
    ASSERT_TRUE(loadSettings(path.c_str(), loaded));
    EXPECT_EQ(loaded, saved);
}

TEST(SettingsFile, FilesOfTheWrongSizeOrMissingLeaveTheRecordAlone) {
    test::TempDir dir;
    const Settings before = unusualSettings();
    for (std::size_t size : {0u, 1u, 44u}) {
        std::string path = dir.path("short.dat");
        writeFile(path, std::vector<uint8_t>(size, 0));
        Settings live = before;
        EXPECT_FALSE(loadSettings(path.c_str(), live)) << size << " bytes";
        EXPECT_EQ(live, before) << size << " bytes";
    }
    Settings live = before;
    EXPECT_FALSE(loadSettings(dir.path("missing.dat").c_str(), live));
    EXPECT_FALSE(loadSettings(dir.root().c_str(), live)); // a folder, not a file
    EXPECT_FALSE(loadSettings("", live));
    EXPECT_EQ(live, before);
}

TEST(SettingsFile, LongerFileLoadsFromItsFirst45Bytes) {
    test::TempDir dir;
    std::string path = dir.path("long.dat");
    uint8_t bytes[SettingsFileSize];
    encodeSettings(unusualSettings(), bytes);
    std::vector<uint8_t> file(bytes, bytes + SettingsFileSize);
    file.push_back(0x77);
    writeFile(path, file);
    Settings live;
    ASSERT_TRUE(loadSettings(path.c_str(), live));
    EXPECT_EQ(live, unusualSettings());
}

TEST(SettingsFile, GarbageLoadsButUnusableValuesFallBackToDefaults) {
    test::TempDir dir;
    std::string path = dir.path("garbage.dat");
    std::vector<uint8_t> garbage(SettingsFileSize);
    uint32_t state = 12345;
    for (auto& b : garbage) {
        state = state * 1103515245u + 12345u;
        b = static_cast<uint8_t>(state >> 16);
    }
    garbage[26] = 24; // outputBits
    writeFile(path, garbage);
    Settings live;
    ASSERT_TRUE(loadSettings(path.c_str(), live));
    const Settings defaults;
    EXPECT_LE(live.titleFormat, 2u);
    EXPECT_LE(live.lengthMode, 1u);
    EXPECT_GE(live.mixingFrequency, MinMixingFrequency);
    EXPECT_LE(live.mixingFrequency, MaxMixingFrequency);
    EXPECT_EQ(live.outputBits, defaults.outputBits);
    EXPECT_GE(live.amp, -MaxAmp);
    EXPECT_LE(live.amp, MaxAmp);
    // Fields any value suits are taken as they stand.
    EXPECT_EQ(live.removeSilence, garbage[28]);
    EXPECT_EQ(live.enableMod15, garbage[44]);
}

TEST(SettingsFile, UsableEdgeValuesAreKept) {
    Settings s;
    s.mixingFrequency = MinMixingFrequency;
    s.amp = -MaxAmp;
    s.outputBits = 8;
    s.titleFormat = 0;
    Settings checked = s;
    replaceUnusableFields(checked);
    EXPECT_EQ(checked, s);
    s.mixingFrequency = 0;
    s.amp = MaxAmp + 1;
    replaceUnusableFields(s);
    EXPECT_EQ(s.mixingFrequency, 44100u);
    EXPECT_EQ(s.amp, 0);
}

TEST(SettingsFile, SaveReplacesTheWholeFileOrNothing) {
    test::TempDir dir;
    std::string path = dir.path("in_tolva.dat");
    writeFile(path, std::vector<uint8_t>(100, 0xEE));
    ASSERT_TRUE(saveSettings(path.c_str(), Settings{}));
    uint8_t defaults[SettingsFileSize];
    encodeSettings(Settings{}, defaults);
    EXPECT_EQ(readFile(path), std::vector<uint8_t>(defaults, defaults + SettingsFileSize));

    // A folder in the file's place cannot be replaced: the save fails and leaves no
    // temporary file behind.
    std::string blocked = dir.path("blocked");
    std::filesystem::create_directories(blocked + "/inside");
    EXPECT_FALSE(saveSettings(blocked.c_str(), Settings{}));
    EXPECT_TRUE(std::filesystem::is_directory(blocked));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.root()),
                            std::filesystem::directory_iterator()),
              2);

    EXPECT_FALSE(saveSettings(dir.path("no/such/folder/in_tolva.dat").c_str(), Settings{}));
    EXPECT_FALSE(saveSettings("", Settings{}));
}
