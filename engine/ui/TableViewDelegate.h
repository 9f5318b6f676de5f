#pragma once

namespace engine::ui {

class TableView;
class TableViewCell;

// Told when the user taps a row (a touch that began and ended on the row without dragging).
class TableViewDelegate {
  public:
    virtual ~TableViewDelegate() = default;
    // The delegate may reload or remove the table from here.
    virtual void tableCellTouched(TableView* table, TableViewCell* cell) = 0;
};

}  // namespace engine::ui
