#include "app/MainScene.h"

#include <memory>

#include "engine/2d/Label.h"
#include "engine/2d/Sprite.h"
#include "engine/base/Director.h"
#include "engine/platform/GLView.h"
#include "engine/ui/Scale9Sprite.h"
#include "instrument/Instrument.h"
#include "menus/AlertViewLayer.h"
#include "menus/MenuBar.h"
#include "menus/MenuController.h"
#include "model/ManualClock.h"
#include "model/MillisecondClock.h"
#include "model/SpectrumSettings.h"
#include "tests/app/AppTestSupport.h"
#include "views/spectrum/GridLayer.h"
#include "views/spectrum/ScalingPopoverLayer.h"

using namespace apptest;

namespace {

int countAlerts(engine::Node* scene) {
    int alerts = 0;
    for (engine::Node* child : scene->getChildren())
        alerts += dynamic_cast<AlertViewLayer*>(child) != nullptr;
    return alerts;
}

class MainSceneTest : public AppGlTest {
  protected:
    void SetUp() override {
        AppGlTest::SetUp();
        model.runtime.displayClass = 3;
        SpectrumSettings::getInstance()->runtime.displayClass = 3;
        main = MainScene::createWithModel(&model);
        ASSERT_NE(main, nullptr);
        engine::Director::getInstance()->replaceScene(main);
        step(1, 0);
    }
    void TearDown() override {
        setMillisecondClock(nullptr);
        AppGlTest::TearDown();
    }
    void addAccessPoint(uint64_t lastSeen) {
        auto ap = std::make_unique<AccessPoint>();
        ap->lastSeen = lastSeen;
        model.accessPoints.push_back(std::move(ap));
    }

    SpectrumSettings model;
    MainScene* main = nullptr;
};

TEST_F(MainSceneTest, ViewAreaLeavesTheBarAndGridFillsIt) {
    const engine::Rect view = main->viewArea();
    EXPECT_EQ(view.origin.y, 75.f);
    EXPECT_EQ(view.size.height, 640.f - 75.f);
    EXPECT_EQ(main->innerArea().size.width, 958.f);
    GridLayer* grid = main->getGridLayer();
    ASSERT_NE(grid, nullptr);
    EXPECT_EQ(grid->getPosition().y, 75.f);
    EXPECT_EQ(grid->getContentSize().height, 565.f);
    ASSERT_NE(MenuController::getInstance()->getMenuBar(), nullptr);
    EXPECT_EQ(MenuController::getInstance()->getMenuBar()->getContentSize().height, 75.f);
}

TEST_F(MainSceneTest, GraticuleChangesReachTheGridWithoutARebuild) {
    step(2);
    const int rebuilds = main->getRebuildCount();
    GridLayer* grid = main->getGridLayer();
    model.graticule = SpectrumSettings::kCrosshairs;
    step(1);
    EXPECT_EQ(main->getRebuildCount(), rebuilds);
    EXPECT_EQ(main->getGridLayer(), grid);
    EXPECT_TRUE(grid->showCrosshair);
    EXPECT_FALSE(grid->showMinorGrid);
    EXPECT_FALSE(grid->showMajorTicks);

    // A band the accessory has rebuilds the views once.
    model.accessory.hasSpectrum5 = true;
    model.spectrum_settings.band = 1;
    step(1);
    EXPECT_EQ(main->getRebuildCount(), rebuilds + 1);
    step(1);
    EXPECT_EQ(main->getRebuildCount(), rebuilds + 1);
    EXPECT_FALSE(main->getGridLayer()->showMinorGrid);  // the new grid follows the mask
    model.common_settings.spectrumMode = 0;
    step(1);
    EXPECT_EQ(main->getRebuildCount(), rebuilds + 2);
}

TEST_F(MainSceneTest, FiveGigahertzWithoutSupportAlertsOnceAndStaysOnTwoPointFour) {
    step(1);
    model.spectrum_settings.band = 1;  // the empty description has no 5 GHz flag
    step(1);
    EXPECT_EQ(model.spectrum_settings.band, 0);
    ASSERT_EQ(countAlerts(main), 1);
    AlertViewLayer* alert = nullptr;
    for (engine::Node* child : main->getChildren())
        if (auto* a = dynamic_cast<AlertViewLayer*>(child))
            alert = a;
    EXPECT_EQ(alert->getTitle(), "5.4 Ghz is not supported!!");
    EXPECT_EQ(alert->getMessage(),
              "This accessory does not support 5GHz. Switching to 2.4Ghz view.");
    EXPECT_EQ(alert->getButtonTitles(), std::vector<std::string>{"OK"});
    step(3);
    EXPECT_EQ(countAlerts(main), 1);
    // Power mode does not care about the band.
    model.common_settings.spectrumMode = 0;
    model.spectrum_settings.band = 1;
    step(1);
    EXPECT_EQ(model.spectrum_settings.band, 1);
    EXPECT_EQ(countAlerts(main), 1);
}

TEST_F(MainSceneTest, ADataLogStoppedByTheLinkAlertsOnce) {
    step(1);
    model.runtime.dataLogFailed = true;  // as the link thread sets it
    step(1);
    EXPECT_FALSE(model.runtime.dataLogFailed);
    ASSERT_EQ(countAlerts(main), 1);
    AlertViewLayer* alert = MenuController::getInstance()->getMenuBar()->getOpenAlert();
    ASSERT_NE(alert, nullptr);
    EXPECT_EQ(alert->getMessage().rfind("The data log stopped: its file could not be written.", 0),
              0u);
    EXPECT_EQ(alert->getButtonTitles(), std::vector<std::string>{"OK"});
    renderFrame().saveToFile("data-log-stopped.png");  // for a person to look at
    step(3);
    EXPECT_EQ(countAlerts(main), 1);
}

TEST_F(MainSceneTest, DemoBadgeShowsFaintlyUntilAnAccessoryConnects) {
    step(1);
    ASSERT_NE(main->getDemoBadge(), nullptr);
    EXPECT_EQ(main->getDemoBadge()->getOpacity(), 65);
    EXPECT_EQ(main->getDemoBadge()->getPosition(), engine::Vec2(480, 320));
    model.runtime.deviceConnected = true;
    SpectrumSettings::getInstance()->runtime.deviceConnected = true;
    step(1);
    EXPECT_EQ(main->getDemoBadge()->getOpacity(), 0);
    EXPECT_TRUE(MenuController::getInstance()->getMenuBar()->isConnected());
    SpectrumSettings::getInstance()->runtime.deviceConnected = false;
}

TEST_F(MainSceneTest, StatusLabelsShowTheReadoutsInTheStrip) {
    model.common_settings.spectrumMode = 0;
    MenuController::getInstance()->getMenuBar()->setFlownOut(true, false);
    step(1);
    EXPECT_EQ(main->getAmplitudeLabel()->getString(), "A:5.00dB/div");  // -40..0 dBm over 8
    EXPECT_EQ(main->getDivisionLabel()->getString(), "T:--sec/div");
    EXPECT_EQ(main->getTriggerLabel()->getString(), "TRIG?");
    // With the bar flown out the labels are fully shown, in the bottom strip.
    EXPECT_EQ(main->getAmplitudeLabel()->getOpacity(), 255);
    EXPECT_EQ(main->getAmplitudeLabel()->getPositionY(), 38.f);
    EXPECT_LT(main->getAmplitudeLabel()->getPositionX(), main->getDivisionLabel()->getPositionX());
    EXPECT_LT(main->getDivisionLabel()->getPositionX(), main->getTriggerLabel()->getPositionX());
    engine::Image image = renderFrame();
    EXPECT_GT(countLit(image, 0, 0, 900, 75), 100);  // text in the strip
    model.common_settings.spectrumMode = 1;
    step(1);
    EXPECT_EQ(main->getTriggerLabel()->getOpacity(), 0);
    EXPECT_EQ(main->getDivisionLabel()->getString(), "Hz:10.00 MHz/div");
}

TEST_F(MainSceneTest, AccessPointsAgeOnlyWhileATableIsShown) {
    ManualClock clock;
    clock.set(1000000);
    setMillisecondClock(&clock);
    addAccessPoint(1000000 - 181000);  // seen 181 s ago
    addAccessPoint(1000000 - 10000);
    step(11, 1.f);
    EXPECT_EQ(model.accessPoints.size(), 2u);  // no table shown

    main->showSsidTable();
    model.runtime.scanPaused = true;
    step(11, 1.f);
    EXPECT_EQ(model.accessPoints.size(), 2u);  // paused

    // The timer kept running meanwhile, so the first unpaused frame checks.
    model.runtime.scanPaused = false;
    step(1, 1.f);
    ASSERT_EQ(model.accessPoints.size(), 1u);
    EXPECT_EQ(model.accessPoints[0]->lastSeen, 1000000u - 10000);
    // The flags the tables refresh on were raised and taken.
    EXPECT_FALSE(model.runtime.ssidTableChanged);

    main->hideSsidTable();
    EXPECT_FALSE(model.runtime.scanPaused);
}

TEST_F(MainSceneTest, AcquiringIndicatorComesAndGoesWithTheFlag) {
    model.runtime.ssidAcquiring = true;
    step(1);
    ASSERT_NE(main->getAcquiringIndicator(), nullptr);
    step(30);
    EXPECT_NE(main->getAcquiringIndicator(), nullptr);
    model.common_settings.spectrumMode = 0;  // only in spectrum mode
    step(1);
    EXPECT_EQ(main->getAcquiringIndicator(), nullptr);
    EXPECT_FALSE(model.runtime.ssidAcquiring);
}

}  // namespace

namespace {

TEST_F(MainSceneTest, ResizeRelaysOutAndKeepsCursorsInPlace) {
    // The waterfall view has no trace layer, which would consume the 2.4 GHz redraw flags in the
    // frame that sets them.
    model.spectrum_settings.viewMode = 1;
    step(1);
    model.cursors.verticalX[0] = 96.f;
    model.cursors.verticalX[1] = 480.f;
    model.cursors.horizontalY[0] = 113.f;
    model.cursors.positionReferencePair[1] = 240.f;
    model.cursors.levelReferencePair[0] = 56.5f;
    model.band24.heatMap.dirty = false;
    model.band24.tracesReady = false;
    const uint64_t changes = main->getInstrument().changeCount();
    engine::GLView* view = engine::Director::getInstance()->getOpenGLView();
    view->setFrameSize(1200, 715);
    step(2);
    // Stored cursor positions changed: through the instrument, once.
    EXPECT_EQ(main->getInstrument().changeCount(), changes + 1);
    EXPECT_TRUE(main->getInstrument().isStoreDirty());
    EXPECT_EQ(main->getContentSize().width, 1200.f);
    EXPECT_FLOAT_EQ(model.cursors.verticalX[0], 120.f);  // width ratio 1.25
    EXPECT_FLOAT_EQ(model.cursors.verticalX[1], 600.f);
    EXPECT_FLOAT_EQ(model.cursors.positionReferencePair[1], 300.f);
    EXPECT_FLOAT_EQ(model.cursors.horizontalY[0], 128.f);  // plot height 565 -> 640
    EXPECT_FLOAT_EQ(model.cursors.levelReferencePair[0], 64.f);
    EXPECT_TRUE(model.band24.tracesReady);
    EXPECT_TRUE(model.band24.heatMap.dirty);
    EXPECT_TRUE(model.band24.heatMap.cumulative);
    EXPECT_TRUE(model.band5.waterfallDirty);
    EXPECT_EQ(main->getDemoBadge()->getPosition(), engine::Vec2(600, 357.5f));
    EXPECT_EQ(main->getGridLayer()->getContentSize().width, 1200.f);
    EXPECT_EQ(main->getGridLayer()->getContentSize().height, 640.f);
    EXPECT_EQ(MenuController::getInstance()->getMenuBar()->getContentSize().width, 1200.f);
    // The scaling popover follows the plotting area, its glass in the middle of it.
    auto expectPopoverCentred = [&] {
        ScalingPopoverLayer* popover = main->getScalingPopover();
        ASSERT_NE(popover, nullptr);
        const engine::Rect inner = main->innerArea();
        EXPECT_EQ(popover->getPosition(), inner.origin);
        EXPECT_EQ(popover->getContentSize().width, inner.size.width);
        EXPECT_EQ(popover->getContentSize().height, inner.size.height);
        ASSERT_NE(popover->getGlass(), nullptr);
        EXPECT_EQ(popover->getGlass()->getPosition(),
                  engine::Vec2(inner.size.width * 0.5f, inner.size.height * 0.5f));
        EXPECT_EQ(popover->getBackground()->getPosition().x, inner.size.width * 0.5f);
    };
    expectPopoverCentred();
    view->setFrameSize(960, 640);
    step(2);
    EXPECT_FLOAT_EQ(model.cursors.verticalX[0], 96.f);
    expectPopoverCentred();
}

}  // namespace
