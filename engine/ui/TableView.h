#pragma once

#include <sys/types.h>

#include <vector>

#include "engine/ui/ScrollView.h"

namespace engine::ui {

class TableViewCell;
class TableViewDataSource;
class TableViewDelegate;

// A vertical list of rows over a ScrollView. Only the rows in view have cells: a row scrolling
// out gives its cell back to a free list that the data source draws from with dequeueCell, so
// a table of thousands of rows keeps about a screenful of cells. Row 0 is at the top
// (TOP_DOWN, the default) or at the bottom (BOTTOM_UP). Neither the data source nor the
// delegate is retained.
class TableView : public ScrollView {
  public:
    enum class VerticalFillOrder { TOP_DOWN, BOTTOM_UP };

    static TableView* create(TableViewDataSource* dataSource, const Size& size);
    ~TableView() override;
    bool initWithViewSize(const Size& size);

    void setDataSource(TableViewDataSource* dataSource) { _dataSource = dataSource; }
    TableViewDataSource* getDataSource() const { return _dataSource; }
    void setDelegate(TableViewDelegate* delegate) { _tableViewDelegate = delegate; }
    TableViewDelegate* getDelegate() const { return _tableViewDelegate; }
    void setVerticalFillOrder(VerticalFillOrder order);
    VerticalFillOrder getVerticalFillOrder() const { return _fillOrder; }

    // Asks the data source again for the row count, the row sizes and the visible cells. The
    // place in the list is kept: with rows at the top, the distance of the view from the top
    // of the list stays the same (as far as the new list allows).
    void reloadData();
    // A cell that has left the view, autoreleased, or nullptr when there is none.
    TableViewCell* dequeueCell();
    // The cell of a row in view, else nullptr.
    TableViewCell* cellAtIndex(ssize_t idx) const;
    ssize_t getNumberOfRows() const { return static_cast<ssize_t>(_rowStarts.size()) - 1; }
    // Scrolls the least distance that brings the whole row into view (the keyboard's cursor).
    void scrollToRow(ssize_t idx);

  protected:
    TableView() = default;
    void scrollViewDidScroll() override;
    void onTapped(const Vec2& worldPoint) override;
    // The row under a distance from the list's first edge; -1 outside the rows.
    ssize_t indexFromOffset(float distance) const;
    float rowBottom(ssize_t idx) const;
    void recycle(TableViewCell* cell);

    TableViewDataSource* _dataSource = nullptr;
    TableViewDelegate* _tableViewDelegate = nullptr;
    VerticalFillOrder _fillOrder = VerticalFillOrder::TOP_DOWN;
    // Distance of each row's first edge from the list's first edge, and the total at the end.
    std::vector<float> _rowStarts{0.f};
    std::vector<TableViewCell*> _cellsUsed;
    std::vector<TableViewCell*> _cellsFreed;
    bool _updatingCells = false;
};

}  // namespace engine::ui
