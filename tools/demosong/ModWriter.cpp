#include "ModWriter.h"

#include <algorithm>

namespace demosong {

namespace {

void putText(std::vector<uint8_t>& out, const std::string& text, std::size_t size) {
    for (std::size_t i = 0; i < size; ++i)
        out.push_back(i < text.size() ? static_cast<uint8_t>(text[i]) : 0);
}

void putWord(std::vector<uint8_t>& out, uint32_t bytes) {
    uint32_t words = bytes / 2;
    out.push_back(static_cast<uint8_t>(words >> 8));
    out.push_back(static_cast<uint8_t>(words));
}

} // namespace

std::vector<uint8_t> writeMod(const ModSong& song) {
    std::vector<uint8_t> out;
    putText(out, song.title, 20);
    for (std::size_t i = 0; i < 31; ++i) {
        ModSample none;
        const ModSample& s = i < song.samples.size() ? song.samples[i] : none;
        putText(out, s.name, 22);
        putWord(out, static_cast<uint32_t>(s.data.size()));
        out.push_back(0); // finetune
        out.push_back(s.volume);
        putWord(out, s.loopLength ? s.loopStart : 0);
        putWord(out, s.loopLength ? s.loopLength : 2); // one word: the usual "no loop"
    }
    out.push_back(static_cast<uint8_t>(song.orders.size()));
    out.push_back(127);
    for (std::size_t i = 0; i < 128; ++i)
        out.push_back(i < song.orders.size() ? song.orders[i] : 0);
    putText(out, "M.K.", 4);
    for (const Pattern& p : song.patterns)
        for (const auto& row : p.cells)
            for (const Cell& c : row) {
                out.push_back(static_cast<uint8_t>((c.sample & 0xF0) | (c.period >> 8)));
                out.push_back(static_cast<uint8_t>(c.period));
                out.push_back(static_cast<uint8_t>(((c.sample & 0x0F) << 4) | (c.effect & 0x0F)));
                out.push_back(c.param);
            }
    for (const ModSample& s : song.samples)
        for (int8_t v : s.data)
            out.push_back(static_cast<uint8_t>(v));
    return out;
}

} // namespace demosong
