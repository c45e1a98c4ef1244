#include "Terminal.h"

#include <csignal>
#include <cstdlib>
#include <cstring>
#include <poll.h>
#include <sys/ioctl.h>
#include <unistd.h>

namespace tolva::cli {

namespace {

volatile std::sig_atomic_t signalled = 0;
constexpr int CaughtSignals[] = {SIGINT, SIGTERM, SIGHUP};
struct sigaction savedActions[std::size(CaughtSignals)];

void onSignal(int) {
    signalled = 1;
}

// The settings to put back when the program ends abruptly while keys are read raw.
const termios* rawSince = nullptr;

} // namespace

Terminal::Terminal(bool keys) {
    signalled = 0;
    struct sigaction action {};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    for (std::size_t i = 0; i < std::size(CaughtSignals); ++i)
        sigaction(CaughtSignals[i], &action, &savedActions[i]);
    if (keys && tcgetattr(STDIN_FILENO, &saved_) == 0) {
        termios raw = saved_;
        // Ctrl-C arrives as a key, so it cannot stop the program with the terminal left raw.
        raw.c_lflag &= ~static_cast<tcflag_t>(ICANON | ECHO | ISIG | IEXTEN);
        raw.c_iflag &= ~static_cast<tcflag_t>(IXON | ICRNL);
        raw.c_cc[VMIN] = 0;
        raw.c_cc[VTIME] = 0;
        raw_ = tcsetattr(STDIN_FILENO, TCSAFLUSH, &raw) == 0;
        if (raw_)
            rawSince = &saved_;
    }
}

Terminal::~Terminal() {
    if (raw_) {
        tcsetattr(STDIN_FILENO, TCSAFLUSH, &saved_);
        rawSince = nullptr;
    }
    for (std::size_t i = 0; i < std::size(CaughtSignals); ++i)
        sigaction(CaughtSignals[i], &savedActions[i], nullptr);
}

void Terminal::restore() {
    if (rawSince)
        tcsetattr(STDIN_FILENO, TCSAFLUSH, rawSince);
}

Key Terminal::readKey(int ms) {
    if (signalled)
        return Key::Interrupt;
    if (pending_.empty()) {
        pollfd fd{raw_ ? STDIN_FILENO : -1, POLLIN, 0};
        if (poll(&fd, 1, ms) > 0 && (fd.revents & POLLIN)) {
            char bytes[64];
            ssize_t n = read(STDIN_FILENO, bytes, sizeof bytes);
            if (n > 0)
                pending_.append(bytes, static_cast<std::size_t>(n));
        }
    }
    if (signalled)
        return Key::Interrupt;
    return decode();
}

Key Terminal::decode() {
    while (!pending_.empty()) {
        // Arrow keys come as ESC [ X or ESC O X.
        if (pending_[0] == '\033') {
            if (pending_.size() >= 3 && (pending_[1] == '[' || pending_[1] == 'O')) {
                char code = pending_[2];
                pending_.erase(0, 3);
                switch (code) {
                case 'A':
                    return Key::ForwardLong;
                case 'B':
                    return Key::BackLong;
                case 'C':
                    return Key::Forward;
                case 'D':
                    return Key::Back;
                default:
                    continue;
                }
            }
            // A lone escape, or a sequence cut short: nothing to act on.
            pending_.clear();
            return Key::None;
        }
        char c = pending_[0];
        pending_.erase(0, 1);
        switch (c) {
        case ' ':
            return Key::Pause;
        case 'n':
        case 'N':
            return Key::Next;
        case 'p':
        case 'P':
            return Key::Previous;
        case '+':
        case '=':
            return Key::Louder;
        case '-':
        case '_':
            return Key::Softer;
        case 'q':
        case 'Q':
            return Key::Quit;
        case 3:
            return Key::Interrupt;
        default:
            break;
        }
    }
    return Key::None;
}

bool Terminal::movesCursor(int fd) {
    const char* term = std::getenv("TERM");
    return isatty(fd) && term && *term && std::strcmp(term, "dumb") != 0;
}

int Terminal::width() {
    winsize size{};
    if (ioctl(STDOUT_FILENO, TIOCGWINSZ, &size) == 0 && size.ws_col > 0)
        return size.ws_col;
    return 80;
}

} // namespace tolva::cli
