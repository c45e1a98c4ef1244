#pragma once
#include "engine/Descriptions.h"
#include "ui/framework/BackBuffer.h"
#include "ui/framework/ButtonHandler.h"
#include "ui/info/ListPage.h"

namespace tolva::ui {

// One envelope of an instrument as the graph shows it: values 0..64, ticks from 0.
struct EnvelopeView {
    static constexpr uint16_t None = 0xFFFF;
    uint16_t ticks[25] = {};
    uint8_t values[25] = {};
    uint32_t count = 0;
    uint16_t loopBegin = None, loopEnd = None;
    uint16_t sustainBegin = None, sustainEnd = None;
    bool centred = false;
};

// Reads envelope `kind` (0 volume, 1 panning, 2 pitch/filter) out of a format's instrument
// record; false when the record has no such envelope.
bool readEnvelope(const InstrumentDescription& instrument, uint32_t kind, EnvelopeView& out);

// The song's instruments, the properties and samples of the selected one and a graph of its
// volume, panning or pitch/filter envelope.
class InstrumentsPage : public ListPage, private ButtonHandler {
public:
    InstrumentsPage(InfoDialog& owner, HINSTANCE module);

    bool onInitDialog() override;
    bool onButtonCommand(int id, UINT message, WPARAM wParam, LPARAM lParam) override;
    bool onControlMessage(int id, UINT message, WPARAM wParam, LPARAM lParam,
                          LRESULT& result) override;
    void growBy(int dw, int dh) override;
    void reload();

private:
    void onItemChanged(int listId, const NMLISTVIEW& change) override;
    void onButton(int) override {}
    void onCheckBox(int) override {}
    void onRadio(int id) override;

    void showInstrument();
    void showEnvelope();
    void addProperty(const char* label, const char* value);
    void drawGraph(const EnvelopeView& envelope);

    uint32_t selected_ = 0;
    uint32_t kind_ = 0;
    int propertyRows_ = 0;
    InstrumentDescription instrument_;
    BackBuffer graph_;
};

} // namespace tolva::ui
