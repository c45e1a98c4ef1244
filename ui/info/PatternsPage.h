#pragma once
#include "engine/CellText.h"
#include "engine/Descriptions.h"
#include "ui/info/ListPage.h"

#include <vector>

namespace tolva::ui {

// The order list and the pattern of the selected order entry as a painted grid.
class PatternsPage : public ListPage {
public:
    PatternsPage(InfoDialog& owner, HINSTANCE module);

    bool onInitDialog() override;
    void growBy(int dw, int dh) override;
    // Fills the order list and shows the pattern of the first order entry.
    void reload();
    // Takes a fresh song description (the same song, reloaded).
    void renewDescription();
    // Rebuilds the grid for `pattern`; a negative number empties it.
    void showPattern(int pattern);

private:
    void onItemChanged(int listId, const NMLISTVIEW& change) override;
    bool drawItem(int listId, int item, UINT state, HDC dc, const RECT& rect) override;
    void drawSettings(HDC dc, const RECT& cell, uint32_t channel);
    int headerRows() const { return description_.showChannelSettings ? 2 : 1; }

    SongDescription description_;
    bool filled_ = false;
    uint32_t channels_ = 0; // grid columns after the row numbers
    uint32_t rows_ = 0;
    std::vector<CellText> cells_;
};

} // namespace tolva::ui
