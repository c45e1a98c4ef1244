#pragma once
#include <cstdint>
#include <windows.h>

namespace tolva {
class Player;
}

namespace tolva::ui {

// The module the information dialog shows, as the plug-in keeps it.
class ShownModule {
public:
    // Null when no format took the file.
    virtual Player* player() const = 0;
    virtual const char* fileName() const = 0;
    virtual uint32_t fileSize() const = 0;
    // Loaded without its sample data.
    virtual bool infoOnly() const = 0;
    // Shows the playing module instead when it is the same file loaded in full; false when
    // nothing changed.
    virtual bool takePlayingModule() = 0;
    // Shows the same file loaded with its sample data; false when it cannot be loaded.
    virtual bool loadSampleData() = 0;
    // The open dialog (null once closed), which the plug-in tells of files it has loaded.
    virtual void setDialog(HWND dialog) = 0;

protected:
    ~ShownModule() = default;
};

} // namespace tolva::ui
