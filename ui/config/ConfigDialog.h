#pragma once
#include "ui/config/SettingsOwner.h"
#include "ui/framework/ButtonHandler.h"
#include "ui/framework/Dialog.h"

namespace tolva {

// The configuration dialog: edits a copy of the live settings, which OK makes live, applies
// and saves, and which Cancel throws away.
class ConfigDialog : public ui::ModalDialog, private ui::ButtonHandler {
public:
    ConfigDialog(HWND parent, HINSTANCE module, SettingsOwner& owner);

    bool onInitDialog() override;
    bool onButtonCommand(int id, UINT message, WPARAM wParam, LPARAM lParam) override;
    bool onComboBoxCommand(int id, UINT message, WPARAM wParam, LPARAM lParam) override;
    bool onScroll(int id, UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    void onButton(int id) override;
    void onCheckBox(int id) override;
    void onRadio(int id) override;
    void onComboSelect(int id);
    void onAmpScroll();

    // Makes every control show the working copy; with `numbers` the edit fields too.
    void showSettings(bool numbers);
    void showFormatSwitches();
    void showAmp();
    void accept();

    SettingsOwner& owner_;
    Settings working_;
};

// The host's configure request.
void runConfigDialog(HWND parent, HINSTANCE module, SettingsOwner& owner);

} // namespace tolva
