#include "ui/info/ListPage.h"

#include "ui/info/InfoDialog.h"

namespace tolva::ui {

ListPage::ListPage(InfoDialog& owner, uint16_t resourceId, HINSTANCE module)
    : ChildDialog(owner, resourceId, module), owner_(owner) {}

void ListPage::onItemChanged(int, const NMLISTVIEW&) {}
void ListPage::onItemActivated(int) {}
void ListPage::prePaint(int, NMLVCUSTOMDRAW&) {}
bool ListPage::drawItem(int, int, UINT, HDC, const RECT&) {
    return false;
}
bool ListPage::wantsSubItemDraw(int) {
    return false;
}
void ListPage::drawSubItem(int, int, int, NMLVCUSTOMDRAW&) {}

void ListPage::answer(LRESULT value) {
    SetWindowLongPtrW(hwnd_, DWLP_MSGRESULT, value);
}

void ListPage::setExtendedStyle(int listId, DWORD style) {
    SendDlgItemMessageW(hwnd_, listId, LVM_SETEXTENDEDLISTVIEWSTYLE, style, style);
}

void ListPage::clearList(int listId) {
    SendDlgItemMessageW(hwnd_, listId, LVM_DELETEALLITEMS, 0, 0);
}

bool ListPage::onListViewNotify(int id, UINT, WPARAM, LPARAM lParam) {
    const auto* header = reinterpret_cast<const NMHDR*>(lParam);
    switch (header->code) {
    case LVN_ITEMCHANGED: {
        const auto& change = *reinterpret_cast<const NMLISTVIEW*>(lParam);
        if ((change.uChanged & LVIF_STATE) && (change.uNewState & LVIS_SELECTED) &&
            !(change.uOldState & LVIS_SELECTED))
            onItemChanged(id, change);
        return true;
    }
    case LVN_ITEMACTIVATE:
        onItemActivated(id);
        return true;
    case NM_CUSTOMDRAW:
        answer(customDraw(id, *reinterpret_cast<NMLVCUSTOMDRAW*>(lParam)));
        return true;
    default:
        return false;
    }
}

LRESULT ListPage::customDraw(int listId, NMLVCUSTOMDRAW& draw) {
    switch (draw.nmcd.dwDrawStage) {
    case CDDS_PREPAINT:
        prePaint(listId, draw);
        return CDRF_NOTIFYITEMDRAW;
    case CDDS_ITEMPREPAINT: {
        if (wantsSubItemDraw(listId))
            return CDRF_NOTIFYSUBITEMDRAW;
        auto item = static_cast<int>(draw.nmcd.dwItemSpec);
        RECT row{};
        row.left = LVIR_BOUNDS;
        SendDlgItemMessageW(hwnd_, listId, LVM_GETITEMRECT, item, reinterpret_cast<LPARAM>(&row));
        if (drawItem(listId, item, draw.nmcd.uItemState, draw.nmcd.hdc, row))
            return CDRF_SKIPDEFAULT;
        // Rows left to the list: a selected row keeps a quiet highlight.
        if (draw.nmcd.uItemState & CDIS_SELECTED) {
            COLORREF window = GetSysColor(COLOR_WINDOW);
            draw.clrText = GetSysColor(COLOR_GRAYTEXT);
            draw.clrTextBk = RGB(GetRValue(window) * 244 / 256, GetGValue(window) * 244 / 256,
                                 GetBValue(window) * 244 / 256);
            draw.nmcd.uItemState &= ~(CDIS_SELECTED | CDIS_FOCUS);
        } else {
            draw.clrText = GetSysColor(COLOR_WINDOWTEXT);
            draw.clrTextBk = GetSysColor(COLOR_WINDOW);
        }
        return CDRF_NEWFONT;
    }
    case CDDS_ITEMPREPAINT | CDDS_SUBITEM:
        drawSubItem(listId, static_cast<int>(draw.nmcd.dwItemSpec), draw.iSubItem, draw);
        return CDRF_NEWFONT;
    default:
        return CDRF_DODEFAULT;
    }
}

bool ListPage::onControlMessage(int id, UINT message, WPARAM, LPARAM, LRESULT& result) {
    if (!suspendPaint_ || (message != WM_ERASEBKGND && message != WM_PAINT))
        return false;
    // Nothing is drawn, but the area counts as painted.
    if (message == WM_PAINT)
        ValidateRect(control(id), nullptr);
    result = message == WM_ERASEBKGND ? 1 : 0;
    return true;
}

} // namespace tolva::ui
