#include <string>

#include "app/MainScene.h"
#include "engine/base/Director.h"
#include "engine/ui/Button.h"
#include "menus/MenuController.h"
#include "menus/SpectrumMenu.h"
#include "model/SpectrumSettings.h"
#include "tests/app/AppTestSupport.h"
#include "views/ssid/SSIDTableLayer.h"

using namespace apptest;

namespace {

// The spectrum menu reaches the application's own scene for its access-point tables.
class SpectrumMenuSceneTest : public AppGlTest {
  protected:
    void SetUp() override {
        AppGlTest::SetUp();
        model.resetToDefaults();
        model.runtime.displayClass = 3;
        model.accessory = AccessoryDescription{};
        model.accessory.hasSsidScan24 = true;
        main = MainScene::create();
        ASSERT_NE(main, nullptr);
        engine::Director::getInstance()->replaceScene(main);
        step(1, 0);
    }
    void TearDown() override {
        model.accessory = AccessoryDescription{};
        model.resetToDefaults();
        AppGlTest::TearDown();
    }
    void tapButton(const engine::Node* node) {
        const engine::Size size = node->getContentSize();
        const engine::Vec2 c =
            node->convertToWorldSpace(engine::Vec2(size.width * 0.5f, size.height * 0.5f));
        tap(c.x, c.y);
    }

    SpectrumSettings& model = *SpectrumSettings::getInstance();
    MainScene* main = nullptr;
};

TEST_F(SpectrumMenuSceneTest, TableButtonShowsTheSceneTableAndHidesItAgain) {
    MenuController* controller = MenuController::getInstance();
    auto* menu = SpectrumMenu::create();
    controller->showMenu(menu, engine::Rect(60, 0, 60, 75));
    step(40);
    tapButton(menu->getButton(SpectrumMenu::kSsidRow, 2));
    step(40);
    EXPECT_TRUE(main->isSsidTableShown());
    EXPECT_NE(main->getSsidTable(), nullptr);
    EXPECT_EQ(controller->getMenuCount(), 0u);
    renderFrame().saveToFile("spectrum-menu-ssid-table.png");  // for a person to look at

    menu = SpectrumMenu::create();
    controller->showMenu(menu, engine::Rect(60, 0, 60, 75));
    step(40);
    tapButton(menu->getButton(SpectrumMenu::kUtilizationRow, 0));
    step(40);
    EXPECT_FALSE(main->isSsidTableShown());
    EXPECT_TRUE(main->isUtilizationTableShown());
}

}  // namespace
