#include "SongLoader.h"

#include "engine/Player.h"
#include "engine/SongSettings.h"
#include "settings/FormatEnables.h"
#include "song/FileStream.h"

namespace tolva::cli {

void enableFormats(const Settings& settings) {
    enableAllFormats();
    applyFormatEnables(settings);
}

bool loadSong(const std::string& path, const Settings& settings, LoadedSong& song,
              Failure& failure) {
    const std::string reason = unreadable(path);
    if (!reason.empty()) {
        failure = {ExitFailure, reason};
        return false;
    }
    FileStream stream(path.c_str(), platform::FileMode::Read);
    if (!stream.isOpen()) {
        failure = {ExitFailure, "cannot read file"};
        return false;
    }
    song.fileSize = stream.size();
    // Sample data is loaded even for facts and lengths: removing silence needs the sound.
    LoadFailure why = LoadFailure::None;
    song.session = createSession(stream, false, &why);
    if (!song.session) {
        switch (why) {
        case LoadFailure::UnsupportedVersion:
            failure = {ExitNotModule, "unsupported version of its module format"};
            break;
        case LoadFailure::Damaged:
            failure = {ExitFailure, "damaged or unsupported file"};
            break;
        case LoadFailure::OutOfMemory:
            failure = {ExitFailure, "out of memory"};
            break;
        default:
            failure = {ExitNotModule, "not a module in a supported format"};
            break;
        }
        return false;
    }
    applySettings(song.session->player(), settings, false);
    song.length = scanLength(*song.session, settings);
    return true;
}

} // namespace tolva::cli
