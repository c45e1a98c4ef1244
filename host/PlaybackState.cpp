#include "host/PlaybackState.h"

namespace tolva::host {

PlaybackState state;

} // namespace tolva::host
