#pragma once

#include <string>
#include <vector>

#include "menus/PickerViewDataSource.h"

// Rows from a table of values and their titles, looked up both ways. A stored value that is not
// in the table (an old or damaged configuration) selects row 0 rather than nothing.
class ValueTablePickerSource : public PickerViewDataSource {
  public:
    struct Entry {
        double value;
        std::string title;
    };

    explicit ValueTablePickerSource(std::vector<Entry> entries) : entries_(std::move(entries)) {}

    int rowCount() const { return static_cast<int>(entries_.size()); }
    // Empty outside the table.
    std::string titleForRow(int row) const;
    // Clamped into the table; 0 for an empty table.
    double valueForRow(int row) const;
    // The row holding the value, else 0.
    int rowForValue(double value) const;
    bool contains(double value) const;

    int numberOfRowsInPickerView(PickerViewMenu*) override { return rowCount(); }
    std::string pickerViewTitleForRow(PickerViewMenu*, int row) override {
        return titleForRow(row);
    }

  private:
    int find(double value) const;

    std::vector<Entry> entries_;
};
