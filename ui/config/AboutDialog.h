#pragma once
#include "ui/framework/ButtonHandler.h"
#include "ui/framework/Dialog.h"

namespace tolva {

// The about box: white above, the dialog colour below, closed by any push button.
class AboutDialog : public ui::ModalDialog, private ui::ButtonHandler {
public:
    AboutDialog(HWND parent, HINSTANCE module);

    bool onInitDialog() override;
    bool onButtonCommand(int id, UINT message, WPARAM wParam, LPARAM lParam) override;
    bool onMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;
    INT_PTR onUnhandled(UINT message, WPARAM wParam, LPARAM lParam, bool& handled) override;

private:
    void onButton(int id) override;
    void onCheckBox(int) override {}
    void onRadio(int) override {}
};

// The host's about request.
void runAboutDialog(HWND parent, HINSTANCE module);

} // namespace tolva
