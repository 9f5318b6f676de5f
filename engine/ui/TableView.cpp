#include "engine/ui/TableView.h"

#include <algorithm>
#include <cmath>

#include "engine/ui/TableViewCell.h"
#include "engine/ui/TableViewDataSource.h"
#include "engine/ui/TableViewDelegate.h"

namespace engine::ui {

TableView* TableView::create(TableViewDataSource* dataSource, const Size& size) {
    auto* table = new TableView();
    if (table->initWithViewSize(size)) {
        table->autorelease();
        table->setDataSource(dataSource);
        return table;
    }
    delete table;
    return nullptr;
}

TableView::~TableView() {
    for (TableViewCell* cell : _cellsUsed)
        cell->release();
    for (TableViewCell* cell : _cellsFreed)
        cell->release();
}

bool TableView::initWithViewSize(const Size& size) {
    if (!ScrollView::init())
        return false;
    setDirection(Direction::VERTICAL);
    setContentSize(size);
    return true;
}

void TableView::setVerticalFillOrder(VerticalFillOrder order) {
    if (order == _fillOrder)
        return;
    _fillOrder = order;
    reloadData();
}

// Rows -------------------------------------------------------------------------------------

float TableView::rowBottom(ssize_t idx) const {
    float height = _innerContainer->getContentSize().height;
    if (_fillOrder == VerticalFillOrder::TOP_DOWN)
        return height - _rowStarts[static_cast<size_t>(idx) + 1];
    return _rowStarts[static_cast<size_t>(idx)];
}

void TableView::scrollToRow(ssize_t idx) {
    if (idx < 0 || idx >= getNumberOfRows())
        return;
    const float bottom = rowBottom(idx);
    const float top =
        bottom + _rowStarts[static_cast<size_t>(idx) + 1] - _rowStarts[static_cast<size_t>(idx)];
    float viewBottom = -getContentOffset().y;
    if (top > viewBottom + _contentSize.height)
        viewBottom = top - _contentSize.height;
    if (bottom < viewBottom)
        viewBottom = bottom;
    setContentOffset(Vec2(getContentOffset().x, -viewBottom));
}

ssize_t TableView::indexFromOffset(float distance) const {
    if (!(distance >= 0) || distance >= _rowStarts.back())
        return -1;
    auto it = std::upper_bound(_rowStarts.begin(), _rowStarts.end(), distance);
    return static_cast<ssize_t>(it - _rowStarts.begin()) - 1;
}

void TableView::recycle(TableViewCell* cell) {
    if (cell->getParent() == _innerContainer)
        _innerContainer->removeChild(cell, true);
    cell->reset();
    _cellsFreed.push_back(cell);  // keeps the used list's reference
}

void TableView::reloadData() {
    for (TableViewCell* cell : _cellsUsed)
        recycle(cell);
    _cellsUsed.clear();

    ssize_t count = _dataSource ? _dataSource->numberOfCellsInTableView(this) : 0;
    _rowStarts.assign(1, 0.f);
    _rowStarts.reserve(static_cast<size_t>(std::max<ssize_t>(count, 0)) + 1);
    float width = 0;
    for (ssize_t i = 0; i < count; ++i) {
        Size size = _dataSource->tableCellSizeForIndex(this, i);
        // A broken size must not make rows overlap or the list run backwards.
        float h = size.height > 0 && std::isfinite(size.height) ? size.height : 0.f;
        if (size.width > width && std::isfinite(size.width))
            width = size.width;
        _rowStarts.push_back(_rowStarts.back() + h);
    }
    if (_direction == Direction::VERTICAL)
        width = 0;
    // setInnerContainerSize keeps the top edge in place and calls scrollViewDidScroll.
    setInnerContainerSize(Size(width, _rowStarts.back()));
}

TableViewCell* TableView::dequeueCell() {
    if (_cellsFreed.empty())
        return nullptr;
    TableViewCell* cell = _cellsFreed.front();
    _cellsFreed.erase(_cellsFreed.begin());
    cell->autorelease();  // the free list's reference
    return cell;
}

TableViewCell* TableView::cellAtIndex(ssize_t idx) const {
    for (TableViewCell* cell : _cellsUsed) {
        if (cell->getIdx() == idx)
            return cell;
    }
    return nullptr;
}

void TableView::scrollViewDidScroll() {
    // The data source may scroll or reload from inside tableCellAtIndex.
    if (_updatingCells || !_dataSource || !_innerContainer)
        return;
    _updatingCells = true;
    const ssize_t count = getNumberOfRows();
    const float height = _innerContainer->getContentSize().height;
    // The part of the container in view, as distances from the list's first edge.
    float viewBottom = -getContentOffset().y;
    float viewTop = viewBottom + _contentSize.height;
    float first = _fillOrder == VerticalFillOrder::TOP_DOWN ? height - viewTop : viewBottom;
    float last = _fillOrder == VerticalFillOrder::TOP_DOWN ? height - viewBottom : viewTop;
    ssize_t start = -1, end = -2;
    if (count > 0 && _rowStarts.back() > 0 && last > 0 && first < _rowStarts.back()) {
        start = std::max<ssize_t>(indexFromOffset(std::max(first, 0.f)), 0);
        ssize_t e = indexFromOffset(std::min(last, _rowStarts.back()) - 0.001f);
        end = e < 0 ? count - 1 : e;
    }

    std::vector<TableViewCell*> keep;
    for (TableViewCell* cell : _cellsUsed) {
        if (cell->getIdx() >= start && cell->getIdx() <= end) {
            keep.push_back(cell);
        } else {
            recycle(cell);
        }
    }
    _cellsUsed.swap(keep);

    for (ssize_t idx = start; idx >= 0 && idx <= end; ++idx) {
        // A data source that reloads from tableCellAtIndex may have shortened the list.
        if (idx >= getNumberOfRows())
            break;
        // Rows of no height can be neither seen nor touched.
        if (cellAtIndex(idx) || _rowStarts[static_cast<size_t>(idx) + 1] <= _rowStarts[idx])
            continue;
        TableViewCell* cell = _dataSource->tableCellAtIndex(this, idx);
        if (!cell)
            continue;
        cell->setIdx(idx);
        cell->setAnchorPoint(Vec2::ZERO);
        cell->setPosition(0, rowBottom(idx));
        if (!cell->getParent())
            _innerContainer->addChild(cell);
        // A data source may hand back a cell that is already in use; it must appear once.
        if (std::find(_cellsUsed.begin(), _cellsUsed.end(), cell) == _cellsUsed.end()) {
            cell->retain();
            _cellsUsed.push_back(cell);
        }
    }
    _updatingCells = false;
}

void TableView::onTapped(const Vec2& worldPoint) {
    if (!_tableViewDelegate)
        return;
    Vec2 p = _innerContainer->convertToNodeSpace(worldPoint);
    float height = _innerContainer->getContentSize().height;
    float distance = _fillOrder == VerticalFillOrder::TOP_DOWN ? height - p.y : p.y;
    TableViewCell* cell = cellAtIndex(indexFromOffset(distance));
    if (cell)
        _tableViewDelegate->tableCellTouched(this, cell);
}

}  // namespace engine::ui
