#include "ui/framework/SharedFont.h"

namespace tolva::ui {

namespace {
HFONT font = nullptr;
}

HFONT sharedFont() {
    return font;
}

void createSharedFont() {
    deleteSharedFont();
    font = CreateFontW(-11, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, EASTEUROPE_CHARSET,
                       OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                       FIXED_PITCH | FF_MODERN, L"Courier New");
}

void deleteSharedFont() {
    if (font)
        DeleteObject(font);
    font = nullptr;
}

} // namespace tolva::ui
