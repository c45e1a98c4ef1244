#pragma once
#include <cstddef>
#include <cstdint>

namespace tolva {

class Player;
struct Channel;

// An effect is a pair of plain functions. Its row function runs on the first tick of the row
// that names it; an effect that goes on stores its tick function in the channel's activeEffect,
// which then runs on the row's later ticks. A format lists its row functions in its effect
// table; the functions take the format's own player and channel records (see asRow).
using EffectRow = void (*)(Player& player, Channel& channel, uint8_t param);
using EffectTick = void (*)(Player& player, Channel& channel);

namespace detail {
template <typename Function> struct EffectRecords;
template <typename P, typename C> struct EffectRecords<void (*)(P&, C&, uint8_t)> {
    using PlayerType = P;
    using ChannelType = C;
};
template <typename P, typename C> struct EffectRecords<void (*)(P&, C&)> {
    using PlayerType = P;
    using ChannelType = C;
};
} // namespace detail

// The row or tick function `F` of a format's own records, as the player calls it: asRow<f> in
// an effect table, `ch.activeEffect = asTick<f>` in a row function.
template <auto F>
inline constexpr EffectRow asRow = [](Player& player, Channel& channel, uint8_t param) {
    using Records = detail::EffectRecords<decltype(F)>;
    F(static_cast<typename Records::PlayerType&>(player),
      static_cast<typename Records::ChannelType&>(channel), param);
};
template <auto F>
inline constexpr EffectTick asTick = [](Player& player, Channel& channel) {
    using Records = detail::EffectRecords<decltype(F)>;
    F(static_cast<typename Records::PlayerType&>(player),
      static_cast<typename Records::ChannelType&>(channel));
};

// A format's effects by number: entry n is the row function of effect n, null for an effect
// that does nothing. The one lookup: a number outside the table does nothing either.
class EffectTable {
public:
    template <std::size_t N>
    constexpr EffectTable(const EffectRow (&rows)[N]) : rows_(rows), count_(N) {}

    EffectRow find(int32_t number) const {
        return number >= 0 && static_cast<std::size_t>(number) < count_ ? rows_[number] : nullptr;
    }

private:
    const EffectRow* rows_;
    std::size_t count_;
};

} // namespace tolva
