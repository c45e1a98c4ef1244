#pragma once
#include "ModWriter.h"

namespace demosong {

// A short tune in A minor: intro, groove and an ending that fades out (about 23 seconds).
ModSong demoTune();

} // namespace demosong
