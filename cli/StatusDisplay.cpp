#include "StatusDisplay.h"

#include "DisplayText.h"

#include <algorithm>
#include <cmath>

namespace tolva::cli {

namespace {

std::string clock(uint32_t ms) {
    char text[16];
    std::snprintf(text, sizeof text, "%u:%02u", ms / 60000, ms / 1000 % 60);
    return text;
}

// Fields separated by two spaces, as many as fit.
std::string fields(const std::vector<std::string>& parts, int width) {
    std::string line;
    for (const std::string& part : parts) {
        std::string next = line.empty() ? part : line + "  " + part;
        if (static_cast<int>(columns(next)) > width)
            break;
        line = next;
    }
    return line.empty() && !parts.empty() ? fitted(parts[0], width) : line;
}

std::string bar(int width, double fill, char full) {
    if (width <= 0)
        return "";
    int filled = static_cast<int>(std::clamp(fill, 0.0, 1.0) * width + 0.5);
    return std::string(static_cast<std::size_t>(filled), full) +
           std::string(static_cast<std::size_t>(width - filled), '.');
}

// The meter spans 48 dB below full scale.
double meterFill(float peak) {
    if (peak <= 0)
        return 0;
    return std::max(0.0, 1.0 + 20.0 * std::log10(peak) / 48.0);
}

std::string baseName(const std::string& path) {
    std::size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

} // namespace

std::string subsongText(const SongCard& card) {
    if (card.subsongs < 2)
        return "";
    return ", subsong " + std::to_string(card.subsong + 1) + "/" + std::to_string(card.subsongs);
}

std::vector<std::string> statusLines(const SongCard& card, const BlockState& state,
                                     const PlayerView& view, int width) {
    // The last column stays empty: writing into it makes some terminals wrap.
    const int w = std::max(width - 1, 1);
    std::vector<std::string> lines;

    const std::string count = std::to_string(card.index + 1) + "/" + std::to_string(view.files);
    const std::string name = terminalText(baseName(card.file));
    const int nameRoom = w - static_cast<int>(count.size()) - 2;
    if (nameRoom >= 8) {
        const std::string shown = fitted(name, nameRoom);
        lines.push_back(shown + std::string(nameRoom - columns(shown), ' ') + "  " + count);
    } else {
        lines.push_back(fitted(name, w));
    }
    lines.push_back(
        fitted((card.title.empty() ? card.format : card.title + "  (" + card.format + ")") +
                   subsongText(card),
               w));

    std::string times =
        (view.paused ? "PAUSED " : "") + clock(state.positionMs) + " / " + clock(card.lengthMs);
    const int barRoom = w - static_cast<int>(times.size()) - 3;
    if (barRoom >= 10) {
        double done = card.lengthMs ? static_cast<double>(state.positionMs) / card.lengthMs : 0;
        times += " [" + bar(barRoom, done, '#') + "]";
    }
    lines.push_back(fitted(times, w));

    lines.push_back(fields(
        {"order " + std::to_string(state.order) + "/" + std::to_string(state.orders),
         "row " + std::to_string(state.row) + "/" + std::to_string(state.rows),
         "speed " + std::to_string(state.speed), "tempo " + std::to_string(state.tempo),
         "voices " + std::to_string(state.voices), "volume " + std::to_string(view.volume) + "%"},
        w));

    const int meterRoom = std::min((w - 10) / 2, 40);
    if (meterRoom >= 4)
        lines.push_back("L [" + bar(meterRoom, meterFill(state.peak[0]), '|') + "] R [" +
                        bar(meterRoom, meterFill(state.peak[1]), '|') + "]");
    else
        lines.push_back("");

    lines.push_back(fields({"space pause", "<- -> 10s", "up/down 60s",
                            view.allSubsongs && card.subsongs > 1 ? "n/p subsong" : "n/p file",
                            "+/- volume", "q quit"},
                           w));
    return lines;
}

StatusDisplay::StatusDisplay(std::FILE* out, bool drawing) : out_(out), drawing_(drawing) {
    if (drawing_) {
        std::fputs("\033[?25l", out_); // no cursor blinking over the display
        std::fflush(out_);
    }
}

StatusDisplay::~StatusDisplay() {
    if (drawing_) {
        clear();
        std::fputs("\033[?25h", out_);
        std::fflush(out_);
    }
}

void StatusDisplay::moveToTop() {
    std::fputc('\r', out_);
    if (rows_ > 1)
        std::fprintf(out_, "\033[%dA", rows_ - 1);
}

void StatusDisplay::show(const std::vector<std::string>& lines) {
    if (!drawing_)
        return;
    moveToTop();
    std::string text;
    for (std::size_t i = 0; i < lines.size(); ++i)
        text += (i ? "\n\033[K" : "\033[K") + lines[i];
    // Whatever an earlier, longer display left below goes.
    text += "\033[J";
    std::fputs(text.c_str(), out_);
    std::fflush(out_);
    rows_ = static_cast<int>(lines.size());
}

void StatusDisplay::report(const std::vector<std::string>& messages) {
    if (messages.empty())
        return;
    clear();
    for (const std::string& text : messages)
        std::fprintf(stderr, "%s\n", text.c_str());
    std::fflush(stderr);
}

void StatusDisplay::clear() {
    if (rows_ == 0)
        return;
    moveToTop();
    std::fputs("\033[J", out_);
    std::fflush(out_);
    rows_ = 0;
}

} // namespace tolva::cli
