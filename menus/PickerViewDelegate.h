#pragma once

class PickerViewMenu;

// Told what the user did with a picker: chose a row (Enter, CHOOSE or a tap on the row under the
// band) or left it without choosing (Escape, CANCEL).
class PickerViewDelegate {
  public:
    virtual ~PickerViewDelegate() = default;
    virtual void pickerViewDidChooseRow(PickerViewMenu* picker, int row) = 0;
    virtual void pickerViewDidCancel(PickerViewMenu* /*picker*/) {}
};
