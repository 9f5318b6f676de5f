#pragma once

#include <functional>
#include <string>

#include "menus/PickerViewDataSource.h"

// Rows first, first + step, ... up to last, titled by a formatter. A stored value between two
// rows (or outside the range) selects the nearest row; the picker writes nothing until the user
// chooses, so an off-grid value survives opening and cancelling.
class NumericRangePickerSource : public PickerViewDataSource {
  public:
    // More rows than any wheel needs; guards against a step that is tiny by mistake.
    static constexpr int kMaxRows = 100000;

    NumericRangePickerSource(double first, double last, double step,
                             std::function<std::string(double)> format);

    int rowCount() const { return rows_; }
    std::string titleForRow(int row) const;
    // Clamped into the range; `first` for an empty range.
    double valueForRow(int row) const;
    // The nearest row; 0 for NaN or an empty range.
    int rowForValue(double value) const;
    bool isOnGrid(double value) const;

    int numberOfRowsInPickerView(PickerViewMenu*) override { return rowCount(); }
    std::string pickerViewTitleForRow(PickerViewMenu*, int row) override {
        return titleForRow(row);
    }

  private:
    double first_;
    double step_;
    int rows_ = 0;
    std::function<std::string(double)> format_;
};
