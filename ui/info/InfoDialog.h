#pragma once
#include "ui/framework/ButtonHandler.h"
#include "ui/framework/Dialog.h"
#include "ui/framework/TabPageSet.h"
#include "ui/info/InstrumentsPage.h"
#include "ui/info/MessagePage.h"
#include "ui/info/PatternsPage.h"
#include "ui/info/SamplesPage.h"
#include "ui/info/ShownModule.h"

namespace tolva::ui {

// The module information dialog: the file, its header summary and the tab pages. It shows
// the module `shown` and follows reloads of it.
class InfoDialog : public ModalDialog, private ButtonHandler {
public:
    // Posted by the playback side when it has loaded a file.
    static constexpr UINT RefreshMessage = WM_USER + 1;
    // Posted by the Samples page's "Load Sample Data".
    static constexpr UINT LoadSampleDataMessage = WM_USER + 2;

    InfoDialog(HWND parent, HINSTANCE module, ShownModule& shown);

    Player* player() const { return shown_.player(); }
    bool infoOnly() const { return shown_.infoOnly(); }
    // The Instruments page names the instrument whose samples the Samples page lists.
    void instrumentSelected(uint32_t instrument);

    bool onInitDialog() override;
    bool onButtonCommand(int id, UINT message, WPARAM wParam, LPARAM lParam) override;
    bool onTabNotify(int id, UINT message, WPARAM wParam, LPARAM lParam) override;
    INT_PTR onUnhandled(UINT message, WPARAM wParam, LPARAM lParam, bool& handled) override;
    bool onResize(const RECT& clientRect, int dx, int dy) override;
    void onClose() override;

private:
    void onButton(int id) override;
    void onCheckBox(int) override {}
    void onRadio(int) override {}

    void fillHeader();
    void refresh(bool newSong);

    ShownModule& shown_;
    int layoutCarry_ = 0;
    MessagePage messagePage_;
    SamplesPage samplesPage_;
    InstrumentsPage instrumentsPage_;
    PatternsPage patternsPage_;
    TabPageSet pages_;
};

// The host's file-information request for a module with a session: runs the dialog with
// `shown` as its module; the dialog may replace it by a fuller load of the same file.
void runInfoDialog(HWND parent, HINSTANCE module, ShownModule& shown);

} // namespace tolva::ui
