#include "DialogDriver.h"

#include <algorithm>
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

// What one action works on.
struct Target {
    HWND dialog;
    HWND control; // the one its id names, on the dialog or the page on show
    const Action& action;
    int number; // the first number after the id
    const std::string& shotDir;
};

void clickButton(const Target& t) {
    if (!IsWindowEnabled(t.control))
        std::printf("click_disabled=%d\n", t.action.id);
    else
        SendMessageA(t.control, BM_CLICK, 0, 0);
}

// Drawn before it closes, as a user sees it: the system loads what it keeps for drawing (the
// tab control's theme images) at the first paint, and a leak check must not see that load late.
void cancelDialog(const Target& t) {
    RedrawWindow(t.dialog, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    PostMessageA(t.dialog, WM_COMMAND, IDCANCEL, 0);
}

void setText(const Target& t) {
    SendMessageA(t.control, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(t.action.rest.c_str()));
}

void selectEntry(const Target& t) {
    SendMessageA(t.control, CB_SETCURSEL, t.number, 0);
    SendMessageA(t.dialog, WM_COMMAND, MAKEWPARAM(t.action.id, CBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(t.control));
}

void setTrackbar(const Target& t) {
    SendMessageA(t.control, TBM_SETPOS, TRUE, t.number);
    SendMessageA(t.dialog, WM_HSCROLL, MAKEWPARAM(TB_THUMBPOSITION, t.number),
                 reinterpret_cast<LPARAM>(t.control));
}

void readControl(const Target& t) {
    char value[256] = {};
    GetWindowTextA(t.control, value, sizeof value);
    std::printf("control_%d=%d,%d,%s\n", t.action.id, IsWindowEnabled(t.control) ? 1 : 0,
                static_cast<int>(SendMessageA(t.control, BM_GETCHECK, 0, 0)), value);
}

void showTab(const Target& t) {
    HWND tabs = GetDlgItem(t.dialog, 1028);
    SendMessageA(tabs, TCM_SETCURSEL, t.action.id, 0);
    NMHDR header{tabs, 1028, static_cast<UINT>(TCN_SELCHANGE)};
    SendMessageA(t.dialog, WM_NOTIFY, 1028, reinterpret_cast<LPARAM>(&header));
}

void selectRow(const Target& t) {
    LVITEMA item{};
    item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    item.state = LVIS_SELECTED | LVIS_FOCUSED;
    HWND list = pageControl(t.dialog, t.action.id);
    SendMessageA(list, LVM_SETITEMSTATE, t.number, reinterpret_cast<LPARAM>(&item));
    SendMessageA(list, LVM_ENSUREVISIBLE, t.number, FALSE);
}

// cell:ID:ROW:COLUMN prints cell_ID_ROW_COLUMN=text of a list view.
void readCell(const Target& t) {
    const std::string& rest = t.action.rest;
    int row = t.number, column = std::atoi(rest.substr(rest.find(':') + 1).c_str());
    char value[256] = {};
    LVITEMA item{};
    item.iSubItem = column;
    item.pszText = value;
    item.cchTextMax = sizeof value;
    SendMessageA(t.control, LVM_GETITEMTEXTA, row, reinterpret_cast<LPARAM>(&item));
    HWND header = reinterpret_cast<HWND>(SendMessageA(t.control, LVM_GETHEADER, 0, 0));
    std::printf("cell_%d_%d_%d=%s\n", t.action.id, row, column, value);
    std::printf("columns_%d=%d\n", t.action.id,
                static_cast<int>(SendMessageA(header, HDM_GETITEMCOUNT, 0, 0)));
}

void tabTitles(const Target& t) {
    HWND tabs = GetDlgItem(t.dialog, 1028);
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
}

void growBy(const Target& t) {
    RECT r;
    GetWindowRect(t.dialog, &r);
    SetWindowPos(t.dialog, nullptr, 0, 0, r.right - r.left + t.action.id,
                 r.bottom - r.top + t.number, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void moveTo(const Target& t) {
    SetWindowPos(t.dialog, nullptr, t.action.id, t.number, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void printRect(const Target& t) {
    RECT r;
    GetWindowRect(t.dialog, &r);
    std::printf("rect=%ld,%ld,%ld,%ld\n", r.left, r.top, r.right - r.left, r.bottom - r.top);
}

void printPosition(const Target& t) {
    RECT r;
    GetWindowRect(t.control, &r);
    MapWindowPoints(nullptr, t.dialog, reinterpret_cast<POINT*>(&r), 2);
    std::printf("pos_%d=%ld,%ld,%ld,%ld\n", t.action.id, r.left, r.top, r.right - r.left,
                r.bottom - r.top);
}

// sizing:EDGE:WIDTH: the user drags edge EDGE until the window is WIDTH wide.
void sizing(const Target& t) {
    RECT r;
    GetWindowRect(t.dialog, &r);
    const int edge = t.action.id;
    if (edge == WMSZ_LEFT || edge == WMSZ_TOPLEFT || edge == WMSZ_BOTTOMLEFT)
        r.left = r.right - t.number;
    else
        r.right = r.left + t.number;
    SendMessageA(t.dialog, WM_SIZING, edge, reinterpret_cast<LPARAM>(&r));
    std::printf("sizing=%ld,%ld,%ld,%ld\n", r.left, r.top, r.right - r.left, r.bottom - r.top);
}

void shoot(const Target& t) {
    // Let the dialog finish painting first.
    Sleep(300);
    RECT r;
    GetWindowRect(t.dialog, &r);
    std::string base = t.shotDir + "\\" + t.action.rest;
    {
        std::ofstream ready(base + ".part");
        ready << (r.right - r.left) << 'x' << (r.bottom - r.top) << '+' << r.left << '+' << r.top
              << '\n';
    }
    MoveFileA((base + ".part").c_str(), (base + ".ready").c_str());
    for (int i = 0; i < 3000 && !fileExists(base + ".done"); ++i)
        Sleep(20);
}

void sleepFor(const Target& t) {
    Sleep(t.action.id);
}

struct ActionRow {
    const char* kind;
    void (*run)(const Target&);
};

constexpr ActionRow Actions[] = {
    {"click", clickButton}, {"cancel", cancelDialog}, {"text", setText},  {"select", selectEntry},
    {"track", setTrackbar}, {"read", readControl},    {"tab", showTab},   {"item", selectRow},
    {"cell", readCell},     {"tabs", tabTitles},      {"grow", growBy},   {"move", moveTo},
    {"rect", printRect},    {"pos", printPosition},   {"sizing", sizing}, {"shot", shoot},
    {"sleep", sleepFor},
};

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
    const Action a = parseAction(text);
    HWND control = GetDlgItem(dialog, a.id);
    if (!control)
        control = pageControl(dialog, a.id);
    const Target target{dialog, control, a, std::atoi(a.rest.c_str()), shotDir_};
    const auto row = std::find_if(std::begin(Actions), std::end(Actions),
                                  [&a](const ActionRow& r) { return a.kind == r.kind; });
    if (row != std::end(Actions))
        row->run(target);
    else
        std::printf("unknown_action=%s\n", text.c_str());
    std::fflush(stdout);
}

} // namespace winhost
