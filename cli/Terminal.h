#pragma once
#include <string>
#include <termios.h>

namespace tolva::cli {

enum class Key {
    None,
    Pause,
    Back,
    Forward,
    BackLong,
    ForwardLong,
    Next,
    Previous,
    Louder,
    Softer,
    Quit,
    Interrupt
};

// The controlling terminal while `play` runs: keys read one at a time without echo, and the
// terminal's settings put back on every way out. Interrupt, hang-up and termination signals
// become Key::Interrupt, so the way out is always the normal one.
class Terminal {
public:
    // Raw keys only when `keys`; the signals are caught either way.
    explicit Terminal(bool keys);
    ~Terminal();
    Terminal(const Terminal&) = delete;
    Terminal& operator=(const Terminal&) = delete;

    // Puts back the settings of a terminal read raw, for a program ending without unwinding.
    static void restore();
    // The next key, waiting up to `ms` milliseconds for one.
    Key readKey(int ms);
    // Whether `fd` is a terminal that takes cursor movements: not TERM=dumb.
    static bool movesCursor(int fd);
    // Columns of standard output; 80 when it does not say.
    static int width();

private:
    Key decode();

    bool raw_ = false;
    termios saved_{};
    std::string pending_;
};

} // namespace tolva::cli
