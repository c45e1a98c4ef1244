#pragma once
// Dialog objects over the Win32 dialog manager: one object per dialog window, with the
// window's messages routed to virtual handlers by the kind of control that sent them.
#include <cstdint>
#include <windows.h>

namespace tolva::ui {

class ButtonHandler;
struct TabPageSet;

class Dialog {
public:
    Dialog(const Dialog&) = delete;
    Dialog& operator=(const Dialog&) = delete;

    // Resizes this dialog's window; deferred while a re-layout runs.
    virtual void growBy(int dw, int dh);
    virtual bool onButtonCommand(int id, UINT message, WPARAM wParam, LPARAM lParam);
    virtual bool onComboBoxCommand(int id, UINT message, WPARAM wParam, LPARAM lParam);
    // Trackbar scrolls (WM_HSCROLL, WM_MOUSEWHEEL).
    virtual bool onScroll(int id, UINT message, WPARAM wParam, LPARAM lParam);
    virtual bool onListViewNotify(int id, UINT message, WPARAM wParam, LPARAM lParam);
    virtual bool onTabNotify(int id, UINT message, WPARAM wParam, LPARAM lParam);
    // Every message the handlers above did not take; `result` becomes the message result.
    virtual bool onMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);
    // Messages still not handled; when `handled` is set the value is the procedure's answer.
    virtual INT_PTR onUnhandled(UINT message, WPARAM wParam, LPARAM lParam, bool& handled);
    // Messages of subclassed controls; false passes them on to the control.
    virtual bool onControlMessage(int id, UINT message, WPARAM wParam, LPARAM lParam,
                                  LRESULT& result);
    virtual bool onInitDialog();
    // Just before the dialog ends.
    virtual void onClose();
    // WM_COMMAND from a menu or an accelerator.
    virtual bool onMenuCommand(WPARAM wParam);
    // After the window's size changed; dx, dy: growth of the client area's right and bottom.
    virtual bool onResize(const RECT& clientRect, int dx, int dy);
    // The system Close command of a modal dialog.
    virtual bool canClose();

    HWND hwnd() const { return hwnd_; }
    HWND control(int id) const { return GetDlgItem(hwnd_, id); }

    void closeDialog();
    void centerOnMonitor();
    SIZE windowSize() const;
    void enableControl(int id, bool enabled);
    void setControlText(int id, const char* text);
    // At most 31 characters and the terminator.
    void getControlText(int id, char (&buffer)[32]);
    void applySharedFont(int id);
    void setCheck(int id, bool checked);
    // The new item's index, -1 when the string or its data could not be stored.
    int comboAddItem(int id, const char* text, LPARAM data);
    int comboSelection(int id);
    // Inserts or updates columns 0..count-1; a width of -2 fits a column to its header.
    void setListColumns(int id, int count, const int* widths, bool insert);
    void setListRow(int id, int row, int count, const char* const* texts, LPARAM param);
    // Fills the tab control 1028 with the pages of `pages`, shows page 0.
    void buildTabPages(TabPageSet& pages);
    void showTabPage(int tabControlId, uint32_t index);
    void subclassControl(int id);
    void redrawControl(int id);
    void growControl(int id, int dw, int dh);
    void moveControl(int id, int dx, int dy);
    void moveAndGrowControl(int id, int dx, int dy, int dw, int dh);
    void dispatchButton(ButtonHandler& handler, int id);

protected:
    Dialog(bool isChild, uint16_t resourceId, HINSTANCE module);
    virtual ~Dialog() = default;

    static INT_PTR CALLBACK procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    HDWP deferHandle_ = nullptr; // open while onResize runs
    HWND hwnd_ = nullptr;
    RECT clientRect_{};                           // as of the last layout
    bool isChild_;                                // a tab page rather than a modal dialog
    const DLGTEMPLATE* dialogTemplate_ = nullptr; // used instead of the resource when set
    uint16_t resourceId_;
    HINSTANCE module_;
    int minWidth_ = 0; // enforced while the user drags a modal dialog's border
    int minHeight_ = 0;

private:
    INT_PTR route(UINT message, WPARAM wParam, LPARAM lParam);
    bool routeCommand(WPARAM wParam, LPARAM lParam);
    bool routeNotify(WPARAM wParam, LPARAM lParam);
    void keepMinimumSize(WPARAM edge, RECT& dragged) const;
    void relayout();
    // Moves and sizes a child window in client coordinates by the given changes.
    void adjustWindow(HWND window, int dx, int dy, int dw, int dh);
    static LRESULT CALLBACK controlProcedure(HWND control, UINT message, WPARAM wParam,
                                             LPARAM lParam);
};

// A dialog hosted inside another, such as a tab page; created modeless by createChild.
class ChildDialog : public Dialog {
public:
    ChildDialog(Dialog& parent, uint16_t resourceId, HINSTANCE module);
    // The window, made on the first call.
    HWND createChild();

protected:
    Dialog& parent_;
};

// A dialog run modally by runModal, owned by a window.
class ModalDialog : public Dialog {
public:
    ModalDialog(HWND parent, uint16_t resourceId, HINSTANCE module);
    INT_PTR runModal();
    // Cancel (WM_COMMAND with id 2) closes the dialog.
    INT_PTR onUnhandled(UINT message, WPARAM wParam, LPARAM lParam, bool& handled) override;

protected:
    HWND parent_;
};

} // namespace tolva::ui
