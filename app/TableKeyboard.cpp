#include "app/TableKeyboard.h"

#include <algorithm>

#include "app/MainScene.h"
#include "engine/2d/DrawNode.h"
#include "engine/ui/Layout.h"
#include "engine/ui/TableView.h"
#include "engine/ui/TableViewCell.h"
#include "engine/ui/TableViewDataSource.h"
#include "engine/ui/TableViewDelegate.h"
#include "engine/ui/Widget.h"
#include "views/ssid/SSIDTableLayer.h"
#include "views/ssid/SSIDUtilizationTableLayer.h"

using engine::Vec2;
using K = engine::EventKeyboard::KeyCode;

namespace {

const char* const kRingName = "tableKeyboardRing";

void collectButtons(engine::Node* node, std::vector<engine::ui::Widget*>& out) {
    for (engine::Node* child : node->getChildren()) {
        if (!child->isVisible() || dynamic_cast<engine::ui::TableView*>(child))
            continue;  // rows have their own cursor
        auto* widget = dynamic_cast<engine::ui::Widget*>(child);
        if (widget && widget->isTouchEnabled() && widget->isEnabled() &&
            widget->getChildrenCount() > 0 && !dynamic_cast<engine::ui::Layout*>(child)) {
            out.push_back(widget);
            continue;
        }
        collectButtons(child, out);
    }
}

engine::Rect worldBox(const engine::Node* node) {
    const engine::Size size = node->getContentSize();
    const Vec2 a = node->convertToWorldSpace(Vec2());
    const Vec2 b = node->convertToWorldSpace(Vec2(size.width, size.height));
    return engine::Rect(std::min(a.x, b.x), std::min(a.y, b.y), std::abs(b.x - a.x),
                        std::abs(b.y - a.y));
}

}  // namespace

engine::Node* TableKeyboard::table() const {
    if (scene_.isSsidTableShown())
        return scene_.getSsidTable();
    if (scene_.isUtilizationTableShown())
        return scene_.getUtilizationTable();
    return nullptr;
}

engine::ui::TableView* TableKeyboard::tableView() const {
    if (scene_.isSsidTableShown() && scene_.getSsidTable())
        return scene_.getSsidTable()->getTableView();
    if (scene_.isUtilizationTableShown() && scene_.getUtilizationTable())
        return scene_.getUtilizationTable()->getTableView();
    return nullptr;
}

std::vector<engine::ui::Widget*> TableKeyboard::buttons() const {
    std::vector<engine::ui::Widget*> out;
    if (engine::Node* shown = table())
        collectButtons(shown, out);
    std::stable_sort(out.begin(), out.end(), [](engine::ui::Widget* a, engine::ui::Widget* b) {
        const engine::Rect ra = worldBox(a), rb = worldBox(b);
        if (std::abs(ra.getMidY() - rb.getMidY()) > 4.f)
            return ra.getMidY() > rb.getMidY();
        return ra.getMidX() < rb.getMidX();
    });
    return out;
}

bool TableKeyboard::keyPressed(engine::EventKeyboard::KeyCode key, int modifiers) {
    engine::Node* shown = table();
    if (!shown)
        return false;
    if (shown != lastTable_ || !shown->getChildByName(kRingName)) {
        // A new table starts afresh. A table without the ring is new even where it took a closed
        // table's address.
        lastTable_ = shown;
        button_ = row_ = -1;
    }
    switch (key) {
        case K::KEY_TAB:
            moveButton((modifiers & engine::EventKeyboard::kShift) ? -1 : 1);
            return true;
        case K::KEY_RIGHT_ARROW:
        case K::KEY_LEFT_ARROW:
            moveButton(key == K::KEY_RIGHT_ARROW ? 1 : -1);
            return true;
        case K::KEY_DOWN_ARROW:
        case K::KEY_UP_ARROW:
            moveRow(key == K::KEY_DOWN_ARROW ? 1 : -1);
            return true;
        case K::KEY_PG_DOWN:
        case K::KEY_PG_UP:
            moveRow(key == K::KEY_PG_DOWN ? 10 : -10);
            return true;
        case K::KEY_HOME:
            moveRow(-1000000);
            return true;
        case K::KEY_END:
            moveRow(1000000);
            return true;
        case K::KEY_ENTER:
        case K::KEY_SPACE:
            return press();
        default:
            return false;
    }
}

void TableKeyboard::moveButton(int direction) {
    const int count = static_cast<int>(buttons().size());
    row_ = -1;
    if (count == 0) {
        button_ = -1;
    } else if (button_ < 0) {
        button_ = direction > 0 ? 0 : count - 1;
    } else {
        button_ = ((button_ + direction) % count + count) % count;
    }
    showFocus();
}

void TableKeyboard::moveRow(int delta) {
    engine::ui::TableView* rows = tableView();
    const int count = rows ? static_cast<int>(rows->getNumberOfRows()) : 0;
    button_ = -1;
    // In the SSID table the ring goes on from the highlighted access point (picked by a click on
    // a row or an outline) and highlights the access point it lands on.
    auto* ssid = dynamic_cast<SSIDTableLayer*>(table());
    if (ssid && row_ < 0) {
        const ssize_t highlighted = ssid->highlightedRow();
        if (highlighted >= 0)
            row_ = static_cast<int>(highlighted);
    }
    if (count == 0) {
        row_ = -1;
    } else {
        row_ = std::clamp(row_ < 0 ? (delta > 0 ? 0 : count - 1) : row_ + delta, 0, count - 1);
        rows->scrollToRow(row_);
        if (ssid)
            ssid->highlightRow(row_);
    }
    showFocus();
}

bool TableKeyboard::press() {
    if (button_ >= 0) {
        const auto list = buttons();
        if (button_ >= static_cast<int>(list.size()))
            return false;
        list[button_]->activate();  // may close the table
        showFocus();
        return true;
    }
    engine::ui::TableView* rows = tableView();
    if (row_ < 0 || !rows || row_ >= rows->getNumberOfRows())
        return false;
    rows->scrollToRow(row_);
    engine::ui::TableViewCell* cell = rows->cellAtIndex(row_);
    if (cell && rows->getDelegate())
        rows->getDelegate()->tableCellTouched(rows, cell);
    return true;
}

void TableKeyboard::showFocus() {
    engine::Node* shown = table();
    if (!shown)
        return;
    // Looked up each time rather than kept: a press may rebuild the table's children (EDIT and
    // DONE do), and a kept pointer would then point at a freed node.
    auto* ring = dynamic_cast<engine::DrawNode*>(shown->getChildByName(kRingName));
    if (!ring) {
        ring = engine::DrawNode::create(2.f);
        if (!ring)
            return;
        ring->setName(kRingName);
        shown->addChild(ring, 100);
    }
    ring->clear();
    engine::Rect box;
    if (button_ >= 0) {
        const auto list = buttons();
        if (button_ >= static_cast<int>(list.size()))
            return;
        box = worldBox(list[button_]);
    } else if (engine::ui::TableView* rows = tableView(); rows && row_ >= 0) {
        engine::ui::TableViewCell* cell = rows->cellAtIndex(row_);
        if (!cell)
            return;
        // A cell's own size may be unset: the data source knows the row's height.
        const float height = rows->getDataSource()
                                 ? rows->getDataSource()->tableCellSizeForIndex(rows, row_).height
                                 : cell->getContentSize().height;
        const engine::Rect view = worldBox(rows);
        const Vec2 bottom = cell->convertToWorldSpace(Vec2());
        box = engine::Rect(view.origin.x, bottom.y, view.size.width, height);
    } else {
        return;
    }
    const Vec2 a = shown->convertToNodeSpace(box.origin);
    const Vec2 b = shown->convertToNodeSpace(Vec2(box.getMaxX(), box.getMaxY()));
    ring->drawRect(Vec2(a.x + 1, a.y + 1), Vec2(b.x - 1, b.y - 1),
                   engine::Color4F(1.f, 0.85f, 0.2f, 1.f));
}
