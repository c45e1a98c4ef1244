#include "settings/SettingsPath.h"

#include "platform/File.h"

#include <cstring>

namespace tolva {

void buildSettingsPath(const char* hostFolder, bool createFolder, SettingsPath& path) {
    path.text[0] = 0;
    if (!hostFolder)
        return;
    constexpr char Folder[] = "Plugins";
    constexpr char FileName[] = "in_tolva.dat";
    std::size_t folderLength = std::strlen(hostFolder);
    // separator + "Plugins" + separator + "in_tolva.dat" + terminator
    if (folderLength + 1 + (sizeof(Folder) - 1) + 1 + sizeof(FileName) > SettingsPathCapacity)
        return;
    char* end = path.text;
    std::memcpy(end, hostFolder, folderLength);
    end += folderLength;
    *end++ = platform::PathSeparator;
    std::memcpy(end, Folder, sizeof(Folder));
    end += sizeof(Folder) - 1;
    if (createFolder)
        platform::createDirectory(path.text);
    *end++ = platform::PathSeparator;
    std::memcpy(end, FileName, sizeof(FileName));
}

} // namespace tolva
