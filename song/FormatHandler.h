#pragma once
#include <cstdint>
#include <memory>

namespace tolva {

class InputStream;
class Mixer;
class Player;

// What a handler's identify tells the registry.
enum : uint32_t {
    IdentifyMatch = 0,         // the file is of this format: create it
    IdentifyUnreadable = 1,    // the stream could not be read: try the next handler
    IdentifyUnsupported = 2,   // this format in a version that is not played: stop detection
    IdentifyNotThisFormat = 3, // try the next handler
};

// One module format in the registry: recognises its files and loads them into a player.
class FormatHandler {
public:
    virtual void setEnabled(bool flag) { enabled_ = flag; }
    virtual bool isEnabled() const { return enabled_; }
    // Reads from the start of the stream; never looks at a file name.
    virtual uint32_t identify(InputStream& stream) = 0;
    // The format's loader; none when the file cannot be loaded.
    virtual std::unique_ptr<Player> create(InputStream& stream, bool infoOnly, Mixer* mixer) = 0;

protected:
    ~FormatHandler() = default;

private:
    bool enabled_ = false;
};

using IdentifyFormat = uint32_t (*)(InputStream& stream);
using LoadFormat = std::unique_ptr<Player> (*)(InputStream& stream, bool infoOnly, Mixer* mixer);

// A registry entry: the format's name as the information views show it, the identify of its
// family and its loader.
class FormatEntry final : public FormatHandler {
public:
    FormatEntry(const char* formatName, IdentifyFormat identify, LoadFormat load)
        : name(formatName), identify_(identify), load_(load) {}
    uint32_t identify(InputStream& stream) override;
    std::unique_ptr<Player> create(InputStream& stream, bool infoOnly, Mixer* mixer) override;

    const char* const name;

private:
    IdentifyFormat identify_;
    LoadFormat load_;
};

} // namespace tolva
