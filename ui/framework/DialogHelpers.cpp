// One-line helpers for the controls of a dialog: text, buttons, combo boxes, list views and
// positions.
#include "ui/framework/ButtonHandler.h"
#include "ui/framework/Dialog.h"
#include "ui/framework/SharedFont.h"

#include <commctrl.h>

namespace tolva::ui {

void Dialog::closeDialog() {
    onClose();
    EndDialog(hwnd_, 1);
}

void Dialog::centerOnMonitor() {
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    if (!GetMonitorInfoW(MonitorFromWindow(hwnd_, MONITOR_DEFAULTTONEAREST), &monitor))
        return;
    const RECT& area = monitor.rcMonitor;
    SIZE size = windowSize();
    int left = area.left + (area.right - area.left - size.cx) / 2;
    int top = area.top + (area.bottom - area.top - size.cy) / 2;
    SetWindowPos(hwnd_, nullptr, left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

SIZE Dialog::windowSize() const {
    RECT r{};
    GetWindowRect(hwnd_, &r);
    return {r.right - r.left, r.bottom - r.top};
}

void Dialog::enableControl(int id, bool enabled) {
    EnableWindow(control(id), enabled);
}

void Dialog::setControlText(int id, const char* text) {
    SetDlgItemTextA(hwnd_, id, text);
}

void Dialog::getControlText(int id, char (&buffer)[32]) {
    buffer[0] = 0;
    GetDlgItemTextA(hwnd_, id, buffer, sizeof buffer);
}

void Dialog::applySharedFont(int id) {
    SendDlgItemMessageW(hwnd_, id, WM_SETFONT, reinterpret_cast<WPARAM>(sharedFont()), FALSE);
}

void Dialog::setCheck(int id, bool checked) {
    CheckDlgButton(hwnd_, id, checked ? BST_CHECKED : BST_UNCHECKED);
}

int Dialog::comboAddItem(int id, const char* text, LPARAM data) {
    LRESULT index = SendDlgItemMessageA(hwnd_, id, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text));
    if (index < 0)
        return -1;
    if (SendDlgItemMessageA(hwnd_, id, CB_SETITEMDATA, index, data) == CB_ERR)
        return -1;
    return static_cast<int>(index);
}

int Dialog::comboSelection(int id) {
    return static_cast<int>(SendDlgItemMessageW(hwnd_, id, CB_GETCURSEL, 0, 0));
}

void Dialog::setListColumns(int id, int count, const int* widths, bool insert) {
    HWND list = control(id);
    for (int i = 0; i < count; ++i) {
        if (insert) {
            LVCOLUMNW column{};
            column.mask = LVCF_WIDTH;
            column.cx = widths[i] < 0 ? 0 : widths[i];
            SendMessageW(list, LVM_INSERTCOLUMNW, i, reinterpret_cast<LPARAM>(&column));
        }
        SendMessageW(list, LVM_SETCOLUMNWIDTH, i, MAKELPARAM(widths[i], 0));
    }
}

void Dialog::setListRow(int id, int row, int count, const char* const* texts, LPARAM param) {
    HWND list = control(id);
    wchar_t text[256];
    for (int column = 0; column < count; ++column) {
        if (MultiByteToWideChar(CP_ACP, 0, texts[column], -1, text, 256) == 0)
            text[0] = 0;
        text[255] = 0;
        LVITEMW item{};
        item.iItem = row;
        item.iSubItem = column;
        item.pszText = text;
        item.mask = LVIF_TEXT;
        if (column == 0) {
            item.mask |= LVIF_PARAM;
            item.lParam = param;
            SendMessageW(list, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item));
        } else {
            SendMessageW(list, LVM_SETITEMTEXTW, row, reinterpret_cast<LPARAM>(&item));
        }
    }
}

void Dialog::redrawControl(int id) {
    RedrawWindow(control(id), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
}

void Dialog::adjustWindow(HWND window, int dx, int dy, int dw, int dh) {
    if (!window)
        return;
    RECT r;
    GetWindowRect(window, &r);
    MapWindowPoints(nullptr, hwnd_, reinterpret_cast<POINT*>(&r), 2);
    int x = r.left + dx, y = r.top + dy;
    int w = r.right - r.left + dw, h = r.bottom - r.top + dh;
    UINT flags = SWP_NOZORDER | SWP_NOACTIVATE;
    if (deferHandle_)
        deferHandle_ = DeferWindowPos(deferHandle_, window, nullptr, x, y, w, h, flags);
    else
        SetWindowPos(window, nullptr, x, y, w, h, flags);
}

void Dialog::growControl(int id, int dw, int dh) {
    adjustWindow(control(id), 0, 0, dw, dh);
}

void Dialog::moveControl(int id, int dx, int dy) {
    adjustWindow(control(id), dx, dy, 0, 0);
}

void Dialog::moveAndGrowControl(int id, int dx, int dy, int dw, int dh) {
    adjustWindow(control(id), dx, dy, dw, dh);
}

void Dialog::dispatchButton(ButtonHandler& handler, int id) {
    switch (GetWindowLongW(control(id), GWL_STYLE) & 0x0F) {
    case BS_CHECKBOX:
    case BS_AUTOCHECKBOX:
        handler.onCheckBox(id);
        break;
    case BS_RADIOBUTTON:
    case BS_AUTORADIOBUTTON:
        handler.onRadio(id);
        break;
    default:
        handler.onButton(id);
        break;
    }
}

} // namespace tolva::ui
