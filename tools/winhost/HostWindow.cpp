#include "HostWindow.h"

#include "host/HostRecords.h"

namespace winhost {

namespace {
const char* const ClassName = "TolvaWinhostMain";
}

HostWindow::HostWindow(const std::string& settingsDir, const std::string& pluginDir)
    : settingsDir_(settingsDir), pluginDir_(pluginDir) {
    WNDCLASSA type{};
    type.lpfnWndProc = procedure;
    type.hInstance = GetModuleHandleA(nullptr);
    type.lpszClassName = ClassName;
    RegisterClassA(&type);
    window_ = CreateWindowExA(0, ClassName, "winhost", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                              type.hInstance, nullptr);
    SetWindowLongPtrA(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
}

HostWindow::~HostWindow() {
    if (window_)
        DestroyWindow(window_);
}

void HostWindow::pump(DWORD ms) {
    MsgWaitForMultipleObjects(0, nullptr, FALSE, ms, QS_ALLINPUT);
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}

LRESULT CALLBACK HostWindow::procedure(HWND window, UINT message, WPARAM w, LPARAM l) {
    auto* self = reinterpret_cast<HostWindow*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    if (self && message == tolva::host::MessageEndOfFile) {
        ++self->endOfFile_;
        return 0;
    }
    if (self && message == tolva::host::MessageQuery && w == 0) {
        const std::string* answer = l == tolva::host::QuerySettingsDir ? &self->settingsDir_
                                    : l == tolva::host::QueryPluginDir ? &self->pluginDir_
                                                                       : nullptr;
        if (answer) {
            ++self->queries_;
            return answer->empty() ? 0 : reinterpret_cast<LRESULT>(answer->c_str());
        }
    }
    return DefWindowProcA(window, message, w, l);
}

} // namespace winhost
