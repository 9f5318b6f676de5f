#include "menus/SettingsMenu.h"

#include <cmath>
#include <limits>
#include <string>

#include "engine/2d/Label.h"
#include "engine/2d/LayerColor.h"
#include "engine/platform/FileUtils.h"
#include "engine/ui/Button.h"
#include "engine/ui/Slider.h"
#include "menus/MenuBar.h"
#include "menus/MenuController.h"
#include "model/SpectrumSettings.h"
#include "model/config/ConfigurationStore.h"
#include "storage/MemoryKeyValueStore.h"
#include "tests/menus/MenuTestSupport.h"
#include "tests/protocol/CapturingSink.h"

using namespace menutest;
using engine::ui::Button;

namespace {

class SettingsMenuTest : public MenuGlTest {
  protected:
    void SetUp() override {
        MenuGlTest::SetUp();
        model.resetToDefaults();
        model.runtime.deviceConnected = false;
        model.runtime.dataLogState = 0;
        model.runtime.displayClass = 0;
        model.common_settings.spectrumMode = 1;
        model.accessory = AccessoryDescription{};
        scene->addChild(engine::LayerColor::create(engine::Color4B(0, 60, 0, 255)), 0);
        controller->setAccessoryControl(&control);
        controller->setScene(scene);
        menu = SettingsMenu::create();
        controller->showMenu(menu, engine::Rect(300, 0, 49, 49));
        step(40);
    }
    void TearDown() override {
        controller->detach();
        controller->setAccessoryControl(nullptr);
        model.resetToDefaults();
        MenuGlTest::TearDown();
    }
    Button* button(int row, int index) { return menu->getButton(row, index); }
    bool bright(int row, int index) {
        return button(row, index)->getTitleColor() == engine::Color3B(255, 255, 255);
    }

    SpectrumSettings& model = *SpectrumSettings::getInstance();
    MenuController* controller = MenuController::getInstance();
    FakeAccessoryControl control;
    SettingsMenu* menu = nullptr;
};

TEST_F(SettingsMenuTest, GraticuleStepsThroughItsElementsAndTogglesThem) {
    renderFrame().saveToFile("settings-menu.png");  // for a person to look at
    const int row = SettingsMenu::kGraticuleRow;
    EXPECT_EQ(button(row, 1)->getTitleText(), "GRATICULE");
    EXPECT_TRUE(bright(row, 1));
    // The whole graticule: off, then all five bits on again.
    tapNode(button(row, 1));
    EXPECT_EQ(model.graticule, 0u);
    renderFrame();
    EXPECT_FALSE(bright(row, 1));
    tapNode(button(row, 1));
    EXPECT_EQ(model.graticule, 31u);
    // "<" wraps from the whole graticule to the last element.
    tapNode(button(row, 0));
    renderFrame();
    EXPECT_EQ(button(row, 1)->getTitleText(), "MINOR GRID");
    tapNode(button(row, 0));
    renderFrame();
    EXPECT_EQ(menu->getGraticulePosition(), 4);
    EXPECT_EQ(button(row, 1)->getTitleText(), "MAJOR GRID");
    tapNode(button(row, 1));
    EXPECT_EQ(model.graticule, 23u);
    renderFrame();
    EXPECT_FALSE(bright(row, 1));
    // Any partial mask turns fully on from the whole-graticule position.
    for (int i = 0; i < 2; ++i)
        tapNode(button(row, 2));
    EXPECT_EQ(menu->getGraticulePosition(), 0);
    tapNode(button(row, 1));
    EXPECT_EQ(model.graticule, 31u);
}

TEST_F(SettingsMenuTest, AlertsCycleOverTheirThreeChoices) {
    const int row = SettingsMenu::kAlertsRow;
    tapNode(button(row, 1));
    EXPECT_EQ(model.alerts, 0u);
    tapNode(button(row, 2));
    renderFrame();
    EXPECT_EQ(button(row, 1)->getTitleText(), "ON STARTUP");
    tapNode(button(row, 1));
    EXPECT_EQ(model.alerts, 1u);
    tapNode(button(row, 0));
    tapNode(button(row, 0));
    renderFrame();
    EXPECT_EQ(button(row, 1)->getTitleText(), "ON DISCONNECT");
    tapNode(button(row, 1));
    tapNode(button(row, 2));
    renderFrame();
    EXPECT_EQ(menu->getAlertPosition(), 0);
    EXPECT_TRUE(bright(row, 1));  // 1 | 2 is the whole set
}

TEST_F(SettingsMenuTest, PersistenceSliderCoversTheRangeWhateverIsStored) {
    EXPECT_FLOAT_EQ(SettingsMenu::persistTimeForPercent(0), 0.1f);
    EXPECT_NEAR(SettingsMenu::persistTimeForPercent(100), 20.0f, 1e-5);
    EXPECT_FLOAT_EQ(SettingsMenu::persistPercent(0.1f), 0);
    EXPECT_FLOAT_EQ(SettingsMenu::persistPercent(25.f), 100);
    EXPECT_FLOAT_EQ(SettingsMenu::persistPercent(2.f), 9);  // truncated, not rounded
    EXPECT_FLOAT_EQ(SettingsMenu::persistPercent(std::numeric_limits<float>::quiet_NaN()), 0);
    EXPECT_FLOAT_EQ(SettingsMenu::persistPercent(1e30f), 100);
    EXPECT_FLOAT_EQ(SettingsMenu::persistPercent(-1e30f), 0);

    model.power_setting.persistTime = std::numeric_limits<float>::quiet_NaN();
    menu->markForRefresh();
    renderFrame();
    EXPECT_EQ(menu->getSlider(SettingsMenu::kPersistRow)->getPercent(), 0);
    // Dragged to the right end: 20 seconds.
    engine::ui::Slider* slider = menu->getSlider(SettingsMenu::kPersistRow);
    const engine::Vec2 left = slider->convertToWorldSpace(engine::Vec2(0, 4));
    const engine::Vec2 right =
        slider->convertToWorldSpace(engine::Vec2(slider->getContentSize().width, 4));
    touchBegan(0, left.x, left.y);
    touchMoved(0, right.x + 30, right.y);
    touchEnded(0, right.x + 30, right.y);
    EXPECT_NEAR(model.power_setting.persistTime, 20.f, 1e-4);
    renderFrame();
    EXPECT_EQ(menu->getValueLabel(SettingsMenu::kPersistRow)->getString(), "20.0s");
}

TEST_F(SettingsMenuTest, UnitsAndTraceStyleFollowTheModel) {
    tapNode(button(SettingsMenu::kUnitsRow, 1));
    EXPECT_EQ(model.common_settings.powerUnitsWatts, 1);
    tapNode(button(SettingsMenu::kTraceStyleRow, 1));
    EXPECT_EQ(model.common_settings.traceDots, 1);
    renderFrame();
    EXPECT_TRUE(bright(SettingsMenu::kTraceStyleRow, 1));
    EXPECT_FALSE(bright(SettingsMenu::kTraceStyleRow, 0));
}

TEST_F(SettingsMenuTest, DataLogButtonsFollowTheConnectionAndTheState) {
    const int row = SettingsMenu::kDataLogRow;
    auto& state = model.runtime.dataLogState;
    EXPECT_FALSE(button(row, 0)->isEnabled());
    EXPECT_FALSE(button(row, 1)->isEnabled());
    tapNode(button(row, 0));
    EXPECT_EQ(state, 0);

    model.runtime.deviceConnected = true;
    menu->markForRefresh();
    renderFrame();
    EXPECT_TRUE(button(row, 0)->isEnabled());
    EXPECT_FALSE(button(row, 1)->isEnabled());
    tapNode(button(row, 1));  // STOP while idle
    EXPECT_EQ(state, 0);
    tapNode(button(row, 0));
    EXPECT_EQ(state, 1);
    renderFrame();
    tapNode(button(row, 0));  // START while starting
    EXPECT_EQ(state, 1);
    state = 2;
    menu->markForRefresh();
    renderFrame();
    EXPECT_FALSE(button(row, 0)->isEnabled());
    tapNode(button(row, 1));
    EXPECT_EQ(state, 3);
}

TEST_F(SettingsMenuTest, LoadAndResetTellTheControllerAndTheBar) {
    model.accessory.generation = 6;
    model.accessory.hasSpectrum24 = true;
    model.demo.hardware = 0;
    model.common_settings.traceDots = 1;
    tapNode(button(SettingsMenu::kConfig1Row, 0));  // SAVE
    model.common_settings.traceDots = 0;
    model.common_settings.spectrumMode = 0;  // not possible on this accessory
    const int refreshes = controller->getMenuBar()->getRefreshCount();
    tapNode(button(SettingsMenu::kConfig1Row, 1));  // LOAD
    EXPECT_EQ(model.common_settings.traceDots, 1);
    EXPECT_EQ(model.common_settings.spectrumMode, 1);
    EXPECT_EQ(control.reconfiguresClearingData, 1);
    EXPECT_GT(controller->getMenuBar()->getRefreshCount(), refreshes);
    renderFrame();
    EXPECT_TRUE(bright(SettingsMenu::kTraceStyleRow, 1));

    // Reset brings the demonstration's default model back: playback starts again.
    tapNode(button(SettingsMenu::kResetRow, 0));
    EXPECT_EQ(model.common_settings.traceDots, 0);
    EXPECT_EQ(model.demo.hardware, DemoSelection{}.hardware);
    EXPECT_EQ(control.playbackRestarts, 1);
    EXPECT_EQ(control.reconfigures, 1);
}

TEST_F(SettingsMenuTest, SaveThatCannotBeWrittenIsReported) {
    MemoryKeyValueStore store;
    store.setFlushResult(false);  // a full disk, or a store opened read-only
    ConfigurationStore::use(&store);
    CapturingSink log;
    model.runtime.screenLog = &log;
    tapNode(button(SettingsMenu::kConfig1Row, 0));  // SAVE
    model.runtime.screenLog = nullptr;
    ConfigurationStore::use(nullptr);
    ASSERT_EQ(log.lines.size(), 1u);
    EXPECT_EQ(log.lines[0], "Configuration 1 could not be saved");
}

TEST_F(SettingsMenuTest, ScreenshotLeavesOutMenusAndBar) {
    const std::string directory = engine::FileUtils::getInstance()->getWritablePath();
    tapNode(button(SettingsMenu::kScreenshotRow, 0));
    EXPECT_FALSE(controller->getMenuBar()->isVisible());
    EXPECT_EQ(menu->getOpacity(), 0);
    // A second one in the same second gets a name of its own.
    const std::string first = SettingsMenu::takeScreenshot();
    const std::string second = SettingsMenu::takeScreenshot();
    EXPECT_NE(first, second);
    step(20);
    engine::Image picture;
    ASSERT_TRUE(picture.initWithImageFile(directory + second));
    picture.saveToFile("screenshot-without-menus.png");  // for a person to look at
    // Only the green scene: neither the bar at the bottom nor the menu above it.
    for (int y : {10, 30, 100, 200})
        EXPECT_EQ(pixelAt(picture, 320, y), (gltest::Rgb{0, 60, 0})) << y;
    step(20);
    EXPECT_TRUE(controller->getMenuBar()->isVisible());
    EXPECT_EQ(menu->getOpacity(), 255);
    EXPECT_EQ(controller->getBackground()->getOpacity(), MenuController::kDimOpacity);
}

}  // namespace
