#pragma once

#include <vector>

#include "engine/base/EventKeyboard.h"

namespace engine {
class Node;
namespace ui {
class TableView;
class Widget;
}  // namespace ui
}  // namespace engine

class AccessPointTables;
class MainScene;

// The keyboard over the shown access-point table: Tab and Shift+Tab (or Left and Right) ring its
// buttons (sort headers, EDIT/DONE, CLEAR TABLE, close), Up and Down (Page Up/Down, Home, End)
// move a cursor over the rows, Enter or Space presses the ringed button or touches the row under
// the cursor (in edit mode that asks to add or remove the access point). Main thread only.
class TableKeyboard {
  public:
    explicit TableKeyboard(MainScene& scene) : scene_(scene) {}
    TableKeyboard(const TableKeyboard&) = delete;
    TableKeyboard& operator=(const TableKeyboard&) = delete;

    // True when the key was used.
    bool keyPressed(engine::EventKeyboard::KeyCode key, int modifiers);

    // The ringed button's index among buttons(), or -1; the row under the cursor, or -1.
    int getFocusedButton() const { return button_; }
    int getFocusedRow() const { return row_; }
    // The shown table's usable buttons in reading order (top to bottom, left to right).
    std::vector<engine::ui::Widget*> buttons() const;
    engine::ui::TableView* tableView() const;

  private:
    engine::Node* table() const;
    void moveButton(int direction);
    void moveRow(int delta);
    bool press();
    void showFocus();

    MainScene& scene_;
    engine::Node* lastTable_ = nullptr;  // not retained: compared only, to start afresh
    int button_ = -1;
    int row_ = -1;
};
