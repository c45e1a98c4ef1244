#include "ui/config/AboutDialog.h"

#include "resources/DialogIds.h"

namespace tolva {

AboutDialog::AboutDialog(HWND parent, HINSTANCE module) : ModalDialog(parent, IDD_ABOUT, module) {}

bool AboutDialog::onInitDialog() {
    centerOnMonitor();
    return true;
}

bool AboutDialog::onButtonCommand(int id, UINT, WPARAM wParam, LPARAM) {
    if (HIWORD(wParam) != BN_CLICKED)
        return false;
    dispatchButton(*this, id);
    return true;
}

void AboutDialog::onButton(int) {
    closeDialog();
}

bool AboutDialog::onMessage(UINT message, WPARAM wParam, LPARAM, LRESULT&) {
    if (message != WM_ERASEBKGND)
        return false;
    HDC dc = reinterpret_cast<HDC>(wParam);
    RECT top = {0, 0, 512, 470};
    FillRect(dc, &top, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    RECT bottom = {0, 202, 512, 1024};
    FillRect(dc, &bottom, GetSysColorBrush(COLOR_BTNFACE));
    return true;
}

INT_PTR AboutDialog::onUnhandled(UINT message, WPARAM wParam, LPARAM lParam, bool& handled) {
    if (message == WM_CTLCOLORSTATIC) {
        handled = true;
        // A system colour index + 1 stands for that colour's brush: the menu background.
        return COLOR_MENU + 1;
    }
    return ModalDialog::onUnhandled(message, wParam, lParam, handled);
}

void runAboutDialog(HWND parent, HINSTANCE module) {
    AboutDialog dialog(parent, module);
    dialog.runModal();
}

} // namespace tolva
