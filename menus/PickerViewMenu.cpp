#include "menus/PickerViewMenu.h"

#include "menus/PickerViewDataSource.h"
#include "menus/PickerViewDelegate.h"
#include "menus/PickerWheel.h"

namespace {

constexpr int kWheelRows = 5;

}  // namespace

PickerViewMenu* PickerViewMenu::create(PickerViewDataSource* dataSource,
                                       PickerViewDelegate* delegate) {
    auto* picker = new (std::nothrow) PickerViewMenu();
    if (picker && picker->initWithDataSource(dataSource, delegate)) {
        picker->autorelease();
        return picker;
    }
    delete picker;
    return nullptr;
}

bool PickerViewMenu::initWithDataSource(PickerViewDataSource* dataSource,
                                        PickerViewDelegate* delegate) {
    if (!MenuLayer::init())
        return false;
    delegate_ = delegate;
    addActionRows();
    setDataSource(dataSource);
    return true;
}

void PickerViewMenu::addActionRows() {
    addRow(MenuRow::buttons(
        "", {{"CANCEL", [this] { cancel(); }, {}},
             {"CHOOSE", [this] { choose(); }, [this] { return getSelectedRow() >= 0; }}}));
}

void PickerViewMenu::setDataSource(PickerViewDataSource* dataSource) {
    dataSource_ = dataSource;
    reloadData();
}

void PickerViewMenu::reloadData() {
    if (!wheel_)
        return;
    if (!dataSource_) {
        wheel_->reload(0, {});
    } else {
        wheel_->reload(dataSource_->numberOfRowsInPickerView(this), [this](int row) {
            return dataSource_ ? dataSource_->pickerViewTitleForRow(this, row) : std::string();
        });
    }
    markForRefresh();
}

void PickerViewMenu::selectRow(int row) {
    if (wheel_)
        wheel_->selectRow(row, false);
    markForRefresh();
}

int PickerViewMenu::getSelectedRow() const {
    return wheel_ ? wheel_->getSelectedRow() : -1;
}

void PickerViewMenu::choose() {
    const int row = getSelectedRow();
    if (row < 0)
        return;
    retain();
    if (delegate_)
        delegate_->pickerViewDidChooseRow(this, row);
    close();
    release();
}

void PickerViewMenu::cancel() {
    retain();
    if (delegate_)
        delegate_->pickerViewDidCancel(this);
    close();
    release();
}

bool PickerViewMenu::keyPressed(engine::EventKeyboard::KeyCode key) {
    using K = engine::EventKeyboard::KeyCode;
    if (!wheel_)
        return false;
    const int row = wheel_->getSelectedRow();
    const int page = wheel_->getVisibleRowCount();
    switch (key) {
        case K::KEY_UP_ARROW:
            wheel_->selectRow(row - 1, true);
            break;
        case K::KEY_DOWN_ARROW:
            wheel_->selectRow(row + 1, true);
            break;
        case K::KEY_PG_UP:
            wheel_->selectRow(row - page, true);
            break;
        case K::KEY_PG_DOWN:
            wheel_->selectRow(row + page, true);
            break;
        case K::KEY_HOME:
            wheel_->selectRow(0, true);
            break;
        case K::KEY_END:
            wheel_->selectRow(wheel_->getRowCount() - 1, true);
            break;
        case K::KEY_TAB:
        case K::KEY_LEFT_ARROW:
        case K::KEY_RIGHT_ARROW:
            // The buttons under the wheel.
            return MenuLayer::keyPressed(key);
        case K::KEY_ENTER:
        case K::KEY_SPACE:
            if (getFocusRow() >= 0)
                return MenuLayer::keyPressed(key);
            choose();
            return true;
        case K::KEY_ESCAPE:
            cancel();
            return true;
        default:
            return false;
    }
    markForRefresh();
    return true;
}

float PickerViewMenu::headerHeight() const {
    return getMetrics().rowHeight() * kWheelRows;
}

void PickerViewMenu::layoutHeader(const engine::Rect& area) {
    int selected = -1;
    if (wheel_ && wheel_->getRowHeight() != getMetrics().rowHeight()) {
        // New metrics (the controller sets them for the display class): a wheel to match.
        selected = wheel_->getSelectedRow();
        wheel_->removeFromParentAndCleanup(true);
        wheel_ = nullptr;
    }
    if (!wheel_) {
        wheel_ = PickerWheel::create(getMetrics().rowHeight(), getMetrics().fontSize);
        if (!wheel_)
            return;
        wheel_->onRowTapped = [this](int) { choose(); };
        addChild(wheel_, 1);
        wheel_->setContentSize(area.size);
        reloadData();
        if (selected >= 0)
            wheel_->selectRow(selected, false);
    }
    wheel_->setContentSize(area.size);
    wheel_->setPosition(area.origin);
}
