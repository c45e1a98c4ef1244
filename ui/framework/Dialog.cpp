// The dialog procedure shared by every framework dialog and the default handlers.
#include "ui/framework/Dialog.h"

#include "ui/framework/ControlKind.h"

namespace tolva::ui {

Dialog::Dialog(bool isChild, uint16_t resourceId, HINSTANCE module)
    : isChild_(isChild), resourceId_(resourceId), module_(module) {}

void Dialog::growBy(int dw, int dh) {
    SIZE size = windowSize();
    UINT flags = SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE;
    if (deferHandle_)
        deferHandle_ =
            DeferWindowPos(deferHandle_, hwnd_, nullptr, 0, 0, size.cx + dw, size.cy + dh, flags);
    else
        SetWindowPos(hwnd_, nullptr, 0, 0, size.cx + dw, size.cy + dh, flags);
}

bool Dialog::onButtonCommand(int, UINT, WPARAM, LPARAM) {
    return false;
}
bool Dialog::onComboBoxCommand(int, UINT, WPARAM, LPARAM) {
    return false;
}
bool Dialog::onScroll(int, UINT, WPARAM, LPARAM) {
    return false;
}
bool Dialog::onListViewNotify(int, UINT, WPARAM, LPARAM) {
    return false;
}
bool Dialog::onTabNotify(int, UINT, WPARAM, LPARAM) {
    return false;
}
bool Dialog::onMessage(UINT, WPARAM, LPARAM, LRESULT&) {
    return false;
}
INT_PTR Dialog::onUnhandled(UINT, WPARAM, LPARAM, bool&) {
    return 0;
}
bool Dialog::onControlMessage(int, UINT, WPARAM, LPARAM, LRESULT&) {
    return false;
}
bool Dialog::onInitDialog() {
    return false;
}
void Dialog::onClose() {}
bool Dialog::onMenuCommand(WPARAM) {
    return false;
}
bool Dialog::onResize(const RECT&, int, int) {
    return false;
}
bool Dialog::canClose() {
    return true;
}

INT_PTR CALLBACK Dialog::procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        auto* self = reinterpret_cast<Dialog*>(lParam);
        SetWindowLongPtrW(window, GWLP_USERDATA, lParam);
        self->hwnd_ = window;
        GetClientRect(window, &self->clientRect_);
        bool handled = self->onInitDialog();
        if (handled)
            return TRUE;
        return self->route(message, wParam, lParam);
    }
    auto* self = reinterpret_cast<Dialog*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (!self)
        return 0;
    return self->route(message, wParam, lParam);
}

INT_PTR Dialog::route(UINT message, WPARAM wParam, LPARAM lParam) {
    bool handled = false;
    switch (message) {
    case WM_COMMAND:
        handled = routeCommand(wParam, lParam);
        break;
    case WM_NOTIFY:
        handled = routeNotify(wParam, lParam);
        break;
    case WM_HSCROLL:
    case WM_MOUSEWHEEL: {
        HWND source = reinterpret_cast<HWND>(lParam);
        if (controlKind(source) == ControlKind::Trackbar)
            handled = onScroll(GetDlgCtrlID(source), message, wParam, lParam);
        break;
    }
    case WM_SYSCOMMAND:
        // The low four bits of the command are the system's own.
        if ((wParam & 0xFFF0) == SC_CLOSE && HIWORD(wParam) == 0 && !isChild_ && canClose())
            closeDialog();
        break;
    case WM_SIZING:
        if (!isChild_) {
            keepMinimumSize(wParam, *reinterpret_cast<RECT*>(lParam));
            handled = true;
        }
        relayout();
        break;
    case WM_WINDOWPOSCHANGED:
        if (!(reinterpret_cast<const WINDOWPOS*>(lParam)->flags & SWP_NOSIZE))
            relayout();
        break;
    default:
        break;
    }
    if (!handled) {
        LRESULT result = 0;
        handled = onMessage(message, wParam, lParam, result);
        if (handled) {
            SetWindowLongPtrW(hwnd_, DWLP_MSGRESULT, result);
        } else {
            bool taken = false;
            INT_PTR answer = onUnhandled(message, wParam, lParam, taken);
            if (taken)
                return answer;
        }
    }
    return handled ? TRUE : FALSE;
}

bool Dialog::routeCommand(WPARAM wParam, LPARAM lParam) {
    HWND source = reinterpret_cast<HWND>(lParam);
    if (!source)
        return onMenuCommand(wParam);
    int id = LOWORD(wParam);
    switch (controlKind(source)) {
    case ControlKind::Button:
        return onButtonCommand(id, WM_COMMAND, wParam, lParam);
    case ControlKind::ComboBox:
        return onComboBoxCommand(id, WM_COMMAND, wParam, lParam);
    default:
        return false;
    }
}

bool Dialog::routeNotify(WPARAM wParam, LPARAM lParam) {
    const auto* header = reinterpret_cast<const NMHDR*>(lParam);
    int id = static_cast<int>(header->idFrom);
    switch (controlKind(header->hwndFrom)) {
    case ControlKind::ListView:
        return onListViewNotify(id, WM_NOTIFY, wParam, lParam);
    case ControlKind::TabControl:
        return onTabNotify(id, WM_NOTIFY, wParam, lParam);
    default:
        return false;
    }
}

void Dialog::keepMinimumSize(WPARAM edge, RECT& dragged) const {
    if (dragged.right - dragged.left < minWidth_) {
        if (edge == WMSZ_LEFT || edge == WMSZ_TOPLEFT || edge == WMSZ_BOTTOMLEFT)
            dragged.left = dragged.right - minWidth_;
        else
            dragged.right = dragged.left + minWidth_;
    }
    if (dragged.bottom - dragged.top < minHeight_) {
        if (edge == WMSZ_TOP || edge == WMSZ_TOPLEFT || edge == WMSZ_TOPRIGHT)
            dragged.top = dragged.bottom - minHeight_;
        else
            dragged.bottom = dragged.top + minHeight_;
    }
}

void Dialog::relayout() {
    RECT now;
    GetClientRect(hwnd_, &now);
    deferHandle_ = BeginDeferWindowPos(8);
    onResize(now, now.right - clientRect_.right, now.bottom - clientRect_.bottom);
    if (deferHandle_)
        EndDeferWindowPos(deferHandle_);
    deferHandle_ = nullptr;
    clientRect_ = now;
}

LRESULT CALLBACK Dialog::controlProcedure(HWND control, UINT message, WPARAM wParam,
                                          LPARAM lParam) {
    auto* owner = reinterpret_cast<Dialog*>(GetWindowLongPtrW(GetParent(control), GWLP_USERDATA));
    if (owner) {
        LRESULT result = 0;
        if (owner->onControlMessage(GetDlgCtrlID(control), message, wParam, lParam, result))
            return result;
    }
    auto previous = reinterpret_cast<WNDPROC>(GetWindowLongPtrW(control, GWLP_USERDATA));
    return CallWindowProcW(previous, control, message, wParam, lParam);
}

void Dialog::subclassControl(int id) {
    HWND window = control(id);
    if (!window)
        return;
    LONG_PTR previous = GetWindowLongPtrW(window, GWLP_WNDPROC);
    SetWindowLongPtrW(window, GWLP_USERDATA, previous);
    SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&controlProcedure));
}

ChildDialog::ChildDialog(Dialog& parent, uint16_t resourceId, HINSTANCE module)
    : Dialog(true, resourceId, module), parent_(parent) {}

HWND ChildDialog::createChild() {
    if (hwnd_)
        return hwnd_;
    LPARAM self = reinterpret_cast<LPARAM>(static_cast<Dialog*>(this));
    if (dialogTemplate_)
        return CreateDialogIndirectParamW(module_, dialogTemplate_, parent_.hwnd(), procedure,
                                          self);
    return CreateDialogParamW(module_, MAKEINTRESOURCEW(resourceId_), parent_.hwnd(), procedure,
                              self);
}

ModalDialog::ModalDialog(HWND parent, uint16_t resourceId, HINSTANCE module)
    : Dialog(false, resourceId, module), parent_(parent) {}

INT_PTR ModalDialog::runModal() {
    LPARAM self = reinterpret_cast<LPARAM>(static_cast<Dialog*>(this));
    if (dialogTemplate_)
        return DialogBoxIndirectParamW(module_, dialogTemplate_, parent_, procedure, self);
    return DialogBoxParamW(module_, MAKEINTRESOURCEW(resourceId_), parent_, procedure, self);
}

INT_PTR ModalDialog::onUnhandled(UINT message, WPARAM wParam, LPARAM, bool& handled) {
    if (message == WM_COMMAND && LOWORD(wParam) == IDCANCEL) {
        closeDialog();
        handled = true;
    }
    return 0;
}

} // namespace tolva::ui
