#pragma once
#include "engine/Descriptions.h"
#include "ui/framework/BackBuffer.h"
#include "ui/framework/ButtonHandler.h"
#include "ui/info/ListPage.h"

namespace tolva::ui {

// The song's samples (or one instrument's), the details of the selected one and, with the
// sample data loaded, its waveform.
class SamplesPage : public ListPage, private ButtonHandler {
public:
    SamplesPage(InfoDialog& owner, HINSTANCE module);

    bool onInitDialog() override;
    bool onButtonCommand(int id, UINT message, WPARAM wParam, LPARAM lParam) override;
    void growBy(int dw, int dh) override;
    // With `first` the sample list is filled again and its first row selected.
    void reload(bool first);
    // Lists the samples of `instrument` (songs whose samples belong to instruments).
    void showInstrument(uint32_t instrument);

private:
    void onItemChanged(int listId, const NMLISTVIEW& change) override;
    bool drawItem(int listId, int item, UINT state, HDC dc, const RECT& rect) override;
    void onButton(int id) override;
    void onCheckBox(int) override {}
    void onRadio(int) override {}

    void fillSampleList();
    void showDetails();
    void addDetail(const char* label, const char* value, LPARAM picture = 0);
    void addNumber(const char* label, int64_t number);
    // The rows of the details list, in the order shown, each kind present when the format
    // has it.
    void addIdentity(const SampleDescription& s);
    void addPitch(const SampleDescription& s);
    void addLevels(const SampleDescription& s);
    void addLoops(const SampleDescription& s);
    // Two rows for each channel's picture, when the sample data is loaded.
    void addWaveforms(const SampleDescription& s);
    void drawWaveform(BackBuffer& buffer, const SampleDescription& s, uint32_t channel);

    uint32_t selected_ = 0;
    uint32_t instrument_ = 0;
    int detailRows_ = 0;
    BackBuffer pictures_[2];
};

} // namespace tolva::ui
