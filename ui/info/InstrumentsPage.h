#pragma once
#include "engine/Descriptions.h"
#include "ui/framework/BackBuffer.h"
#include "ui/framework/ButtonHandler.h"
#include "ui/info/ListPage.h"

namespace tolva::ui {

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
    BackBuffer graph_;
};

} // namespace tolva::ui
