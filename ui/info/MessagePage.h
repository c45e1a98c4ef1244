#pragma once
#include "ui/framework/Dialog.h"

namespace tolva::ui {

class InfoDialog;

// The song message, read-only, in the shared font on white.
class MessagePage : public ChildDialog {
public:
    MessagePage(InfoDialog& owner, HINSTANCE module);
    bool onInitDialog() override;
    void growBy(int dw, int dh) override;
    INT_PTR onUnhandled(UINT message, WPARAM wParam, LPARAM lParam, bool& handled) override;
    void reload();

private:
    InfoDialog& owner_;
};

} // namespace tolva::ui
