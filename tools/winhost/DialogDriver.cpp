#include "DialogDriver.h"

#include <commctrl.h>
#include <cstdio>
#include <cstdlib>
#include <fstream>

namespace winhost {

namespace {

struct Search {
    const std::string* caption;
    HWND found;
};

BOOL CALLBACK matchCaption(HWND window, LPARAM l) {
    auto* search = reinterpret_cast<Search*>(l);
    char text[256];
    GetWindowTextA(window, text, sizeof text);
    if (IsWindowVisible(window) && *search->caption == text) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

// The fields of "kind:a:b", b taking the rest of the text.
struct Action {
    std::string kind;
    int id = 0;
    std::string rest;
};

Action parseAction(const std::string& text) {
    Action a;
    std::size_t first = text.find(':');
    a.kind = text.substr(0, first);
    if (first == std::string::npos)
        return a;
    std::size_t second = text.find(':', first + 1);
    a.id = std::atoi(text.substr(first + 1, second - first - 1).c_str());
    if (second != std::string::npos)
        a.rest = text.substr(second + 1);
    a.rest = a.kind == "shot" ? text.substr(first + 1) : a.rest;
    return a;
}

// A control of the tab page on show (the pages are child dialogs of the dialog).
HWND pageControl(HWND dialog, int id) {
    for (HWND page = GetWindow(dialog, GW_CHILD); page; page = GetWindow(page, GW_HWNDNEXT)) {
        char name[16];
        GetClassNameA(page, name, sizeof name);
        if (std::string(name) == "#32770" && IsWindowVisible(page) && GetDlgItem(page, id))
            return GetDlgItem(page, id);
    }
    return nullptr;
}

bool fileExists(const std::string& path) {
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

} // namespace

DialogDriver::DialogDriver(std::string caption, std::vector<std::string> actions,
                           std::string shotDir)
    : caption_(std::move(caption)), actions_(std::move(actions)), shotDir_(std::move(shotDir)) {}

DialogDriver::~DialogDriver() {
    if (thread_) {
        WaitForSingleObject(thread_, INFINITE);
        CloseHandle(thread_);
    }
}

void DialogDriver::start() {
    uiThread_ = GetCurrentThreadId();
    thread_ = CreateThread(nullptr, 0, run, this, 0, nullptr);
}

DWORD WINAPI DialogDriver::run(void* self) {
    static_cast<DialogDriver*>(self)->work();
    return 0;
}

HWND DialogDriver::findDialog() const {
    Search search{&caption_, nullptr};
    EnumThreadWindows(uiThread_, matchCaption, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

void DialogDriver::work() {
    HWND dialog = nullptr;
    for (int i = 0; i < 1000 && !dialog; ++i) {
        dialog = findDialog();
        if (!dialog)
            Sleep(20);
    }
    if (!dialog) {
        std::printf("dialog_found=0\n");
        std::fflush(stdout);
        return;
    }
    std::printf("dialog_found=1\n");
    for (const std::string& action : actions_)
        perform(dialog, action);
    // A dialog the actions left open is cancelled, so the host never hangs.
    for (int i = 0; i < 500 && IsWindow(dialog); ++i)
        Sleep(20);
    if (IsWindow(dialog)) {
        std::printf("dialog_left_open=1\n");
        PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
    }
    std::fflush(stdout);
}

void DialogDriver::perform(HWND dialog, const std::string& text) {
    Action a = parseAction(text);
    HWND control = GetDlgItem(dialog, a.id);
    if (!control)
        control = pageControl(dialog, a.id);
    int number = std::atoi(a.rest.c_str());
    if (a.kind == "click") {
        if (!IsWindowEnabled(control))
            std::printf("click_disabled=%d\n", a.id);
        else
            SendMessageA(control, BM_CLICK, 0, 0);
    } else if (a.kind == "cancel") {
        PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
    } else if (a.kind == "text") {
        SendMessageA(control, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(a.rest.c_str()));
    } else if (a.kind == "select") {
        SendMessageA(control, CB_SETCURSEL, number, 0);
        SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(a.id, CBN_SELCHANGE),
                     reinterpret_cast<LPARAM>(control));
    } else if (a.kind == "track") {
        SendMessageA(control, TBM_SETPOS, TRUE, number);
        SendMessageA(dialog, WM_HSCROLL, MAKEWPARAM(TB_THUMBPOSITION, number),
                     reinterpret_cast<LPARAM>(control));
    } else if (a.kind == "read") {
        char value[256] = {};
        GetWindowTextA(control, value, sizeof value);
        std::printf("control_%d=%d,%d,%s\n", a.id, IsWindowEnabled(control) ? 1 : 0,
                    static_cast<int>(SendMessageA(control, BM_GETCHECK, 0, 0)), value);
    } else if (a.kind == "tab") {
        HWND tabs = GetDlgItem(dialog, 1028);
        SendMessageA(tabs, TCM_SETCURSEL, a.id, 0);
        NMHDR header{tabs, 1028, static_cast<UINT>(TCN_SELCHANGE)};
        SendMessageA(dialog, WM_NOTIFY, 1028, reinterpret_cast<LPARAM>(&header));
    } else if (a.kind == "item") {
        LVITEMA item{};
        item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
        item.state = LVIS_SELECTED | LVIS_FOCUSED;
        HWND list = pageControl(dialog, a.id);
        SendMessageA(list, LVM_SETITEMSTATE, number, reinterpret_cast<LPARAM>(&item));
        SendMessageA(list, LVM_ENSUREVISIBLE, number, FALSE);
    } else if (a.kind == "cell") {
        // cell:ID:ROW:COLUMN prints cell_ID_ROW_COLUMN=text of a list view.
        int row = number, column = std::atoi(a.rest.substr(a.rest.find(':') + 1).c_str());
        char value[256] = {};
        LVITEMA item{};
        item.iSubItem = column;
        item.pszText = value;
        item.cchTextMax = sizeof value;
        SendMessageA(control, LVM_GETITEMTEXTA, row, reinterpret_cast<LPARAM>(&item));
        HWND header = reinterpret_cast<HWND>(SendMessageA(control, LVM_GETHEADER, 0, 0));
        std::printf("cell_%d_%d_%d=%s\n", a.id, row, column, value);
        std::printf("columns_%d=%d\n", a.id,
                    static_cast<int>(SendMessageA(header, HDM_GETITEMCOUNT, 0, 0)));
    } else if (a.kind == "tabs") {
        HWND tabs = GetDlgItem(dialog, 1028);
        int count = static_cast<int>(SendMessageA(tabs, TCM_GETITEMCOUNT, 0, 0));
        std::string titles;
        for (int i = 0; i < count; ++i) {
            char title[64] = {};
            TCITEMA item{};
            item.mask = TCIF_TEXT;
            item.pszText = title;
            item.cchTextMax = sizeof title;
            SendMessageA(tabs, TCM_GETITEMA, i, reinterpret_cast<LPARAM>(&item));
            if (i > 0)
                titles += '|';
            titles += title;
        }
        std::printf("tabs=%s\n", titles.c_str());
    } else if (a.kind == "grow" || a.kind == "move") {
        RECT r;
        GetWindowRect(dialog, &r);
        int second = std::atoi(a.rest.c_str());
        if (a.kind == "grow")
            SetWindowPos(dialog, nullptr, 0, 0, r.right - r.left + a.id, r.bottom - r.top + second,
                         SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        else
            SetWindowPos(dialog, nullptr, a.id, second, 0, 0,
                         SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    } else if (a.kind == "rect") {
        RECT r;
        GetWindowRect(dialog, &r);
        std::printf("rect=%ld,%ld,%ld,%ld\n", r.left, r.top, r.right - r.left, r.bottom - r.top);
    } else if (a.kind == "pos") {
        RECT r;
        GetWindowRect(control, &r);
        MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&r), 2);
        std::printf("pos_%d=%ld,%ld,%ld,%ld\n", a.id, r.left, r.top, r.right - r.left,
                    r.bottom - r.top);
    } else if (a.kind == "sizing") {
        // sizing:EDGE:WIDTH: the user drags edge EDGE until the window is WIDTH wide.
        RECT r;
        GetWindowRect(dialog, &r);
        int width = std::atoi(a.rest.c_str());
        bool left = a.id == WMSZ_LEFT || a.id == WMSZ_TOPLEFT || a.id == WMSZ_BOTTOMLEFT;
        if (left)
            r.left = r.right - width;
        else
            r.right = r.left + width;
        SendMessageA(dialog, WM_SIZING, a.id, reinterpret_cast<LPARAM>(&r));
        std::printf("sizing=%ld,%ld,%ld,%ld\n", r.left, r.top, r.right - r.left, r.bottom - r.top);
    } else if (a.kind == "shot") {
        shoot(dialog, a.rest);
    } else if (a.kind == "sleep") {
        Sleep(a.id);
    } else {
        std::printf("unknown_action=%s\n", text.c_str());
    }
    std::fflush(stdout);
}

void DialogDriver::shoot(HWND dialog, const std::string& name) {
    // Let the dialog finish painting first.
    Sleep(300);
    RECT r;
    GetWindowRect(dialog, &r);
    std::string base = shotDir_ + "\\" + name;
    {
        std::ofstream ready(base + ".part");
        ready << (r.right - r.left) << 'x' << (r.bottom - r.top) << '+' << r.left << '+' << r.top
              << '\n';
    }
    MoveFileA((base + ".part").c_str(), (base + ".ready").c_str());
    for (int i = 0; i < 3000 && !fileExists(base + ".done"); ++i)
        Sleep(20);
}

} // namespace winhost
