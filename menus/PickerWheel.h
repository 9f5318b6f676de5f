#pragma once

#include <functional>
#include <string>
#include <vector>

#include "engine/ui/Layout.h"

namespace engine {
class Label;
class Touch;
}  // namespace engine

// A wheel of rows seen through a window, the selected row under the band in the middle. A drag
// turns it and it snaps to the nearest row on release; the mouse wheel and two spreading or closing
// fingers turn it one row per notch; a tap on a row brings that row under the band, and a tap
// on the row already there reports it. Only the rows in view have labels, so hundreds of rows
// cost no more than five.
class PickerWheel : public engine::ui::Layout {
  public:
    using TitleFunction = std::function<std::string(int row)>;

    static PickerWheel* create(float rowHeight, float fontSize);
    bool initWithRowHeight(float rowHeight, float fontSize);
    ~PickerWheel() override;

    // Asks for the rows again; the selection is clamped into the new range.
    void reload(int rowCount, TitleFunction title);
    // Clamped; -1 only while there are no rows.
    void selectRow(int row, bool animated);
    int getSelectedRow() const;
    int getRowCount() const { return rowCount_; }
    // The wheel's position in rows (fractional while it turns).
    float getOffset() const { return offset_; }
    bool isTurning() const { return turning_; }
    float getRowHeight() const { return rowHeight_; }
    int getVisibleRowCount() const;
    // The world position of a row's middle (it may be out of view).
    engine::Vec2 rowCentreInWorld(int row) const;

    // The selected row was tapped.
    std::function<void(int row)> onRowTapped;

    void update(float dt) override;

  protected:
    PickerWheel() = default;
    void onSizeChanged() override;

  private:
    void layoutLabels();
    void turnTo(float target);
    bool touchBegan(engine::Touch* touch);
    void touchMoved(engine::Touch* touch);
    void touchEnded(engine::Touch* touch);
    void touchCancelled(engine::Touch* touch);
    float spread() const;

    float rowHeight_ = 32;
    float fontSize_ = 16;
    int rowCount_ = 0;
    TitleFunction title_;
    float offset_ = 0;
    float target_ = 0;
    bool turning_ = false;
    engine::Node* band_ = nullptr;
    std::vector<engine::Label*> labels_;
    std::vector<int> labelRows_;
    std::vector<engine::Touch*> touches_;
    float spreadAtStart_ = 0;
    int notchesTaken_ = 0;
    bool dragged_ = false;
    bool pair_ = false;
};
