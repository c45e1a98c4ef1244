#include "ui/info/MessagePage.h"

#include "engine/Player.h"
#include "resources/DialogIds.h"
#include "ui/info/InfoDialog.h"

#include <string>

namespace tolva::ui {

MessagePage::MessagePage(InfoDialog& owner, HINSTANCE module)
    : ChildDialog(owner, IDD_INFO_MESSAGE, module), owner_(owner) {}

bool MessagePage::onInitDialog() {
    applySharedFont(IDC_MESSAGE_TEXT);
    reload();
    return false;
}

void MessagePage::reload() {
    // The edit control wants CR LF line ends; messages keep CR or LF alone.
    std::string text;
    const char* message = owner_.player() ? owner_.player()->info().songMessage() : nullptr;
    for (const char* c = message; c && *c; ++c) {
        if (*c == '\r' || *c == '\n') {
            text += "\r\n";
            if (*c == '\r' && c[1] == '\n')
                ++c;
        } else {
            text += *c;
        }
    }
    SetDlgItemTextA(hwnd_, IDC_MESSAGE_TEXT, text.c_str());
}

void MessagePage::growBy(int dw, int dh) {
    ChildDialog::growBy(dw, dh);
    growControl(IDC_MESSAGE_TEXT, dw, dh);
}

INT_PTR MessagePage::onUnhandled(UINT message, WPARAM, LPARAM, bool& handled) {
    if (message != WM_CTLCOLORSTATIC)
        return 0;
    handled = true;
    return reinterpret_cast<INT_PTR>(GetStockObject(WHITE_BRUSH));
}

} // namespace tolva::ui
