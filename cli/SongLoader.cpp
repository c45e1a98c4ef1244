#include "SongLoader.h"

namespace tolva::cli {

bool loadSong(const std::string& path, const LoadOptions& options, LoadedSong& song,
              Failure& failure) {
    const std::string reason = unreadable(path);
    if (!reason.empty()) {
        failure = {ExitFailure, reason};
        return false;
    }
    // Sample data is loaded even for facts and lengths: removing silence needs the sound.
    switch (loadSongFile(path.c_str(), options, song)) {
    case LoadFailure::None:
        return true;
    case LoadFailure::Unreadable:
        failure = {ExitFailure, "cannot read file"};
        break;
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

} // namespace tolva::cli
