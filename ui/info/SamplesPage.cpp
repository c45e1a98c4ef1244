#include "ui/info/SamplesPage.h"

#include "engine/CellText.h"
#include "engine/Player.h"
#include "resources/DialogIds.h"
#include "ui/info/InfoDialog.h"
#include "ui/info/NumberText.h"

#include <algorithm>
#include <cstdio>

namespace tolva::ui {

namespace {

constexpr COLORREF WaveColour = 0x0080FF;
constexpr COLORREF SustainColour = 0xFF6464;
constexpr LPARAM PictureRow = 0x100; // + channel: rows that show a waveform

const char* loopName(uint8_t kind) {
    return kind == LoopPingPong ? "Ping pong" : kind == LoopForward ? "Forward" : "None";
}

void dottedLine(HDC dc, int x, int height, COLORREF colour) {
    HPEN pen = CreatePen(PS_DOT, 1, colour);
    HGDIOBJ old = SelectObject(dc, pen);
    MoveToEx(dc, x, 0, nullptr);
    LineTo(dc, x, height);
    SelectObject(dc, old);
    DeleteObject(pen);
}

} // namespace

SamplesPage::SamplesPage(InfoDialog& owner, HINSTANCE module)
    : ListPage(owner, IDD_INFO_SAMPLES, module) {}

bool SamplesPage::onInitDialog() {
    applySharedFont(IDC_SAMPLE_LIST);
    applySharedFont(IDC_SAMPLE_DETAILS);
    setExtendedStyle(IDC_SAMPLE_LIST, LVS_EX_GRIDLINES | LVS_EX_FULLROWSELECT);
    setExtendedStyle(IDC_SAMPLE_DETAILS, LVS_EX_FULLROWSELECT);
    const int listWidths[] = {40, -2};
    setListColumns(IDC_SAMPLE_LIST, 2, listWidths, true);
    const int detailWidths[] = {80, -2};
    setListColumns(IDC_SAMPLE_DETAILS, 2, detailWidths, true);
    reload(true);
    return false;
}

void SamplesPage::showInstrument(uint32_t instrument) {
    instrument_ = instrument;
    reload(true);
}

void SamplesPage::reload(bool first) {
    if (first)
        fillSampleList();
    showDetails();
    SetFocus(control(IDC_SAMPLE_LIST));
    enableControl(IDC_LOAD_SAMPLE_DATA, owner_.infoOnly());
}

void SamplesPage::fillSampleList() {
    clearList(IDC_SAMPLE_LIST);
    selected_ = 0;
    Player* player = owner_.player();
    if (!player)
        return;
    const bool byInstrument = player->info().samplesBelongToInstruments();
    const uint32_t count =
        byInstrument ? player->info().instrumentSampleCount(instrument_) : player->song.sampleCount;
    for (uint32_t i = 0; i < count; ++i) {
        SampleDescription s;
        player->info().describeSample(s, i, instrument_);
        char number[16];
        formatNumber(number, sizeof number, byInstrument ? i : i + 1, false, 3);
        const char* texts[] = {number, s.name};
        setListRow(IDC_SAMPLE_LIST, static_cast<int>(i), 2, texts, i);
    }
    LVITEMW item{};
    item.stateMask = item.state = LVIS_SELECTED | LVIS_FOCUSED;
    SendDlgItemMessageW(hwnd_, IDC_SAMPLE_LIST, LVM_SETITEMSTATE, 0,
                        reinterpret_cast<LPARAM>(&item));
}

void SamplesPage::onItemChanged(int listId, const NMLISTVIEW& change) {
    if (listId != IDC_SAMPLE_LIST)
        return;
    selected_ = static_cast<uint32_t>(change.iItem);
    showDetails();
}

void SamplesPage::addDetail(const char* label, const char* value, LPARAM picture) {
    const char* texts[] = {label, value};
    setListRow(IDC_SAMPLE_DETAILS, detailRows_++, 2, texts, picture);
}

void SamplesPage::addNumber(const char* label, int64_t number) {
    char value[32];
    formatNumber(value, sizeof value, number);
    addDetail(label, value);
}

void SamplesPage::showDetails() {
    clearList(IDC_SAMPLE_DETAILS);
    detailRows_ = 0;
    pictures_[0].releaseBackBuffer();
    pictures_[1].releaseBackBuffer();
    Player* player = owner_.player();
    if (!player)
        return;
    SampleDescription s;
    player->info().describeSample(s, selected_, instrument_);
    addIdentity(s);
    addPitch(s);
    addLevels(s);
    addLoops(s);
    addWaveforms(s);
}

void SamplesPage::addIdentity(const SampleDescription& s) {
    if (s.fieldMask & SampleFieldInstrument)
        addNumber("#Instr:", s.instrumentNumber);
    if (s.fieldMask & SampleFieldFileName)
        addDetail("Dos name:", s.fileName);
    if (s.fieldMask & SampleFieldLength)
        addNumber("Length:", s.length);
}

void SamplesPage::addPitch(const SampleDescription& s) {
    char value[32];
    if (s.fieldMask & SampleFieldFinetune)
        addNumber("Fine tune:", s.finetune);
    if (s.fieldMask & SampleFieldRelativeNote) {
        char note[4];
        writeNoteName(static_cast<uint32_t>(48 + s.relativeNote), note);
        std::snprintf(value, sizeof value, "%s (%d)", note, s.relativeNote);
        addDetail("Rel To:", value);
    }
    if (s.fieldMask & SampleFieldReferenceRate) {
        char label[32];
        std::snprintf(label, sizeof label, "C-%u Speed:", static_cast<unsigned>(s.referenceOctave));
        std::snprintf(value, sizeof value, "%u Hz", static_cast<unsigned>(s.referenceRate));
        addDetail(label, value);
    }
}

void SamplesPage::addLevels(const SampleDescription& s) {
    if (s.fieldMask & SampleFieldDefaultVolume)
        addNumber("Def vol:", s.defaultVolume);
    if (s.fieldMask & SampleFieldGlobalVolume)
        addNumber("Glob vol:", s.globalVolume);
    if (s.fieldMask & (SampleFieldDefaultPanning | SampleFieldDefaultPanningAlt))
        addNumber("Def pan:", s.defaultPanning);
    if (s.fieldMask & SampleFieldType) {
        char value[32];
        std::snprintf(value, sizeof value, "%s %s %s",
                      (s.typeFlags & SampleType16Bit) ? "16 bit," : "8 bit,",
                      (s.typeFlags & SampleTypeUnsigned) ? "unsigned," : "signed,",
                      (s.typeFlags & SampleTypeStereo) ? "stereo" : "mono");
        addDetail("Type:", value);
    }
}

void SamplesPage::addLoops(const SampleDescription& s) {
    if (s.fieldMask & SampleFieldLoop) {
        addDetail("Loop:", loopName(s.loopKind));
        addNumber("Start:", s.loopStart);
        addNumber("End:", s.loopEnd);
    }
    if (s.fieldMask & SampleFieldSustainLoop) {
        addDetail("SusLoop:", loopName(s.sustainLoopKind));
        addNumber("Start:", s.sustainLoopStart);
        addNumber("End:", s.sustainLoopEnd);
    }
    if (s.fieldMask & SampleFieldAutoVibrato) {
        static const char* const Waves[] = {"Sine", "Ramp", "Square", "Random"};
        addDetail("Vib wave:", Waves[s.vibratoWaveform & 3]);
        addNumber("Vib depth:", s.vibratoDepth);
        addNumber("Vib speed:", s.vibratoSpeed);
        addNumber("Vib rate:", s.vibratoRate);
    }
}

void SamplesPage::addWaveforms(const SampleDescription& s) {
    if (!s.data || s.length == 0)
        return;
    // Two rows per picture, as wide as a row of the list.
    RECT row{};
    row.left = LVIR_BOUNDS;
    SendDlgItemMessageW(hwnd_, IDC_SAMPLE_DETAILS, LVM_GETITEMRECT, 0,
                        reinterpret_cast<LPARAM>(&row));
    RECT client;
    GetClientRect(control(IDC_SAMPLE_DETAILS), &client);
    const uint32_t channels = (s.typeFlags & SampleTypeStereo) ? 2 : 1;
    for (uint32_t c = 0; c < channels; ++c) {
        if (pictures_[c].createBackBuffer(client.right, 2 * (row.bottom - row.top)))
            drawWaveform(pictures_[c], s, c);
        addDetail("", "", PictureRow + c);
        addDetail("", "", PictureRow + c);
    }
}

void SamplesPage::drawWaveform(BackBuffer& buffer, const SampleDescription& s, uint32_t channel) {
    HDC dc = buffer.beginDraw();
    if (!dc)
        return;
    const int width = buffer.width(), height = buffer.height();
    RECT all = {0, 0, width, height};
    FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    const bool wide = s.typeFlags & SampleType16Bit;
    const uint32_t channels = (s.typeFlags & SampleTypeStereo) ? 2 : 1;
    const uint32_t frameBytes = (wide ? 2 : 1) * channels;
    const uint32_t frames = s.length;
    const uint32_t n = std::min<uint32_t>(static_cast<uint32_t>(width), frames);
    if (n == 0) {
        buffer.endDraw(dc);
        return;
    }
    std::vector<POINT> points(n);
    for (uint32_t x = 0; x < n; ++x) {
        const uint64_t frame = static_cast<uint64_t>(x) * frames / n;
        const uint8_t* at = s.data + frame * frameBytes + channel * (wide ? 2 : 1);
        uint32_t u = wide ? at[1] : at[0]; // the most significant byte
        if (!(s.typeFlags & SampleTypeUnsigned))
            u ^= 0x80;
        points[x] = {static_cast<LONG>(x), static_cast<LONG>(height - 1 - u * height / 256)};
    }
    HPEN pen = CreatePen(PS_SOLID, 1, WaveColour);
    HGDIOBJ old = SelectObject(dc, pen);
    if (n > 1)
        Polyline(dc, points.data(), static_cast<int>(n));
    SelectObject(dc, old);
    DeleteObject(pen);
    if (s.loopKind != LoopNone) {
        dottedLine(dc, static_cast<int>((n - 1) * uint64_t{s.loopStart} / s.length), height, 0);
        dottedLine(dc, static_cast<int>((n - 1) * uint64_t{s.loopEnd} / s.length), height, 0);
    }
    if (s.sustainLoopKind != LoopNone) {
        dottedLine(dc, static_cast<int>((n - 1) * uint64_t{s.sustainLoopStart} / s.length), height,
                   SustainColour);
        dottedLine(dc, static_cast<int>((n - 1) * uint64_t{s.sustainLoopEnd} / s.length), height,
                   SustainColour);
    }
    buffer.endDraw(dc);
}

bool SamplesPage::drawItem(int listId, int item, UINT, HDC dc, const RECT& rect) {
    if (listId != IDC_SAMPLE_DETAILS)
        return false;
    LVITEMW row{};
    row.mask = LVIF_PARAM;
    row.iItem = item;
    SendDlgItemMessageW(hwnd_, listId, LVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&row));
    if (row.lParam < PictureRow)
        return false;
    // The first of the two rows draws the whole picture; the second leaves it be.
    LVITEMW above{};
    above.mask = LVIF_PARAM;
    above.iItem = item - 1;
    SendDlgItemMessageW(hwnd_, listId, LVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&above));
    int top = rect.top;
    if (item > 0 && above.lParam == row.lParam)
        top -= rect.bottom - rect.top;
    BackBuffer& picture = pictures_[row.lParam - PictureRow];
    HDC source = picture.beginDraw();
    if (source) {
        BitBlt(dc, rect.left, top, picture.width(), picture.height(), source, 0, 0, SRCCOPY);
        picture.endDraw(source);
    }
    return true;
}

bool SamplesPage::onButtonCommand(int id, UINT, WPARAM wParam, LPARAM) {
    if (HIWORD(wParam) != BN_CLICKED)
        return false;
    dispatchButton(*this, id);
    return true;
}

void SamplesPage::onButton(int id) {
    if (id == IDC_LOAD_SAMPLE_DATA)
        PostMessageW(owner_.hwnd(), InfoDialog::LoadSampleDataMessage, 0, 0);
}

void SamplesPage::growBy(int dw, int dh) {
    ChildDialog::growBy(dw, dh);
    growControl(IDC_SAMPLE_LIST, dw, dh);
    moveAndGrowControl(IDC_SAMPLE_DETAILS, dw, 0, 0, dh);
    moveControl(IDC_LOAD_SAMPLE_DATA, dw, dh);
    SendDlgItemMessageW(hwnd_, IDC_SAMPLE_LIST, LVM_SETCOLUMNWIDTH, 1, LVSCW_AUTOSIZE_USEHEADER);
}

} // namespace tolva::ui
