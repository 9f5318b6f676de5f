#include <algorithm>
#include <utility>
#include <vector>

#include "engine/ui/Button.h"
#include "engine/ui/ScrollView.h"
#include "engine/ui/Slider.h"
#include "menus/MenuLayer.h"

// The menu's keyboard: the focus ring over its controls and the keys that move and press them.

using engine::Rect;
using engine::Vec2;
using engine::ui::Button;

bool MenuLayer::keyPressed(engine::EventKeyboard::KeyCode key) {
    using K = engine::EventKeyboard::KeyCode;
    if (!scroll_)
        return false;
    switch (key) {
        case K::KEY_TAB:
        case K::KEY_DOWN_ARROW:
            return moveFocus(+1, false);
        case K::KEY_UP_ARROW:
            return moveFocus(-1, false);
        case K::KEY_LEFT_ARROW:
        case K::KEY_RIGHT_ARROW: {
            const int direction = key == K::KEY_RIGHT_ARROW ? 1 : -1;
            RowView* row = focusRow_ >= 0 ? &rows_[focusRow_] : nullptr;
            if (row && row->slider && row->slider->isEnabled()) {
                stepSlider(*row, direction);
                return true;
            }
            return moveFocus(direction, focusRow_ >= 0);
        }
        case K::KEY_ENTER:
        case K::KEY_SPACE:
            return pressFocused();
        case K::KEY_PG_UP:
        case K::KEY_PG_DOWN: {
            // Keys scroll a menu whose rows do not fit.
            const float page = scroll_->getContentSize().height;
            Vec2 offset = scroll_->getContentOffset();
            offset.y += key == K::KEY_PG_DOWN ? page : -page;
            scroll_->setContentOffset(offset);
            return true;
        }
        default:
            return false;
    }
}

engine::Node* MenuLayer::focusable(int row, int item) const {
    if (row < 0 || row >= static_cast<int>(rows_.size()))
        return nullptr;
    const RowView& view = rows_[row];
    if (!view.shown)
        return nullptr;
    if (view.slider)
        return item == 0 && view.slider->isEnabled() ? view.slider : nullptr;
    if (item < 0 || item >= static_cast<int>(view.buttons.size()))
        return nullptr;
    Button* button = view.buttons[item];
    return button && button->isEnabled() ? button : nullptr;
}

bool MenuLayer::moveFocus(int direction, bool withinRow) {
    // Every control in reading order, as (row, item).
    std::vector<std::pair<int, int>> order;
    for (int row = 0; row < static_cast<int>(rows_.size()); ++row) {
        if (withinRow && row != focusRow_)
            continue;
        const int items = rows_[row].slider ? 1 : static_cast<int>(rows_[row].buttons.size());
        for (int item = 0; item < items; ++item) {
            if (focusable(row, item))
                order.emplace_back(row, item);
        }
    }
    if (order.empty())
        return withinRow;
    auto at = std::find(order.begin(), order.end(), std::make_pair(focusRow_, focusItem_));
    int index;
    if (at == order.end())
        index = direction > 0 ? 0 : static_cast<int>(order.size()) - 1;
    else if (withinRow)
        index = std::clamp(static_cast<int>(at - order.begin()) + direction, 0,
                           static_cast<int>(order.size()) - 1);
    else
        index =
            (static_cast<int>(at - order.begin()) + direction + static_cast<int>(order.size())) %
            static_cast<int>(order.size());
    focusRow_ = order[index].first;
    focusItem_ = order[index].second;
    showFocus();
    return true;
}

void MenuLayer::showFocus() {
    engine::Node* control = focusable(focusRow_, focusItem_);
    focusRing_.detach();
    focusRing_.clear();
    if (!control)
        return;
    RowView& view = rows_[focusRow_];
    focusRing_.surround(control->getBoundingBox(), 1.5f);
    focusRing_.attachTo(view.node, 10);

    // Scroll the focused row into view.
    const float viewHeight = scroll_->getContentSize().height;
    const float y = view.node->getPositionY();
    const float h = metrics_.rowHeight();
    Vec2 offset = scroll_->getContentOffset();
    if (y + offset.y < 0)
        offset.y = -y;
    else if (y + h + offset.y > viewHeight)
        offset.y = viewHeight - y - h;
    scroll_->setContentOffset(offset);
}

bool MenuLayer::pressFocused() {
    engine::Node* control = focusable(focusRow_, focusItem_);
    if (!control || rows_[focusRow_].slider)
        return control != nullptr;
    buttonTapped(focusRow_, focusItem_);
    return true;
}

void MenuLayer::stepSlider(RowView& view, int direction) {
    // A slider over a table of values snaps back to its value's place: one percent at a time
    // would never leave it. Move on until the value (or its text) changes, or the end.
    const auto reading = [&view] {
        return std::make_pair(
            view.row.percent ? view.row.percent() : static_cast<float>(view.slider->getPercent()),
            view.row.word ? view.row.word() : std::string());
    };
    const auto before = reading();
    for (int percent = view.slider->getPercent() + direction; percent >= 0 && percent <= 100;
         percent += direction) {
        view.slider->setPercent(percent);
        if (view.row.setPercent)
            view.row.setPercent(static_cast<float>(percent));
        if (reading() != before)
            break;
    }
    markForRefresh();
}
