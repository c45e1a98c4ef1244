#pragma once

namespace tolva::ui {

// Clicks sorted by the style of the button that was clicked (Dialog::dispatchButton).
class ButtonHandler {
public:
    // Push buttons and every style not named below.
    virtual void onButton(int id) = 0;
    // Check boxes and automatic check boxes.
    virtual void onCheckBox(int id) = 0;
    // Radio buttons and automatic radio buttons.
    virtual void onRadio(int id) = 0;

protected:
    ~ButtonHandler() = default;
};

} // namespace tolva::ui
