#include "ui/framework/ControlKind.h"

#include <cstring>

namespace tolva::ui {

ControlKind controlKind(HWND control) {
    static const char* const Names[] = {"Button", "ComboBox", "msctls_trackbar32", "SysListView32",
                                        "SysTabControl32"};
    char name[32];
    if (!control || GetClassNameA(control, name, sizeof name) == 0)
        return ControlKind::Unknown;
    for (int kind = 0; kind < 5; ++kind)
        if (std::strcmp(name, Names[kind]) == 0)
            return static_cast<ControlKind>(kind);
    return ControlKind::Unknown;
}

} // namespace tolva::ui
