#include "menus/SpectrumColorMenu.h"

#include "engine/2d/LayerColor.h"
#include "engine/ui/Button.h"
#include "menus/MenuController.h"
#include "model/SpectrumSettings.h"
#include "tests/menus/MenuTestSupport.h"

using namespace menutest;

namespace {

class SpectrumColorMenuTest : public MenuGlTest {
  protected:
    void SetUp() override {
        MenuGlTest::SetUp();
        model.resetToDefaults();
        model.runtime.displayClass = 0;
        scene->addChild(engine::LayerColor::create(engine::Color4B(0, 40, 60, 255)), 0);
        controller->setAccessoryControl(&control);
        controller->setScene(scene);
        menu = SpectrumColorMenu::create();
        controller->showMenu(menu, engine::Rect(200, 0, 49, 49));
        step(40);
    }
    void TearDown() override {
        controller->detach();
        controller->setAccessoryControl(nullptr);
        model.resetToDefaults();
        MenuGlTest::TearDown();
    }
    int brightButtons() {
        int bright = 0;
        for (int i = 0; i < 4; ++i) {
            engine::ui::Button* b = menu->getButton(SpectrumColorMenu::kColorMapRow, i);
            bright += b->getTitleColor() == engine::Color3B(255, 255, 255) ? 1 : 0;
        }
        return bright;
    }
    void markPicturesClean() {
        for (BandSweepBuffers* band : {&model.band24, &model.band5}) {
            band->heatMap.dirty = false;
            band->waterfallDirty = false;
        }
    }

    SpectrumSettings& model = *SpectrumSettings::getInstance();
    MenuController* controller = MenuController::getInstance();
    FakeAccessoryControl control;
    SpectrumColorMenu* menu = nullptr;
};

TEST_F(SpectrumColorMenuTest, ChoiceWritesBothCopiesAndRepaintsBothBandsWhole) {
    renderFrame().saveToFile("spectrum-color-menu.png");  // for a person to look at
    EXPECT_EQ(brightButtons(), 1);
    model.spectrum_settings.heatMapColorMapTrace = 3;  // the copies disagree
    markPicturesClean();
    tapNode(menu->getButton(SpectrumColorMenu::kColorMapRow, 1));  // FIRE
    EXPECT_EQ(model.spectrum_settings.heatMapColorMap, 1);
    EXPECT_EQ(model.spectrum_settings.heatMapColorMapTrace, 1);
    for (BandSweepBuffers* band : {&model.band24, &model.band5}) {
        EXPECT_TRUE(band->heatMap.dirty);
        EXPECT_TRUE(band->waterfallDirty);
    }
    renderFrame();
    EXPECT_EQ(menu->getButton(SpectrumColorMenu::kColorMapRow, 1)->getTitleColor(),
              engine::Color3B(255, 255, 255));
    EXPECT_EQ(brightButtons(), 1);
    EXPECT_EQ(control.totalRequests(), 0);
}

TEST_F(SpectrumColorMenuTest, StoredMapOutsideTheFourLeavesEveryButtonDim) {
    for (int stored : {4, -1, 1000}) {
        model.spectrum_settings.heatMapColorMap = stored;
        menu->markForRefresh();
        renderFrame();
        EXPECT_EQ(brightButtons(), 0) << stored;
    }
    tapNode(menu->getButton(SpectrumColorMenu::kColorMapRow, 3));
    renderFrame();
    EXPECT_EQ(model.spectrum_settings.heatMapColorMap, 3);
    EXPECT_EQ(brightButtons(), 1);
}

}  // namespace
