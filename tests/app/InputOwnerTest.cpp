// One input owner: in the whole scene (views, bar, menus, tables, alerts), a key, a click or a
// wheel notch reaches the top modal only and is used once; the wheel steps zooms and presses
// nothing; the log stays beneath the menus; every key of the views does what F1 says.
#include <SDL2/SDL.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <filesystem>

#include "app/MainScene.h"
#include "app/PointerReadout.h"
#include "app/PointerReadoutLayer.h"
#include "engine/2d/Label.h"
#include "engine/base/Director.h"
#include "engine/base/EventDispatcher.h"
#include "engine/platform/FileUtils.h"
#include "engine/platform/GLView.h"
#include "engine/ui/Button.h"
#include "engine/ui/Slider.h"
#include "menus/AlertViewLayer.h"
#include "menus/MenuBar.h"
#include "menus/MenuController.h"
#include "menus/MenuLayer.h"
#include "menus/ScreenLog.h"
#include "model/SpectrumSettings.h"
#include "tests/app/InputTestSupport.h"
#include "views/power/PowerUIAndTouchLayer.h"
#include "views/spectrum/WaterfallThresholdAndTouchLayer.h"

using namespace apptest;
using K = engine::EventKeyboard::KeyCode;

namespace {

TEST_F(InputOwnerTest, AKeyMovesTheCursorOrTheBarRingNeverBoth) {
    model().cursors.cursorsShown = 1;
    model().cursors.verticalShown = 1;
    model().cursors.horizontalShown = 1;
    step(2);
    const float x = model().cursors.verticalX[0];
    sdlKey(SDLK_RIGHT);
    EXPECT_GT(model().cursors.verticalX[0], x);
    EXPECT_EQ(bar()->getFocusedButton(), -1);
    // Tab still reaches the bar while the cursors are on.
    sdlKey(SDLK_TAB);
    EXPECT_EQ(bar()->getFocusedButton(), MenuBar::kFlyTogglePosition);

    // Inside a menu Up and Down move its ring only.
    openMenu(8);
    const float y = model().cursors.horizontalY[0];
    sdlKey(SDLK_DOWN);
    sdlKey(SDLK_DOWN);
    EXPECT_EQ(model().cursors.horizontalY[0], y);
    MenuLayer* menu = MenuController::getInstance()->getTopMenu();
    ASSERT_NE(menu, nullptr);
    EXPECT_GE(menu->getFocusRow(), 0);
    EXPECT_EQ(bar()->getFocusedButton(), MenuBar::kFlyTogglePosition);
}

TEST_F(InputOwnerTest, TheBandAlertOverAMenuTakesEnterAndNothingLeaksBehind) {
    openMenu(8);
    MenuLayer* menu = MenuController::getInstance()->getTopMenu();
    ASSERT_NE(menu, nullptr);
    sdlKey(SDLK_DOWN);
    const int ring = menu->getFocusRow();
    model().accessory.hasSpectrum5 = false;
    model().spectrum_settings.band = 1;
    step(1);
    ASSERT_EQ(alertCount(), 1);
    EXPECT_EQ(main->getEventDispatcher()->getTopModal(), openAlert());
    // Keys and clicks behind the alert change nothing.
    sdlKey(SDLK_DOWN);
    sdlKey(SDLK_SPACE);
    EXPECT_EQ(menu->getFocusRow(), ring);
    EXPECT_EQ(model().runtime.runState.load(), SpectrumSettings::kRunning);
    sdlKey(SDLK_RETURN);
    EXPECT_EQ(alertCount(), 0);
    // The menu got neither the Enter nor anything else, and owns input again.
    EXPECT_EQ(MenuController::getInstance()->getMenuCount(), 1u);
    EXPECT_EQ(menu->getFocusRow(), ring);
    EXPECT_EQ(main->getEventDispatcher()->getTopModal(),
              MenuController::getInstance()->getBackground());
    sdlKey(SDLK_ESCAPE);
    step(40);
    EXPECT_EQ(MenuController::getInstance()->getMenuCount(), 0u);
    EXPECT_EQ(main->getEventDispatcher()->getTopModal(), nullptr);
}

TEST_F(InputOwnerTest, WheelNotchesOverEveryMenuPressNothing) {
    const std::string folder = engine::FileUtils::getInstance()->getWritablePath();
    auto files = [&folder] {
        int n = 0;
        for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(folder))
            ++n;
        return n;
    };
    for (int id = 0; id < MenuController::kNoMenu; ++id) {
        SCOPED_TRACE("menu " + std::to_string(id));
        model().common_settings.spectrumMode = id == 1 || id == 4 || id == 6 ? 0 : 1;
        step(2);
        openMenu(id);
        MenuLayer* menu = MenuController::getInstance()->getTopMenu();
        ASSERT_NE(menu, nullptr);
        const Snapshot before = snapshot();
        const int filesBefore = files();
        int controls = 0;
        for (int row = 0; row < menu->getRowCount(); ++row) {
            std::vector<engine::Node*> nodes;
            for (int item = 0; menu->getButton(row, item); ++item)
                nodes.push_back(menu->getButton(row, item));
            if (menu->getSlider(row))
                nodes.push_back(menu->getSlider(row));
            for (engine::Node* node : nodes) {
                const engine::Vec2 at = centreOf(node);
                if (at.y < 0 || at.y > kHeight)
                    continue;  // scrolled out of the window
                ++controls;
                for (int notches : {1, -1, 3, -3}) {
                    wheel(at.x, at.y, notches);
                    wheel(at.x, at.y + 17, notches);  // where the wheel wrote a screenshot
                }
                step(1);
            }
        }
        EXPECT_GT(controls, 0);
        step(40);  // a screenshot would be written by now
        EXPECT_TRUE(snapshot() == before);
        EXPECT_EQ(files(), filesBefore);
        EXPECT_EQ(alertCount(), 0);
        EXPECT_EQ(MenuController::getInstance()->getMenuCount(), 1u);
        EXPECT_EQ(MenuController::getInstance()->getTopMenu(), menu);
        closeMenus();
    }
    // Nor over the bar.
    const Snapshot before = snapshot();
    for (int b = 0; b < MenuBar::kButtonCount; ++b) {
        if (engine::ui::Button* button = bar()->getButton(static_cast<MenuBar::ButtonId>(b)))
            wheel(centreOf(button).x, centreOf(button).y, 2);
    }
    step(2);
    EXPECT_TRUE(snapshot() == before);
    EXPECT_EQ(MenuController::getInstance()->getMenuCount(), 0u);
}

TEST_F(InputOwnerTest, OneNotchIsOneZoomStepInEachView) {
    model().spectrum_settings.viewMode = SpectrumViewSettings::kWaterfallView;
    model().spectrum_settings.waterfallTimeScaleIndex = 0;
    step(2);
    const engine::Vec2 middle(main->innerArea().getMidX(), main->innerArea().getMidY());
    int& scale = model().spectrum_settings.waterfallTimeScaleIndex;
    wheel(middle.x, middle.y, 1);
    EXPECT_EQ(scale, 1);
    wheel(middle.x, middle.y, 1);
    EXPECT_EQ(scale, 2);
    wheel(middle.x, middle.y, 1);
    EXPECT_EQ(scale, 2);  // the last step
    wheel(middle.x, middle.y, -1);
    EXPECT_EQ(scale, 1);
    // The keys do the same.
    sdlKey(SDLK_LEFTBRACKET);
    EXPECT_EQ(scale, 0);
    sdlKey(SDLK_RIGHTBRACKET);
    EXPECT_EQ(scale, 1);
    // Over the bar the wheel zooms nothing.
    wheel(middle.x, 20, 1);
    EXPECT_EQ(scale, 1);

    model().common_settings.spectrumMode = 0;
    model().runtime.deviceConnected = true;
    model().accessory.powerTimeBases = {1e-6f, 1e-5f, 1e-4f, 1e-3f};
    model().accessory.powerAmplitudes = {1.f, 2.f, 5.f};
    model().power_setting.powerTimeBaseIndex = 1;
    model().power_setting.powerAmplitudeIndex = 0;
    step(2);
    ASSERT_NE(main->getViewLayer(ViewLayer::kPowerTouch), nullptr);
    control.reset();
    wheel(middle.x, middle.y, 1);
    EXPECT_EQ(model().power_setting.powerTimeBaseIndex, 2);
    EXPECT_EQ(model().power_setting.powerAmplitudeIndex, 0);
    wheel(middle.x, middle.y, -2);
    EXPECT_EQ(model().power_setting.powerTimeBaseIndex, 0);
    wheel(middle.x, middle.y, 1, 0, KMOD_LSHIFT);
    EXPECT_EQ(model().power_setting.powerAmplitudeIndex, 1);
    EXPECT_EQ(model().power_setting.powerTimeBaseIndex, 0);
    // Sent to the accessory once the wheel rests, not per notch.
    EXPECT_EQ(control.reconfigures, 0);
    step(60);
    EXPECT_EQ(control.reconfigures, 1);
    EXPECT_EQ(engine::Director::getInstance()->getOpenGLView()->getActiveTouchCount(), 0u);
}

TEST_F(InputOwnerTest, TheLogStaysBeneathAnOpenMenuAndCanBeHidden) {
    ScreenLog* log = installLog();
    ASSERT_NE(log, nullptr);
    for (int i = 0; i < 40; ++i)
        log->log(4, "%s", "WWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWW");
    step(2);
    openMenu(8);
    step(40);  // the menu has faded in
    MenuLayer* menu = MenuController::getInstance()->getTopMenu();
    ASSERT_NE(menu, nullptr);
    // Over the menu's panel the log's bright text is at most a faint shade through the dimmed,
    // translucent menu; drawn above the menu (as it once was) it would be plain to see.
    const engine::Rect panel = worldRect(menu, menu->getPanelRect());
    auto strongestDifference = [&] {
        const engine::Image withLog = renderFrame();
        log->setVisible(false);
        const engine::Image withoutLog = renderFrame();
        log->setVisible(true);
        int strongest = 0;
        for (int y = static_cast<int>(panel.getMinY()) + 2; y < panel.getMaxY() - 2; ++y) {
            for (int x = static_cast<int>(panel.getMinX()) + 2; x < panel.getMaxX() - 2; ++x) {
                const Rgb a = pixelAt(withLog, x, y), b = pixelAt(withoutLog, x, y);
                strongest = std::max(
                    {strongest, std::abs(a.r - b.r), std::abs(a.g - b.g), std::abs(a.b - b.b)});
            }
        }
        return strongest;
    };
    EXPECT_LT(strongestDifference(), 64);
    log->setLocalZOrder(95);  // above the menus
    EXPECT_GT(strongestDifference(), 128);
    log->setLocalZOrder(55);
    // And the log does show where no menu covers it.
    log->setShown(true, false);
    closeMenus();
    const engine::Image shown = renderFrame();
    log->setShown(false, false);
    const engine::Image hidden = renderFrame();
    int changed = 0;
    for (int y = 80; y < kHeight; y += 2)
        for (int x = 0; x < kWidth; x += 2)
            changed += !(pixelAt(shown, x, y) == pixelAt(hidden, x, y));
    EXPECT_GT(changed, 50);

    // L hides and shows it, and the choice is kept.
    log->setShown(true, true);
    sdlKey(SDLK_l);
    EXPECT_FALSE(log->isShown());
    EXPECT_FALSE(ScreenLog::storedShown());
    sdlKey(SDLK_l);
    EXPECT_TRUE(log->isShown());
    EXPECT_TRUE(ScreenLog::storedShown());
}

TEST_F(InputOwnerTest, SpaceLeavesSingleShotAndSTogglesIt) {
    control.isIdentified = true;
    model().runtime.runState = SpectrumSettings::kRunning;
    sdlKey(SDLK_s);
    EXPECT_EQ(model().runtime.runState.load(), SpectrumSettings::kSingleShotArmed);
    EXPECT_EQ(control.singleSweeps, 1);
    sdlKey(SDLK_SPACE);
    EXPECT_EQ(model().runtime.runState.load(), SpectrumSettings::kRunning);
    EXPECT_EQ(control.resumes, 1);
    sdlKey(SDLK_s);
    sdlKey(SDLK_s);
    EXPECT_EQ(model().runtime.runState.load(), SpectrumSettings::kRunning);
    sdlKey(SDLK_SPACE);
    EXPECT_EQ(model().runtime.runState.load(), SpectrumSettings::kPaused);
}

TEST_F(InputOwnerTest, ThePointerReadoutSaysWhatLiesUnderIt) {
    const engine::Rect plot = main->innerArea();
    model().spectrum_settings.band = 0;
    PointerReadout r =
        PointerReadout::at(model(), plot, engine::Vec2(plot.getMidX(), plot.getMinY()));
    EXPECT_TRUE(r.inside);
    EXPECT_NEAR(r.x, 2450.f, 0.01f);
    EXPECT_NEAR(r.level, model().accessory.levelMin24 + model().amplitudeOffset(), 0.01f);
    EXPECT_FALSE(PointerReadout::at(model(), plot, engine::Vec2(plot.getMidX(), 10)).inside);
    // Power mode: time from the trigger point, which sits mid-plot without a delay.
    model().common_settings.spectrumMode = 0;
    model().accessory.powerTimeBases = {1e-3f};
    model().power_setting.powerTimeBaseIndex = 0;
    model().power_setting.triggerDelay = 0;
    r = PointerReadout::at(
        model(), plot,
        engine::Vec2(plot.getMinX() + plot.size.width * 0.75f, plot.getMaxY() - 0.001f));
    EXPECT_FALSE(r.spectrum);
    EXPECT_NEAR(r.x, 2.5e-3f, 1e-6f);
    EXPECT_NEAR(r.level, model().accessory.powerAxisMax + model().amplitudeOffset(), 0.01f);
    EXPECT_EQ(r.text().rfind("t: 2.50 ms", 0), 0u) << r.text();

    // In the window: shown beside the pointer, gone under a menu.
    model().common_settings.spectrumMode = 1;
    step(2);
    pointerMove(plot.getMidX(), plot.getMidY());
    step(1);
    engine::Label* label = main->getPointerReadout()->getLabel();
    EXPECT_TRUE(label->isVisible());
    EXPECT_NE(label->getString().find("MHz"), std::string::npos);
    openMenu(8);
    step(1);
    EXPECT_FALSE(label->isVisible());
}

}  // namespace
