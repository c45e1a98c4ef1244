#include "platform/File.h"
#include "settings/SettingsPath.h"
#include "support/TempDir.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <string>

namespace tolva::test {

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

} // namespace tolva::test
