#pragma once

#include <string>

class PickerViewMenu;

// What a picker wheel shows: how many rows and each row's title. Rows are numbered from 0.
class PickerViewDataSource {
  public:
    virtual ~PickerViewDataSource() = default;
    virtual int numberOfRowsInPickerView(PickerViewMenu* picker) = 0;
    virtual std::string pickerViewTitleForRow(PickerViewMenu* picker, int row) = 0;
};
