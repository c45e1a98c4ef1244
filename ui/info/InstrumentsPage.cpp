#include "ui/info/InstrumentsPage.h"

#include "engine/Player.h"
#include "resources/DialogIds.h"
#include "ui/info/InfoDialog.h"
#include "ui/info/NumberText.h"

#include <algorithm>
#include <cstdio>

namespace tolva::ui {

namespace {

constexpr COLORREF GridLine = 0xC8C8C8;
constexpr COLORREF EnvelopeLine = 0x00FFFF;
constexpr COLORREF LoopMarker = 0xA0A0A0;
constexpr COLORREF SustainMarker = 0xA04646;

} // namespace

InstrumentsPage::InstrumentsPage(InfoDialog& owner, HINSTANCE module)
    : ListPage(owner, IDD_INFO_INSTRUMENTS, module) {}

bool InstrumentsPage::onInitDialog() {
    subclassControl(IDC_ENVELOPE_GRAPH);
    for (int id : {IDC_INSTRUMENT_LIST, IDC_INSTRUMENT_SAMPLES, IDC_INSTRUMENT_PROPERTIES,
                   IDC_ENVELOPE_POINTS})
        applySharedFont(id);
    setExtendedStyle(IDC_INSTRUMENT_LIST, LVS_EX_GRIDLINES | LVS_EX_FULLROWSELECT);
    setExtendedStyle(IDC_INSTRUMENT_SAMPLES, LVS_EX_GRIDLINES | LVS_EX_FULLROWSELECT);
    setExtendedStyle(IDC_INSTRUMENT_PROPERTIES, LVS_EX_FULLROWSELECT);
    setExtendedStyle(IDC_ENVELOPE_POINTS, LVS_EX_FULLROWSELECT);
    const int listWidths[] = {40, -2};
    setListColumns(IDC_INSTRUMENT_LIST, 2, listWidths, true);
    setListColumns(IDC_INSTRUMENT_SAMPLES, 2, listWidths, true);
    const int propertyWidths[] = {118, -2};
    setListColumns(IDC_INSTRUMENT_PROPERTIES, 2, propertyWidths, true);
    const int pointWidths[] = {40, 40};
    setListColumns(IDC_ENVELOPE_POINTS, 2, pointWidths, true);
    setCheck(IDC_ENVELOPE_VOLUME, true);
    reload();
    return false;
}

void InstrumentsPage::reload() {
    clearList(IDC_INSTRUMENT_LIST);
    selected_ = 0;
    Player* player = owner_.player();
    if (!player)
        return;
    const bool pitchEnvelopes = player->info().envelopeKinds() > EnvelopePitch;
    ShowWindow(control(IDC_ENVELOPE_PITCH), pitchEnvelopes ? SW_SHOW : SW_HIDE);
    for (uint32_t i = 0; i < player->info().instrumentCount(); ++i) {
        InstrumentDescription d;
        player->info().describeInstrument(d, i);
        char number[16];
        formatNumber(number, sizeof number, i + 1, false, 3);
        const char* texts[] = {number, d.valid ? d.name : ""};
        setListRow(IDC_INSTRUMENT_LIST, static_cast<int>(i), 2, texts, i);
    }
    showInstrument();
}

void InstrumentsPage::onItemChanged(int listId, const NMLISTVIEW& change) {
    if (listId != IDC_INSTRUMENT_LIST)
        return;
    selected_ = static_cast<uint32_t>(change.iItem);
    showInstrument();
    owner_.instrumentSelected(selected_);
}

void InstrumentsPage::addProperty(const char* label, const char* value) {
    const char* texts[] = {label, value};
    setListRow(IDC_INSTRUMENT_PROPERTIES, propertyRows_++, 2, texts, 0);
}

void InstrumentsPage::showInstrument() {
    clearList(IDC_INSTRUMENT_PROPERTIES);
    clearList(IDC_INSTRUMENT_SAMPLES);
    propertyRows_ = 0;
    Player* player = owner_.player();
    if (!player)
        return;
    PropertyList properties;
    player->info().describeInstrumentProperties(properties, selected_);
    for (uint32_t i = 0; i < properties.count; ++i)
        addProperty(properties.lines[i].label, properties.lines[i].value);
    if (player->info().samplesBelongToInstruments())
        for (uint32_t i = 0; i < player->info().instrumentSampleCount(selected_); ++i) {
            SampleDescription s;
            player->info().describeSample(s, i, selected_);
            char index[16];
            formatNumber(index, sizeof index, i, false, 3);
            const char* texts[] = {index, s.name};
            setListRow(IDC_INSTRUMENT_SAMPLES, static_cast<int>(i), 2, texts, i);
        }
    showEnvelope();
}

void InstrumentsPage::showEnvelope() {
    clearList(IDC_ENVELOPE_POINTS);
    EnvelopeView envelope;
    if (Player* player = owner_.player())
        player->info().describeEnvelope(envelope, selected_, kind_);
    for (uint32_t i = 0; i < envelope.count; ++i) {
        char tick[16], level[16];
        formatNumber(tick, sizeof tick, envelope.ticks[i]);
        formatNumber(level, sizeof level, envelope.values[i]);
        const char* texts[] = {tick, level};
        setListRow(IDC_ENVELOPE_POINTS, static_cast<int>(i), 2, texts, i);
    }
    drawGraph(envelope);
    redrawControl(IDC_ENVELOPE_GRAPH);
}

void InstrumentsPage::drawGraph(const EnvelopeView& envelope) {
    RECT client;
    GetClientRect(control(IDC_ENVELOPE_GRAPH), &client);
    if (!graph_.createBackBuffer(client.right, client.bottom))
        return;
    HDC dc = graph_.beginDraw();
    if (!dc)
        return;
    const int w = graph_.width(), h = graph_.height();
    RECT all = {0, 0, w, h};
    FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    const int lastTick = envelope.count ? std::max<int>(envelope.ticks[envelope.count - 1], 1) : 1;
    auto x = [&](uint32_t tick) { return 2 + static_cast<int>(tick) * (w - 5) / lastTick; };
    auto y = [&](uint32_t value) { return h - 3 - static_cast<int>(value) * (h - 5) / 64; };
    auto line = [&](COLORREF colour, int x0, int y0, int x1, int y1) {
        HPEN pen = CreatePen(PS_SOLID, 1, colour);
        HGDIOBJ old = SelectObject(dc, pen);
        MoveToEx(dc, x0, y0, nullptr);
        LineTo(dc, x1, y1);
        SelectObject(dc, old);
        DeleteObject(pen);
    };
    for (int level = 0; level <= 64; level += 16)
        line(GridLine, 0, y(level), w, y(level));
    if (envelope.centred)
        line(GridLine, 0, y(32) + 1, w, y(32) + 1);
    auto marker = [&](uint16_t point, COLORREF colour) {
        if (point < envelope.count)
            line(colour, x(envelope.ticks[point]), 0, x(envelope.ticks[point]), h);
    };
    marker(envelope.loopBegin, LoopMarker);
    marker(envelope.loopEnd, LoopMarker);
    marker(envelope.sustainBegin, SustainMarker);
    marker(envelope.sustainEnd, SustainMarker);
    for (uint32_t i = 1; i < envelope.count; ++i)
        line(EnvelopeLine, x(envelope.ticks[i - 1]), y(envelope.values[i - 1]),
             x(envelope.ticks[i]), y(envelope.values[i]));
    for (uint32_t i = 0; i < envelope.count; ++i) {
        RECT knob = {x(envelope.ticks[i]) - 2, y(envelope.values[i]) - 2, x(envelope.ticks[i]) + 3,
                     y(envelope.values[i]) + 3};
        FillRect(dc, &knob, static_cast<HBRUSH>(GetStockObject(GRAY_BRUSH)));
    }
    graph_.endDraw(dc);
}

bool InstrumentsPage::onControlMessage(int id, UINT message, WPARAM wParam, LPARAM lParam,
                                       LRESULT& result) {
    if (id != IDC_ENVELOPE_GRAPH)
        return ListPage::onControlMessage(id, message, wParam, lParam, result);
    if (message == WM_ERASEBKGND) {
        result = 1;
        return true;
    }
    if (message != WM_PAINT)
        return false;
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(control(id), &paint);
    HDC source = graph_.beginDraw();
    if (source) {
        BitBlt(dc, 0, 0, graph_.width(), graph_.height(), source, 0, 0, SRCCOPY);
        graph_.endDraw(source);
    }
    EndPaint(control(id), &paint);
    result = 0;
    return true;
}

bool InstrumentsPage::onButtonCommand(int id, UINT, WPARAM wParam, LPARAM) {
    if (HIWORD(wParam) != BN_CLICKED)
        return false;
    dispatchButton(*this, id);
    return true;
}

void InstrumentsPage::onRadio(int id) {
    kind_ = id == IDC_ENVELOPE_VOLUME ? 0 : id == IDC_ENVELOPE_PANNING ? 1 : 2;
    showEnvelope();
}

void InstrumentsPage::growBy(int dw, int dh) {
    ChildDialog::growBy(dw, dh);
    growControl(IDC_INSTRUMENT_LIST, 0, dh);
    growControl(IDC_INSTRUMENT_PROPERTIES, 0, dh);
    growControl(IDC_ENVELOPE_GRAPH, dw, dh);
    moveControl(IDC_ENVELOPE_POINTS, 0, dh);
    moveControl(IDC_INSTRUMENT_SAMPLES, 0, dh);
    showEnvelope();
}

} // namespace tolva::ui
