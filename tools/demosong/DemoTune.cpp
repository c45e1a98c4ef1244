#include "DemoTune.h"

#include "Waveforms.h"
#include "support/ModBuilder.h"

#include <array>
#include <cstring>
#include <stdexcept>

namespace demosong {

namespace {

enum Instrument : uint8_t { Lead = 1, Bass, Kick, Snare, Hat, Pad };
enum Track { LeadTrack, BassTrack, DrumTrack, TopTrack };

constexpr int Rows = 64;
constexpr int BarRows = 16;

struct Pattern {
    tolva::test::ModCell cells[Rows][4];
};

// ProTracker periods, C-1 to B-3.
constexpr std::array<uint16_t, 36> Periods = {
    856, 808, 762, 720, 678, 640, 604, 570, 538, 508, 480, 453, 428, 404, 381, 360, 339, 320,
    302, 285, 269, 254, 240, 226, 214, 202, 190, 180, 170, 160, 151, 143, 135, 127, 120, 113};

// Semitones above C-1 of a note written "A-2", "C#3".
int semitone(const char* name) {
    static const char* const Names[12] = {"C-", "C#", "D-", "D#", "E-", "F-",
                                          "F#", "G-", "G#", "A-", "A#", "B-"};
    for (int i = 0; i < 12; ++i)
        if (std::strncmp(name, Names[i], 2) == 0)
            return i + 12 * (name[2] - '1');
    throw std::invalid_argument(name);
}

uint16_t period(int semitoneAboveC1) {
    return Periods.at(static_cast<std::size_t>(semitoneAboveC1));
}

struct Chord {
    const char* root; // octave 1, for the bass
    int third;        // semitones above the root
    int fifth;
};
constexpr Chord Progression[4] = {{"A-1", 3, 7}, {"F-1", 4, 7}, {"C-1", 4, 7}, {"G-1", 4, 7}};

void put(Pattern& p, int row, Track track, uint8_t instrument, int note, uint8_t effect = 0,
         uint8_t param = 0) {
    p.cells[row][track] =
        tolva::test::ModCell{note < 0 ? uint16_t{0} : period(note), instrument, effect, param};
}

void effectOnly(Pattern& p, int row, Track track, uint8_t effect, uint8_t param) {
    tolva::test::ModCell& c = p.cells[row][track];
    c.effect = effect;
    c.param = param;
}

void bassLine(Pattern& p) {
    for (int bar = 0; bar < 4; ++bar) {
        int root = semitone(Progression[bar].root);
        for (int step = 0; step < BarRows; step += 2)
            put(p, bar * BarRows + step, BassTrack, Bass, step % 4 == 2 ? root + 12 : root);
    }
}

void drums(Pattern& p, bool withSnare) {
    for (int bar = 0; bar < 4; ++bar) {
        int row = bar * BarRows;
        put(p, row, DrumTrack, Kick, semitone("C-2"));
        put(p, row + 8, DrumTrack, Kick, semitone("C-2"));
        if (withSnare) {
            put(p, row + 4, DrumTrack, Snare, semitone("C-3"));
            put(p, row + 12, DrumTrack, Snare, semitone("C-3"));
            put(p, row + 14, DrumTrack, Kick, semitone("C-2"));
        }
    }
}

void hats(Pattern& p) {
    for (int row = 1; row < Rows; row += 2)
        put(p, row, TopTrack, Hat, semitone("C-3"), 0xC, row % 4 == 3 ? 40 : 24);
}

Pattern intro() {
    Pattern p{};
    bassLine(p);
    drums(p, false);
    for (int bar = 0; bar < 4; ++bar) {
        int third = semitone(Progression[bar].root) + 12 + Progression[bar].third;
        put(p, bar * BarRows, TopTrack, Pad, third, 0x4, 0x34); // slow vibrato
        for (int row = bar * BarRows + 1; row < (bar + 1) * BarRows; ++row)
            effectOnly(p, row, TopTrack, 0x4, 0);
    }
    // A pickup into the groove.
    const char* pickup[] = {"E-2", "G-2", "A-2", "C-3"};
    for (int i = 0; i < 4; ++i)
        put(p, 56 + 2 * i, LeadTrack, Lead, semitone(pickup[i]));
    return p;
}

Pattern groove() {
    Pattern p{};
    bassLine(p);
    drums(p, true);
    hats(p);
    const int shape[8] = {12, 0, 1, 2, 12, 2, 1, 2}; // 0 root, 1 third, 2 fifth, 12 octave
    for (int bar = 0; bar < 4; ++bar) {
        const Chord& c = Progression[bar];
        int root = semitone(c.root) + 12;
        for (int step = 0; step < 8; ++step) {
            int s = shape[step];
            int note = root + (s == 12 ? 12 : s == 1 ? c.third : s == 2 ? c.fifth : 0);
            put(p, bar * BarRows + 2 * step, LeadTrack, Lead, note);
        }
    }
    return p;
}

Pattern ending() {
    Pattern p{};
    bassLine(p);
    drums(p, true);
    hats(p);
    struct Note {
        int row;
        const char* name;
    };
    const Note melody[] = {{0, "E-3"},  {6, "D-3"},  {8, "C-3"},  {12, "B-2"}, {16, "A-2"},
                           {22, "C-3"}, {24, "F-3"}, {30, "E-3"}, {32, "G-3"}, {38, "E-3"},
                           {40, "C-3"}, {44, "D-3"}, {48, "B-2"}, {52, "D-3"}, {56, "A-2"}};
    for (const Note& n : melody)
        put(p, n.row, LeadTrack, Lead, semitone(n.name));
    for (int row = 1; row < 48; ++row)
        if (p.cells[row][LeadTrack].sample == 0)
            effectOnly(p, row, LeadTrack, 0x4, row % 8 < 4 ? 0 : 0x53);
    // The last bar fades every track out.
    for (int row = 49; row < Rows; ++row)
        for (Track t : {LeadTrack, BassTrack, DrumTrack, TopTrack})
            if (p.cells[row][t].effect == 0)
                effectOnly(p, row, t, 0xA, 0x04);
    return p;
}

} // namespace

std::vector<uint8_t> demoTune() {
    tolva::test::ModBuilder song;
    song.title("tolva demo").orders({0, 1, 2});
    for (ModSample s : {squareLead(), sawBass(), kickDrum(), snareDrum(), closedHat(), softPad()})
        song.sample(s);
    const Pattern patterns[] = {intro(), groove(), ending()};
    for (uint32_t i = 0; i < 3; ++i)
        for (uint32_t row = 0; row < Rows; ++row)
            for (uint32_t track = 0; track < 4; ++track)
                song.cell(i, row, track, patterns[i].cells[row][track]);
    return song.build();
}

} // namespace demosong
