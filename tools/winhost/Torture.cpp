#include "Torture.h"

#include "DialogDriver.h"
#include "HostWindow.h"

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <random>
#include <thread>

namespace winhost {

namespace {

using tolva::host::InputModule;

void print(const char* key, long long value) {
    std::printf("%s=%lld\n", key, value);
}

// Bytes in use on the process heap, where the plug-in keeps everything it allocates.
long long heapBytes() {
    HANDLE heap = GetProcessHeap();
    long long busy = 0;
    HeapLock(heap);
    PROCESS_HEAP_ENTRY entry{};
    while (HeapWalk(heap, &entry))
        if (entry.wFlags & PROCESS_HEAP_ENTRY_BUSY)
            busy += entry.cbData;
    HeapUnlock(heap);
    return busy;
}

long long handleCount() {
    DWORD count = 0;
    GetProcessHandleCount(GetCurrentProcess(), &count);
    return count;
}

// The same song played and stopped: what the plug-in holds afterwards is one module, so the
// counts taken here can be compared.
void settle(InputModule& p, const std::string& file) {
    p.Stop();
    p.Play(file.c_str());
    p.Stop();
}

// The information dialog for `file`, closed again at once; a file of no format opens none.
void showInfo(InputModule& p, HostWindow& window, const std::string& file) {
    if (!p.IsOurFile(file.c_str())) {
        p.InfoBox(file.c_str(), window.handle());
        return;
    }
    DialogDriver driver("Tracker Module Info", {"cancel"}, "");
    driver.start();
    p.InfoBox(file.c_str(), window.handle());
}

// Waits, handling the window's messages, until `done` answers true or `ms` have passed.
template <typename Done> bool pumpUntil(HostWindow& window, DWORD ms, Done done) {
    const DWORD start = GetTickCount();
    while (!done()) {
        if (GetTickCount() - start > ms)
            return false;
        window.pump(5);
    }
    return true;
}

struct Counters {
    std::atomic<long long> calls{0}, plays{0};
    long long infoBoxes = 0;
};

// One host thread: random entry points on random files, and now and then a bad file name.
void hammer(InputModule& p, const std::vector<std::string>& files, unsigned seed, DWORD deadline,
            Counters& counters) {
    std::mt19937 random(seed);
    auto pick = [&](uint32_t n) { return static_cast<uint32_t>(random() % n); };
    while (GetTickCount() < deadline) {
        const std::string& file = files[pick(static_cast<uint32_t>(files.size()))];
        char title[2048];
        int length = 0;
        switch (pick(11)) {
        case 0:
            counters.plays += p.Play(file.c_str()) == 0;
            break;
        case 1:
            p.Stop();
            break;
        case 2:
            p.Pause();
            break;
        case 3:
            p.UnPause();
            break;
        case 4:
            p.SetOutputTime(static_cast<int>(pick(400000)));
            break;
        case 5:
            p.GetOutputTime();
            p.GetLength();
            break;
        case 6:
            p.GetFileInfo(file.c_str(), title, &length);
            break;
        case 7:
            p.GetFileInfo(pick(2) ? nullptr : "", title, &length);
            break;
        case 8:
            p.IsOurFile(file.c_str());
            break;
        case 9:
            p.SetVolume(static_cast<int>(pick(256)));
            p.IsPaused();
            break;
        default:
            Sleep(pick(30));
            break;
        }
        ++counters.calls;
        if (pick(4) == 0)
            Sleep(pick(15));
    }
}

// Runs the host threads until `seconds` have passed; false when they hang.
bool hammerFor(InputModule& p, HostWindow& window, const std::vector<std::string>& files,
               const TortureOptions& o, int seconds, Counters& counters) {
    const DWORD deadline = GetTickCount() + static_cast<DWORD>(seconds) * 1000;
    std::vector<std::thread> threads;
    std::atomic<int> running{o.threads};
    for (int i = 0; i < o.threads; ++i)
        threads.emplace_back([&, i] {
            hammer(p, files, o.seed + static_cast<unsigned>(i), deadline, counters);
            --running;
        });
    // The window's thread stops a song when it is told that the song has ended, and opens the
    // information dialog now and then, as the player does on its own thread.
    int ended = window.endOfFileCount();
    std::mt19937 random(o.seed);
    DWORD nextInfoBox = GetTickCount();
    const bool finished = pumpUntil(window, static_cast<DWORD>(seconds) * 1000 + 60000, [&] {
        if (window.endOfFileCount() > ended) {
            ended = window.endOfFileCount();
            p.Stop();
        }
        if (running != 0 && GetTickCount() >= nextInfoBox) {
            showInfo(p, window, files[random() % files.size()]);
            ++counters.infoBoxes;
            nextInfoBox = GetTickCount() + 100 + random() % 900;
        }
        return running == 0;
    });
    if (!finished) {
        print("torture_hung", 1);
        std::fflush(stdout);
        ExitProcess(3);
    }
    for (std::thread& t : threads)
        t.join();
    // Songs that ended at the last moment are told about and stopped too.
    pumpUntil(window, 500, [&] {
        if (window.endOfFileCount() > ended) {
            ended = window.endOfFileCount();
            p.Stop();
        }
        return false;
    });
    return finished;
}

} // namespace

int torture(InputModule& p, HostWindow& window, const std::vector<std::string>& files,
            const TortureOptions& o) {
    // A first round, and the information dialog once for every file, let the system make what
    // it keeps once made (dialog classes, fonts, glyphs).
    Counters warmUp;
    hammerFor(p, window, files, o, 1, warmUp);
    for (const std::string& file : files)
        showInfo(p, window, file);
    settle(p, files[0]);
    const long long heapBefore = heapBytes();
    const long long handlesBefore = handleCount();
    const int eofBefore = window.endOfFileCount();
    const DWORD start = GetTickCount();
    Counters counters;
    hammerFor(p, window, files, o, o.seconds, counters);
    print("torture_hung", 0);
    print("torture_ms", static_cast<long long>(GetTickCount() - start));
    print("torture_calls", counters.calls);
    print("torture_plays", counters.plays);
    print("torture_infoboxes", counters.infoBoxes);
    print("torture_eof", window.endOfFileCount() - eofBefore);
    // Quitting while a song plays, then starting again.
    p.Play(files[0].c_str());
    p.Quit();
    p.Init();
    // One song left alone to its end, and a seek after its last block, tell exactly once.
    const int eofAlone = window.endOfFileCount();
    p.Play(files[0].c_str());
    pumpUntil(window, 60000, [&] { return window.endOfFileCount() > eofAlone; });
    p.SetOutputTime(0);
    pumpUntil(window, 300, [] { return false; });
    print("lone_song_eof", window.endOfFileCount() - eofAlone);
    settle(p, files[0]);
    print("heap_growth", heapBytes() - heapBefore);
    print("handle_growth", handleCount() - handlesBefore);
    return 0;
}

int longSession(InputModule& p, HostWindow& window, const std::vector<std::string>& files,
                const TortureOptions& o) {
    const DWORD start = GetTickCount();
    std::mt19937 random(o.seed);
    const int round = static_cast<int>(files.size());
    long long heapAfterRound = 0, handlesAfterRound = 0;
    int played = 0, refused = 0, unended = 0;
    for (int i = 0; i < o.songs; ++i) {
        const int eofBefore = window.endOfFileCount();
        if (p.Play(files[static_cast<std::size_t>(i % round)].c_str()) != 0) {
            ++refused;
            continue;
        }
        ++played;
        const int length = p.GetLength();
        // A seek into the last seconds of the song, or back to its start now and then.
        if (length > 0)
            p.SetOutputTime(random() % 8 == 0
                                ? 0
                                : length - 1 - static_cast<int>(random() % std::min(length, 8000)));
        if (!pumpUntil(window, 120000, [&] { return window.endOfFileCount() > eofBefore; }))
            ++unended;
        p.Stop();
        if (i + 1 == round) {
            heapAfterRound = heapBytes();
            handlesAfterRound = handleCount();
        }
    }
    pumpUntil(window, 300, [] { return false; });
    print("session_ms", static_cast<long long>(GetTickCount() - start));
    print("session_played", played);
    print("session_refused", refused);
    print("session_unended", unended);
    print("session_eof", window.endOfFileCount());
    // The last song is the last of a round when the count of songs is a multiple of a round.
    print("session_heap_growth", heapBytes() - heapAfterRound);
    print("session_handle_growth", handleCount() - handlesAfterRound);
    return 0;
}

} // namespace winhost
