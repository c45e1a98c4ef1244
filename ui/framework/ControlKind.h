#pragma once
#include <windows.h>

namespace tolva::ui {

// The kinds of control whose messages the dialogs route, found by window class name.
enum class ControlKind : int {
    Unknown = -1,
    Button = 0,
    ComboBox = 1,
    Trackbar = 2,
    ListView = 3,
    TabControl = 4,
};

ControlKind controlKind(HWND control);

} // namespace tolva::ui
