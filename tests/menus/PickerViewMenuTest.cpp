#include "menus/PickerViewMenu.h"

#include <string>
#include <vector>

#include "engine/base/Director.h"
#include "engine/platform/GLView.h"
#include "engine/ui/Button.h"
#include "menus/NumericRangePickerSource.h"
#include "menus/PickerViewDataSource.h"
#include "menus/PickerViewDelegate.h"
#include "menus/PickerWheel.h"
#include "tests/menus/MenuTestSupport.h"

using namespace menutest;
using K = engine::EventKeyboard::KeyCode;

namespace {

struct Rows : PickerViewDataSource {
    int count = 0;
    int numberOfRowsInPickerView(PickerViewMenu*) override { return count; }
    std::string pickerViewTitleForRow(PickerViewMenu*, int row) override {
        return "row " + std::to_string(row);
    }
};

struct Choices : PickerViewDelegate {
    std::vector<int> chosen;
    int cancels = 0;
    void pickerViewDidChooseRow(PickerViewMenu*, int row) override { chosen.push_back(row); }
    void pickerViewDidCancel(PickerViewMenu*) override { ++cancels; }
};

class PickerViewMenuTest : public MenuGlTest {
  protected:
    PickerViewMenu* show(PickerViewDataSource* source, int preselect) {
        PickerViewMenu* picker = PickerViewMenu::create(source, &choices);
        picker->setMetrics(MenuMetrics::forDisplayClass(1));
        picker->setContentSize(engine::Size(380, 560));
        picker->setPosition(200, 75);
        picker->selectRow(preselect);
        scene->addChild(picker, 10);
        renderFrame();
        return picker;
    }
    // Lets a turning wheel come to rest.
    void settle() { step(60); }
    // Presses a key through the dispatcher, as the menu controller would hand it on.
    void key(PickerViewMenu* picker, K code) { picker->keyPressed(code); }

    Rows rows;
    Choices choices;
};

TEST_F(PickerViewMenuTest, NoRowsChoosesNothing) {
    rows.count = 0;
    PickerViewMenu* picker = show(&rows, 3);
    EXPECT_EQ(picker->getSelectedRow(), -1);
    EXPECT_FALSE(picker->getButton(0, 1)->isEnabled());  // CHOOSE
    key(picker, K::KEY_DOWN_ARROW);
    key(picker, K::KEY_ENTER);
    EXPECT_TRUE(choices.chosen.empty());
    EXPECT_EQ(picker->getParent(), scene);
    picker->retain();
    key(picker, K::KEY_ESCAPE);
    EXPECT_EQ(choices.cancels, 1);
    EXPECT_EQ(picker->getParent(), nullptr);
    picker->release();
}

TEST_F(PickerViewMenuTest, PreselectionPastTheLastRowIsClamped) {
    rows.count = 2;
    PickerViewMenu* picker = show(&rows, 5);
    EXPECT_EQ(picker->getSelectedRow(), 1);
    key(picker, K::KEY_DOWN_ARROW);
    EXPECT_EQ(picker->getSelectedRow(), 1);
    key(picker, K::KEY_UP_ARROW);
    settle();
    EXPECT_FLOAT_EQ(picker->getWheel()->getOffset(), 0);
    key(picker, K::KEY_ENTER);
    EXPECT_EQ(choices.chosen, std::vector<int>{0});
    // A data source that shrinks under a selection clamps it too.
    PickerViewMenu* again = show(&rows, 1);
    rows.count = 1;
    again->reloadData();
    EXPECT_EQ(again->getSelectedRow(), 0);
}

TEST_F(PickerViewMenuTest, KeysWheelAndDragTurnALongListRowByRow) {
    rows.count = 300;
    PickerViewMenu* picker = show(&rows, 150);
    PickerWheel* wheel = picker->getWheel();
    renderFrame().saveToFile("picker-view.png");  // for a person to look at
    // Only the rows in view have labels.
    EXPECT_LT(wheel->getChildrenCount(), 12u);
    key(picker, K::KEY_PG_DOWN);
    EXPECT_EQ(picker->getSelectedRow(), 150 + wheel->getVisibleRowCount());
    key(picker, K::KEY_END);
    settle();
    EXPECT_EQ(picker->getSelectedRow(), 299);
    EXPECT_FLOAT_EQ(wheel->getOffset(), 299);
    key(picker, K::KEY_HOME);
    key(picker, K::KEY_PG_UP);
    settle();
    EXPECT_EQ(picker->getSelectedRow(), 0);

    // The mouse wheel: one row per notch, up shows earlier rows.
    picker->selectRow(100);
    const engine::Vec2 centre = wheel->rowCentreInWorld(100);
    GlSceneTest::wheel(centre.x, centre.y, -1);
    settle();
    EXPECT_EQ(picker->getSelectedRow(), 101);
    GlSceneTest::wheel(centre.x, centre.y, 2);
    settle();
    EXPECT_EQ(picker->getSelectedRow(), 99);
    EXPECT_TRUE(choices.chosen.empty());

    // A drag of three rows upwards snaps onto the third row after.
    const float rowHeight = wheel->getRowHeight();
    touchBegan(0, centre.x, centre.y);
    for (int i = 1; i <= 10; ++i)
        touchMoved(0, centre.x, centre.y + rowHeight * 3.1f * i / 10);
    touchEnded(0, centre.x, centre.y + rowHeight * 3.1f);
    settle();
    EXPECT_EQ(picker->getSelectedRow(), 102);
    EXPECT_FLOAT_EQ(wheel->getOffset(), 102);

    // A tap on the row below brings it under the band; a tap on it there chooses it.
    engine::Vec2 below = wheel->rowCentreInWorld(103);
    tap(below.x, below.y);
    settle();
    EXPECT_EQ(picker->getSelectedRow(), 103);
    EXPECT_TRUE(choices.chosen.empty());
    below = wheel->rowCentreInWorld(103);
    tap(below.x, below.y);
    EXPECT_EQ(choices.chosen, std::vector<int>{103});
}

TEST_F(PickerViewMenuTest, OffGridValueKeepsItsPlaceUntilTheUserChooses) {
    NumericRangePickerSource range(0, 10, 0.5, [](double v) { return std::to_string(v); });
    float stored = 3.26f;
    struct Writer : PickerViewDelegate {
        NumericRangePickerSource* range;
        float* stored;
        void pickerViewDidChooseRow(PickerViewMenu*, int row) override {
            *stored = static_cast<float>(range->valueForRow(row));
        }
    } writer;
    writer.range = &range;
    writer.stored = &stored;
    PickerViewMenu* picker = PickerViewMenu::create(&range, &writer);
    picker->setContentSize(engine::Size(300, 500));
    picker->selectRow(range.rowForValue(stored));
    scene->addChild(picker);
    renderFrame();
    EXPECT_EQ(picker->getSelectedRow(), 7);
    picker->keyPressed(K::KEY_DOWN_ARROW);
    picker->keyPressed(K::KEY_ESCAPE);
    EXPECT_FLOAT_EQ(stored, 3.26f);

    picker = PickerViewMenu::create(&range, &writer);
    picker->setContentSize(engine::Size(300, 500));
    picker->selectRow(range.rowForValue(stored));
    scene->addChild(picker);
    renderFrame();
    tapNode(picker->getButton(0, 1));  // CHOOSE
    EXPECT_FLOAT_EQ(stored, 3.5f);
}

}  // namespace
