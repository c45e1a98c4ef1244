// Child dialogs shown as the pages of a tab control.
#include "ui/framework/Dialog.h"
#include "ui/framework/TabPageSet.h"

#include <commctrl.h>

namespace tolva::ui {

namespace {
constexpr int TabControlId = 1028;
}

bool TabPageSet::add(ChildDialog& page, const wchar_t* title) {
    if (count == Capacity)
        return false;
    pages[count] = &page;
    titles[count] = title;
    ++count;
    return true;
}

void Dialog::buildTabPages(TabPageSet& set) {
    HWND tabs = control(TabControlId);
    SendMessageW(tabs, TCM_DELETEALLITEMS, 0, 0);
    SetWindowLongPtrW(tabs, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&set));
    RECT area;
    GetClientRect(tabs, &area);
    SendMessageW(tabs, TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&area));
    MapWindowPoints(tabs, hwnd_, reinterpret_cast<POINT*>(&area), 2);
    for (uint32_t i = 0; i < set.count; ++i) {
        TCITEMW item{};
        item.mask = TCIF_TEXT;
        item.pszText = const_cast<wchar_t*>(set.titles[i]);
        SendMessageW(tabs, TCM_INSERTITEMW, i, reinterpret_cast<LPARAM>(&item));
        HWND page = set.pages[i]->createChild();
        RECT r;
        GetWindowRect(page, &r);
        int left = area.left + (area.right - area.left - (r.right - r.left)) / 2;
        int top = area.top + (area.bottom - area.top - (r.bottom - r.top)) / 2;
        SetWindowPos(page, HWND_TOP, left, top, 0, 0, SWP_NOSIZE | SWP_NOACTIVATE);
        ShowWindow(page, i == 0 ? SW_SHOW : SW_HIDE);
    }
    set.current = 0;
}

void Dialog::showTabPage(int tabControlId, uint32_t index) {
    auto* set =
        reinterpret_cast<TabPageSet*>(GetWindowLongPtrW(control(tabControlId), GWLP_USERDATA));
    if (!set || index >= set->count || index == set->current)
        return;
    ShowWindow(set->pages[set->current]->hwnd(), SW_HIDE);
    ShowWindow(set->pages[index]->hwnd(), SW_SHOW);
    set->current = index;
}

} // namespace tolva::ui
