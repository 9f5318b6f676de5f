// The power-mode menus (power, trigger, measure) opened from the bar over the demonstration's
// power view (second generation), played through the controller's packet path with a stepped
// clock. Writes power-menu-over-demo.png, trigger-menu-over-demo.png and
// power-measure-menu-over-demo.png for people to look at.
#include <memory>
#include <string>

#include "app/MainScene.h"
#include "engine/base/Director.h"
#include "engine/ui/Button.h"
#include "link/AccessoryCommunicationDelegate.h"
#include "link/FileResourceReader.h"
#include "menus/MenuBar.h"
#include "menus/MenuController.h"
#include "menus/MenuLayer.h"
#include "model/ManualClock.h"
#include "model/SpectrumSettings.h"
#include "tests/app/AppTestSupport.h"

using namespace apptest;

namespace {

// The menus edit the process-wide model, so the scene and the controller use it too.
class PowerMenusSnapshotTest : public AppGlTest {
  protected:
    void SetUp() override {
        AppGlTest::SetUp();
        model.resetToDefaults();
        model.runtime.displayClass = 3;
        model.common_settings.spectrumMode = 0;
        model.demo.hardware = 1;
        model.power_setting.measureSlots[0] = 17;
        model.power_setting.measureSlots[1] = 19;
        AccessoryCommunicationDelegate::Options options;
        options.resources = &resources;
        options.clock = &clock;
        options.startWorker = false;
        controller = std::make_unique<AccessoryCommunicationDelegate>(model, options);
        main = MainScene::createWithModel(&model);
        ASSERT_NE(main, nullptr);
        main->setAccessoryControl(controller.get());
        engine::Director::getInstance()->replaceScene(main);
        step(1, 0);
        for (int i = 0; i < 80; ++i) {
            clock.advance(AccessoryCommunicationDelegate::kPassMs);
            controller->runPass();
            step(1, 0.1f);
        }
    }
    void TearDown() override {
        MenuController::getInstance()->closeAll(false);
        AppGlTest::TearDown();
        MenuController::getInstance()->setAccessoryControl(nullptr);
        controller.reset();
        model.resetToDefaults();
        model.accessory = AccessoryDescription{};
        model.runtime.deviceConnected = false;
        model.clearPowerData();
    }
    // Opens a bar button's menu, lets it fade in and saves the picture.
    engine::Image openAndSave(MenuBar::ButtonId id, const std::string& file) {
        MenuController* menus = MenuController::getInstance();
        menus->closeAll(false);
        MenuBar* bar = menus->getMenuBar();
        EXPECT_NE(bar, nullptr);
        if (!bar)
            return {};
        menus->openMenuFromButton(bar->menuIdFor(id), bar->getButton(id));
        step(40);
        EXPECT_NE(menus->getTopMenu(), nullptr);
        engine::Image image = renderFrame();
        EXPECT_TRUE(image.saveToFile(file));
        return image;
    }

    SpectrumSettings& model = *SpectrumSettings::getInstance();
    ManualClock clock{1000};
    FileResourceReader resources{APP_TEST_RESOURCE_ROOT};
    std::unique_ptr<AccessoryCommunicationDelegate> controller;
    MainScene* main = nullptr;
};

TEST_F(PowerMenusSnapshotTest, PowerTriggerAndMeasureMenusOverThePowerView) {
    ASSERT_TRUE(model.accessory.hasPowerMeter) << "the demonstration recordings did not play";
    ASSERT_EQ(model.common_settings.spectrumMode, 0);
    const engine::Image power = openAndSave(MenuBar::kModeMenuButton, "power-menu-over-demo.png");
    EXPECT_EQ(MenuController::getInstance()->getCurrentMenu(), 1);
    openAndSave(MenuBar::kColorsButton, "trigger-menu-over-demo.png");
    EXPECT_EQ(MenuController::getInstance()->getCurrentMenu(), 6);
    openAndSave(MenuBar::kMeasureButton, "power-measure-menu-over-demo.png");
    EXPECT_EQ(MenuController::getInstance()->getCurrentMenu(), 4);
    // The trace shows through the dimmed background above the menu.
    EXPECT_GT(countLit(power, 400, 300, 950, 630), 1000);
}

}  // namespace
