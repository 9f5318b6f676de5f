#include "menus/PowerMenu.h"

#include <string>
#include <vector>

#include "engine/ui/Button.h"
#include "menus/MenuController.h"
#include "menus/PickerViewMenu.h"
#include "model/SpectrumSettings.h"
#include "tests/menus/MenuTestSupport.h"

using namespace menutest;
using engine::ui::Button;
using K = engine::EventKeyboard::KeyCode;

namespace {

class PowerMenuTest : public MenuGlTest {
  protected:
    void SetUp() override {
        MenuGlTest::SetUp();
        model.resetToDefaults();
        model.accessory = AccessoryDescription{};
        model.runtime.deviceConnected = false;
        model.runtime.displayClass = 0;
        model.common_settings.spectrumMode = 0;
        model.clearPowerData();
        controller->setAccessoryControl(&control);
        controller->setScene(scene);
        menu = PowerMenu::create();
        controller->showMenu(menu, engine::Rect(40, 0, 49, 49));
        step(40);
    }
    void TearDown() override {
        controller->detach();
        controller->setAccessoryControl(nullptr);
        model.resetToDefaults();
        model.clearPowerData();
        model.accessory = AccessoryDescription{};
        model.runtime.deviceConnected = false;
        MenuGlTest::TearDown();
    }
    Button* button(int row, int index) { return menu->getButton(row, index); }
    void tapButton(int row, int index) {
        tapNode(button(row, index));
        step(2);
    }
    void connectFirstGeneration() {
        model.runtime.deviceConnected = true;
        model.accessory.hasInternalAttenuator = true;
        model.accessory.internalAttenuationCount = 8;
        for (int i = 0; i < 8; ++i)
            model.accessory.internalAttenuations[i] = 4.f * i;
        menu->markForRefresh();
        step(2);
    }
    // Live captures of `count` values each, all on screen.
    void liveCaptures(const std::vector<float>& firstValues) {
        model.live.history.clear();
        model.live.processedHistory.clear();
        model.live.alpha.clear();
        for (float v : firstValues) {
            model.live.history.push_back({v, v + 1});
            model.live.processedHistory.push_back({0, v, 1, v + 1});
            model.live.alpha.push_back(0.5f);
        }
    }

    SpectrumSettings& model = *SpectrumSettings::getInstance();
    MenuController* controller = MenuController::getInstance();
    FakeAccessoryControl control;
    PowerMenu* menu = nullptr;
};

TEST_F(PowerMenuTest, GrabKeepsOnlyTheNewestCaptureAndShowsIt) {
    liveCaptures({-30, -20, -10});
    tapButton(PowerMenu::kReferenceRow, PowerMenu::kGrabButton);  // would spin with the lock held
    ASSERT_EQ(model.reference.history.size(), 1u);
    EXPECT_EQ(model.reference.history[0][0], -10);
    EXPECT_EQ(model.reference.processedHistory.size(), 1u);
    EXPECT_EQ(model.reference.alpha.size(), 1u);
    EXPECT_TRUE(model.reference.isValid);
    EXPECT_EQ(model.reference_channel.shown, 1);

    // One capture on screen: a second grab replaces the first rather than adding to it.
    liveCaptures({-5});
    tapButton(PowerMenu::kReferenceRow, PowerMenu::kGrabButton);
    ASSERT_EQ(model.reference.history.size(), 1u);
    EXPECT_EQ(model.reference.history[0][0], -5);
    EXPECT_EQ(model.reference.processedHistory.size(), 1u);
    EXPECT_EQ(control.totalRequests(), 0);
}

TEST_F(PowerMenuTest, ClearEmptiesTheReferenceAndRefTogglesIt) {
    liveCaptures({-30});
    tapButton(PowerMenu::kReferenceRow, PowerMenu::kGrabButton);
    renderFrame().saveToFile("power-menu.png");  // for a person to look at
    tapButton(PowerMenu::kReferenceRow, PowerMenu::kClearButton);
    EXPECT_TRUE(model.reference.history.empty());
    EXPECT_FALSE(model.reference.isValid);
    EXPECT_EQ(model.reference_channel.shown, 1);
    tapButton(PowerMenu::kReferenceRow, PowerMenu::kRefButton);
    EXPECT_EQ(model.reference_channel.shown, 0);
    tapButton(PowerMenu::kReferenceRow, PowerMenu::kRefButton);
    EXPECT_EQ(model.reference_channel.shown, 1);
}

TEST_F(PowerMenuTest, InternalStepsAreThoseTheCommandCarries) {
    EXPECT_FALSE(button(PowerMenu::kInternalRow, 0)->isEnabled());
    connectFirstGeneration();
    EXPECT_TRUE(button(PowerMenu::kInternalRow, 0)->isEnabled());

    // A stored 28 dB step is shown as stored, not offered, and survives a cancelled picker.
    model.common_settings.internalAttenuationIndex = 7;
    tapButton(PowerMenu::kInternalRow, 0);
    PickerViewMenu* picker = menu->getPicker();
    ASSERT_NE(picker, nullptr);
    EXPECT_EQ(picker->getSelectedRow(), 0);
    pressKey(K::KEY_END);
    step(30);
    EXPECT_EQ(picker->getSelectedRow(), 6);  // "24 dB" is the last row
    pressKey(K::KEY_ESCAPE);
    step(40);
    EXPECT_EQ(model.common_settings.internalAttenuationIndex, 7);
    EXPECT_EQ(button(PowerMenu::kInternalRow, 0)->getTitleText(), "28 dB");
    EXPECT_EQ(control.reconfigures, 0);

    // A change reconfigures and clears the data taken at the old attenuation; the same step
    // again sends nothing.
    for (int again = 0; again < 2; ++again) {
        tapButton(PowerMenu::kInternalRow, 0);
        pressKey(K::KEY_HOME);
        for (int i = 0; i < 3; ++i)
            pressKey(K::KEY_DOWN_ARROW);
        step(30);
        pressKey(K::KEY_ENTER);
        step(40);
    }
    EXPECT_EQ(model.common_settings.internalAttenuationIndex, 3);
    EXPECT_EQ(button(PowerMenu::kInternalRow, 0)->getTitleText(), "12 dB");
    EXPECT_EQ(control.reconfigures, 1);
    EXPECT_EQ(control.reconfiguresClearingData, 1);
}

TEST_F(PowerMenuTest, ExternalPickerSpansZeroToSixtyDecibels) {
    EXPECT_EQ(button(PowerMenu::kExternalRow, 0)->getTitleText(), "0.00 dB");
    PickerViewMenu* picker = menu->openExternalPicker();
    ASSERT_NE(picker, nullptr);
    step(30);
    pressKey(K::KEY_END);
    step(30);
    pressKey(K::KEY_ENTER);
    step(40);
    EXPECT_FLOAT_EQ(model.common_settings.externalAttenuation, 60.f);
    EXPECT_EQ(button(PowerMenu::kExternalRow, 0)->getTitleText(), "60.00 dB");
    EXPECT_EQ(control.reconfigures, 1);
    EXPECT_EQ(control.reconfiguresClearingData, 0);

    // An off-grid stored value opens on the nearest row and stays until a row is chosen.
    model.common_settings.externalAttenuation = 12.4f;
    picker = menu->openExternalPicker();
    ASSERT_NE(picker, nullptr);
    EXPECT_EQ(picker->getSelectedRow(), 12);
    picker->cancel();
    step(40);
    EXPECT_FLOAT_EQ(model.common_settings.externalAttenuation, 12.4f);
}

}  // namespace
