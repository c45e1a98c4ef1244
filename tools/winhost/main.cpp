// winhost: loads an input plug-in the way the media player does and drives it from the
// command line, printing what happened as key=value lines.
//
//   winhost play DLL FILE OUT.wav [options]   play FILE to its end (or until --stop-at)
//   winhost info DLL FILE...                  IsOurFile, title and length of each FILE
//   winhost uninstall DLL                     call the uninstall export
//   winhost config DLL [FILE...]              open the configuration dialog, then print the
//                                             title of each FILE
//   winhost about DLL                         open the about box
//   winhost infobox DLL FILE...               open the information dialog for each FILE in
//                                             turn; --act next starts the actions of the next
//   winhost torture DLL FILE...               --threads N host threads call entry points at
//                                             random for --seconds S (--seed N)
//   winhost session DLL FILE...               --songs N songs back to back, each with a seek
//
// Common options: --home DIR (settings folder DIR\settings, plug-in folder DIR\plugins;
// default: a temporary folder removed afterwards), --no-dirs (the folder queries answer 0).
// Play options: --seek MS, --seek-at AT:MS, --pause-at MS, --pause-for MS, --stop-at MS,
// --uninstall-at MS (all times are the plug-in's output time), --speed X (sound card speed,
// 0 = instant), --buffer-ms N, --dsp (a DSP that doubles frames), --fail-open, --timeout S.
// Dialog options: --act ACTION (repeatable; see DialogDriver.h), --shots DIR (where shot
// actions hand over), --infobox-at MS:FILE (play: open the information dialog for FILE).
#include "DialogDriver.h"
#include "HostServices.h"
#include "HostWindow.h"
#include "PluginLibrary.h"
#include "SoundCard.h"
#include "Torture.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

namespace fs = std::filesystem;
using namespace winhost;

namespace {

struct Options {
    std::string command, dll, wav;
    std::vector<std::string> files;
    std::string home;
    bool noDirs = false;
    int seekAt = -1, seekMs = 0;
    int pauseAt = -1, pauseFor = 500;
    int stopAt = -1;
    int uninstallAt = -1;
    SoundCard::Options card;
    bool dsp = false;
    int timeoutS = 300;
    std::vector<std::string> actions;
    std::string shotDir;
    int infoBoxAt = -1;
    std::string infoBoxFile;
    TortureOptions torture;
};

[[noreturn]] void fail(const std::string& message) {
    std::fprintf(stderr, "winhost: %s\n", message.c_str());
    std::exit(2);
}

int number(const std::string& text) {
    return std::atoi(text.c_str());
}

void seekAt(Options& o, const std::string& v) {
    if (std::sscanf(v.c_str(), "%d:%d", &o.seekAt, &o.seekMs) != 2)
        fail("--seek-at wants AT:MS");
}

void infoBoxAt(Options& o, const std::string& v) {
    std::size_t colon = v.find(':');
    if (colon == std::string::npos)
        fail("--infobox-at wants MS:FILE");
    o.infoBoxAt = number(v.substr(0, colon));
    o.infoBoxFile = v.substr(colon + 1);
}

struct OptionRow {
    const char* name;
    bool takesValue;
    void (*apply)(Options& o, const std::string& value);
};

const OptionRow OptionRows[] = {
    {"--home", true, [](Options& o, const std::string& v) { o.home = v; }},
    {"--no-dirs", false, [](Options& o, const std::string&) { o.noDirs = true; }},
    {"--seek", true, [](Options& o, const std::string& v) { o.seekAt = 0, o.seekMs = number(v); }},
    {"--seek-at", true, seekAt},
    {"--pause-at", true, [](Options& o, const std::string& v) { o.pauseAt = number(v); }},
    {"--pause-for", true, [](Options& o, const std::string& v) { o.pauseFor = number(v); }},
    {"--stop-at", true, [](Options& o, const std::string& v) { o.stopAt = number(v); }},
    {"--uninstall-at", true, [](Options& o, const std::string& v) { o.uninstallAt = number(v); }},
    {"--speed", true,
     [](Options& o, const std::string& v) { o.card.speed = std::atof(v.c_str()); }},
    {"--buffer-ms", true, [](Options& o, const std::string& v) { o.card.bufferMs = number(v); }},
    {"--dsp", false, [](Options& o, const std::string&) { o.dsp = true; }},
    {"--fail-open", false, [](Options& o, const std::string&) { o.card.failOpen = true; }},
    {"--timeout", true, [](Options& o, const std::string& v) { o.timeoutS = number(v); }},
    {"--threads", true, [](Options& o, const std::string& v) { o.torture.threads = number(v); }},
    {"--seconds", true, [](Options& o, const std::string& v) { o.torture.seconds = number(v); }},
    {"--seed", true,
     [](Options& o, const std::string& v) { o.torture.seed = static_cast<unsigned>(number(v)); }},
    {"--songs", true, [](Options& o, const std::string& v) { o.torture.songs = number(v); }},
    {"--act", true, [](Options& o, const std::string& v) { o.actions.push_back(v); }},
    {"--shots", true, [](Options& o, const std::string& v) { o.shotDir = v; }},
    {"--infobox-at", true, infoBoxAt},
};

// What follows the command and the DLL: at least and at most this many names.
struct CommandRow {
    const char* name;
    std::size_t least, most;
    const char* usage; // null: the command is not known with that many
};

constexpr std::size_t Any = SIZE_MAX;
constexpr CommandRow Commands[] = {
    {"play", 2, 2, "usage: winhost play DLL FILE OUT.wav [options]"},
    {"info", 1, Any, "usage: winhost info DLL FILE..."},
    {"config", 0, Any, nullptr},
    {"infobox", 1, Any, "usage: winhost infobox DLL FILE..."},
    {"torture", 1, Any, "usage: winhost torture DLL FILE..."},
    {"session", 1, Any, "usage: winhost session DLL FILE..."},
    {"uninstall", 0, 0, nullptr},
    {"about", 0, 0, nullptr},
};

// The command, the DLL and the files after them.
void takeCommand(Options& o, std::vector<std::string> positional) {
    if (positional.size() < 2)
        fail("usage: winhost play|info|uninstall|config|about|infobox|torture|session DLL "
             "[FILE...] [options]");
    o.command = positional[0];
    o.dll = positional[1];
    positional.erase(positional.begin(), positional.begin() + 2);
    const auto row = std::find_if(std::begin(Commands), std::end(Commands),
                                  [&o](const CommandRow& r) { return o.command == r.name; });
    if (row == std::end(Commands))
        fail("unknown command " + o.command);
    if (positional.size() < row->least || positional.size() > row->most)
        fail(row->usage ? row->usage : "unknown command " + o.command);
    o.files = positional;
    if (o.command == "play") {
        o.files.pop_back();
        o.wav = o.card.wavPath = positional.back();
    }
}

Options parse(int argc, char** argv) {
    Options o;
    std::vector<std::string> positional;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        const auto row = std::find_if(std::begin(OptionRows), std::end(OptionRows),
                                      [&a](const OptionRow& r) { return a == r.name; });
        if (row == std::end(OptionRows) && a.rfind("--", 0) == 0)
            fail("unknown option " + a);
        if (row == std::end(OptionRows))
            positional.push_back(a);
        else if (row->takesValue && i + 1 >= argc)
            fail("missing value after " + a);
        else
            row->apply(o, row->takesValue ? argv[++i] : "");
    }
    takeCommand(o, std::move(positional));
    return o;
}

// The folders the main window names: under --home, or under a temporary folder.
class Folders {
public:
    explicit Folders(const Options& o) {
        if (o.home.empty()) {
            char base[MAX_PATH];
            GetTempPathA(MAX_PATH, base);
            root_ = fs::path(base) / ("winhost-" + std::to_string(GetCurrentProcessId()));
            temporary_ = true;
        } else {
            root_ = o.home;
        }
        std::error_code ignored;
        fs::create_directories(root_ / "settings", ignored);
        fs::create_directories(root_ / "plugins", ignored);
        if (!o.noDirs) {
            settings_ = (root_ / "settings").string();
            plugins_ = (root_ / "plugins").string();
        }
    }
    ~Folders() {
        std::error_code ignored;
        if (temporary_)
            fs::remove_all(root_, ignored);
    }
    const std::string& settings() const { return settings_; }
    const std::string& plugins() const { return plugins_; }

private:
    fs::path root_;
    bool temporary_ = false;
    std::string settings_, plugins_;
};

double nowMs() {
    static LARGE_INTEGER frequency = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return f;
    }();
    LARGE_INTEGER t;
    QueryPerformanceCounter(&t);
    return double(t.QuadPart) * 1000.0 / double(frequency.QuadPart);
}

void print(const char* key, long long value) {
    std::printf("%s=%lld\n", key, value);
}

void printCard(const SoundCard::Report& c) {
    print("open_calls", c.opens);
    std::printf("open_args=%d,%d,%d,%d,%d\n", c.openRate, c.openChannels, c.openBits,
                c.openBufferMs, c.openPrebufferMs);
    print("close_calls", c.closes);
    print("output_pause_calls", c.pauses);
    print("output_last_pause", c.lastPause);
    print("volume_calls", c.volumeCalls);
    print("last_volume", c.lastVolume);
    print("pan_calls", c.panCalls);
    print("last_pan", c.lastPan);
    print("write_calls", static_cast<long long>(c.writes));
    print("written_bytes", static_cast<long long>(c.bytes));
    print("overflows", static_cast<long long>(c.overflows));
    print("writes_while_closed", static_cast<long long>(c.writesWhileClosed));
    print("min_room_before_write", c.minRoomBeforeWrite);
    print("flush_calls", static_cast<long long>(c.flushes.size()));
    for (const FlushMark& f : c.flushes)
        std::printf("flush=%d@%llu\n", f.timeMs, static_cast<unsigned long long>(f.atByte));
}

void printServices(const HostServices::Report& s) {
    print("savsa_init_calls", s.savsaInits);
    std::printf("savsa_init_args=%d,%d\n", s.savsaInitLatency, s.savsaInitRate);
    print("savsa_deinit_calls", s.savsaDeInits);
    print("sa_calls", s.saCalls);
    print("vsa_calls", s.vsaCalls);
    print("bad_pcm_calls", s.badPcmCalls);
    print("pcm_bits", s.pcmBits);
    print("first_pcm_time", s.firstPcmTimeMs);
    print("last_pcm_time", s.lastPcmTimeMs);
    print("vsa_setinfo_calls", s.vsaInfoCalls);
    std::printf("vsa_setinfo_args=%d,%d\n", s.vsaInfoRate, s.vsaInfoChannels);
    print("dsp_active_queries", s.dspActiveQueries);
    print("dsp_calls", s.dspCalls);
    print("bad_dsp_calls", s.badDspCalls);
    print("setinfo_calls", s.setInfoCalls);
    std::printf("setinfo_args=%d,%d,%d,%d\n", s.setInfoKbps, s.setInfoKhz, s.setInfoChannels,
                s.setInfoSynched);
    print("unexpected_service_calls", s.unexpectedCalls);
}

// Pauses, waits `ms` while the plug-in keeps running, and resumes; reports whether time
// stood still and whether the plug-in stopped writing once the sound card was full.
void pauseFor(tolva::host::InputModule& p, HostWindow& window, SoundCard& card, int ms) {
    p.Pause();
    print("paused_flag", p.IsPaused());
    int before = p.GetOutputTime();
    for (double end = nowMs() + ms / 2; nowMs() < end;)
        window.pump(5);
    uint64_t settled = card.bytesWritten();
    for (double end = nowMs() + ms / 2; nowMs() < end;)
        window.pump(5);
    print("pause_time_drift", p.GetOutputTime() - before);
    print("pause_late_bytes", static_cast<long long>(card.bytesWritten() - settled));
    p.UnPause();
    print("unpaused_flag", p.IsPaused());
}

int play(const Options& o, PluginLibrary& library, HostWindow& window, SoundCard& card) {
    tolva::host::InputModule& p = library.plugin();
    int result = p.Play(o.files[0].c_str());
    print("play_result", result);
    print("length", p.GetLength());
    print("time_after_play", p.GetOutputTime());
    if (result != 0) {
        p.Stop();
        return 0;
    }
    bool seekDone = false, pauseDone = false, uninstallDone = false, stopped = false;
    bool infoBoxDone = false;
    double deadline = nowMs() + o.timeoutS * 1000.0;
    int lastTime = 0;
    while (window.endOfFileCount() == 0) {
        lastTime = p.GetOutputTime();
        if (!seekDone && o.seekAt >= 0 && lastTime >= o.seekAt) {
            seekDone = true;
            p.SetOutputTime(o.seekMs);
            print("time_after_seek_request", p.GetOutputTime());
        }
        if (!pauseDone && o.pauseAt >= 0 && lastTime >= o.pauseAt) {
            pauseDone = true;
            print("pause_time", lastTime);
            pauseFor(p, window, card, o.pauseFor);
        }
        if (!infoBoxDone && o.infoBoxAt >= 0 && lastTime >= o.infoBoxAt) {
            infoBoxDone = true;
            DialogDriver driver("Tracker Module Info", o.actions, o.shotDir);
            driver.start();
            print("infobox_result", p.InfoBox(o.infoBoxFile.c_str(), window.handle()));
        }
        if (!uninstallDone && o.uninstallAt >= 0 && lastTime >= o.uninstallAt) {
            uninstallDone = true;
            print("uninstall_while_playing", library.uninstall());
        }
        if (o.stopAt >= 0 && lastTime >= o.stopAt) {
            stopped = true;
            break;
        }
        if (nowMs() > deadline) {
            print("timeout", 1);
            break;
        }
        window.pump(2);
    }
    if (window.endOfFileCount() > 0)
        print("buffered_at_eof", static_cast<long long>(card.bytesBuffered()));
    print("stopped_early", stopped);
    print("time_before_stop", lastTime);
    double start = nowMs();
    p.Stop();
    print("stop_ms", static_cast<long long>(nowMs() - start));
    return 0;
}

// Opens one of the plug-in's dialogs for the host window while a driver works it; the
// information dialog opens once for every file, each with its share of the actions.
int dialog(const Options& o, tolva::host::InputModule& p, HostWindow& window) {
    const char* caption = o.command == "config"  ? "Configure TOLVA"
                          : o.command == "about" ? "About TOLVA"
                                                 : "Tracker Module Info";
    std::vector<std::vector<std::string>> shares(1);
    for (const std::string& action : o.actions) {
        if (action == "next")
            shares.emplace_back();
        else
            shares.back().push_back(action);
    }
    if (o.command != "infobox") {
        DialogDriver driver(caption, o.actions, o.shotDir);
        driver.start();
        if (o.command == "config")
            p.Config(window.handle());
        else
            p.About(window.handle());
        return 0;
    }
    for (std::size_t i = 0; i < o.files.size(); ++i) {
        DialogDriver driver(caption, i < shares.size() ? shares[i] : std::vector<std::string>{},
                            o.shotDir);
        driver.start();
        print("infobox_result", p.InfoBox(o.files[i].c_str(), window.handle()));
        std::fflush(stdout);
    }
    return 0;
}

int info(const Options& o, tolva::host::InputModule& p) {
    for (const std::string& file : o.files) {
        std::printf("file=%s\n", file.c_str());
        print("isourfile", p.IsOurFile(file.c_str()));
        char title[2048] = "(untouched)";
        int length = -12345;
        p.GetFileInfo(file.c_str(), title, &length);
        std::printf("title=%s\n", title);
        print("length", length);
    }
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    Options o = parse(argc, argv);
    Folders folders(o);
    HostWindow window(folders.settings(), folders.plugins());
    SoundCard card(o.card);
    HostServices services(o.dsp);
    PluginLibrary library;
    std::string error;
    if (!library.load(o.dll.c_str(), window.handle(), card, services, error))
        fail(error);
    tolva::host::InputModule& p = library.plugin();
    std::printf("description=%s\n", p.description);
    print("is_seekable", p.is_seekable);
    print("uses_output_plug", p.UsesOutputPlug);
    std::string types;
    for (const char* t = p.FileExtensions; t && *t; t += std::strlen(t) + 1) {
        if (!types.empty())
            types += '|';
        types += t;
    }
    std::printf("file_types=%s\n", types.c_str());
    p.Init();
    int status = 0;
    if (o.command == "play")
        status = play(o, library, window, card);
    else if (o.command == "info")
        status = info(o, p);
    else if (o.command == "torture")
        status = torture(p, window, o.files, o.torture);
    else if (o.command == "session")
        status = longSession(p, window, o.files, o.torture);
    else if (o.command == "config" || o.command == "about" || o.command == "infobox") {
        status = dialog(o, p, window);
        if (o.command == "config")
            status = info(o, p);
    } else
        print("uninstall", library.uninstall());
    // A late or second end-of-file notice would be queued by now; collect it.
    for (double end = nowMs() + 200; nowMs() < end;)
        window.pump(10);
    p.Quit();
    card.finish();
    if (o.command == "play") {
        print("eof_count", window.endOfFileCount());
        printCard(card.report());
        printServices(services.report());
    }
    print("folder_queries", window.queries());
    std::fflush(stdout);
    return status;
}
