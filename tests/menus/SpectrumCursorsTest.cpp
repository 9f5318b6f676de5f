#include "menus/SpectrumCursors.h"

#include "engine/2d/Label.h"
#include "engine/2d/LayerColor.h"
#include "engine/ui/Button.h"
#include "menus/MenuBar.h"
#include "menus/MenuController.h"
#include "model/SpectrumSettings.h"
#include "tests/menus/MenuTestSupport.h"

using namespace menutest;
using engine::ui::Button;
using K = engine::EventKeyboard::KeyCode;

namespace {

class SpectrumCursorsTest : public MenuGlTest {
  protected:
    void SetUp() override {
        MenuGlTest::SetUp();
        model.resetToDefaults();
        model.runtime.displayClass = 0;
        model.common_settings.spectrumMode = CommonSettings::kSpectrumMode;
        scene->addChild(engine::LayerColor::create(engine::Color4B(0, 60, 0, 255)), 0);
        controller->setAccessoryControl(&control);
        // Another test may have put a stand-in behind the cursors button.
        controller->setMenuFactory(
            2, [] { return static_cast<MenuLayer*>(SpectrumCursors::create()); });
        controller->setScene(scene);
        tapNode(controller->getMenuBar()->getButton(MenuBar::kCursorsButton));
        step(40);
        menu = dynamic_cast<SpectrumCursors*>(controller->getTopMenu());
        ASSERT_NE(menu, nullptr);
    }
    void TearDown() override {
        // Display settings only: the accessory is never asked for anything.
        EXPECT_EQ(control.totalRequests(), 0);
        controller->detach();
        controller->setAccessoryControl(nullptr);
        model.resetToDefaults();
        MenuGlTest::TearDown();
    }
    Button* button(int row, int index) { return menu->getButton(row, index); }
    bool bright(int row, int index) {
        return button(row, index)->getTitleColor() == engine::Color3B(255, 255, 255);
    }
    bool shown(int row) { return menu->getRowNode(row)->isVisible(); }
    // Taps a control, then lets the menu refresh and lay itself out.
    void choose(int row, int index) {
        ASSERT_TRUE(shown(row)) << "row " << row << " is hidden";
        tapNode(button(row, index));
        renderFrame();
    }

    SpectrumSettings& model = *SpectrumSettings::getInstance();
    CursorSettings& cursors = model.cursors;
    MenuController* controller = MenuController::getInstance();
    FakeAccessoryControl control;
    SpectrumCursors* menu = nullptr;
};

TEST_F(SpectrumCursorsTest, OpensFromTheBarAndSwitchesCursorsPairAndTracking) {
    renderFrame().saveToFile("cursor-menu.png");  // for a person to look at
    EXPECT_EQ(controller->getCurrentMenu(), 2);
    EXPECT_TRUE(bright(SpectrumCursors::kShownRow, 0));
    choose(SpectrumCursors::kShownRow, 1);
    EXPECT_EQ(cursors.cursorsShown, 1);
    EXPECT_TRUE(bright(SpectrumCursors::kShownRow, 1));
    EXPECT_FALSE(bright(SpectrumCursors::kShownRow, 0));

    choose(SpectrumCursors::kTrackingRow, 1);
    EXPECT_EQ(cursors.tracking, 1);
    choose(SpectrumCursors::kTrackingRow, 0);
    EXPECT_EQ(cursors.tracking, 0);
    choose(SpectrumCursors::kSelectedRow, 1);
    EXPECT_EQ(cursors.selectedCursor, 1);

    // HORIZONTAL hides the vertical pair and brings the level pair's units.
    EXPECT_TRUE(shown(SpectrumCursors::kVerticalUnitRow));
    EXPECT_FALSE(shown(SpectrumCursors::kHorizontalUnitRow));
    choose(SpectrumCursors::kPairRow, 1);
    EXPECT_EQ(cursors.verticalShown, 0);
    EXPECT_EQ(cursors.horizontalShown, 1);
    EXPECT_FALSE(shown(SpectrumCursors::kVerticalUnitRow));
    EXPECT_TRUE(shown(SpectrumCursors::kHorizontalUnitRow));
    choose(SpectrumCursors::kPairRow, 0);
    EXPECT_EQ(cursors.verticalShown, 1);
    EXPECT_EQ(cursors.horizontalShown, 0);
    EXPECT_TRUE(shown(SpectrumCursors::kVerticalUnitRow));
}

TEST_F(SpectrumCursorsTest, ReferenceRowFollowsTheUnitAndCursorCapturesTheSpan) {
    const int unitRow = SpectrumCursors::kVerticalUnitRow;
    // Base units in the spectrum: positions are frequencies, no reference to choose.
    EXPECT_FALSE(shown(SpectrumCursors::kTimeReferenceRow));
    EXPECT_FALSE(shown(SpectrumCursors::kPhaseReferenceRow));
    EXPECT_FALSE(shown(SpectrumCursors::kRatioReferenceRow));

    cursors.verticalX[0] = 300.f;
    cursors.verticalX[1] = 100.f;
    choose(unitRow, 1);  // PHASE
    EXPECT_EQ(cursors.positionUnit, 1);
    ASSERT_TRUE(shown(SpectrumCursors::kPhaseReferenceRow));
    EXPECT_FALSE(shown(SpectrumCursors::kRatioReferenceRow));
    EXPECT_EQ(button(SpectrumCursors::kPhaseReferenceRow, 0)->getTitleText(), "5 DIV");
    choose(SpectrumCursors::kPhaseReferenceRow, 1);  // CURSOR
    renderFrame().saveToFile("cursor-menu-phase.png");
    EXPECT_EQ(cursors.positionReference, 1);
    EXPECT_FLOAT_EQ(cursors.positionReferencePair[0], 100.f);
    EXPECT_FLOAT_EQ(cursors.positionReferencePair[1], 300.f);
    // Later drags leave the captured span alone.
    cursors.verticalX[0] = 500.f;
    renderFrame();
    EXPECT_FLOAT_EQ(cursors.positionReferencePair[1], 300.f);
    EXPECT_TRUE(bright(SpectrumCursors::kPhaseReferenceRow, 1));

    choose(unitRow, 2);  // RATIO keeps the reference, under its own caption
    EXPECT_FALSE(shown(SpectrumCursors::kPhaseReferenceRow));
    ASSERT_TRUE(shown(SpectrumCursors::kRatioReferenceRow));
    EXPECT_TRUE(bright(SpectrumCursors::kRatioReferenceRow, 1));
    choose(SpectrumCursors::kRatioReferenceRow, 0);  // GRID
    EXPECT_EQ(cursors.positionReference, 0);
    EXPECT_FLOAT_EQ(cursors.positionReferencePair[1], 300.f);

    // Base units in the power view: "Hz" shows the times as frequencies and captures nothing.
    model.common_settings.spectrumMode = CommonSettings::kPowerMode;
    choose(unitRow, 0);
    ASSERT_TRUE(shown(SpectrumCursors::kTimeReferenceRow));
    EXPECT_EQ(button(SpectrumCursors::kTimeReferenceRow, 1)->getTitleText(), "Hz");
    choose(SpectrumCursors::kTimeReferenceRow, 1);
    EXPECT_EQ(cursors.positionReference, 1);
    EXPECT_FLOAT_EQ(cursors.positionReferencePair[0], 100.f);
    EXPECT_FLOAT_EQ(cursors.positionReferencePair[1], 300.f);
}

TEST_F(SpectrumCursorsTest, HorizontalPairOffersNoPhase) {
    cursors.positionUnit = 1;  // the vertical pair's own unit is not touched below
    choose(SpectrumCursors::kPairRow, 1);
    const int row = SpectrumCursors::kHorizontalUnitRow;
    EXPECT_EQ(button(row, 0)->getTitleText(), "BASE");
    EXPECT_EQ(button(row, 1)->getTitleText(), "RATIO");
    EXPECT_EQ(button(row, 2), nullptr);
    EXPECT_FALSE(shown(SpectrumCursors::kPhaseReferenceRow));

    cursors.horizontalY[0] = 250.f;
    cursors.horizontalY[1] = 40.f;
    choose(row, 1);
    EXPECT_EQ(cursors.levelUnit, 2);
    EXPECT_EQ(cursors.positionUnit, 1);
    ASSERT_TRUE(shown(SpectrumCursors::kRatioReferenceRow));
    choose(SpectrumCursors::kRatioReferenceRow, 1);
    EXPECT_EQ(cursors.levelReference, 1);
    EXPECT_EQ(cursors.positionReference, 0);
    EXPECT_FLOAT_EQ(cursors.levelReferencePair[0], 40.f);
    EXPECT_FLOAT_EQ(cursors.levelReferencePair[1], 250.f);

    // The byte that means "no level readouts" cannot be written, even directly.
    EXPECT_FALSE(SpectrumCursors::chooseUnit(cursors, SpectrumCursors::kPhase));
    EXPECT_EQ(cursors.levelUnit, 2);
    // A stored one lights neither choice and stays as stored until the user picks one.
    cursors.levelUnit = 1;
    menu->markForRefresh();
    renderFrame();
    EXPECT_FALSE(bright(row, 0));
    EXPECT_FALSE(bright(row, 1));
    EXPECT_FALSE(shown(SpectrumCursors::kRatioReferenceRow));
    EXPECT_EQ(cursors.levelUnit, 1);
    choose(row, 0);
    EXPECT_EQ(cursors.levelUnit, 0);
}

TEST_F(SpectrumCursorsTest, DamagedPairBytesCountAsTheVerticalPairAndKeysReachEveryRow) {
    cursors.verticalShown = 1;
    cursors.horizontalShown = 1;
    cursors.selectedCursor = 7;
    menu->markForRefresh();
    renderFrame();
    EXPECT_TRUE(bright(SpectrumCursors::kPairRow, 0));
    EXPECT_TRUE(bright(SpectrumCursors::kSelectedRow, 1));
    EXPECT_TRUE(shown(SpectrumCursors::kVerticalUnitRow));

    // Tab walks the controls in reading order; Enter presses the ringed one.
    pressKey(K::KEY_TAB);  // OFF
    pressKey(K::KEY_TAB);  // ON
    pressKey(K::KEY_ENTER);
    EXPECT_EQ(cursors.cursorsShown, 1);
    pressKey(K::KEY_TAB);  // VERTICAL
    pressKey(K::KEY_TAB);  // HORIZONTAL
    pressKey(K::KEY_ENTER);
    renderFrame();
    EXPECT_EQ(cursors.verticalShown, 0);
    EXPECT_EQ(cursors.horizontalShown, 1);
    EXPECT_TRUE(shown(SpectrumCursors::kHorizontalUnitRow));
}

}  // namespace
