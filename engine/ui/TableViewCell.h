#pragma once

#include <sys/types.h>

#include "engine/2d/Node.h"

namespace engine::ui {

// One row of a TableView. The table places it by its bottom-left corner, remembers which row
// it shows, and hands it back through dequeueCell once the row scrolls out of view.
class TableViewCell : public Node {
  public:
    static constexpr ssize_t INVALID_INDEX = -1;

    CREATE_FUNC(TableViewCell)

    ssize_t getIdx() const { return _idx; }
    void setIdx(ssize_t idx) { _idx = idx; }
    // Forgets the row; the table calls it when it takes the cell back.
    void reset() { _idx = INVALID_INDEX; }

  protected:
    TableViewCell() = default;

    ssize_t _idx = INVALID_INDEX;
};

}  // namespace engine::ui
