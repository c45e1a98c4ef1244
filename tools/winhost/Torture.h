#pragma once
// Stress runs of the plug-in's entry points, reported as key=value lines.
#include "host/HostRecords.h"

#include <string>
#include <vector>

namespace winhost {

class HostWindow;

struct TortureOptions {
    int threads = 4;
    int seconds = 5;
    unsigned seed = 1;
    int songs = 200;
};

// Host threads call the entry points in random order with random pauses for a bounded time,
// while the main thread stops every song that ends, as the player does.
int torture(tolva::host::InputModule& plugin, HostWindow& window,
            const std::vector<std::string>& files, const TortureOptions& options);

// Songs played back to back to their ends, each with a seek; the sound card takes them as
// fast as they come.
int longSession(tolva::host::InputModule& plugin, HostWindow& window,
                const std::vector<std::string>& files, const TortureOptions& options);

} // namespace winhost
