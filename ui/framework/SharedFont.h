#pragma once
#include <windows.h>

namespace tolva::ui {

// The fixed-pitch font of the information dialog's lists, shared by all its pages. The
// information dialog makes it when it opens and deletes it when it closes.
HFONT sharedFont();
void createSharedFont();
void deleteSharedFont();

} // namespace tolva::ui
