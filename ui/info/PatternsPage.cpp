#include "ui/info/PatternsPage.h"

#include "engine/Player.h"
#include "resources/DialogIds.h"
#include "ui/info/InfoDialog.h"
#include "ui/info/NumberText.h"

#include <cstdio>

namespace tolva::ui {

namespace {

constexpr COLORREF GridText = 0x00FF00;
constexpr COLORREF GridHeaderText = 0xFFFFFF;
constexpr COLORREF GridShade = 0x303030;
constexpr COLORREF DisabledText = 0x323232;
constexpr COLORREF DisabledShade = 0xB0B0B0;
constexpr COLORREF DisabledBack = 0x808080;
constexpr COLORREF CellEdge = 0x00FFFF;
constexpr COLORREF VolumeLine = 0x400080;
constexpr COLORREF VolumeKnob = 0xC80080;
constexpr COLORREF PanningLine = 0x0080FF;
constexpr COLORREF PanningKnob = 0x00C8FF;
constexpr COLORREF SurroundText = 0x0080FF;

void fill(HDC dc, const RECT& r, COLORREF colour) {
    SetBkColor(dc, colour);
    ExtTextOutW(dc, 0, 0, ETO_OPAQUE, &r, nullptr, 0, nullptr);
}

// A horizontal line through the middle of `area` and a 9 x 9 knob at the value.
void drawSlider(HDC dc, const RECT& area, int value, int maximum, COLORREF line, COLORREF knob) {
    int middle = (area.top + area.bottom) / 2;
    HPEN pen = CreatePen(PS_SOLID, 1, line);
    HGDIOBJ old = SelectObject(dc, pen);
    MoveToEx(dc, area.left + 10, middle, nullptr);
    LineTo(dc, area.right - 10, middle);
    SelectObject(dc, old);
    DeleteObject(pen);
    int x = area.left + 10 + (area.right - area.left - 20) * value / maximum;
    RECT square = {x - 4, middle - 4, x + 5, middle + 5};
    fill(dc, square, knob);
}

} // namespace

PatternsPage::PatternsPage(InfoDialog& owner, HINSTANCE module)
    : ListPage(owner, IDD_INFO_PATTERNS, module) {}

bool PatternsPage::onInitDialog() {
    subclassControl(IDC_PATTERN_GRID);
    applySharedFont(IDC_ORDER_LIST);
    applySharedFont(IDC_PATTERN_GRID);
    setExtendedStyle(IDC_ORDER_LIST, LVS_EX_GRIDLINES | LVS_EX_FULLROWSELECT);
    const int widths[] = {30, 35};
    setListColumns(IDC_ORDER_LIST, 2, widths, true);
    SendDlgItemMessageW(hwnd_, IDC_PATTERN_GRID, LVM_SETBKCOLOR, 0, 0);
    reload();
    return false;
}

void PatternsPage::reload() {
    clearList(IDC_ORDER_LIST);
    clearList(IDC_PATTERN_GRID);
    filled_ = false;
    HWND grid = control(IDC_PATTERN_GRID);
    while (SendMessageW(grid, LVM_DELETECOLUMN, 0, 0)) {
    }
    Player* player = owner_.player();
    if (!player)
        return;
    player->info().describeSong(description_);
    channels_ = std::min(description_.channelCount, DescribedChannels);

    int row = 0;
    for (const int32_t* order = description_.orders; order && *order != OrderEnd; ++order, ++row) {
        char index[16], pattern[16];
        formatNumber(index, sizeof index, row, false, 3);
        if (*order == OrderSkip)
            std::snprintf(pattern, sizeof pattern, "+++");
        else if (*order < 0)
            std::snprintf(pattern, sizeof pattern, "---");
        else
            formatNumber(pattern, sizeof pattern, *order, false, 3);
        const char* texts[] = {index, pattern};
        setListRow(IDC_ORDER_LIST, row, 2, texts, row);
    }
    std::vector<int> widths(channels_ + 1, 110);
    widths[0] = 40;
    setListColumns(IDC_PATTERN_GRID, static_cast<int>(channels_ + 1), widths.data(), true);
    showPattern(description_.orders ? description_.orders[0] : -1);
}

void PatternsPage::renewDescription() {
    if (Player* player = owner_.player())
        player->info().describeSong(description_);
    redrawControl(IDC_PATTERN_GRID);
}

void PatternsPage::showPattern(int pattern) {
    suspendPaint_ = pattern >= 0;
    clearList(IDC_PATTERN_GRID);
    filled_ = false;
    Player* player = owner_.player();
    if (pattern >= 0 && player) {
        const uint32_t channels = channels_;
        std::vector<const char*> texts(channels + 1);
        std::vector<std::string> numbers(channels + 1);
        for (uint32_t c = 1; c <= channels; ++c)
            numbers[c] = std::to_string(c);
        for (uint32_t c = 0; c <= channels; ++c)
            texts[c] = numbers[c].c_str();
        for (int header = 0; header < headerRows(); ++header)
            setListRow(IDC_PATTERN_GRID, header, static_cast<int>(channels + 1), texts.data(), 0);

        PatternDescription description;
        player->info().describePattern(description, static_cast<uint32_t>(pattern));
        rows_ = description.rows;
        cells_.assign(static_cast<std::size_t>(rows_) * channels, CellText{});
        if (player->info().writePatternText(description, channels, cells_.data())) {
            for (uint32_t r = 0; r < rows_; ++r) {
                numbers[0] = std::to_string(r);
                texts[0] = numbers[0].c_str();
                for (uint32_t c = 0; c < channels; ++c)
                    texts[c + 1] = cells_[r * channels + c].text;
                setListRow(IDC_PATTERN_GRID, headerRows() + static_cast<int>(r),
                           static_cast<int>(channels + 1), texts.data(), 0);
            }
        }
    }
    filled_ = true;
    suspendPaint_ = false;
    redrawControl(IDC_PATTERN_GRID);
}

void PatternsPage::onItemChanged(int listId, const NMLISTVIEW& change) {
    if (listId != IDC_ORDER_LIST || !description_.orders)
        return;
    showPattern(description_.orders[change.iItem]);
}

bool PatternsPage::drawItem(int listId, int item, UINT, HDC dc, const RECT&) {
    if (listId != IDC_PATTERN_GRID)
        return false;
    if (!filled_)
        return true;
    HWND grid = control(IDC_PATTERN_GRID);
    const int columns = static_cast<int>(channels_) + 1;
    const bool shaded = item % 4 == 2;
    wchar_t text[CellTextCapacity + 8];
    HPEN edge = CreatePen(PS_SOLID, 1, CellEdge);
    HGDIOBJ oldPen = SelectObject(dc, edge);
    SetBkMode(dc, TRANSPARENT);
    for (int column = 0; column < columns; ++column) {
        RECT cell{};
        cell.top = column;
        cell.left = LVIR_BOUNDS;
        SendMessageW(grid, LVM_GETSUBITEMRECT, item, reinterpret_cast<LPARAM>(&cell));
        if (column == 0) // the bounds of sub-item 0 span the whole row
            cell.right = cell.left + static_cast<int>(SendMessageW(grid, LVM_GETCOLUMNWIDTH, 0, 0));
        const uint32_t channel = static_cast<uint32_t>(column - 1);
        const bool disabled =
            column > 0 && channel < DescribedChannels && description_.channelDisabled[channel];
        COLORREF back = shaded ? GridShade : 0;
        COLORREF ink = (column == 0 || item == 0) ? GridHeaderText : GridText;
        if (disabled) {
            back = shaded ? DisabledShade : DisabledBack;
            ink = DisabledText;
        }
        fill(dc, cell, back);
        if (item == 1 && description_.showChannelSettings && column > 0) {
            drawSettings(dc, cell, channel);
        } else {
            LVITEMW sub{};
            sub.iSubItem = column;
            sub.pszText = text;
            sub.cchTextMax = static_cast<int>(sizeof text / sizeof text[0]);
            SendMessageW(grid, LVM_GETITEMTEXTW, item, reinterpret_cast<LPARAM>(&sub));
            SetTextColor(dc, ink);
            DrawTextW(dc, text, -1, &cell, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
        }
        MoveToEx(dc, cell.right - 1, cell.top, nullptr);
        LineTo(dc, cell.right - 1, cell.bottom);
    }
    SelectObject(dc, oldPen);
    DeleteObject(edge);
    return true;
}

void PatternsPage::drawSettings(HDC dc, const RECT& cell, uint32_t channel) {
    if (channel >= DescribedChannels)
        return;
    RECT upper = cell, lower = cell;
    upper.bottom = lower.top = (cell.top + cell.bottom) / 2;
    if (description_.channelVolume[channel] != 0xFF)
        drawSlider(dc, upper, description_.channelVolume[channel], 64, VolumeLine, VolumeKnob);
    if (description_.channelSurround[channel]) {
        SetTextColor(dc, SurroundText);
        DrawTextW(dc, L"Srnd", -1, &lower, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    } else {
        drawSlider(dc, lower, description_.channelPanning[channel], 255, PanningLine, PanningKnob);
    }
}

void PatternsPage::growBy(int dw, int dh) {
    ChildDialog::growBy(dw, dh);
    growControl(IDC_ORDER_LIST, 0, dh);
    growControl(IDC_PATTERN_GRID, dw, dh);
}

} // namespace tolva::ui
