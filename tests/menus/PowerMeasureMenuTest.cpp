#include "menus/PowerMeasureMenu.h"

#include <string>

#include "engine/ui/Button.h"
#include "menus/MenuController.h"
#include "menus/PickerViewMenu.h"
#include "model/PulseMeasurement.h"
#include "model/SpectrumSettings.h"
#include "tests/menus/MenuTestSupport.h"

using namespace menutest;
using K = engine::EventKeyboard::KeyCode;

namespace {

class PowerMeasureMenuTest : public MenuGlTest {
  protected:
    void SetUp() override {
        MenuGlTest::SetUp();
        model.resetToDefaults();
        model.runtime.displayClass = 0;
        model.common_settings.spectrumMode = 0;
        controller->setAccessoryControl(&control);
        controller->setScene(scene);
        menu = PowerMeasureMenu::create();
        controller->showMenu(menu, engine::Rect(150, 0, 49, 49));
        step(40);
    }
    void TearDown() override {
        controller->detach();
        controller->setAccessoryControl(nullptr);
        model.resetToDefaults();
        MenuGlTest::TearDown();
    }
    std::string title(int slot) { return menu->getButton(slot, 0)->getTitleText(); }
    uint8_t* slots() { return model.power_setting.measureSlots; }

    SpectrumSettings& model = *SpectrumSettings::getInstance();
    MenuController* controller = MenuController::getInstance();
    FakeAccessoryControl control;
    PowerMeasureMenu* menu = nullptr;
};

TEST_F(PowerMeasureMenuTest, AClickedSlotTakesTheChosenMeasurement) {
    for (int slot = 0; slot < PowerMeasureMenu::kSlots; ++slot)
        EXPECT_EQ(title(slot), "None") << slot;
    tapNode(menu->getButton(3, 0));
    ASSERT_NE(menu->getPicker(), nullptr);
    EXPECT_EQ(menu->getPickerSlot(), 3);
    EXPECT_EQ(menu->getPicker()->getSelectedRow(), 0);
    pressKey(K::KEY_DOWN_ARROW);
    pressKey(K::KEY_DOWN_ARROW);
    step(30);
    pressKey(K::KEY_ENTER);
    step(40);
    EXPECT_EQ(slots()[3], 17);
    EXPECT_EQ(title(3), "Max");
    for (int slot : {0, 1, 2, 4, 5})
        EXPECT_EQ(slots()[slot], 255) << slot;
    // The measurements are the panel's own business: nothing goes to the accessory.
    EXPECT_EQ(control.totalRequests(), 0);
    renderFrame().saveToFile("power-measure-menu.png");  // for a person to look at

    // Row 0 gives none back.
    tapNode(menu->getButton(3, 0));
    EXPECT_EQ(menu->getPicker()->getSelectedRow(), 2);
    pressKey(K::KEY_HOME);
    step(30);
    pressKey(K::KEY_ENTER);
    step(40);
    EXPECT_EQ(slots()[3], 255);
    EXPECT_EQ(title(3), "None");
}

TEST_F(PowerMeasureMenuTest, IdsNotOfferedPreselectNoneAndIdsPastTheTableShowNoName) {
    slots()[0] = 2;    // "Delay": named but never computed
    slots()[1] = 23;   // past the table
    slots()[2] = 254;  // past the table
    slots()[3] = 4;    // "Fall Time": the last row
    menu->markForRefresh();
    step(2);
    EXPECT_EQ(title(0), "Delay");
    EXPECT_EQ(title(1), "");
    EXPECT_EQ(title(2), "");
    EXPECT_EQ(title(3), "Fall Time");
    for (int slot : {0, 1, 2}) {
        PickerViewMenu* picker = menu->openPicker(slot);
        ASSERT_NE(picker, nullptr);
        EXPECT_EQ(picker->getSelectedRow(), 0) << slot;
    }
    PickerViewMenu* picker = menu->openPicker(3);
    ASSERT_NE(picker, nullptr);
    EXPECT_EQ(picker->getSelectedRow(), 15);
    EXPECT_EQ(menu->openPicker(PowerMeasureMenu::kSlots), nullptr);
    EXPECT_EQ(slots()[1], 23);  // opening alone rewrites nothing
}

TEST_F(PowerMeasureMenuTest, PickerRowsOfferOnlyComputedMeasurements) {
    for (int row = 1; row < PowerMeasureMenu::kPickerRows; ++row) {
        const int id = PowerMeasureMenu::idForRow(row);
        EXPECT_TRUE(id != 2 && (id < 9 || id > 12) && (id < 14 || id > 16)) << id;
    }
    EXPECT_EQ(PowerMeasureMenu::idForRow(0), 255);
    EXPECT_EQ(PowerMeasureMenu::idForRow(16), 255);
    PickerViewMenu* picker = menu->openPicker(0);
    ASSERT_NE(picker, nullptr);
    step(30);
    pressKey(K::KEY_END);
    step(30);
    pressKey(K::KEY_ENTER);
    step(40);
    EXPECT_EQ(slots()[0], 4);
    EXPECT_EQ(title(0), "Fall Time");
}

}  // namespace

namespace {

TEST_F(PowerMeasureMenuTest, ResetRowStartsTheStatisticsOver) {
    PulseMeasurement::Results r;
    r.fill(-30.f);
    model.pulseStatistics.add(r);
    model.pulseStatistics.add(r);
    ASSERT_EQ(model.pulseStatistics.captures(), 2u);
    engine::ui::Button* reset = menu->getButton(PowerMeasureMenu::kResetRow, 0);
    ASSERT_NE(reset, nullptr);
    EXPECT_EQ(reset->getTitleText(), "RESET");
    tapNode(reset);
    step(2);
    EXPECT_EQ(model.pulseStatistics.captures(), 0u);
    EXPECT_EQ(model.pulseStatistics.figure(PulseMeasurement::kMax).count, 0u);
    EXPECT_EQ(control.reconfigures, 0);  // the accessory's settings are untouched
}

}  // namespace
