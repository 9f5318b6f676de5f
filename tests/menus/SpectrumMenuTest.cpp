#include "menus/SpectrumMenu.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <memory>

#include "engine/2d/Label.h"
#include "engine/2d/LayerColor.h"
#include "engine/base/Director.h"
#include "engine/ui/Button.h"
#include "engine/ui/Slider.h"
#include "menus/AccessPointTables.h"
#include "menus/AlertViewLayer.h"
#include "menus/MenuController.h"
#include "menus/PickerViewMenu.h"
#include "model/SpectrumSettings.h"
#include "tests/menus/MenuTestSupport.h"

using namespace menutest;
using K = engine::EventKeyboard::KeyCode;
using engine::ui::Button;

namespace {

// A scene with the two tables as flags, as the menus see the application's scene.
class TableScene : public engine::Scene, public AccessPointTables {
  public:
    static TableScene* create() {
        auto* scene = new TableScene();
        scene->init();
        scene->autorelease();
        return scene;
    }
    bool isSsidTableShown() const override { return ssid; }
    void showSsidTable() override {
        ssid = true;
        utilization = false;
    }
    void hideSsidTable() override { ssid = false; }
    bool isUtilizationTableShown() const override { return utilization; }
    void showUtilizationTable() override {
        utilization = true;
        ssid = false;
    }
    void hideUtilizationTable() override { utilization = false; }

    bool ssid = false;
    bool utilization = false;
};

class SpectrumMenuTest : public MenuGlTest {
  protected:
    void SetUp() override {
        MenuGlTest::SetUp();
        model.resetToDefaults();
        model.accessory = AccessoryDescription{};
        model.accessory.hasSpectrum24 = model.accessory.hasSpectrum5 = true;
        model.accessory.hasSsidScan24 = true;
        model.runtime.deviceConnected = false;
        model.runtime.scanPaused = false;
        model.runtime.displayClass = 0;
        tables = TableScene::create();
        tables->addChild(engine::LayerColor::create(engine::Color4B(0, 40, 60, 255)), 0);
        engine::Director::getInstance()->replaceScene(tables);
        step(1, 0);
        controller->setAccessoryControl(&control);
        controller->setScene(tables);
        open();
    }
    void TearDown() override {
        controller->detach();
        controller->setAccessoryControl(nullptr);
        { model.clearAccessPoints(); }
        model.accessory = AccessoryDescription{};
        model.runtime.scanPaused = false;
        model.resetToDefaults();
        MenuGlTest::TearDown();
    }
    void open() {
        menu = SpectrumMenu::create();
        controller->showMenu(menu, engine::Rect(100, 0, 49, 49));
        step(40);
    }
    Button* button(int row, int index) { return menu->getButton(row, index); }
    bool bright(int row, int index) {
        return button(row, index)->getTitleColor() == engine::Color3B(255, 255, 255);
    }
    // Drags a row's slider to a percentage, as a mouse would.
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
        ASSERT_EQ(slider->getPercent(), percent);
        renderFrame();
    }
    std::string value(int row) { return menu->getValueLabel(row)->getString(); }
    // Opens a picker with a click, moves to a row from the top with keys and chooses it.
    void pick(Button* opener, int row) {
        tapNode(opener);
        ASSERT_NE(menu->getPicker(), nullptr);
        ASSERT_EQ(controller->getTopMenu(), menu->getPicker());
        pressKey(K::KEY_HOME);
        for (int i = 0; i < row; ++i)
            pressKey(K::KEY_DOWN_ARROW);
        step(30);
        pressKey(K::KEY_ENTER);
        step(40);
        renderFrame();
    }
    void addAccessPoint() {
        model.accessPoints.push_back(std::make_unique<AccessPoint>());
        model.runtime.scanCount = 1;
    }
    void addSweep() {
        const float sweep[4] = {-80, -70, -60, -50};
        model.band24.appendSweep(sweep, 4);
    }

    SpectrumSettings& model = *SpectrumSettings::getInstance();
    MenuController* controller = MenuController::getInstance();
    FakeAccessoryControl control;
    TableScene* tables = nullptr;
    SpectrumMenu* menu = nullptr;
};

TEST_F(SpectrumMenuTest, BandReconfiguresWithClearDataOnlyWhenItChangesAndTheViewNever) {
    renderFrame().saveToFile("spectrum-menu.png");  // for a person to look at
    EXPECT_TRUE(bright(SpectrumMenu::kBandRow, 0));
    tapNode(button(SpectrumMenu::kBandRow, 0));  // 2.4 GHz again
    EXPECT_EQ(control.reconfigures, 0);
    tapNode(button(SpectrumMenu::kBandRow, 1));
    EXPECT_EQ(model.spectrum_settings.band, 1);
    EXPECT_EQ(control.reconfiguresClearingData, 1);
    renderFrame();
    EXPECT_TRUE(bright(SpectrumMenu::kBandRow, 1));
    EXPECT_FALSE(bright(SpectrumMenu::kBandRow, 0));

    tapNode(button(SpectrumMenu::kViewRow, 1));
    EXPECT_EQ(model.spectrum_settings.viewMode, 1);
    tapNode(button(SpectrumMenu::kViewRow, 0));
    EXPECT_EQ(model.spectrum_settings.viewMode, 0);
    EXPECT_EQ(control.reconfigures, 1);
}

TEST_F(SpectrumMenuTest, ScanningSwitchClearsTheListUnlessFrozenAndReconfiguresWithoutClearing) {
    addAccessPoint();
    tapNode(button(SpectrumMenu::kSsidRow, 1));  // ON, already on
    EXPECT_EQ(control.reconfigures, 0);
    EXPECT_EQ(model.accessPoints.size(), 1u);

    tapNode(button(SpectrumMenu::kSsidRow, 0));
    EXPECT_EQ(model.spectrum_settings.ssidScanOn, 0);
    EXPECT_TRUE(model.accessPoints.empty());
    EXPECT_EQ(model.runtime.scanCount, 0);
    ASSERT_EQ(control.reconfigures, 1);
    EXPECT_FALSE(control.lastClearData());
    EXPECT_EQ(menu->getOpenAlert(), nullptr);

    // The utilization table's edit mode keeps its access points.
    addAccessPoint();
    model.runtime.scanPaused = true;
    model.spectrum_settings.ssidReserved = 1;
    tapNode(button(SpectrumMenu::kSsidRow, 1));
    EXPECT_EQ(model.spectrum_settings.ssidScanOn, 1);
    EXPECT_EQ(model.spectrum_settings.ssidReserved, 0);
    EXPECT_EQ(model.accessPoints.size(), 1u);
    EXPECT_EQ(control.reconfigures, 2);
    EXPECT_EQ(menu->getOpenAlert(), nullptr);
}

TEST_F(SpectrumMenuTest, ScanAlertForAnAccessoryThatCannotScanOutlivesNoMenu) {
    model.accessory.hasSsidScan24 = false;
    tapNode(button(SpectrumMenu::kSsidRow, 0));  // OFF: no alert
    EXPECT_EQ(menu->getOpenAlert(), nullptr);
    tapNode(button(SpectrumMenu::kSsidRow, 1));
    AlertViewLayer* alert = menu->getOpenAlert();
    ASSERT_NE(alert, nullptr);
    EXPECT_EQ(alert->getTitle(), SpectrumMenu::kSsidAlertTitle);
    EXPECT_EQ(alert->getButtonTitles(), (std::vector<std::string>{"OK", "Website"}));
    renderFrame().saveToFile("spectrum-menu-alert.png");
    // The long message is broken between words to stay inside the box, losing no word.
    const engine::Label* message = nullptr;
    for (engine::Node* child : alert->getChildren()) {
        auto* label = dynamic_cast<engine::Label*>(child);
        if (label && label->getString().find("Please") != std::string::npos)
            message = label;
    }
    ASSERT_NE(message, nullptr);
    EXPECT_GT(message->getStringNumLines(), 1);
    std::string joined = message->getString();
    std::replace(joined.begin(), joined.end(), '\n', ' ');
    EXPECT_EQ(joined, SpectrumMenu::kScanAlertMessage);
    // A resize takes the menu away mid-alert: the alert goes with it and calls nobody.
    alert->retain();
    controller->setScene(tables);
    step(40);
    EXPECT_EQ(alert->getParent(), nullptr);
    alert->buttonPressed(1);
    alert->release();
    EXPECT_EQ(controller->getMenuCount(), 0u);
}

TEST_F(SpectrumMenuTest, TablesToggleAndCloseTheMenusSoTheyCanBeSeen) {
    tapNode(button(SpectrumMenu::kSsidRow, 2));
    EXPECT_TRUE(tables->ssid);
    step(40);
    EXPECT_EQ(controller->getMenuCount(), 0u);
    EXPECT_EQ(control.reconfigures, 0);

    // Again from a new menu: TABLE now hides it and the menu stays.
    open();
    tapNode(button(SpectrumMenu::kSsidRow, 2));
    EXPECT_FALSE(tables->ssid);
    EXPECT_EQ(controller->getTopMenu(), menu);

    // Utilization on an accessory that cannot scan: the table and an alert over the scene,
    // which outlives the closed menu and is answered from the keyboard too.
    model.accessory.hasSsidScan24 = false;
    tapNode(button(SpectrumMenu::kUtilizationRow, 0));
    EXPECT_TRUE(tables->utilization);
    step(40);
    EXPECT_EQ(controller->getMenuCount(), 0u);
    AlertViewLayer* alert = nullptr;
    for (engine::Node* child : tables->getChildren()) {
        if (auto* a = dynamic_cast<AlertViewLayer*>(child))
            alert = a;
    }
    ASSERT_NE(alert, nullptr);
    EXPECT_EQ(alert->getTitle(), SpectrumMenu::kUtilizationAlertTitle);
    renderFrame();
    ASSERT_EQ(alert->getButtons().size(), 2u);
    alert->retain();
    pressKey(K::KEY_ESCAPE);
    EXPECT_EQ(alert->getParent(), nullptr);
    alert->release();
}

TEST_F(SpectrumMenuTest, RefreshSliderStepsAndFollowsTheScanSetting) {
    slide(SpectrumMenu::kRefreshRow, 5);
    EXPECT_EQ(model.spectrum_settings.refreshInterval, 20.f);
    EXPECT_EQ(value(SpectrumMenu::kRefreshRow), "20s");
    slide(SpectrumMenu::kRefreshRow, 0);
    EXPECT_EQ(value(SpectrumMenu::kRefreshRow), "ALWAYS");
    slide(SpectrumMenu::kRefreshRow, 99);
    EXPECT_EQ(model.spectrum_settings.refreshInterval, 110.f);
    slide(SpectrumMenu::kRefreshRow, 100);
    EXPECT_EQ(model.spectrum_settings.refreshInterval, 120.f);
    EXPECT_EQ(menu->getSlider(SpectrumMenu::kRefreshRow)->getPercent(), 100);
    EXPECT_EQ(control.reconfigures, 0);

    tapNode(button(SpectrumMenu::kSsidRow, 0));
    renderFrame();
    EXPECT_FALSE(menu->getSlider(SpectrumMenu::kRefreshRow)->isEnabled());
    EXPECT_EQ(menu->getSlider(SpectrumMenu::kRefreshRow)->getColor(), engine::Color3B(64, 64, 64));
    tapNode(button(SpectrumMenu::kSsidRow, 1));
    renderFrame();
    EXPECT_TRUE(menu->getSlider(SpectrumMenu::kRefreshRow)->isEnabled());
    model.accessory.scanKeepsRefresh = true;
    menu->markForRefresh();
    renderFrame();
    EXPECT_FALSE(menu->getSlider(SpectrumMenu::kRefreshRow)->isEnabled());
}

TEST_F(SpectrumMenuTest, TraceKindsPickEveryKindAndEnableTheirSliders) {
    renderFrame();
    EXPECT_EQ(button(SpectrumMenu::kTraceRow, 0)->getTitleText(), "HEAT MAP");
    EXPECT_EQ(button(SpectrumMenu::kTraceRow, 1)->getTitleText(), "NONE");
    EXPECT_FALSE(menu->getSlider(SpectrumMenu::kHoldRow)->isEnabled());
    EXPECT_FALSE(menu->getSlider(SpectrumMenu::kAverageRow)->isEnabled());

    pick(button(SpectrumMenu::kTraceRow, 1), SpectrumSettings::kTraceDecay);
    EXPECT_EQ(model.spectrum_settings.traceModes[1], SpectrumSettings::kTraceDecay);
    EXPECT_EQ(button(SpectrumMenu::kTraceRow, 1)->getTitleText(), "DECAY");
    EXPECT_TRUE(menu->getSlider(SpectrumMenu::kHoldRow)->isEnabled());
    EXPECT_TRUE(menu->getSlider(SpectrumMenu::kDecayRow)->isEnabled());
    EXPECT_FALSE(menu->getSlider(SpectrumMenu::kAverageRow)->isEnabled());
    slide(SpectrumMenu::kHoldRow, 100);
    EXPECT_EQ(model.spectrum_settings.holdTime, 3.f);
    EXPECT_EQ(value(SpectrumMenu::kHoldRow), "3.00s");
    EXPECT_EQ(menu->getSlider(SpectrumMenu::kHoldRow)->getPercent(), 100);
    slide(SpectrumMenu::kDecayRow, 45);
    EXPECT_EQ(value(SpectrumMenu::kDecayRow), "4.50dBm");

    // A damaged stored kind preselects "NONE" instead of a row past the wheel.
    model.spectrum_settings.traceModes[2] = 9;
    menu->markForRefresh();
    renderFrame();
    EXPECT_EQ(button(SpectrumMenu::kTraceRow, 2)->getTitleText(), "UNKNOWN");
    PickerViewMenu* picker = menu->openPicker(SpectrumMenu::kTracePicker3);
    ASSERT_NE(picker, nullptr);
    EXPECT_EQ(picker->getSelectedRow(), 0);
    step(40);
    pressKey(K::KEY_END);
    pressKey(K::KEY_ENTER);
    step(40);
    EXPECT_EQ(model.spectrum_settings.traceModes[2], SpectrumSettings::kTraceHeatMap);
    EXPECT_EQ(control.reconfigures, 0);

    // Stored NaN and out-of-range values show inside the slider.
    model.spectrum_settings.averageTime = std::numeric_limits<float>::quiet_NaN();
    model.spectrum_settings.decayStep = 1e30f;
    menu->markForRefresh();
    renderFrame();
    EXPECT_EQ(menu->getSlider(SpectrumMenu::kAverageRow)->getPercent(), 0);
    EXPECT_EQ(menu->getSlider(SpectrumMenu::kDecayRow)->getPercent(), 100);
}

TEST_F(SpectrumMenuTest, InternalAttenuationOffersOnlySendableStepsAndReconfiguresOnChange) {
    renderFrame();
    EXPECT_FALSE(button(SpectrumMenu::kInternalAttenuationRow, 0)->isEnabled());
    model.runtime.deviceConnected = true;
    model.accessory.hasInternalAttenuator = true;
    // A stored 28 dB step (not sendable) is shown as stored, never rewritten by opening.
    model.common_settings.internalAttenuationIndex = 7;
    menu->markForRefresh();
    renderFrame();
    Button* opener = button(SpectrumMenu::kInternalAttenuationRow, 0);
    EXPECT_TRUE(opener->isEnabled());
    EXPECT_EQ(opener->getTitleText(), "28 dB");
    PickerViewMenu* picker = menu->openPicker(SpectrumMenu::kInternalAttenuationPicker);
    ASSERT_NE(picker, nullptr);
    EXPECT_EQ(picker->getSelectedRow(), 0);
    ASSERT_EQ(picker->getWheel() != nullptr, true);
    auto steps = SpectrumMenu::internalAttenuationSteps();
    EXPECT_EQ(steps.rowCount(), 7);
    EXPECT_EQ(steps.titleForRow(6), "24 dB");
    pressKey(K::KEY_ESCAPE);
    step(40);
    EXPECT_EQ(model.common_settings.internalAttenuationIndex, 7);
    EXPECT_EQ(control.reconfigures, 0);

    pick(opener, 3);
    EXPECT_EQ(model.common_settings.internalAttenuationIndex, 3);
    EXPECT_EQ(opener->getTitleText(), "12 dB");
    ASSERT_EQ(control.reconfigures, 1);
    EXPECT_TRUE(control.lastClearData());
    pick(opener, 3);
    EXPECT_EQ(control.reconfigures, 1);
}

TEST_F(SpectrumMenuTest, ExternalAttenuationPicksWholeDecibelsAndReconfiguresWithoutClearing) {
    Button* opener = button(SpectrumMenu::kExternalAttenuationRow, 0);
    renderFrame();
    EXPECT_EQ(opener->getTitleText(), "0.00 dB");
    pick(opener, 10);
    EXPECT_EQ(model.common_settings.externalAttenuation, 10.f);
    EXPECT_EQ(opener->getTitleText(), "10.00 dB");
    ASSERT_EQ(control.reconfigures, 1);
    EXPECT_FALSE(control.lastClearData());
    pick(opener, 10);
    EXPECT_EQ(control.reconfigures, 1);
    EXPECT_EQ(SpectrumMenu::externalAttenuationValues().rowCount(), 61);
}

TEST_F(SpectrumMenuTest, ClearWaveformKeepsTheAccessPointsWhileTheScanIsPaused) {
    addSweep();
    addAccessPoint();
    model.runtime.scanPaused = true;
    tapNode(button(SpectrumMenu::kClearRow, 0));
    EXPECT_EQ(model.band24.sweepCount(), 0);
    EXPECT_EQ(model.accessPoints.size(), 1u);

    addSweep();
    model.runtime.scanPaused = false;
    tapNode(button(SpectrumMenu::kClearRow, 0));
    EXPECT_EQ(model.band24.sweepCount(), 0);
    EXPECT_TRUE(model.accessPoints.empty());
    EXPECT_EQ(control.reconfigures, 0);
}

}  // namespace
