#pragma once
// The base of the information dialog's list pages: list-view notifications sorted into
// selection and drawing handlers, and paint suspension while a list is refilled.
#include "ui/framework/Dialog.h"

#include <commctrl.h>

namespace tolva::ui {

class InfoDialog;

class ListPage : public ChildDialog {
public:
    ListPage(InfoDialog& owner, uint16_t resourceId, HINSTANCE module);

    bool onListViewNotify(int id, UINT message, WPARAM wParam, LPARAM lParam) override;
    bool onControlMessage(int id, UINT message, WPARAM wParam, LPARAM lParam,
                          LRESULT& result) override;

protected:
    // Selection handler.
    virtual void onItemChanged(int listId, const NMLISTVIEW& change);
    virtual void onItemActivated(int listId);
    // Drawing handler; drawItem answers true when it drew the whole row itself.
    virtual void prePaint(int listId, NMLVCUSTOMDRAW& draw);
    virtual bool drawItem(int listId, int item, UINT state, HDC dc, const RECT& rect);
    virtual bool wantsSubItemDraw(int listId);
    virtual void drawSubItem(int listId, int item, int subItem, NMLVCUSTOMDRAW& draw);

    // Sets the notification's answer.
    void answer(LRESULT value);
    void setExtendedStyle(int listId, DWORD style);
    void clearList(int listId);

    InfoDialog& owner_;
    bool suspendPaint_ = false; // swallow painting of the subclassed lists

private:
    LRESULT customDraw(int listId, NMLVCUSTOMDRAW& draw);
};

} // namespace tolva::ui
