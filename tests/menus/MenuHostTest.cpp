// The bar and the menus reach only the host that shows them: a bar over a host of its own opens
// that host's menus and runs that host's instrument, and a menu closes through its host.
#include <gtest/gtest.h>

#include <vector>

#include "engine/2d/DrawNode.h"
#include "engine/2d/Scene.h"
#include "engine/ui/Button.h"
#include "instrument/Instrument.h"
#include "menus/MenuBar.h"
#include "menus/MenuHost.h"
#include "menus/MenuLayer.h"
#include "menus/MenuMetrics.h"
#include "model/SpectrumSettings.h"
#include "tests/menus/MenuTestSupport.h"

namespace {

using namespace menutest;
using K = engine::EventKeyboard::KeyCode;

class RecordingHost : public MenuHost {
  public:
    RecordingHost(SpectrumSettings& model, AccessoryControl* control)
        : instrument_(model, control) {}
    Instrument& getInstrument() override { return instrument_; }
    engine::Scene* getScene() const override { return scene; }
    void showMenu(MenuLayer* menu, const engine::Rect&) override { top = menu; }
    void popMenu(bool) override { ++pops; }
    void closeAll(bool) override {}
    MenuLayer* getTopMenu() const override { return top; }
    int getCurrentMenu() const override { return kNoMenu; }
    void openMenuFromButton(int id, engine::Node*) override { opened.push_back(id); }
    void refreshMenuBar() override {}
    void setMenusHiddenForCapture(bool) override {}

    engine::Scene* scene = nullptr;
    MenuLayer* top = nullptr;
    int pops = 0;
    std::vector<int> opened;

  private:
    Instrument instrument_;
};

class PlainMenu : public MenuLayer {
  public:
    static PlainMenu* create() {
        auto* menu = new PlainMenu();
        if (menu->init()) {
            menu->autorelease();
            return menu;
        }
        delete menu;
        return nullptr;
    }
};

class MenuHostTest : public MenuGlTest {
  protected:
    void SetUp() override {
        MenuGlTest::SetUp();
        host.scene = scene;
        bar = MenuBar::create(0, &host);
        ASSERT_NE(bar, nullptr);
        scene->addChild(bar, 70);
        step(2);
    }

    SpectrumSettings model;  // not the process-wide one
    FakeAccessoryControl control;
    RecordingHost host{model, &control};
    MenuBar* bar = nullptr;
};

TEST_F(MenuHostTest, TheBarUsesItsHostOnly) {
    const int processWide = SpectrumSettings::getInstance()->runtime.runState.load();
    tapNode(bar->getButton(MenuBar::kRunButton));
    EXPECT_EQ(model.runtime.runState.load(), SpectrumSettings::kPaused);
    EXPECT_EQ(control.halts, 1);
    EXPECT_EQ(SpectrumSettings::getInstance()->runtime.runState.load(), processWide);

    tapNode(bar->getButton(MenuBar::kMeasureButton));
    bar->keyPressed(K::KEY_TAB, 0);  // the fly toggle
    bar->keyPressed(K::KEY_TAB, 0);  // the mode menu's button
    bar->keyPressed(K::KEY_ENTER, 0);
    EXPECT_EQ(host.opened, (std::vector<int>{3, 0}));

    // The mode switch changes the host's model, with the accessory told to start over.
    tapNode(bar->getButton(MenuBar::kSwitchButton));
    EXPECT_EQ(model.common_settings.spectrumMode, CommonSettings::kPowerMode);
    EXPECT_EQ(control.reconfigureClearData, std::vector<bool>{true});
    EXPECT_TRUE(host.getInstrument().isStoreDirty());
}

TEST_F(MenuHostTest, AMenuClosesThroughItsHostOrLeavesItsParent) {
    PlainMenu* shown = PlainMenu::create();
    scene->addChild(shown, 80);
    host.showMenu(shown, engine::Rect());
    shown->setHost(&host);
    shown->close();
    EXPECT_EQ(host.pops, 1);
    EXPECT_NE(shown->getParent(), nullptr);  // the host takes it away

    PlainMenu* loose = PlainMenu::create();
    scene->addChild(loose, 80);
    loose->setHost(&host);  // not the host's top menu
    loose->close();
    EXPECT_EQ(host.pops, 1);
    EXPECT_EQ(loose->getParent(), nullptr);
}

// The ring's yellow, counted inside a rectangle of the window.
int ringPixels(const engine::Image& image, const engine::Rect& world) {
    int count = 0;
    for (int y = static_cast<int>(world.getMinY()); y < static_cast<int>(world.getMaxY()); ++y) {
        for (int x = static_cast<int>(world.getMinX()); x < static_cast<int>(world.getMaxX());
             ++x) {
            const gltest::Rgb p = pixelAt(image, x, y);
            count += p.r > 240 && p.g > 200 && p.g < 230 && p.b < 70 ? 1 : 0;
        }
    }
    return count;
}

TEST_F(MenuHostTest, OneRingMarksTheBarsFocusAndTheMenusFocusedRow) {
    engine::Node* mode = bar->getButton(MenuBar::kModeMenuButton);
    const engine::Rect button(mode->convertToWorldSpace(engine::Vec2::ZERO),
                              mode->getContentSize());
    EXPECT_EQ(ringPixels(renderFrame(), button), 0);
    bar->keyPressed(K::KEY_TAB, 0);
    bar->keyPressed(K::KEY_TAB, 0);
    const int inBar = ringPixels(renderFrame(), button);
    EXPECT_GT(inBar, 0);
    bar->keyPressed(K::KEY_ESCAPE, 0);
    EXPECT_EQ(ringPixels(renderFrame(), button), 0);

    PlainMenu* menu = PlainMenu::create();
    menu->addRow(MenuRow::button("", "GO", [] {}));
    menu->setMetrics(MenuMetrics::forDisplayClass(0));
    menu->setContentSize(engine::Size(300, 200));
    menu->setPosition(300, 100);
    scene->addChild(menu, 80);
    renderFrame();
    menu->keyPressed(K::KEY_TAB);
    ASSERT_EQ(menu->getFocusRow(), 0);
    // The menu's ring rides on the focused row, so it scrolls with it.
    int rings = 0;
    for (engine::Node* child : menu->getRowNode(0)->getChildren())
        rings += dynamic_cast<engine::DrawNode*>(child) != nullptr ? 1 : 0;
    EXPECT_EQ(rings, 1);
}

}  // namespace
