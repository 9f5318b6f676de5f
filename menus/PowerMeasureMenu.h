#pragma once

#include "menus/MenuLayer.h"
#include "menus/PickerSession.h"

class PickerViewMenu;

// Which pulse measurement each of the six rows of the power view's measurement panel shows,
// and a row that starts the panel's statistics over (the R key does the same).
class PowerMeasureMenu : public MenuLayer {
  public:
    static constexpr int kSlots = 6;
    static constexpr int kResetRow = kSlots;
    static constexpr int kPickerRows = 16;

    static PowerMeasureMenu* create();
    bool init() override;

    // The measurement id a picker row offers (row 0: none); only measurements with a computed
    // value are offered.
    static int idForRow(int row);

    // Opens the picker for slot 0..5 on the row of its current measurement (row 0 for none or
    // an id that is not offered).
    PickerViewMenu* openPicker(int slot);
    PickerViewMenu* getPicker() const { return picker_.getPicker(); }
    // The slot whose picker is or was last open, -1 before any.
    int getPickerSlot() const { return pickerSlot_; }

  private:
    PowerMeasureMenu() = default;

    int pickerSlot_ = -1;
    PickerSession picker_;
};
