#pragma once
// The one description of every format the system plays: one row each. The registry detects in
// row order; the settings file, the tool's options, the configuration dialog, the plug-in's
// file types and the information views all read their formats from here.
#include "engine/FormatId.h"
#include "song/ModuleText.h"

#include <cstdint>
#include <memory>
#include <span>

namespace tolva {

class InputStream;
class Mixer;
class Player;

// Reads from the start of the stream, never looks at a file name; answers an Identify value.
using IdentifyFormat = uint32_t (*)(InputStream& stream);
// The format's loader: a player, or none when the file cannot be loaded. With infoOnly no
// sample data is read and the mixer may be null.
using LoadFormat = std::unique_ptr<Player> (*)(InputStream& stream, bool infoOnly, Mixer* mixer);

struct FormatRow {
    uint32_t id;            // a Format... value
    const char* name;       // as the information views show it
    const char* optionName; // the tool's name for it: --enable NAME, --disable NAME
    const char* extension;  // of its files, as the plug-in lists them; null when shared
    const char* fileType;   // the plug-in's description of those files
    uint8_t settingsSwitch; // index of its switch among the settings record's format switches
    uint16_t dialogBox;     // the configuration dialog's check box that switches it
    // The format whose box must be ticked for this one's box to be open, or this row's own id.
    uint32_t dialogParent;
    IdentifyFormat identify;
    LoadFormat load;
    CodePage codePage; // of its titles, names and messages
    // How sure a match of `identify` is, 0..100: 100 for a signature no other kind of file
    // has; less for a weak one or none, where a trial load of the file's start must agree.
    uint8_t confidence;
};

// Every row, in detection order.
std::span<const FormatRow> formatRows();

// The row of format `id`; null for an unknown id.
const FormatRow* formatRow(uint32_t id);

// The row whose settings switch is `index`; null past the switches.
const FormatRow* formatRowBySwitch(uint32_t index);

// The name of format `id` as the information views show it; "" for an unknown one.
const char* formatName(uint32_t id);

// A set of formats, such as those a load may recognise.
class FormatSet {
public:
    static constexpr FormatSet all() { return FormatSet((1u << FormatCount) - 1); }
    static constexpr FormatSet none() { return FormatSet(0); }
    constexpr bool contains(uint32_t id) const { return id < FormatCount && (bits_ >> id & 1); }
    constexpr void add(uint32_t id) { bits_ |= id < FormatCount ? 1u << id : 0; }
    constexpr void remove(uint32_t id) { bits_ &= ~(id < FormatCount ? 1u << id : 0); }
    bool operator==(const FormatSet&) const = default;

private:
    constexpr explicit FormatSet(uint32_t bits) : bits_(bits) {}
    uint32_t bits_;
};

} // namespace tolva
