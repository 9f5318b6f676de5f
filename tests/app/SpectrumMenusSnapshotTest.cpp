// The spectrum, colour and measure menus opened over the demonstration (third generation,
// 2.4 GHz) played through the controller's packet path with a stepped clock. Writes
// menu-spectrum.png, menu-colors.png and menu-measure.png for people to look at. The spectrum
// menu's table buttons reach this scene's tables.
#include <memory>

#include "app/MainScene.h"
#include "engine/base/Director.h"
#include "engine/ui/Button.h"
#include "link/AccessoryCommunicationDelegate.h"
#include "link/FileResourceReader.h"
#include "menus/MenuController.h"
#include "menus/SpectrumColorMenu.h"
#include "menus/SpectrumMeasureMenu.h"
#include "menus/SpectrumMenu.h"
#include "model/ManualClock.h"
#include "model/SpectrumSettings.h"
#include "tests/app/AppTestSupport.h"

using namespace apptest;

namespace {

class SpectrumMenusSnapshotTest : public AppGlTest {
  protected:
    void SetUp() override {
        AppGlTest::SetUp();
        model.resetToDefaults();
        model.runtime.displayClass = 3;
        AccessoryCommunicationDelegate::Options options;
        options.resources = &resources;
        options.clock = &clock;
        options.startWorker = false;
        // The menus edit the process-wide model, so the demonstration plays into it.
        controller = std::make_unique<AccessoryCommunicationDelegate>(model, options);
    }
    void TearDown() override {
        MenuController::getInstance()->closeAll(false);
        AppGlTest::TearDown();
        controller.reset();
        model.clearSpectrumData();
        model.accessory = AccessoryDescription{};
        model.runtime.deviceConnected = false;
        model.resetToDefaults();
    }
    void start() {
        main = MainScene::create();
        ASSERT_NE(main, nullptr);
        engine::Director::getInstance()->replaceScene(main);
        step(1, 0);
    }
    void play(int passes) {
        for (int i = 0; i < passes; ++i) {
            clock.advance(AccessoryCommunicationDelegate::kPassMs);
            controller->runPass();
            step(1, 0.1f);
        }
    }
    void snapshot(MenuLayer* menu, float anchorX, const char* file) {
        ASSERT_NE(menu, nullptr);
        MenuController::getInstance()->showMenu(menu, engine::Rect(anchorX, 0, 60, 75));
        step(40);
        EXPECT_TRUE(renderFrame().saveToFile(file));
        MenuController::getInstance()->closeAll(false);
    }

    SpectrumSettings& model = *SpectrumSettings::getInstance();
    ManualClock clock{1000};
    FileResourceReader resources{APP_TEST_RESOURCE_ROOT};
    std::unique_ptr<AccessoryCommunicationDelegate> controller;
    MainScene* main = nullptr;
};

TEST_F(SpectrumMenusSnapshotTest, MenusOverTheDemonstration) {
    model.spectrum_settings.traceModes[1] = 1;  // raw over the heat map
    start();
    play(120);
    ASSERT_EQ(model.accessory.generation, 7) << "the demonstration recordings did not play";
    snapshot(SpectrumMenu::create(), 77, "menu-spectrum.png");
    snapshot(SpectrumColorMenu::create(), 302, "menu-colors.png");
    snapshot(SpectrumMeasureMenu::create(), 227, "menu-measure.png");
}

TEST_F(SpectrumMenusSnapshotTest, NewColourMapRepaintsTheWholeWaterfallHistory) {
    model.spectrum_settings.viewMode = SpectrumViewSettings::kWaterfallView;
    start();
    play(60);
    const engine::Image before = renderFrame();
    auto* menu = SpectrumColorMenu::create();
    ASSERT_NE(menu, nullptr);
    menu->retain();
    // Not shown, so handed its host as the controller does when it shows a menu.
    menu->setHost(MenuController::getInstance());
    menu->chooseColorMap(1);  // FIRE
    menu->release();
    const engine::Image after = renderFrame();
    EXPECT_TRUE(after.saveToFile("waterfall-fire.png"));
    // Six seconds of history fill the top rows: the oldest (lowest) rows change colour with the
    // newest.
    int changedTop = 0, changedBottom = 0;
    for (int x = 20; x < 680; x += 10) {
        changedTop += !(pixelAt(before, x, 636) == pixelAt(after, x, 636));
        changedBottom += !(pixelAt(before, x, 621) == pixelAt(after, x, 621));
    }
    EXPECT_GT(changedTop, 10);
    EXPECT_GT(changedBottom, 10);
}

TEST_F(SpectrumMenusSnapshotTest, TableButtonsShowTheScenesTablesAndCloseTheMenus) {
    model.accessory.hasSsidScan24 = true;  // no alert in the way
    start();
    MenuController* menus = MenuController::getInstance();
    for (int row : {SpectrumMenu::kSsidRow, SpectrumMenu::kUtilizationRow}) {
        auto* menu = SpectrumMenu::create();
        menus->showMenu(menu, engine::Rect(60, 0, 60, 75));
        step(40);
        engine::Node* button = menu->getButton(row, row == SpectrumMenu::kSsidRow ? 2 : 0);
        const engine::Size size = button->getContentSize();
        const engine::Vec2 c =
            button->convertToWorldSpace(engine::Vec2(size.width * 0.5f, size.height * 0.5f));
        tap(c.x, c.y);
        step(40);
        EXPECT_EQ(menus->getMenuCount(), 0u);
    }
    EXPECT_FALSE(main->isSsidTableShown());
    EXPECT_EQ(main->getSsidTable(), nullptr);
    EXPECT_TRUE(main->isUtilizationTableShown());
}

}  // namespace
