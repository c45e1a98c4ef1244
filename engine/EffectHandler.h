#pragma once
#include <cstdint>

namespace tolva {

class Player;
struct Channel;

// A stateless effect. onRow runs on the first tick of the row that names it; a handler that
// works on the later ticks stores itself in the channel's activeEffect, whose onTick then runs.
class EffectHandler {
public:
    virtual void onRow(Player& player, Channel& channel, uint8_t param) const = 0;
    virtual void onTick(Player&, Channel&) const {}

protected:
    constexpr EffectHandler() = default;
    ~EffectHandler() = default;
};

// A handler made of a pair of functions: the row function and, for an effect that works on the
// later ticks, the tick function (null otherwise). A format whose effects work on its own
// player and channel records names them as the functions' types.
template <typename FormatPlayer, typename FormatChannel>
class EffectPairOf final : public EffectHandler {
public:
    using Row = void (*)(FormatPlayer& player, FormatChannel& channel, uint8_t param);
    using Tick = void (*)(FormatPlayer& player, FormatChannel& channel);

    constexpr EffectPairOf(Row row, Tick tick) : row_(row), tick_(tick) {}
    void onRow(Player& player, Channel& channel, uint8_t param) const override {
        row_(static_cast<FormatPlayer&>(player), static_cast<FormatChannel&>(channel), param);
    }
    void onTick(Player& player, Channel& channel) const override {
        if (tick_)
            tick_(static_cast<FormatPlayer&>(player), static_cast<FormatChannel&>(channel));
    }

private:
    Row row_;
    Tick tick_;
};

using EffectPair = EffectPairOf<Player, Channel>;

// Effect number to handler; an entry may be null (the effect does nothing).
struct EffectTable {
    const EffectHandler* const* handlers;
    uint32_t count;

    const EffectHandler* find(int32_t effect) const {
        return effect >= 0 && static_cast<uint32_t>(effect) < count ? handlers[effect] : nullptr;
    }
};

} // namespace tolva
