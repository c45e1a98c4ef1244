#include "ui/info/InfoDialog.h"

#include "engine/Player.h"
#include "formats/FormatTable.h"
#include "resources/DialogIds.h"
#include "ui/framework/SharedFont.h"
#include "ui/info/NumberText.h"

#include <cstdio>

namespace tolva::ui {

namespace {

// The dialog's last place on the screen while the plug-in stays loaded (width 0: none yet).
struct Placement {
    int left = 0, top = 0, width = 0, height = 0;
};
Placement lastPlacement;

const int WhiteFields[] = {IDC_INFO_FILE,   IDC_INFO_SIZE,        IDC_INFO_TITLE,
                           IDC_INFO_TEMPO,  IDC_INFO_SPEED,       IDC_INFO_OTHER,
                           IDC_INFO_TRACKS, IDC_INFO_INSTRUMENTS, IDC_INFO_SAMPLES};

} // namespace

InfoDialog::InfoDialog(HWND parent, HINSTANCE module, ShownModule& shown)
    : ModalDialog(parent, IDD_INFO, module), shown_(shown), messagePage_(*this, module),
      samplesPage_(*this, module), instrumentsPage_(*this, module), patternsPage_(*this, module) {}

void InfoDialog::instrumentSelected(uint32_t instrument) {
    Player* p = player();
    if (p && p->info().samplesBelongToInstruments())
        samplesPage_.showInstrument(instrument);
}

bool InfoDialog::onInitDialog() {
    shown_.setDialog(hwnd_);
    createSharedFont();
    fillHeader();
    Player* p = player();
    pages_.add(patternsPage_, L"Patterns");
    if (p && p->info().instrumentCount() != 0)
        pages_.add(instrumentsPage_, L"Instruments");
    pages_.add(samplesPage_, L"Samples");
    if (p && p->info().songMessage())
        pages_.add(messagePage_, L"Song Message");
    buildTabPages(pages_);
    SIZE size = windowSize();
    minWidth_ = size.cx;
    minHeight_ = size.cy;
    if (lastPlacement.width != 0) {
        growBy(lastPlacement.width - size.cx, lastPlacement.height - size.cy);
        SetWindowPos(hwnd_, nullptr, lastPlacement.left, lastPlacement.top, 0, 0,
                     SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    return true;
}

void InfoDialog::fillHeader() {
    Player* p = player();
    char text[160];
    formatNumber(text, sizeof text, shown_.fileSize(), true);
    setControlText(IDC_INFO_SIZE, text);
    setControlText(IDC_INFO_FILE, shown_.fileName());
    if (!p)
        return;
    setControlText(IDC_INFO_TITLE, p->song.title);
    char creator[CreatorTextSize] = {};
    p->info().creatorText(creator, sizeof creator);
    std::snprintf(text, sizeof text, "%s%s", formatName(p->info().formatType()), creator);
    setControlText(IDC_INFO_FORMAT, text);
    formatNumber(text, sizeof text, p->info().channelCount(), true);
    setControlText(IDC_INFO_TRACKS, text);
    formatNumber(text, sizeof text, p->info().instrumentCount(), true);
    setControlText(IDC_INFO_INSTRUMENTS, text);
    formatNumber(text, sizeof text, p->song.sampleCount, true);
    setControlText(IDC_INFO_SAMPLES, text);
    SongDescription song;
    p->info().describeSong(song);
    std::snprintf(text, sizeof text, "%d BPM", song.initialTempo);
    setControlText(IDC_INFO_TEMPO, text);
    std::snprintf(text, sizeof text, "%d", song.initialSpeed);
    setControlText(IDC_INFO_SPEED, text);
    std::snprintf(text, sizeof text, "%s slides, %s mode",
                  (song.modeFlags & ModeLinearSlides) ? "Linear" : "Amiga",
                  (song.modeFlags & ModeInstruments) ? "Instrument" : "Sample");
    setControlText(IDC_INFO_OTHER, text);
}

bool InfoDialog::onButtonCommand(int id, UINT, WPARAM wParam, LPARAM) {
    if (HIWORD(wParam) != BN_CLICKED)
        return false;
    dispatchButton(*this, id);
    return true;
}

void InfoDialog::onButton(int) {
    closeDialog();
}

bool InfoDialog::onTabNotify(int id, UINT, WPARAM, LPARAM lParam) {
    if (reinterpret_cast<const NMHDR*>(lParam)->code != TCN_SELCHANGE)
        return false;
    int index = static_cast<int>(SendDlgItemMessageW(hwnd_, id, TCM_GETCURSEL, 0, 0));
    if (index >= 0)
        showTabPage(id, static_cast<uint32_t>(index));
    return true;
}

INT_PTR InfoDialog::onUnhandled(UINT message, WPARAM wParam, LPARAM lParam, bool& handled) {
    if (message == WM_CTLCOLORSTATIC) {
        int id = GetDlgCtrlID(reinterpret_cast<HWND>(lParam));
        for (int field : WhiteFields)
            if (field == id) {
                handled = true;
                return reinterpret_cast<INT_PTR>(GetStockObject(WHITE_BRUSH));
            }
        return 0;
    }
    if (message == RefreshMessage) {
        Player* before = player();
        if (shown_.takePlayingModule())
            refresh(player() != before);
        handled = true;
        return 0;
    }
    if (message == LoadSampleDataMessage) {
        if (shown_.loadSampleData())
            refresh(true);
        else
            closeDialog();
        handled = true;
        return 0;
    }
    return ModalDialog::onUnhandled(message, wParam, lParam, handled);
}

void InfoDialog::refresh(bool newSong) {
    if (newSong) {
        samplesPage_.reload(true);
        instrumentsPage_.reload();
        patternsPage_.reload();
    } else {
        patternsPage_.renewDescription();
        samplesPage_.reload(false);
    }
}

bool InfoDialog::onResize(const RECT&, int dx, int dy) {
    growControl(IDC_INFO_FILE, dx, 0);
    growControl(IDC_INFO_TITLE, dx, 0);
    growControl(IDC_INFO_HEADER_GROUP, dx, 0);
    growControl(IDC_INFO_TABS, dx, dy);
    const int h = (layoutCarry_ + dx) / 2;
    moveControl(IDOK, h, dy);
    for (int id : {IDC_INFO_TRACKS, IDC_INFO_INSTRUMENTS, IDC_INFO_SAMPLES})
        growControl(id, h, 0);
    for (int id : {IDC_INFO_TEMPO_LABEL, IDC_INFO_SPEED_LABEL, IDC_INFO_OTHER_LABEL})
        moveControl(id, h, 0);
    for (int id : {IDC_INFO_TEMPO, IDC_INFO_SPEED, IDC_INFO_OTHER})
        moveAndGrowControl(id, h, 0, h, 0);
    for (int id : {IDC_INFO_SIZE_LABEL, IDC_INFO_SIZE, IDC_INFO_BYTES_LABEL})
        moveControl(id, dx, 0);
    layoutCarry_ = (layoutCarry_ + dx) % 2;
    for (uint32_t i = 0; i < pages_.count; ++i)
        if (pages_.pages[i]->hwnd())
            pages_.pages[i]->growBy(dx, dy);
    return true;
}

void InfoDialog::onClose() {
    shown_.setDialog(nullptr);
    deleteSharedFont();
    RECT r;
    GetWindowRect(hwnd_, &r);
    lastPlacement = {r.left, r.top, r.right - r.left, r.bottom - r.top};
}

void runInfoDialog(HWND parent, HINSTANCE module, ShownModule& shown) {
    InfoDialog dialog(parent, module, shown);
    dialog.runModal();
    shown.setDialog(nullptr);
}

} // namespace tolva::ui
