#include "ui/config/ConfigDialog.h"

#include "formats/FormatTable.h"
#include "resources/DialogIds.h"

#include <commctrl.h>
#include <cstdio>
#include <initializer_list>

namespace tolva {

namespace {

const uint32_t FrequencyChoices[] = {11025, 22050, 44100, 48000, 96000};
constexpr int AmpOffset = MaxAmp; // trackbar position of 0 dB

// The format switch that a check box edits, or null.
uint8_t* formatBoxFlag(Settings& s, int id) {
    for (const FormatRow& row : formatRows())
        if (row.dialogBox == id)
            return &s.formatSwitches[row.settingsSwitch];
    return nullptr;
}

// The settings flag that a check box edits.
uint8_t* checkBoxFlag(Settings& s, int id) {
    switch (id) {
    case IDC_STRIP_EMPTY_PATTERNS:
        return &s.stripTrailingEmptyPatterns;
    case IDC_REMOVE_SILENCE:
        return &s.removeSilence;
    case IDC_INITIAL_SILENCE:
        return &s.removeInitialSilence;
    case IDC_LIMIT_TRAILING:
        return &s.limitTrailingSilence;
    case IDC_EXTRA_PLAY_TIME:
        return &s.extraPlayTime;
    case IDC_OLD_PROTRACKER:
        return &s.oldProTrackerMode;
    case IDC_NO_MOD_PANNING:
        return &s.disableModPanning;
    case IDC_FORCE_MONO:
        return &s.forceMono;
    case IDC_REVERSE_STEREO:
        return &s.reverseStereo;
    case IDC_NO_OVERSAMPLING:
        return &s.disableOversampling;
    default:
        return formatBoxFlag(s, id);
    }
}

// Digits only; anything else, or nothing, reads as 0. Numbers beyond 32 bits stop at the
// largest one rather than wrapping round to a small one.
uint32_t parseUnsigned(const char* text) {
    uint64_t value = 0;
    for (const char* c = text; *c; ++c) {
        if (*c < '0' || *c > '9')
            return 0;
        value = value * 10 + static_cast<uint32_t>(*c - '0');
        if (value > UINT32_MAX)
            value = UINT32_MAX;
    }
    return static_cast<uint32_t>(value);
}

} // namespace

ConfigDialog::ConfigDialog(HWND parent, HINSTANCE module, SettingsOwner& owner)
    : ModalDialog(parent, IDD_CONFIG, module), owner_(owner) {}

bool ConfigDialog::onInitDialog() {
    SendDlgItemMessageW(hwnd_, IDC_LOOP_COUNT_SPIN, UDM_SETRANGE32, 1, MaxLoopCount);
    SendDlgItemMessageW(hwnd_, IDC_TRAILING_SPIN, UDM_SETRANGE32, 0, MaxSilenceOrExtraSeconds);
    SendDlgItemMessageW(hwnd_, IDC_EXTRA_SECONDS_SPIN, UDM_SETRANGE32, 0, MaxSilenceOrExtraSeconds);
    SendDlgItemMessageW(hwnd_, IDC_AMP, TBM_SETRANGE, FALSE, MAKELPARAM(0, 2 * MaxAmp));
    char text[16];
    for (uint32_t frequency : FrequencyChoices) {
        std::snprintf(text, sizeof text, "%u", static_cast<unsigned>(frequency));
        comboAddItem(IDC_MIXING_FREQUENCY, text, frequency);
    }
    comboAddItem(IDC_OUTPUT_BITS, "8", 8);
    comboAddItem(IDC_OUTPUT_BITS, "16", 16);
    comboAddItem(IDC_OUTPUT_BITS, "32", 32);
    working_ = owner_.liveSettings();
    showSettings(true);
    return true;
}

void ConfigDialog::showSettings(bool numbers) {
    const Settings& s = working_;
    setCheck(IDC_TITLE_INTERNAL, s.titleFormat == 0);
    setCheck(IDC_TITLE_WITH_FILE, s.titleFormat == 1);
    setCheck(IDC_TITLE_TOLVA, s.titleFormat == 2);
    setCheck(IDC_NO_BACKWARD_JUMPS, s.lengthMode == LengthNoBackwardJumps);
    setCheck(IDC_DETECT_LOOP, s.lengthMode == LengthDetectLoop);
    setCheck(IDC_STRIP_EMPTY_PATTERNS, s.stripTrailingEmptyPatterns);
    setCheck(IDC_REMOVE_SILENCE, s.removeSilence);
    setCheck(IDC_INITIAL_SILENCE, s.removeInitialSilence);
    setCheck(IDC_LIMIT_TRAILING, s.limitTrailingSilence);
    enableControl(IDC_INITIAL_SILENCE, s.removeSilence);

    // Extra time by seconds decides the length alone, so the trailing limit has no say then.
    bool loopsBySeconds =
        s.lengthMode != LengthNoBackwardJumps && s.extraPlayTime && !s.loopByCount;
    bool trailing = s.removeSilence && !loopsBySeconds;
    for (int id : {IDC_LIMIT_TRAILING, IDC_TRAILING_SECONDS, IDC_TRAILING_SPIN, IDC_TRAILING_LABEL})
        enableControl(id, trailing);

    bool detectLoop = s.lengthMode == LengthDetectLoop;
    enableControl(IDC_EXTRA_PLAY_TIME, detectLoop);
    setCheck(IDC_EXTRA_PLAY_TIME, s.extraPlayTime);
    bool loops = detectLoop && s.extraPlayTime;
    enableControl(IDC_LOOP_BY_COUNT, loops);
    enableControl(IDC_LOOP_BY_TIME, loops);
    for (int id : {IDC_LOOP_COUNT, IDC_LOOP_COUNT_SPIN, IDC_LOOP_COUNT_LABEL})
        enableControl(id, loops && s.loopByCount);
    for (int id : {IDC_EXTRA_SECONDS, IDC_EXTRA_SECONDS_SPIN, IDC_EXTRA_SECONDS_LABEL})
        enableControl(id, loops && !s.loopByCount);
    setCheck(IDC_LOOP_BY_COUNT, s.loopByCount);
    setCheck(IDC_LOOP_BY_TIME, !s.loopByCount);

    setCheck(IDC_OLD_PROTRACKER, s.oldProTrackerMode);
    setCheck(IDC_NO_MOD_PANNING, s.disableModPanning);
    showFormatSwitches();
    setCheck(IDC_NO_OVERSAMPLING, s.disableOversampling);
    setCheck(IDC_REVERSE_STEREO, s.reverseStereo);
    setCheck(IDC_FORCE_MONO, s.forceMono);
    enableControl(IDC_REVERSE_STEREO, !s.forceMono);

    SendDlgItemMessageW(hwnd_, IDC_AMP, TBM_SETPOS, TRUE, s.amp + AmpOffset);
    showAmp();
    for (int i = 0; i < 5; ++i)
        if (s.mixingFrequency == FrequencyChoices[i])
            SendDlgItemMessageW(hwnd_, IDC_MIXING_FREQUENCY, CB_SETCURSEL, i, 0);
    if (numbers) {
        SetDlgItemInt(hwnd_, IDC_TRAILING_SECONDS, s.trailingSilenceSeconds, FALSE);
        SetDlgItemInt(hwnd_, IDC_LOOP_COUNT, s.loopCount, FALSE);
        SetDlgItemInt(hwnd_, IDC_EXTRA_SECONDS, s.extraLoopSeconds, FALSE);
        SetDlgItemInt(hwnd_, IDC_MIXING_FREQUENCY, s.mixingFrequency, FALSE);
    }
    int bits = s.outputBits == 8 ? 0 : s.outputBits == 32 ? 2 : 1;
    SendDlgItemMessageW(hwnd_, IDC_OUTPUT_BITS, CB_SETCURSEL, bits, 0);
}

void ConfigDialog::showFormatSwitches() {
    const Settings& s = working_;
    for (const FormatRow& row : formatRows()) {
        setCheck(row.dialogBox, s.formatSwitches[row.settingsSwitch]);
        if (row.dialogParent != row.id)
            enableControl(row.dialogBox,
                          s.formatSwitches[formatRow(row.dialogParent)->settingsSwitch]);
    }
}

void ConfigDialog::showAmp() {
    int amp = working_.amp;
    int magnitude = amp < 0 ? -amp : amp;
    char text[32];
    std::snprintf(text, sizeof text, "%c%d.%.2d dB", amp < 0 ? '-' : '+', magnitude / 100,
                  magnitude % 100);
    setControlText(IDC_AMP_LABEL, text);
}

bool ConfigDialog::onButtonCommand(int id, UINT, WPARAM wParam, LPARAM) {
    if (HIWORD(wParam) != BN_CLICKED)
        return false;
    dispatchButton(*this, id);
    return true;
}

bool ConfigDialog::onComboBoxCommand(int id, UINT, WPARAM wParam, LPARAM) {
    if (HIWORD(wParam) != CBN_SELCHANGE)
        return false;
    onComboSelect(id);
    return true;
}

bool ConfigDialog::onScroll(int id, UINT, WPARAM, LPARAM) {
    if (id == 0)
        return false;
    if (id == IDC_AMP)
        onAmpScroll();
    return true;
}

void ConfigDialog::onAmpScroll() {
    int position = static_cast<int>(SendDlgItemMessageW(hwnd_, IDC_AMP, TBM_GETPOS, 0, 0));
    working_.amp = static_cast<int16_t>(position - AmpOffset);
    showAmp();
}

void ConfigDialog::onComboSelect(int id) {
    int index = comboSelection(id);
    if (index < 0)
        return;
    auto value = static_cast<uint32_t>(SendDlgItemMessageW(hwnd_, id, CB_GETITEMDATA, index, 0));
    if (id == IDC_MIXING_FREQUENCY)
        working_.mixingFrequency = value;
    else if (id == IDC_OUTPUT_BITS)
        working_.outputBits = static_cast<uint8_t>(value);
}

void ConfigDialog::onCheckBox(int id) {
    uint8_t* flag = checkBoxFlag(working_, id);
    if (!flag)
        return;
    *flag ^= 1;
    if (id == IDC_REMOVE_SILENCE || id == IDC_EXTRA_PLAY_TIME || id == IDC_FORCE_MONO)
        showSettings(false);
    else if (formatBoxFlag(working_, id))
        showFormatSwitches();
}

void ConfigDialog::onRadio(int id) {
    switch (id) {
    case IDC_TITLE_INTERNAL:
    case IDC_TITLE_WITH_FILE:
    case IDC_TITLE_TOLVA:
        working_.titleFormat = static_cast<uint32_t>(id - IDC_TITLE_INTERNAL);
        return;
    case IDC_NO_BACKWARD_JUMPS:
        working_.lengthMode = LengthNoBackwardJumps;
        break;
    case IDC_DETECT_LOOP:
        working_.lengthMode = LengthDetectLoop;
        break;
    case IDC_LOOP_BY_COUNT:
        working_.loopByCount = 1;
        break;
    case IDC_LOOP_BY_TIME:
        working_.loopByCount = 0;
        break;
    default:
        return;
    }
    showSettings(false);
}

void ConfigDialog::onButton(int id) {
    switch (id) {
    case IDOK:
        accept();
        closeDialog();
        break;
    case IDCANCEL:
        closeDialog();
        break;
    case IDC_RESET_DEFAULTS:
        setDefaults(working_);
        showSettings(true);
        break;
    default:
        break;
    }
}

void ConfigDialog::accept() {
    char text[32];
    getControlText(IDC_TRAILING_SECONDS, text);
    working_.trailingSilenceSeconds = parseUnsigned(text);
    getControlText(IDC_LOOP_COUNT, text);
    working_.loopCount = parseUnsigned(text);
    getControlText(IDC_EXTRA_SECONDS, text);
    working_.extraLoopSeconds = parseUnsigned(text);
    getControlText(IDC_MIXING_FREQUENCY, text);
    uint32_t frequency = parseUnsigned(text);
    if (frequency < MinMixingFrequency || frequency > MaxMixingFrequency)
        frequency = 44100;
    working_.mixingFrequency = frequency;

    owner_.applySettings(working_);
}

void runConfigDialog(HWND parent, HINSTANCE module, SettingsOwner& owner) {
    ConfigDialog dialog(parent, module, owner);
    dialog.runModal();
}

} // namespace tolva
