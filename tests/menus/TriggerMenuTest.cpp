#include "menus/TriggerMenu.h"

#include <cmath>
#include <string>

#include "engine/ui/Button.h"
#include "menus/MenuController.h"
#include "menus/PickerViewMenu.h"
#include "model/SpectrumSettings.h"
#include "tests/menus/MenuTestSupport.h"

using namespace menutest;
using engine::ui::Button;
using K = engine::EventKeyboard::KeyCode;
using Row = TriggerMenu::Row;

namespace {

class TriggerMenuTest : public MenuGlTest {
  protected:
    void SetUp() override {
        MenuGlTest::SetUp();
        model.resetToDefaults();
        model.accessory = AccessoryDescription{};
        model.runtime.deviceConnected = false;
        model.runtime.displayClass = 0;
        model.common_settings.spectrumMode = 0;
        controller->setAccessoryControl(&control);
        controller->setScene(scene);
        open();
    }
    void TearDown() override {
        controller->detach();
        controller->setAccessoryControl(nullptr);
        model.resetToDefaults();
        model.accessory = AccessoryDescription{};
        model.runtime.deviceConnected = false;
        MenuGlTest::TearDown();
    }
    void open() {
        controller->closeAll(false);
        menu = TriggerMenu::create();
        controller->showMenu(menu, engine::Rect(300, 0, 49, 49));
        step(40);
    }
    Button* button(int row, int index) { return menu->getButton(row, index); }
    bool bright(int row, int index) {
        return button(row, index)->getTitleColor() == engine::Color3B(255, 255, 255);
    }
    bool shown(int row) { return menu->getRowNode(row)->isVisible(); }
    void tapButton(int row, int index) {
        tapNode(button(row, index));
        step(2);
    }
    // Opens a row's picker with a click, moves with keys and chooses with Enter.
    void pick(int row, K move, int presses) {
        tapNode(button(row, 0));
        ASSERT_NE(menu->getPicker(), nullptr);
        ASSERT_EQ(controller->getTopMenu(), menu->getPicker());
        for (int i = 0; i < presses; ++i)
            pressKey(move);
        step(30);
        pressKey(K::KEY_ENTER);
        step(40);
    }

    SpectrumSettings& model = *SpectrumSettings::getInstance();
    MenuController* controller = MenuController::getInstance();
    FakeAccessoryControl control;
    TriggerMenu* menu = nullptr;
};

TEST_F(TriggerMenuTest, ChoicesReconfigureOnlyWhenTheyChangeTheSetting) {
    renderFrame().saveToFile("trigger-menu-power.png");  // for a person to look at
    EXPECT_TRUE(bright(Row::kSweepRow, 0));
    EXPECT_TRUE(bright(Row::kEdgeRow, 1));
    tapButton(Row::kEdgeRow, 1);   // RISING again
    tapButton(Row::kSweepRow, 0);  // AUTO again
    tapButton(Row::kTypeRow, 0);   // POWER again
    EXPECT_EQ(control.reconfigures, 0);

    tapButton(Row::kEdgeRow, 0);
    EXPECT_EQ(model.power_setting.triggerRisingEdge, 0);
    tapButton(Row::kSweepRow, 1);
    EXPECT_EQ(model.power_setting.triggerAuto, 0);
    EXPECT_EQ(control.reconfigures, 2);
    EXPECT_EQ(control.reconfiguresClearingData, 0);
    EXPECT_TRUE(bright(Row::kEdgeRow, 0));
    EXPECT_FALSE(bright(Row::kEdgeRow, 1));
    EXPECT_TRUE(bright(Row::kSweepRow, 1));
}

TEST_F(TriggerMenuTest, TypeSwitchLaysOutTheOtherTypesRows) {
    EXPECT_TRUE(shown(Row::kLevelRow));
    EXPECT_FALSE(shown(Row::kCombinationRow));
    auto belowType = [this](int row) {
        return menu->getRowNode(Row::kTypeRow)->getPositionY() -
               menu->getRowNode(row)->getPositionY();
    };
    const float levelBelowType = belowType(Row::kLevelRow);
    tapButton(Row::kTypeRow, 1);
    EXPECT_EQ(model.power_setting.triggerOnPower, 0);
    EXPECT_EQ(control.reconfigures, 1);
    for (int row : {Row::kLevelRow, Row::kEdgeRow, Row::kGroundRow})
        EXPECT_FALSE(shown(row)) << row;
    for (int row : {Row::kCombinationRow, Row::kChannelARow, Row::kEdgeARow, Row::kChannelBRow,
                    Row::kEdgeBRow})
        EXPECT_TRUE(shown(row)) << row;
    // The combination takes the level row's place.
    EXPECT_FLOAT_EQ(belowType(Row::kCombinationRow), levelBelowType);
    renderFrame().saveToFile("trigger-menu-digital.png");  // for a person to look at

    tapButton(Row::kCombinationRow, 3);
    EXPECT_EQ(model.power_setting.digitalCombination, 3);
    tapButton(Row::kEdgeBRow, 1);
    EXPECT_EQ(model.power_setting.digitalEdgeB, 1);
    tapButton(Row::kEdgeBRow, 1);
    EXPECT_EQ(control.reconfigures, 3);
    EXPECT_TRUE(bright(Row::kCombinationRow, 3));
}

TEST_F(TriggerMenuTest, ChannelStepsOnlyTheViewUntilTheCentreIsTapped) {
    tapButton(Row::kTypeRow, 1);
    control.reset();
    EXPECT_EQ(button(Row::kChannelARow, 1)->getTitleText(), "A: D1");
    EXPECT_EQ(button(Row::kChannelBRow, 1)->getTitleText(), "B: D2");  // stored channel 1
    EXPECT_TRUE(bright(Row::kChannelARow, 1));
    tapButton(Row::kChannelARow, 0);  // "<" from 0 wraps to channel 3
    EXPECT_EQ(button(Row::kChannelARow, 1)->getTitleText(), "A: D4");
    EXPECT_FALSE(bright(Row::kChannelARow, 1));
    EXPECT_EQ(model.power_setting.digitalChannelA, 0);
    EXPECT_EQ(control.reconfigures, 0);
    tapButton(Row::kChannelARow, 1);
    EXPECT_EQ(model.power_setting.digitalChannelA, 3);
    EXPECT_TRUE(bright(Row::kChannelARow, 1));
    tapButton(Row::kChannelARow, 1);
    EXPECT_EQ(control.reconfigures, 1);
    tapButton(Row::kChannelARow, 2);  // ">" from 3 wraps to 0
    EXPECT_EQ(menu->getChannelOnView(0), 0);
    // A damaged stored channel opens on channel 1 and matches none.
    model.power_setting.digitalChannelB = 9;
    open();
    EXPECT_EQ(button(Row::kChannelBRow, 1)->getTitleText(), "B: D1");
    EXPECT_FALSE(bright(Row::kChannelBRow, 1));
}

TEST_F(TriggerMenuTest, GroundNeedsAPowerAxisAndIncludesTheAttenuation) {
    model.accessory.powerAxisMin = NAN;
    menu->markForRefresh();
    step(2);
    EXPECT_FALSE(button(Row::kLevelRow, 0)->isEnabled());
    tapButton(Row::kGroundRow, 0);
    EXPECT_FLOAT_EQ(model.power_setting.triggerLevel, -30.56f);
    EXPECT_EQ(control.reconfigures, 0);
    EXPECT_EQ(menu->openLevelPicker(), nullptr);

    model.accessory.powerAxisMin = -40.f;
    model.runtime.deviceConnected = true;
    model.common_settings.externalAttenuation = 10.f;
    menu->markForRefresh();
    step(2);
    EXPECT_TRUE(button(Row::kLevelRow, 0)->isEnabled());
    tapButton(Row::kGroundRow, 0);
    EXPECT_FLOAT_EQ(model.power_setting.triggerLevel, -30.f);
    EXPECT_EQ(button(Row::kLevelRow, 0)->getTitleText(), "-30.00dBm");
    tapButton(Row::kGroundRow, 0);
    EXPECT_EQ(control.reconfigures, 1);
    EXPECT_FALSE(control.lastClearData());
}

TEST_F(TriggerMenuTest, DelayPickerStepsHalfDivisionsOfTheTimeBase) {
    model.accessory.powerTimeBases = {2e-6f, 8e-6f};
    model.power_setting.powerTimeBaseIndex = 1;
    EXPECT_EQ(button(Row::kDelayRow, 0)->getTitleText(), "0.00 s");
    pick(Row::kDelayRow, K::KEY_DOWN_ARROW, 4);  // from 0 to +2 divisions
    EXPECT_FLOAT_EQ(model.power_setting.triggerDelay, 16e-6f);
    EXPECT_EQ(button(Row::kDelayRow, 0)->getTitleText(), "16.00 µs");
    EXPECT_EQ(control.reconfigures, 1);
    EXPECT_EQ(controller->getTopMenu(), menu);
    pick(Row::kDelayRow, K::KEY_DOWN_ARROW, 0);  // the same value again
    EXPECT_EQ(control.reconfigures, 1);
    pick(Row::kDelayRow, K::KEY_HOME, 1);  // the left edge: no signal kept before the trigger
    EXPECT_FLOAT_EQ(model.power_setting.triggerDelay, -40e-6f);
    EXPECT_EQ(control.reconfigures, 2);
    EXPECT_EQ(control.reconfiguresClearingData, 0);

    // Without time bases the rows are 0.1 s/div apart; the last puts the trigger point on the
    // right edge.
    model.accessory.powerTimeBases.clear();
    pick(Row::kDelayRow, K::KEY_END, 1);
    EXPECT_FLOAT_EQ(model.power_setting.triggerDelay, 0.5f);
    EXPECT_EQ(button(Row::kDelayRow, 0)->getTitleText(), "500.00 ms");
}

TEST_F(TriggerMenuTest, HoldoffAndLevelPickersPreselectTheStoredValue) {
    model.power_setting.triggerHoldoff = 0.002f;
    PickerViewMenu* picker = menu->openHoldoffPicker();
    ASSERT_NE(picker, nullptr);
    EXPECT_EQ(picker->getSelectedRow(), 11);  // 0, then 1 2 5 µs, 10 20 50 µs, ... 2 ms
    pressKey(K::KEY_ESCAPE);
    step(40);
    EXPECT_EQ(control.reconfigures, 0);
    pick(Row::kHoldoffRow, K::KEY_END, 1);
    EXPECT_FLOAT_EQ(model.power_setting.triggerHoldoff, 10.f);
    EXPECT_EQ(button(Row::kHoldoffRow, 0)->getTitleText(), "10.00 s");

    // Axis -40..0 dBm shown 2.3 dB higher: rows -37.5 .. 2.0; -30.56 is nearest -30.5.
    model.runtime.deviceConnected = true;
    model.common_settings.externalAttenuation = 2.3f;
    picker = menu->openLevelPicker();
    ASSERT_NE(picker, nullptr);
    step(30);
    EXPECT_EQ(menu->getPicker(), picker);
    EXPECT_EQ(picker->getSelectedRow(), 14);
    pressKey(K::KEY_HOME);
    pressKey(K::KEY_ENTER);
    step(40);
    EXPECT_FLOAT_EQ(model.power_setting.triggerLevel, -37.5f);
    EXPECT_EQ(control.reconfigures, 2);
}

TEST_F(TriggerMenuTest, ClosingWithAPickerOpenLeavesNoCallbacks) {
    tapNode(button(Row::kDelayRow, 0));
    step(10);
    controller->setScene(scene);  // a resize: menu and picker go at once
    step(60);
    pressKey(K::KEY_ENTER);
    EXPECT_EQ(control.reconfigures, 0);
    EXPECT_EQ(controller->getMenuCount(), 0u);
}

}  // namespace
