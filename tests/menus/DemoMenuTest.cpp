#include "menus/DemoMenu.h"

#include "engine/ui/Button.h"
#include "menus/MenuController.h"
#include "menus/PickerViewMenu.h"
#include "model/SpectrumSettings.h"
#include "tests/menus/MenuTestSupport.h"

using namespace menutest;
using K = engine::EventKeyboard::KeyCode;

namespace {

class DemoMenuTest : public MenuGlTest {
  protected:
    void SetUp() override {
        MenuGlTest::SetUp();
        model.demo = DemoSelection{};
        model.runtime.deviceConnected = false;
        model.runtime.displayClass = 0;
        controller->setAccessoryControl(&control);
        controller->setScene(scene);
        menu = DemoMenu::create();
        controller->showMenu(menu, engine::Rect(300, 0, 49, 49));
        step(40);
    }
    void TearDown() override {
        controller->detach();
        controller->setAccessoryControl(nullptr);
        model.demo = DemoSelection{};
        MenuGlTest::TearDown();
    }
    // Opens a row's picker with a click, moves with keys and chooses with Enter.
    void pick(int row, K move, int presses) {
        tapNode(menu->getButton(row, 0));
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
    DemoMenu* menu = nullptr;
};

TEST_F(DemoMenuTest, WifiSsidRowOnlyForAWifiSignalOnAScanningModel) {
    EXPECT_EQ(menu->getButton(DemoMenu::kHardwareRow, 0)->getTitleText(), "Tarno Duo");
    EXPECT_EQ(menu->getButton(DemoMenu::kSignalRow, 0)->getTitleText(), "WIFI");
    EXPECT_TRUE(menu->getRowNode(DemoMenu::kWifiSsidRow)->isVisible());
    tapNode(menu->getButton(DemoMenu::kWifiSsidRow, 0));  // OFF
    EXPECT_EQ(model.demo.wifiSsid, 0);
    renderFrame();
    EXPECT_EQ(menu->getButton(DemoMenu::kWifiSsidRow, 0)->getTitleColor(),
              engine::Color3B(255, 255, 255));

    pick(DemoMenu::kHardwareRow, K::KEY_HOME, 1);
    EXPECT_EQ(model.demo.hardware, 0);
    renderFrame();
    EXPECT_FALSE(menu->getRowNode(DemoMenu::kWifiSsidRow)->isVisible());
    EXPECT_EQ(menu->getButton(DemoMenu::kHardwareRow, 0)->getTitleText(), "Tarno");
}

TEST_F(DemoMenuTest, HardwareChangesRestartPlaybackOnlyWhenTheyChangeSomething) {
    pick(DemoMenu::kHardwareRow, K::KEY_DOWN_ARROW, 0);  // Tarno Duo again
    EXPECT_EQ(control.playbackRestarts, 0);
    EXPECT_EQ(controller->getTopMenu(), menu);
    pick(DemoMenu::kHardwareRow, K::KEY_UP_ARROW, 1);
    EXPECT_EQ(model.demo.hardware, 1);
    EXPECT_EQ(control.playbackRestarts, 1);
    // Escape leaves the picker without a change.
    tapNode(menu->getButton(DemoMenu::kHardwareRow, 0));
    pressKey(K::KEY_HOME);
    pressKey(K::KEY_ESCAPE);
    step(40);
    EXPECT_EQ(model.demo.hardware, 1);
    EXPECT_EQ(controller->getTopMenu(), menu);

    pick(DemoMenu::kSignalRow, K::KEY_DOWN_ARROW, 2);
    EXPECT_EQ(model.demo.signalType, 3);
    EXPECT_EQ(control.reconfiguresClearingData, 1);
    EXPECT_EQ(control.playbackRestarts, 1);
}

TEST_F(DemoMenuTest, DualBandModelOffersTwoSignalsAndClampsAStoredThird) {
    model.demo.signalType = 2;  // DECT: not played on the dual-band model
    PickerViewMenu* picker = menu->openPicker(DemoMenu::kSignalPicker);
    ASSERT_NE(picker, nullptr);
    EXPECT_EQ(menu->numberOfRowsInPickerView(picker), 2);
    EXPECT_EQ(picker->getSelectedRow(), 1);
    model.demo.hardware = 1;
    EXPECT_EQ(menu->numberOfRowsInPickerView(picker), 4);
    EXPECT_EQ(menu->pickerViewTitleForRow(picker, 3), "DSS");
}

TEST_F(DemoMenuTest, ClosingEverythingWithAPickerOpenLeavesNoCallbacks) {
    tapNode(menu->getButton(DemoMenu::kSignalRow, 0));
    step(10);
    // A resize mid-fade: the menu and its picker go at once.
    controller->setScene(scene);
    step(60);
    pressKey(K::KEY_ENTER);
    EXPECT_EQ(control.reconfigures, 0);
    EXPECT_EQ(controller->getMenuCount(), 0u);
}

}  // namespace

namespace {

TEST_F(DemoMenuTest, PowerViewRowShowsTheRecordingsRollingOrTriggered) {
    AccessoryDescription saved = model.accessory;
    const int32_t savedIndex = model.power_setting.powerTimeBaseIndex;
    model.demo.hardware = 0;
    model.accessory.hasPowerMeter = false;
    menu->markForRefresh();
    renderFrame();
    EXPECT_FALSE(menu->getRowNode(DemoMenu::kPowerViewRow)->isVisible());

    model.accessory.hasPowerMeter = true;
    model.accessory.powerTimeBases.assign(18, 1e-3f);
    model.accessory.powerRollLimitIndex = 5;
    model.power_setting.powerTimeBaseIndex = 16;
    menu->markForRefresh();
    renderFrame();
    ASSERT_TRUE(menu->getRowNode(DemoMenu::kPowerViewRow)->isVisible());
    tapNode(menu->getButton(DemoMenu::kPowerViewRow, 1));  // ROLLING
    EXPECT_EQ(model.power_setting.powerTimeBaseIndex, 4);
    EXPECT_TRUE(model.isRolling());
    ASSERT_EQ(control.reconfigures, 1);
    EXPECT_TRUE(control.lastClearData());
    tapNode(menu->getButton(DemoMenu::kPowerViewRow, 1));  // already rolling: nothing sent
    EXPECT_EQ(control.reconfigures, 1);
    tapNode(menu->getButton(DemoMenu::kPowerViewRow, 0));  // TRIGGERED: the recording's own
    EXPECT_EQ(model.power_setting.powerTimeBaseIndex, 16);
    EXPECT_EQ(control.reconfigures, 2);

    model.accessory = saved;
    model.power_setting.powerTimeBaseIndex = savedIndex;
}

}  // namespace
