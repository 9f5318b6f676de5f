#include "menus/SpectrumMeasureMenu.h"

#include "engine/2d/Label.h"
#include "engine/2d/LayerColor.h"
#include "engine/base/Director.h"
#include "engine/ui/Button.h"
#include "engine/ui/Slider.h"
#include "menus/AccessPointTables.h"
#include "menus/MenuController.h"
#include "menus/PickerViewMenu.h"
#include "model/SpectrumSettings.h"
#include "tests/menus/MenuTestSupport.h"

using namespace menutest;
using K = engine::EventKeyboard::KeyCode;
using M = SpectrumMeasureMenu;

namespace {

class SpectrumMeasureMenuTest : public MenuGlTest {
  protected:
    void SetUp() override {
        MenuGlTest::SetUp();
        model.resetToDefaults();
        model.runtime.displayClass = 0;
        scene->addChild(engine::LayerColor::create(engine::Color4B(0, 40, 60, 255)), 0);
        controller->setAccessoryControl(&control);
        controller->setScene(scene);
        menu = SpectrumMeasureMenu::create();
        controller->showMenu(menu, engine::Rect(150, 0, 49, 49));
        step(40);
    }
    void TearDown() override {
        controller->detach();
        controller->setAccessoryControl(nullptr);
        model.resetToDefaults();
        MenuGlTest::TearDown();
    }
    void slots(uint8_t a, uint8_t b, uint8_t c) {
        uint8_t* modes = model.spectrum_settings.traceModes;
        modes[0] = a;
        modes[1] = b;
        modes[2] = c;
        menu->markForRefresh();
        renderFrame();
    }
    std::string caption(int row) { return menu->getCaptionLabel(row)->getString(); }
    std::string value(int row) { return menu->getValueLabel(row)->getString(); }
    void slide(int row, int percent) {
        engine::ui::Slider* slider = menu->getSlider(row);
        ASSERT_NE(slider, nullptr);
        const float w = slider->getContentSize().width;
        const float y = slider->getContentSize().height * 0.5f;
        const engine::Vec2 ball =
            slider->convertToWorldSpace(engine::Vec2(w * slider->getPercent() / 100.f, y));
        const engine::Vec2 to = slider->convertToWorldSpace(engine::Vec2(w * percent / 100.f, y));
        touchBegan(0, ball.x, ball.y);
        touchMoved(0, to.x, to.y);
        touchEnded(0, to.x, to.y);
        renderFrame();
    }
    void pick(int row, int wheelRow) {
        tapNode(menu->getButton(row, 0));
        ASSERT_NE(menu->getPicker(), nullptr);
        pressKey(K::KEY_HOME);
        for (int i = 0; i < wheelRow; ++i)
            pressKey(K::KEY_DOWN_ARROW);
        step(30);
        pressKey(K::KEY_ENTER);
        step(40);
        renderFrame();
    }

    SpectrumSettings& model = *SpectrumSettings::getInstance();
    MenuController* controller = MenuController::getInstance();
    FakeAccessoryControl control;
    SpectrumMeasureMenu* menu = nullptr;
};

TEST_F(SpectrumMeasureMenuTest, PeakRowsFollowTheSlotsAndRepeatedKindsReadNone) {
    slots(1, 1, 0);
    renderFrame().saveToFile("spectrum-measure-menu.png");  // for a person to look at
    EXPECT_EQ(caption(M::kPeakRow1), "PEAKS \n(RAW):");
    EXPECT_EQ(caption(M::kPeakRow2), "PEAKS \n(NONE):");
    EXPECT_EQ(caption(M::kPeakRow3), "PEAKS \n(NONE):");
    EXPECT_TRUE(menu->getSlider(M::kPeakRow1)->isEnabled());
    EXPECT_FALSE(menu->getSlider(M::kPeakRow2)->isEnabled());
    slots(0, 4, 3);
    EXPECT_EQ(caption(M::kPeakRow2), "PEAKS \n(MAX):");
    EXPECT_EQ(caption(M::kPeakRow3), "PEAKS \n(AVG.):");

    slide(M::kPeakRow2, 100);
    EXPECT_EQ(model.spectrum_settings.peakCounts[3], 5);
    slide(M::kPeakRow2, 19);
    EXPECT_EQ(model.spectrum_settings.peakCounts[3], 0);
    EXPECT_EQ(value(M::kPeakRow2), "0");
    slide(M::kPeakRow3, 60);
    EXPECT_EQ(model.spectrum_settings.peakCounts[2], 3);
    EXPECT_EQ(menu->getSlider(M::kPeakRow3)->getPercent(), 60);
}

TEST_F(SpectrumMeasureMenuTest, RowsOfNoPeakKindShowZeroAndWriteNothingOutsideTheCounts) {
    // Heat map, none and an unknown kind: the counts' neighbours must survive any slide.
    SpectrumViewSettings& view = model.spectrum_settings;
    view.peaksOnTop = 2;
    view.waterfallPeakCounts[0] = 4;
    view.waterfallPeakCounts[1] = 4;
    slots(6, 0, 200);
    for (int row : {M::kPeakRow1, M::kPeakRow2, M::kPeakRow3}) {
        EXPECT_EQ(caption(row), "PEAKS \n(NONE):");
        EXPECT_EQ(value(row), "0");
        EXPECT_FALSE(menu->getSlider(row)->isEnabled());
        EXPECT_EQ(M::peakCountOfRow(view, row - M::kPeakRow1), nullptr);
        slide(row, 100);
    }
    EXPECT_EQ(view.peaksOnTop, 2);
    EXPECT_EQ(view.waterfallPeakCounts[0], 4);
    EXPECT_EQ(view.waterfallPeakCounts[1], 4);
    for (uint8_t count : view.peakCounts)
        EXPECT_EQ(count, 5);
}

TEST_F(SpectrumMeasureMenuTest, WaterfallRowsSetTheCursorPeakCounts) {
    model.spectrum_settings.viewMode = SpectrumViewSettings::kWaterfallView;
    slots(1, 2, 3);
    EXPECT_EQ(caption(M::kPeakRow1), "PEAKS \n(HORZ):");
    EXPECT_EQ(caption(M::kPeakRow2), "PEAKS \n(VERT):");
    EXPECT_EQ(caption(M::kPeakRow3), "PEAKS \n(NONE):");
    slide(M::kPeakRow1, 40);
    slide(M::kPeakRow2, 20);
    EXPECT_EQ(model.spectrum_settings.waterfallPeakCounts[0], 2);
    EXPECT_EQ(model.spectrum_settings.waterfallPeakCounts[1], 1);
    EXPECT_FALSE(menu->getSlider(M::kPeakRow3)->isEnabled());
    for (uint8_t count : model.spectrum_settings.peakCounts)
        EXPECT_EQ(count, 5);
}

TEST_F(SpectrumMeasureMenuTest, PickersOfferTheirBandsStandardsAndPreselectByValue) {
    ValueTablePickerSource five = M::guideStandards(1);
    ASSERT_EQ(five.rowCount(), 5);
    EXPECT_EQ(five.titleForRow(0), "NONE");
    EXPECT_EQ(five.valueForRow(1), 8);
    EXPECT_EQ(five.titleForRow(4), "802.11ac - 160MHz");
    ValueTablePickerSource two = M::guideStandards(0);
    ASSERT_EQ(two.rowCount(), 8);
    EXPECT_EQ(two.titleForRow(7), "ZEV Custom");

    pick(M::kGuide5Row, 2);
    EXPECT_EQ(model.spectrum_settings.channelGuide5, 9);
    EXPECT_EQ(menu->getButton(M::kGuide5Row, 0)->getTitleText(), "802.11n/ac - 40MHz");
    // The stored 5 GHz standard 9 preselects its own row, not row 9.
    PickerViewMenu* picker = menu->openPicker(M::kGuide5Picker);
    ASSERT_NE(picker, nullptr);
    EXPECT_EQ(picker->getSelectedRow(), 2);
    pressKey(K::KEY_ESCAPE);
    step(40);
    // A 5 GHz plan stored for 2.4 GHz, and an on-top kind past the table: first row.
    model.spectrum_settings.channelGuide24 = 10;
    picker = menu->openPicker(M::kGuide24Picker);
    EXPECT_EQ(picker->getSelectedRow(), 0);
    pressKey(K::KEY_ESCAPE);
    step(40);
    model.spectrum_settings.peaksOnTop = 9;
    picker = menu->openPicker(M::kOnTopPicker);
    EXPECT_EQ(picker->getSelectedRow(), 0);
    EXPECT_EQ(M::guideStandards(0).rowForValue(10), 0);
    pressKey(K::KEY_ESCAPE);
    step(40);
    EXPECT_EQ(model.spectrum_settings.peaksOnTop, 9);

    pick(M::kOnTopRow, 4);
    EXPECT_EQ(model.spectrum_settings.peaksOnTop, 4);
    EXPECT_EQ(menu->getButton(M::kOnTopRow, 0)->getTitleText(), "MAX HOLD");
    EXPECT_EQ(control.totalRequests(), 0);
}

// A scene with the peak table as a flag, as the menu sees the application's scene.
class PeakTableScene : public engine::Scene, public AccessPointTables {
  public:
    bool isSsidTableShown() const override { return false; }
    void showSsidTable() override {}
    void hideSsidTable() override {}
    bool isUtilizationTableShown() const override { return false; }
    void showUtilizationTable() override {}
    void hideUtilizationTable() override {}
    bool isPeakTableShown() const override { return peaks; }
    void togglePeakTable() override { peaks = !peaks; }
    bool peaks = false;
};

TEST_F(SpectrumMeasureMenuTest, PeakTableRowOpensTheTableAndClosesTheMenus) {
    controller->closeAll(false);
    auto* tables = new PeakTableScene();
    ASSERT_TRUE(tables->init());
    tables->autorelease();
    engine::Director::getInstance()->replaceScene(tables);
    controller->setScene(tables);
    step(1);
    menu = SpectrumMeasureMenu::create();
    controller->showMenu(menu, engine::Rect(150, 0, 49, 49));
    step(40);
    EXPECT_EQ(caption(M::kPeakTableRow), "PEAK \nTABLE: ");
    tapNode(menu->getButton(M::kPeakTableRow, 0));
    step(40);
    EXPECT_TRUE(tables->peaks);
    // The table would lie under the dimmed menu: the menus go.
    EXPECT_EQ(controller->getMenuCount(), 0u);
    EXPECT_EQ(control.totalRequests(), 0);
}

}  // namespace
