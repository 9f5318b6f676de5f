#pragma once

#include "menus/MenuLayer.h"

class PickerViewDataSource;
class PickerViewDelegate;
class PickerWheel;

// A menu holding a picker wheel over a row of buttons (by default "CANCEL" and "CHOOSE"). Keys:
// up and down one row, Page Up/Down a wheel's height, Home/End the ends, Enter chooses (or
// presses the button Tab, left or right focused), Escape cancels. Choosing tells the delegate the
// row and closes the picker; cancelling tells the delegate nothing was chosen. Neither the data
// source nor the delegate is retained: an owner that dies first clears them.
class PickerViewMenu : public MenuLayer {
  public:
    static PickerViewMenu* create(PickerViewDataSource* dataSource, PickerViewDelegate* delegate);
    bool initWithDataSource(PickerViewDataSource* dataSource, PickerViewDelegate* delegate);

    void setDataSource(PickerViewDataSource* dataSource);
    void setDelegate(PickerViewDelegate* delegate) { delegate_ = delegate; }
    // Asks the data source again; the selection is clamped into the new rows.
    void reloadData();
    // Preselects a row (clamped) without telling the delegate.
    void selectRow(int row);
    // -1 while there are no rows.
    int getSelectedRow() const;
    PickerWheel* getWheel() const { return wheel_; }

    // Tells the delegate the selected row and closes; a picker that only selects (the file
    // manager) does nothing here.
    virtual void choose();
    void cancel();

    bool keyPressed(engine::EventKeyboard::KeyCode key) override;

  protected:
    PickerViewMenu() = default;
    // The buttons under the wheel; subclasses add their own instead.
    virtual void addActionRows();
    float headerHeight() const override;
    void layoutHeader(const engine::Rect& area) override;

    PickerViewDataSource* dataSource_ = nullptr;
    PickerViewDelegate* delegate_ = nullptr;
    PickerWheel* wheel_ = nullptr;
};
