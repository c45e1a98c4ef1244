#include "support/TickCases.h"

#include <gtest/gtest.h>

namespace tolva::test {
namespace {

using enum Read;

// EEx repeats the row's ticks without reading its notes again, but the tick effects run again:
// a delayed note starts on each pass, and a loop end counts on each pass's first tick.
TEST(ModPatternDelay, EffectsOfTheDelayedRowRunOnEveryPass) {
    runTickCases({
        {"ED2 beside EE1",
         {{0, 0, note(25, 1, 0xE, 0xD2)}, {0, 1, fx(0xE, 0xE1)}},
         "ttt0ttt0ttt0ttt0",
         Starts,
         {1, 1, 2, 2}},
    });
}

} // namespace
} // namespace tolva::test
