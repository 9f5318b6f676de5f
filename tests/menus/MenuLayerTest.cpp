#include "menus/MenuLayer.h"

#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "engine/2d/Label.h"
#include "engine/2d/LayerColor.h"
#include "engine/base/EventDispatcher.h"
#include "engine/base/EventListenerTouchOneByOne.h"
#include "engine/ui/Button.h"
#include "engine/ui/ScrollView.h"
#include "engine/ui/Slider.h"
#include "tests/menus/MenuTestSupport.h"

using namespace menutest;
using engine::Size;
using engine::Vec2;

namespace {

// What the rows of the test menu edit.
struct Values {
    int units = 0;
    int position = 0;
    bool wordBright = true;
    float percent = 40;
    float lastSetPercent = -1;
    bool extraShown = true;
    bool startEnabled = true;
    int starts = 0;
    int stops = 0;
};

class TestMenu : public MenuLayer {
  public:
    static TestMenu* create() {
        auto* menu = new TestMenu();
        if (menu->init()) {
            menu->autorelease();
            return menu;
        }
        delete menu;
        return nullptr;
    }
    using MenuLayer::init;
};

class MenuLayerTest : public MenuGlTest {
  protected:
    void SetUp() override {
        MenuGlTest::SetUp();
        // Behind the menu, a layer that counts the touches that get through.
        auto* behind = engine::LayerColor::create(engine::Color4B(0, 0, 80, 255));
        auto* listener = engine::EventListenerTouchOneByOne::create();
        listener->onTouchBegan = [this](engine::Touch*, engine::Event*) {
            ++touchesBehind;
            return true;
        };
        behind->getEventDispatcher()->addEventListenerWithSceneGraphPriority(listener, behind);
        scene->addChild(behind, 0);
    }

    TestMenu* makeMenu(float height = 500) {
        TestMenu* menu = TestMenu::create();
        menu->addRow(MenuRow::choice(
            "UNITS: ", {"dBm", "mW"}, [this] { return v.units; }, [this](int i) { v.units = i; }));
        menu->addRow(MenuRow::stepper(
            "", [this] { return "WORD " + std::to_string(v.position); },
            [this] { return v.wordBright; }, [this](int d) { v.position += d; }));
        menu->addRow(MenuRow::slider(
                         "PERSIST: ", [this] { return v.percent; },
                         [this](float p) { v.lastSetPercent = v.percent = p; },
                         [this] { return std::to_string(static_cast<int>(v.percent)) + "s"; })
                         .enabledWhen([this] { return v.startEnabled; }));
        menu->addRow(MenuRow::label("EXTRA").shownWhen([this] { return v.extraShown; }));
        menu->addRow(MenuRow::buttons(
            "DATA LOG: ", {{"START", [this] { ++v.starts; }, [this] { return v.startEnabled; }},
                           {"STOP", [this] { ++v.stops; }, {}}}));
        menu->setMetrics(MenuMetrics::forDisplayClass(1));
        menu->setContentSize(Size(380, height));
        menu->setPosition(100, 75);
        scene->addChild(menu, 10);
        return menu;
    }

    Values v;
    int touchesBehind = 0;
};

TEST_F(MenuLayerTest, RowsRunTopToBottomInAPanelAsTallAsTheyNeed) {
    TestMenu* menu = makeMenu();
    renderFrame().saveToFile("menu-layer.png");  // for a person to look at
    const MenuMetrics m = MenuMetrics::forDisplayClass(1);
    // Five rows of 40 points, four gaps and the margins.
    EXPECT_FLOAT_EQ(menu->getPanelRect().size.height, 5 * 40 + 4 * 5 + 2 * m.margin);
    EXPECT_FLOAT_EQ(menu->getPanelRect().origin.y, 0);
    float previous = 1e9f;
    for (int row = 0; row < menu->getRowCount(); ++row) {
        const float y = worldCentre(menu->getRowNode(row)).y;
        EXPECT_LT(y, previous) << "row " << row;
        previous = y;
    }
    // The stepper's word sits between its arrows, all in one row.
    const Vec2 left = worldCentre(menu->getButton(1, 0));
    const Vec2 word = worldCentre(menu->getButton(1, 1));
    const Vec2 right = worldCentre(menu->getButton(1, 2));
    EXPECT_LT(left.x, word.x);
    EXPECT_LT(word.x, right.x);
    EXPECT_FLOAT_EQ(left.y, right.y);
}

TEST_F(MenuLayerTest, ChoiceBrightensTheSelectedOneAfterTheNextDraw) {
    TestMenu* menu = makeMenu();
    renderFrame();
    engine::ui::Button* dbm = menu->getButton(0, 0);
    engine::ui::Button* mw = menu->getButton(0, 1);
    EXPECT_EQ(dbm->getTitleColor(), engine::Color3B(255, 255, 255));
    EXPECT_EQ(mw->getTitleColor(), engine::Color3B(127, 127, 127));
    tapNode(mw);
    EXPECT_EQ(v.units, 1);
    EXPECT_TRUE(menu->isRefreshPending());
    renderFrame();
    EXPECT_FALSE(menu->isRefreshPending());
    EXPECT_EQ(dbm->getTitleColor(), engine::Color3B(127, 127, 127));
    EXPECT_EQ(mw->getTitleColor(), engine::Color3B(255, 255, 255));

    // A model change shows only once the menu is marked and drawn.
    v.position = 4;
    renderFrame();
    EXPECT_EQ(menu->getButton(1, 1)->getTitleText(), "WORD 0");
    menu->markForRefresh();
    renderFrame();
    EXPECT_EQ(menu->getButton(1, 1)->getTitleText(), "WORD 4");
    tapNode(menu->getButton(1, 2));
    tapNode(menu->getButton(1, 0));
    tapNode(menu->getButton(1, 0));
    EXPECT_EQ(v.position, 3);
}

TEST_F(MenuLayerTest, HiddenRowsTakeNoSpaceAndDisabledControlsIgnoreTouches) {
    TestMenu* menu = makeMenu();
    renderFrame();
    const float tall = menu->getPanelRect().size.height;
    const float dataLogY = worldCentre(menu->getRowNode(4)).y;
    v.extraShown = false;
    v.startEnabled = false;
    menu->markForRefresh();
    renderFrame();
    EXPECT_FALSE(menu->getRowNode(3)->isVisible());
    EXPECT_FLOAT_EQ(menu->getPanelRect().size.height, tall - 45);
    // The panel shrinks from the top; the rows above the hidden one move down with it.
    EXPECT_FLOAT_EQ(worldCentre(menu->getRowNode(4)).y, dataLogY);
    EXPECT_FALSE(menu->getButton(4, 0)->isEnabled());
    EXPECT_FALSE(menu->getSlider(2)->isEnabled());
    EXPECT_EQ(menu->getValueLabel(2)->getColor(), engine::Color3B(127, 127, 127));
    tapNode(menu->getButton(4, 0));
    tapNode(menu->getButton(4, 1));
    EXPECT_EQ(v.starts, 0);
    EXPECT_EQ(v.stops, 1);
}

TEST_F(MenuLayerTest, SliderShowsAnyStoredValueWithinItsRange) {
    TestMenu* menu = makeMenu();
    for (float stored : {std::numeric_limits<float>::quiet_NaN(), -5.f, 1e30f, 37.6f}) {
        v.percent = stored;
        menu->markForRefresh();
        renderFrame();
        const int shown = menu->getSlider(2)->getPercent();
        EXPECT_GE(shown, 0) << stored;
        EXPECT_LE(shown, 100) << stored;
    }
    EXPECT_EQ(menu->getSlider(2)->getPercent(), 38);
    // Dragging the ball hands the new percentage to the row.
    engine::ui::Slider* slider = menu->getSlider(2);
    const Vec2 centre = worldCentre(slider);
    const float right = slider->convertToWorldSpace(Vec2(slider->getContentSize().width, 0)).x;
    touchBegan(0, centre.x, centre.y);
    touchMoved(0, right, centre.y);
    touchEnded(0, right, centre.y);
    EXPECT_FLOAT_EQ(v.lastSetPercent, 100);
}

TEST_F(MenuLayerTest, PanelSwallowsItsTouchesAndLetsTheRestThrough) {
    TestMenu* menu = makeMenu();
    renderFrame();
    const engine::Rect panel = menu->getPanelRect();
    // The margin of the panel, beside the first row: no control there.
    tap(100 + 2, 75 + panel.size.height - 2);
    tap(100 + 2, 75 + 2);
    EXPECT_EQ(touchesBehind, 0);
    // Above the panel the layer is transparent to touches.
    tap(100 + 50, 75 + panel.size.height + 20);
    EXPECT_EQ(touchesBehind, 1);
    // A hidden menu lets everything through.
    menu->setVisible(false);
    tap(100 + 2, 75 + 2);
    EXPECT_EQ(touchesBehind, 2);
}

TEST_F(MenuLayerTest, KeysReachEveryUsableControl) {
    using K = engine::EventKeyboard::KeyCode;
    TestMenu* menu = makeMenu();
    v.startEnabled = false;
    menu->markForRefresh();
    renderFrame();
    EXPECT_EQ(menu->getFocusRow(), -1);
    menu->keyPressed(K::KEY_ENTER);  // nothing focused: nothing pressed
    EXPECT_EQ(v.units, 0);
    menu->keyPressed(K::KEY_DOWN_ARROW);
    EXPECT_EQ(menu->getFocusRow(), 0);
    menu->keyPressed(K::KEY_RIGHT_ARROW);
    menu->keyPressed(K::KEY_RIGHT_ARROW);  // stays on the last choice of the row
    menu->keyPressed(K::KEY_ENTER);
    EXPECT_EQ(v.units, 1);
    // Down through the stepper's three buttons; the disabled slider and START are skipped.
    menu->keyPressed(K::KEY_TAB);
    menu->keyPressed(K::KEY_TAB);
    EXPECT_EQ(menu->getFocusRow(), 1);
    EXPECT_EQ(menu->getFocusItem(), 1);
    menu->keyPressed(K::KEY_SPACE);
    EXPECT_EQ(v.position, 0);  // the word was pressed: a toggle, not a step
    menu->keyPressed(K::KEY_TAB);
    menu->keyPressed(K::KEY_TAB);
    EXPECT_EQ(menu->getFocusRow(), 4);
    EXPECT_EQ(menu->getFocusItem(), 1);
    menu->keyPressed(K::KEY_ENTER);
    EXPECT_EQ(v.stops, 1);
    EXPECT_EQ(v.starts, 0);
    // Wrapping back to the top, then up onto an enabled slider: left and right move it.
    menu->keyPressed(K::KEY_TAB);
    EXPECT_EQ(menu->getFocusRow(), 0);
    v.startEnabled = true;
    menu->markForRefresh();
    renderFrame();
    menu->keyPressed(K::KEY_UP_ARROW);
    menu->keyPressed(K::KEY_UP_ARROW);
    menu->keyPressed(K::KEY_UP_ARROW);
    EXPECT_EQ(menu->getFocusRow(), 2);
    menu->keyPressed(K::KEY_RIGHT_ARROW);
    menu->keyPressed(K::KEY_RIGHT_ARROW);
    EXPECT_FLOAT_EQ(v.lastSetPercent, 42);
}

TEST_F(MenuLayerTest, RowsThatDoNotFitScroll) {
    TestMenu* menu = TestMenu::create();
    std::vector<int> taps(30, 0);
    for (int i = 0; i < 30; ++i)
        menu->addRow(MenuRow::button("ROW " + std::to_string(i), "GO", [&taps, i] { ++taps[i]; }));
    menu->setMetrics(MenuMetrics::forDisplayClass(0));
    menu->setContentSize(Size(300, 300));
    menu->setPosition(100, 50);
    scene->addChild(menu, 10);
    renderFrame();
    EXPECT_FLOAT_EQ(menu->getPanelRect().size.height, 300);
    engine::ui::ScrollView* scroll = menu->getScrollView();
    EXPECT_GT(scroll->getInnerContainerSize().height, scroll->getContentSize().height);
    // The first row shows at the top; the last is out of view and out of reach.
    tapNode(menu->getButton(0, 0));
    tapNode(menu->getButton(29, 0));
    EXPECT_EQ(taps[0], 1);
    EXPECT_EQ(taps[29], 0);
    EXPECT_TRUE(menu->keyPressed(engine::EventKeyboard::KeyCode::KEY_PG_DOWN));
    for (int i = 0; i < 10; ++i)
        menu->keyPressed(engine::EventKeyboard::KeyCode::KEY_PG_DOWN);
    renderFrame();
    tapNode(menu->getButton(29, 0));
    EXPECT_EQ(taps[29], 1);
    EXPECT_FALSE(menu->keyPressed(engine::EventKeyboard::KeyCode::KEY_A));
    // The focus scrolls its row into view: up from the top wraps to the last row.
    menu->keyPressed(engine::EventKeyboard::KeyCode::KEY_HOME);
    scroll->jumpToTop();
    menu->keyPressed(engine::EventKeyboard::KeyCode::KEY_UP_ARROW);
    menu->keyPressed(engine::EventKeyboard::KeyCode::KEY_ENTER);
    EXPECT_EQ(taps[29], 2);
    renderFrame();
    tapNode(menu->getButton(29, 0));
    EXPECT_EQ(taps[29], 3);
}

}  // namespace
