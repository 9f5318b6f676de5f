#pragma once

#include <sys/types.h>

#include "engine/base/Types.h"

namespace engine::ui {

class TableView;
class TableViewCell;

// What a TableView asks of its owner: the size of each row, the cell showing a row, and how
// many rows there are. Rows are numbered from 0 at the top.
class TableViewDataSource {
  public:
    virtual ~TableViewDataSource() = default;

    // By default every row has the size cellSizeForTable gives.
    virtual Size tableCellSizeForIndex(TableView* table, ssize_t idx) {
        (void)idx;
        return cellSizeForTable(table);
    }
    virtual Size cellSizeForTable(TableView* table) {
        (void)table;
        return Size::ZERO;
    }
    // A cell from table->dequeueCell() or a new autoreleased one, set up for row idx.
    virtual TableViewCell* tableCellAtIndex(TableView* table, ssize_t idx) = 0;
    virtual ssize_t numberOfCellsInTableView(TableView* table) = 0;
};

}  // namespace engine::ui
