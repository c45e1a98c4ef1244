#include "platform/File.h"
#include "settings/SettingsPath.h"
#include "support/TempDir.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <string>

using namespace tolva;

namespace {
std::string joined(const std::string& folder) {
    const std::string sep(1, platform::PathSeparator);
    return folder + sep + "Plugins" + sep + "in_tolva.dat";
}
} // namespace

TEST(SettingsPath, ComposesThePluginsFileAndCreatesTheFolderOnlyWhenAsked) {
    test::TempDir dir;
    SettingsPath path;
    buildSettingsPath(dir.root().c_str(), false, path);
    EXPECT_EQ(std::string(path.text), joined(dir.root()));
    EXPECT_FALSE(std::filesystem::exists(dir.path("Plugins")));

    buildSettingsPath(dir.root().c_str(), true, path);
    EXPECT_EQ(std::string(path.text), joined(dir.root()));
    EXPECT_TRUE(std::filesystem::is_directory(dir.path("Plugins")));
    buildSettingsPath(dir.root().c_str(), true, path); // an existing folder is fine
    EXPECT_EQ(std::string(path.text), joined(dir.root()));
}

TEST(SettingsPath, NoFolderOrOneTooLongGivesAnEmptyPath) {
    SettingsPath path;
    buildSettingsPath("/x", false, path);
    ASSERT_FALSE(path.empty());
    buildSettingsPath(nullptr, false, path);
    EXPECT_TRUE(path.empty());

    // 258 characters leave exactly room for the 21 characters and the terminator.
    std::string longest(SettingsPathCapacity - 22, 'a');
    buildSettingsPath(longest.c_str(), false, path);
    EXPECT_EQ(std::string(path.text), joined(longest));
    std::string tooLong(SettingsPathCapacity - 21, 'a');
    buildSettingsPath(tooLong.c_str(), false, path);
    EXPECT_TRUE(path.empty());
}
