#include "menus/MenuController.h"

#include <string>

#include "engine/2d/LayerColor.h"
#include "engine/base/Director.h"
#include "engine/base/EventDispatcher.h"
#include "engine/base/EventListenerTouchOneByOne.h"
#include "engine/platform/GLView.h"
#include "engine/ui/Button.h"
#include "menus/AlertViewDelegate.h"
#include "menus/AlertViewLayer.h"
#include "menus/DemoMenu.h"
#include "menus/MenuBar.h"
#include "menus/MenuLayer.h"
#include "menus/SettingsMenu.h"
#include "model/SpectrumSettings.h"
#include "tests/menus/MenuTestSupport.h"

using namespace menutest;
using engine::Rect;
using engine::Size;
using engine::Vec2;
using K = engine::EventKeyboard::KeyCode;

namespace {

// A one-row menu that can open an alert with itself as the delegate.
class SimpleMenu : public MenuLayer, public AlertViewDelegate {
  public:
    static SimpleMenu* create(float width = 300) {
        auto* menu = new SimpleMenu();
        menu->width_ = width;
        if (menu->init()) {
            menu->addRow(MenuRow::button("", "GO", [menu] { ++menu->taps; }));
            menu->autorelease();
            return menu;
        }
        delete menu;
        return nullptr;
    }
    float preferredWidth(int) const override { return width_; }
    void alertViewButtonPressed(AlertViewLayer*, int index) override { lastAlertButton = index; }
    int taps = 0;
    int lastAlertButton = -1;

  private:
    float width_ = 300;
};

class MenuControllerTest : public MenuGlTest {
  protected:
    void SetUp() override {
        MenuGlTest::SetUp();
        SpectrumSettings& model = *SpectrumSettings::getInstance();
        model.common_settings.spectrumMode = 1;
        model.runtime.runState = 0;
        model.runtime.deviceConnected = false;
        model.runtime.displayClass = 0;
        model.accessory = AccessoryDescription{};
        // A layer under everything that counts the touches reaching the views.
        auto* views = engine::LayerColor::create(engine::Color4B(0, 40, 0, 255));
        auto* listener = engine::EventListenerTouchOneByOne::create();
        listener->onTouchBegan = [this](engine::Touch*, engine::Event*) {
            ++touchesOnViews;
            return true;
        };
        views->getEventDispatcher()->addEventListenerWithSceneGraphPriority(listener, views);
        scene->addChild(views, 0);

        controller = MenuController::getInstance();
        controller->setAccessoryControl(&control);
        for (int id = 0; id < MenuController::kNoMenu; ++id)
            controller->setMenuFactory(id, [] { return SimpleMenu::create(); });
        controller->setScene(scene);
        bar = controller->getMenuBar();
        ASSERT_NE(bar, nullptr);
        renderFrame();
    }
    void TearDown() override {
        controller->setMenuFactory(7, [] { return static_cast<MenuLayer*>(DemoMenu::create()); });
        controller->setMenuFactory(8,
                                   [] { return static_cast<MenuLayer*>(SettingsMenu::create()); });
        controller->detach();
        controller->setAccessoryControl(nullptr);
        MenuGlTest::TearDown();
    }
    engine::ui::Button* button(MenuBar::ButtonId id) { return bar->getButton(id); }
    void fade() { step(static_cast<int>(MenuController::kFadeTime * 60) + 2); }
    bool backgroundInScene() const {
        return controller->getBackground() && controller->getBackground()->getParent() == scene;
    }

    MenuController* controller = nullptr;
    MenuBar* bar = nullptr;
    FakeAccessoryControl control;
    int touchesOnViews = 0;
};

TEST_F(MenuControllerTest, BarShowsTheModeAndRunState) {
    EXPECT_TRUE(bar->isWide());
    EXPECT_EQ(button(MenuBar::kSettingsOrDemoButton), nullptr);
    EXPECT_EQ(bar->getPosition(), Vec2(0, 0));
    EXPECT_FLOAT_EQ(bar->getContentSize().height, 49);
    EXPECT_EQ(button(MenuBar::kModeMenuButton)->getTitleText(), "Spectrum");
    EXPECT_EQ(button(MenuBar::kColorsButton)->getTitleText(), "Colors");
    EXPECT_EQ(button(MenuBar::kRunButton)->getTitleText(), "Pause");
    EXPECT_EQ(button(MenuBar::kDemoButton)->getTitleText(), "Demo");
    tapNode(button(MenuBar::kSwitchButton));
    EXPECT_EQ(SpectrumSettings::getInstance()->common_settings.spectrumMode, 0);
    EXPECT_EQ(button(MenuBar::kModeMenuButton)->getTitleText(), "Power");
    EXPECT_EQ(button(MenuBar::kColorsButton)->getTitleText(), "Trigger");
    EXPECT_EQ(bar->menuIdFor(MenuBar::kMeasureButton), 4);
    bar->setConnected(true);
    EXPECT_EQ(button(MenuBar::kDemoButton)->getTitleText(), "");
    renderFrame().saveToFile("menu-bar.png");  // for a person to look at
}

TEST_F(MenuControllerTest, ABarButtonOpensItsMenuAndAnyBarButtonClosesAll) {
    tapNode(button(MenuBar::kSettingsButton));
    EXPECT_EQ(controller->getCurrentMenu(), 8);
    ASSERT_EQ(controller->getMenuCount(), 1u);
    fade();
    MenuLayer* menu = controller->getTopMenu();
    EXPECT_EQ(menu->getOpacity(), 255);
    EXPECT_EQ(controller->getBackground()->getOpacity(), MenuController::kDimOpacity);
    // Above the button that opened it, sitting on the bar.
    const Vec2 buttonCentre = worldCentre(button(MenuBar::kSettingsButton));
    const Vec2 origin = menu->convertToWorldSpace(Vec2::ZERO);
    EXPECT_NEAR(origin.x + menu->getContentSize().width / 2, buttonCentre.x, 1);
    EXPECT_FLOAT_EQ(origin.y, 49);

    // The dimmed background leaves the bar reachable: another button closes everything.
    tapNode(button(MenuBar::kMeasureButton));
    EXPECT_EQ(controller->getCurrentMenu(), MenuController::kNoMenu);
    EXPECT_EQ(controller->getMenuCount(), 0u);
    fade();
    EXPECT_FALSE(backgroundInScene());
    tap(500, 400);
    EXPECT_EQ(touchesOnViews, 1);
}

TEST_F(MenuControllerTest, BackgroundPopsOnlyTheTopMenuAndTheLastPopLeavesNoOverlay) {
    tapNode(button(MenuBar::kModeMenuButton));
    fade();
    MenuLayer* first = controller->getTopMenu();
    const Vec2 firstOrigin = first->convertToWorldSpace(Vec2::ZERO);
    auto* nested = SimpleMenu::create();
    nested->retain();
    controller->showMenu(nested, Rect());
    fade();
    EXPECT_FALSE(first->isVisible());
    // An empty anchor reuses the last one: the nested menu takes the first one's place.
    EXPECT_EQ(nested->convertToWorldSpace(Vec2::ZERO), firstOrigin);

    // A click on the menu's own panel does nothing; one on the background pops the top menu.
    tap(firstOrigin.x + 3, firstOrigin.y + 3);
    EXPECT_EQ(controller->getMenuCount(), 2u);
    tap(900, 600);
    EXPECT_EQ(controller->getMenuCount(), 1u);
    EXPECT_EQ(controller->getTopMenu(), first);
    fade();
    EXPECT_TRUE(first->isVisible());
    EXPECT_EQ(first->getOpacity(), 255);
    EXPECT_EQ(nested->getParent(), nullptr);
    nested->release();
    EXPECT_EQ(controller->getCurrentMenu(), 0);

    tap(900, 600);
    EXPECT_EQ(controller->getCurrentMenu(), MenuController::kNoMenu);
    fade();
    EXPECT_FALSE(backgroundInScene());
    EXPECT_EQ(touchesOnViews, 0);
    tap(900, 600);
    EXPECT_EQ(touchesOnViews, 1);
}

TEST_F(MenuControllerTest, MenusStayInsideTheWindow) {
    // Anchored at the right edge: shifted left to stay 2 points inside.
    controller->showMenu(SimpleMenu::create(300), Rect(940, 0, 20, 49));
    MenuLayer* menu = controller->getTopMenu();
    EXPECT_FLOAT_EQ(menu->convertToWorldSpace(Vec2::ZERO).x + 300, kWidth - 2);
    controller->closeAll(false);
    // Wider than the window: narrowed to fit instead of clamping with low above high.
    controller->showMenu(SimpleMenu::create(5000), Rect(0, 0, 20, 49));
    menu = controller->getTopMenu();
    EXPECT_FLOAT_EQ(menu->getContentSize().width, kWidth - 4);
    EXPECT_FLOAT_EQ(menu->convertToWorldSpace(Vec2::ZERO).x, 2);
    EXPECT_FLOAT_EQ(menu->getContentSize().height, kHeight - 49);
}

TEST_F(MenuControllerTest, RunControlTapsPauseAndResume) {
    auto& runState = SpectrumSettings::getInstance()->runtime.runState;
    tapNode(button(MenuBar::kRunButton));
    EXPECT_EQ(runState, 1);
    EXPECT_EQ(control.halts, 1);
    EXPECT_EQ(button(MenuBar::kRunButton)->getTitleText(), "Play");
    tapNode(button(MenuBar::kRunButton));
    EXPECT_EQ(runState, 0);
    EXPECT_EQ(control.resumes, 1);
    // Without an identified accessory there is nothing to resume.
    control.isIdentified = false;
    runState = 1;
    tapNode(button(MenuBar::kRunButton));
    EXPECT_EQ(control.resumes, 1);
    // The keyboard: space is the tap, S the single shot.
    control.isIdentified = true;
    pressKey(K::KEY_SPACE);
    EXPECT_EQ(runState, 1);
    pressKey(K::KEY_S);
    EXPECT_EQ(runState, 2);
    EXPECT_EQ(control.singleSweeps, 1);
    EXPECT_EQ(button(MenuBar::kRunButton)->getTitleText(), "Single");
}

TEST_F(MenuControllerTest, HoldingRunWhilePausedTakesASingleShotOnRelease) {
    auto& runState = SpectrumSettings::getInstance()->runtime.runState;
    runState = 1;
    bar->refresh();
    const Vec2 run = worldCentre(button(MenuBar::kRunButton));
    touchBegan(0, run.x, run.y);
    step(55);  // not yet a second
    EXPECT_EQ(runState, 1);
    step(10);
    EXPECT_EQ(runState, 2);
    EXPECT_EQ(control.singleSweeps, 0);
    touchEnded(0, run.x, run.y);
    EXPECT_EQ(control.singleSweeps, 1);
    EXPECT_EQ(control.halts, 0);
    // Holding in single-shot mode goes back to running.
    touchBegan(0, run.x, run.y);
    step(65);
    touchEnded(0, run.x, run.y);
    EXPECT_EQ(runState, 0);
    EXPECT_EQ(control.resumes, 1);
    // A hold cut short by a cancel changes nothing.
    touchBegan(0, run.x, run.y);
    step(30);
    touchCancelled(0, run.x, run.y);
    step(60);
    EXPECT_EQ(runState, 0);
}

TEST_F(MenuControllerTest, SwitchToNeedsTheOtherModeOnAConnectedAccessory) {
    SpectrumSettings& model = *SpectrumSettings::getInstance();
    bar->setConnected(true);
    model.accessory.hasSpectrum24 = true;
    tapNode(button(MenuBar::kSwitchButton));
    EXPECT_EQ(model.common_settings.spectrumMode, 1);
    EXPECT_EQ(control.reconfigures, 0);
    AlertViewLayer* alert = nullptr;
    for (engine::Node* child : scene->getChildren()) {
        if (auto* a = dynamic_cast<AlertViewLayer*>(child))
            alert = a;
    }
    ASSERT_NE(alert, nullptr);
    EXPECT_EQ(alert->getMessage(), "Power Mode is unavailable with this hardware.");
    EXPECT_EQ(bar->getOpenAlert(), alert);
    pressKey(K::KEY_ESCAPE);
    EXPECT_EQ(alert->getParent(), nullptr);
    EXPECT_EQ(bar->getOpenAlert(), nullptr);

    model.accessory.hasPowerMeter = true;
    model.runtime.captureRescale = true;
    tapNode(button(MenuBar::kSwitchButton));
    EXPECT_EQ(model.common_settings.spectrumMode, 0);
    EXPECT_EQ(control.reconfiguresClearingData, 1);
    EXPECT_FALSE(model.runtime.captureRescale);
}

TEST_F(MenuControllerTest, EscapeClosesTheTopMenuOrAnswersItsAlert) {
    tapNode(button(MenuBar::kSettingsButton));
    EXPECT_EQ(controller->getCurrentMenu(), 8);
    auto* menu = static_cast<SimpleMenu*>(controller->getTopMenu());
    menu->showAlert({"OK", "CANCEL"}, "Delete file", "Sure?", menu);
    pressKey(K::KEY_ESCAPE);
    EXPECT_EQ(menu->lastAlertButton, 1);
    EXPECT_EQ(controller->getMenuCount(), 1u);
    pressKey(K::KEY_ESCAPE);
    EXPECT_EQ(controller->getMenuCount(), 0u);
    EXPECT_EQ(controller->getCurrentMenu(), MenuController::kNoMenu);
    // With nothing open Escape does nothing else.
    pressKey(K::KEY_ESCAPE);
    EXPECT_EQ(SpectrumSettings::getInstance()->runtime.runState, 0);
}

TEST_F(MenuControllerTest, TabAndEnterOpenABarButtonsMenu) {
    // The fly arrow first (the readouts behind the bar), then the buttons.
    pressKey(K::KEY_TAB);
    EXPECT_EQ(bar->getFocusedButton(), MenuBar::kFlyTogglePosition);
    pressKey(K::KEY_TAB);
    EXPECT_EQ(bar->getFocusedButton(), MenuBar::kModeMenuButton);
    pressKey(K::KEY_LEFT_ARROW);
    EXPECT_EQ(bar->getFocusedButton(), MenuBar::kFlyTogglePosition);
    pressKey(K::KEY_LEFT_ARROW);  // wraps to the last button
    EXPECT_EQ(bar->getFocusedButton(), MenuBar::kSwitchButton);
    pressKey(K::KEY_LEFT_ARROW);
    pressKey(K::KEY_ENTER);  // the run control
    EXPECT_EQ(SpectrumSettings::getInstance()->runtime.runState, 1);
    pressKey(K::KEY_LEFT_ARROW);
    EXPECT_EQ(bar->getFocusedButton(), MenuBar::kSettingsButton);
    pressKey(K::KEY_ENTER);
    EXPECT_EQ(controller->getCurrentMenu(), 8);
    // Keys now go to the menu: its button, then Escape closes it.
    auto* menu = static_cast<SimpleMenu*>(controller->getTopMenu());
    pressKey(K::KEY_DOWN_ARROW);
    pressKey(K::KEY_ENTER);
    EXPECT_EQ(menu->taps, 1);
    pressKey(K::KEY_ESCAPE);
    EXPECT_EQ(controller->getMenuCount(), 0u);
    // Escape with nothing open only drops the ring.
    pressKey(K::KEY_ESCAPE);
    EXPECT_EQ(bar->getFocusedButton(), -1);
}

TEST_F(MenuControllerTest, NarrowBarCombinesDemoAndSettings) {
    engine::GLView* view = engine::Director::getInstance()->getOpenGLView();
    view->setDesignResolutionSize(400, kHeight, engine::ResolutionPolicy::EXACT_FIT);
    // Back to the window's own size however the test ends.
    struct Restore {
        engine::GLView* view;
        ~Restore() {
            view->setDesignResolutionSize(kWidth, kHeight, engine::ResolutionPolicy::UNKNOWN);
        }
    } restore{view};
    controller->setScene(scene);
    bar = controller->getMenuBar();
    EXPECT_FALSE(bar->isWide());
    EXPECT_LT(400, MenuBar::wideArrangementWidth(0));
    EXPECT_EQ(button(MenuBar::kDemoButton), nullptr);
    engine::ui::Button* combined = button(MenuBar::kSettingsOrDemoButton);
    ASSERT_NE(combined, nullptr);
    EXPECT_EQ(combined->getTitleText(), "Demo");
    // The window still has its 960 points: touches arrive in window points.
    const Vec2 design = worldCentre(combined);
    const Vec2 centre(design.x * kWidth / 400.f, design.y);
    tap(centre.x, centre.y);
    EXPECT_EQ(controller->getCurrentMenu(), 7);
    controller->closeAll(false);
    // Held for a second it turns into the settings button, and back.
    touchBegan(0, centre.x, centre.y);
    step(62);
    EXPECT_TRUE(bar->isSettingsHold());
    EXPECT_EQ(combined->getTitleText(), "Settings");
    touchEnded(0, centre.x, centre.y);
    EXPECT_EQ(controller->getCurrentMenu(), 8);
    controller->closeAll(false);
    touchBegan(0, centre.x, centre.y);
    step(62);
    touchEnded(0, centre.x, centre.y);
    EXPECT_EQ(controller->getCurrentMenu(), 7);
    controller->closeAll(false);
    // An accessory needs no demonstration: settings it is.
    bar->setConnected(true);
    EXPECT_EQ(combined->getTitleText(), "Settings");
}

TEST_F(MenuControllerTest, F1ShowsTheShortcutsUntilAKeyOrAClick) {
    pressKey(K::KEY_F1);
    ASSERT_TRUE(controller->isShortcutHelpShown());
    renderFrame().saveToFile("shortcut-help.png");  // for a person to look at
    // The key that closes it does nothing else.
    pressKey(K::KEY_SPACE);
    EXPECT_FALSE(controller->isShortcutHelpShown());
    EXPECT_EQ(SpectrumSettings::getInstance()->runtime.runState, 0);
    pressKey(K::KEY_F1);
    tapNode(button(MenuBar::kRunButton));
    EXPECT_FALSE(controller->isShortcutHelpShown());
    EXPECT_EQ(SpectrumSettings::getInstance()->runtime.runState, 0);
    EXPECT_EQ(touchesOnViews, 0);
}

TEST_F(MenuControllerTest, ResizeDuringAFadeOrAnAlertLeavesNothingDangling) {
    tapNode(button(MenuBar::kSettingsButton));
    auto* menu = static_cast<SimpleMenu*>(controller->getTopMenu());
    AlertViewLayer* alert = menu->showAlert({"OK"}, "Title", "Message", menu);
    alert->retain();
    step(5);  // mid-fade
    // The scene re-attaches after a resize: menus go at once, and their alerts with them.
    controller->setScene(scene);
    EXPECT_EQ(controller->getMenuCount(), 0u);
    EXPECT_FALSE(backgroundInScene());
    EXPECT_EQ(alert->getParent(), nullptr);
    alert->buttonPressed(0);  // a late press reaches no delegate
    alert->release();
    step(40);
    bar = controller->getMenuBar();
    tapNode(button(MenuBar::kCursorsButton));
    step(10);
    controller->closeAll(true);
    step(5);
    controller->setScene(scene);
    step(40);
    EXPECT_EQ(controller->getMenuCount(), 0u);
}

TEST_F(MenuControllerTest, BarDragsSidewaysAndTheToggleFliesIt) {
    const float y = 49 / 2.f;
    // Between the last icon and the switch the bar is bare.
    const float bare = worldCentre(button(MenuBar::kRunButton)).x + 40;
    touchBegan(0, bare, y);
    touchMoved(0, bare + 100, y);
    touchMoved(0, bare + 300, y);
    touchEnded(0, bare + 300, y);
    EXPECT_FLOAT_EQ(bar->getPositionX(), 300);
    touchBegan(0, 310, y);
    touchMoved(0, 5000, y);
    touchEnded(0, 5000, y);
    EXPECT_FLOAT_EQ(bar->getFlyoutPercentage(), 100);
    EXPECT_FLOAT_EQ(bar->getPositionX(), kWidth - MenuBar::kFlyButtonWidth);
    // The toggle flies it back in.
    tap(kWidth - MenuBar::kFlyButtonWidth / 2, y);
    step(30);
    EXPECT_FLOAT_EQ(bar->getFlyoutPercentage(), 0);
}

}  // namespace
