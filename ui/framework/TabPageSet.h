#pragma once
#include <cstdint>

namespace tolva::ui {

class ChildDialog;

// The pages of a tab control, kept in the control's user-data slot.
struct TabPageSet {
    static constexpr uint32_t Capacity = 16;
    ChildDialog* pages[Capacity] = {};
    const wchar_t* titles[Capacity] = {};
    uint32_t count = 0;
    uint32_t current = 0; // the page shown

    // False when the set is full.
    bool add(ChildDialog& page, const wchar_t* title);
};

} // namespace tolva::ui
