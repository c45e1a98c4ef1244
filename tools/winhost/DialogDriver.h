#pragma once
#include <windows.h>

#include <string>
#include <vector>

namespace winhost {

// Works a dialog of the plug-in from a second thread while the main thread sits in the
// dialog's modal loop, as a user would: finds the dialog by its caption among the windows of
// the main thread, then carries out the actions in order and prints what they read.
//
// Actions: click:ID, text:ID:TEXT, select:ID:INDEX (combo box), track:ID:POS (trackbar),
// read:ID (prints control_ID=enabled,checked,text), tab:INDEX (tab control 1028), tabs
// (prints the tab titles), cell:ID:ROW:COLUMN (prints a list view's cell and its column
// count), item:ID:INDEX (list view row), grow:DX:DY and move:X:Y (the dialog's window), rect
// (prints rect=left,top,width,height), pos:ID (prints a control's place in the dialog),
// sizing:EDGE:WIDTH (a border drag as WM_SIZING sees it; prints the answer), shot:NAME (see
// below), sleep:MS, cancel (closes the dialog).
// Controls the dialog does not have are looked for on the tab page on show.
//
// shot:NAME writes NAME.ready into the shot folder with the dialog's screen rectangle as
// WxH+X+Y, then waits until NAME.done appears there (the caller takes the picture).
class DialogDriver {
public:
    DialogDriver(std::string caption, std::vector<std::string> actions, std::string shotDir);
    ~DialogDriver();
    DialogDriver(const DialogDriver&) = delete;
    DialogDriver& operator=(const DialogDriver&) = delete;

    // Starts working on dialogs of the calling thread.
    void start();

private:
    static DWORD WINAPI run(void* self);
    void work();
    HWND findDialog() const;
    void perform(HWND dialog, const std::string& action);

    std::string caption_;
    std::vector<std::string> actions_;
    std::string shotDir_;
    DWORD uiThread_ = 0;
    HANDLE thread_ = nullptr;
};

} // namespace winhost
