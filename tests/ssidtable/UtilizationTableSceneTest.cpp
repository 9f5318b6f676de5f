// The main scene with the utilization table: the U key, the close button, edit mode that ends
// with the table however it goes, the add alert answered by mouse and keyboard, and refreshes
// when the list changes.
#include <string>

#include "app/MainScene.h"
#include "engine/base/Director.h"
#include "engine/base/EventDispatcher.h"
#include "engine/base/EventKeyboard.h"
#include "engine/ui/Button.h"
#include "engine/ui/TableView.h"
#include "engine/ui/TableViewCell.h"
#include "instrument/Instrument.h"
#include "menus/AlertViewLayer.h"
#include "menus/MenuController.h"
#include "model/AccessPointSelection.h"
#include "model/ManualClock.h"
#include "tests/ssidtable/SSIDTableTestSupport.h"
#include "views/ssid/SSIDTableLayer.h"
#include "views/ssid/SSIDUtilizationTableLayer.h"
#include "views/ssid/UtilizationTableRows.h"

using namespace ssidtabletest;
using K = engine::EventKeyboard::KeyCode;

namespace {

class UtilizationTableSceneTest : public SSIDTableGlTest {
  protected:
    void SetUp() override {
        SSIDTableGlTest::SetUp();
        SpectrumSettings::getInstance()->runtime.displayClass = 3;
        model->accessPoints.push_back(makeAccessPoint("home", -50.f, 6));
        model->accessPoints.push_back(makeAccessPoint("cafe", -70.f, 1));
        main = MainScene::createWithModel(model.get());
        ASSERT_NE(main, nullptr);
        main->setClock(&clock);
        engine::Director::getInstance()->replaceScene(main);
        step(1, 0);
    }
    void key(K code) {
        engine::EventKeyboard down(code, true);
        engine::Director::getInstance()->getEventDispatcher()->dispatchKeyboardEvent(&down);
    }
    void tapNode(const engine::Node* node) {
        ASSERT_NE(node, nullptr);
        const engine::Size size = node->getContentSize();
        const engine::Vec2 at =
            node->convertToWorldSpace(engine::Vec2(size.width * 0.5f, size.height * 0.5f));
        tap(at.x, at.y);
    }
    int count(bool tables) const {
        int n = 0;
        for (engine::Node* child : main->getChildren()) {
            n += tables ? dynamic_cast<SSIDUtilizationTableLayer*>(child) != nullptr
                        : dynamic_cast<AlertViewLayer*>(child) != nullptr;
        }
        return n;
    }
    AlertViewLayer* openAlert() const {
        for (engine::Node* child : main->getChildren()) {
            if (auto* alert = dynamic_cast<AlertViewLayer*>(child))
                return alert;
        }
        return nullptr;
    }
    // Edit mode on, then a click on the first row of the "SSID List" section.
    void askToAddFirstListed() {
        SSIDUtilizationTableLayer* table = main->getUtilizationTable();
        ASSERT_NE(table, nullptr);
        tapNode(table->getEditButton());
        ASSERT_TRUE(model->runtime.scanPaused);
        step(1);
        tapNode(table->getTableView()->cellAtIndex(3));
        step(1);  // the alert builds its box when it enters
    }
    bool selected(int index) const {
        return AccessPointSelection::contains(model->scanStatistics,
                                              model->accessPoints[index]->bssid);
    }

    ManualClock clock{1000};
    MainScene* main = nullptr;
};

TEST_F(UtilizationTableSceneTest, KeyUTogglesTheTableOverTheViewAreaInSpectrumModeOnly) {
    key(K::KEY_U);
    ASSERT_TRUE(main->isUtilizationTableShown());
    SSIDUtilizationTableLayer* table = main->getUtilizationTable();
    ASSERT_NE(table, nullptr);
    EXPECT_EQ(count(true), 1);
    EXPECT_EQ(table->getPosition(), main->viewArea().origin);
    EXPECT_EQ(table->getContentSize().width, main->viewArea().size.width);
    // Sorted by grade and filled at once: two headers, the empty selection, two access points.
    EXPECT_EQ(table->getTableView()->getNumberOfRows(), 5);

    // One table at a time.
    key(K::KEY_T);
    EXPECT_TRUE(main->isSsidTableShown());
    EXPECT_FALSE(main->isUtilizationTableShown());
    EXPECT_EQ(count(true), 0);
    key(K::KEY_U);
    EXPECT_FALSE(main->isSsidTableShown());
    EXPECT_TRUE(main->isUtilizationTableShown());
    key(K::KEY_U);
    EXPECT_FALSE(main->isUtilizationTableShown());
    EXPECT_EQ(main->getUtilizationTable(), nullptr);
    EXPECT_EQ(count(true), 0);

    // Over the key help the key only closes the help.
    key(K::KEY_F1);
    ASSERT_TRUE(MenuController::getInstance()->isShortcutHelpShown());
    key(K::KEY_U);
    EXPECT_FALSE(MenuController::getInstance()->isShortcutHelpShown());
    EXPECT_FALSE(main->isUtilizationTableShown());

    model->common_settings.spectrumMode = CommonSettings::kPowerMode;
    step(1);
    key(K::KEY_U);
    EXPECT_FALSE(main->isUtilizationTableShown());
}

TEST_F(UtilizationTableSceneTest, EditModeEndsHoweverTheTableGoes) {
    auto startEditing = [&] {
        main->showUtilizationTable();
        ASSERT_NE(main->getUtilizationTable(), nullptr);
        tapNode(main->getUtilizationTable()->getEditButton());
        ASSERT_TRUE(model->runtime.scanPaused);
        ASSERT_EQ(main->getUtilizationTable()->getEditButton()->getTitleText(), "DONE");
    };
    // The close button.
    startEditing();
    tapNode(main->getUtilizationTable()->getCloseButton());
    EXPECT_FALSE(main->isUtilizationTableShown());
    EXPECT_EQ(count(true), 0);
    EXPECT_FALSE(model->runtime.scanPaused);
    step(2);
    // The key.
    startEditing();
    key(K::KEY_U);
    EXPECT_EQ(count(true), 0);
    EXPECT_FALSE(model->runtime.scanPaused);
    // The other table.
    startEditing();
    main->showSsidTable();
    EXPECT_EQ(count(true), 0);
    EXPECT_FALSE(model->runtime.scanPaused);
    main->hideSsidTable();
    // Power mode.
    startEditing();
    model->common_settings.spectrumMode = CommonSettings::kPowerMode;
    step(1);
    EXPECT_FALSE(main->isUtilizationTableShown());
    EXPECT_FALSE(model->runtime.scanPaused);
    // With the list no longer frozen, it ages again.
    model->common_settings.spectrumMode = CommonSettings::kSpectrumMode;
    step(1);
    main->showUtilizationTable();
    clock.set(1000 + 200000);
    step(11, 1.f);
    EXPECT_TRUE(model->accessPoints.empty());
    EXPECT_EQ(main->getUtilizationTable()->getTableView()->getNumberOfRows(), 4);
}

TEST_F(UtilizationTableSceneTest, AddAlertIsAnsweredByMouseOrKeyboard) {
    main->showUtilizationTable();
    step(1);
    SSIDUtilizationTableLayer* table = main->getUtilizationTable();
    askToAddFirstListed();
    AlertViewLayer* alert = openAlert();
    ASSERT_NE(alert, nullptr);
    EXPECT_EQ(alert->getTitle(), "Add Access Point!");
    const bool home = alert->getMessage() == "Do you want to optimize \"home\"?";
    EXPECT_TRUE(home || alert->getMessage() == "Do you want to optimize \"cafe\"?")
        << alert->getMessage();
    const int asked = (model->accessPoints[0]->name[1] == 'h') == home ? 0 : 1;
    ASSERT_EQ(alert->getButtons().size(), 2u);
    tapNode(alert->getButtons()[0]);  // "Add"
    EXPECT_EQ(count(false), 0);
    EXPECT_TRUE(selected(asked));
    EXPECT_FALSE(selected(1 - asked));
    step(1);
    // Refreshed: each section holds one access point now, and editing goes on.
    EXPECT_EQ(table->getTableView()->getNumberOfRows(), 4);
    EXPECT_TRUE(model->runtime.scanPaused);

    // Keyboard: Escape cancels (the last button), Enter adds; other keys stop at the alert.
    tapNode(table->getTableView()->cellAtIndex(3));
    step(1);
    ASSERT_NE(openAlert(), nullptr);
    key(K::KEY_U);
    EXPECT_TRUE(main->isUtilizationTableShown());
    key(K::KEY_ESCAPE);
    EXPECT_EQ(count(false), 0);
    EXPECT_FALSE(selected(1 - asked));
    tapNode(table->getTableView()->cellAtIndex(3));
    step(1);
    key(K::KEY_ENTER);
    EXPECT_EQ(count(false), 0);
    EXPECT_TRUE(selected(1 - asked));
}

TEST_F(UtilizationTableSceneTest, AnAlertLeftOpenWhenTheTableGoesAnswersNothing) {
    main->showUtilizationTable();
    step(1);
    askToAddFirstListed();
    AlertViewLayer* alert = openAlert();
    ASSERT_NE(alert, nullptr);
    main->hideUtilizationTable();
    EXPECT_FALSE(model->runtime.scanPaused);
    tapNode(alert->getButtons()[0]);
    EXPECT_EQ(count(false), 0);
    EXPECT_FALSE(selected(0));
    EXPECT_FALSE(selected(1));
    step(2);
}

// Both tables' sort orders are stored settings: a header press is a change of the scene's
// instrument.
TEST_F(UtilizationTableSceneTest, HeaderPressesSortThroughTheScenesInstrument) {
    const Instrument& instrument = main->getInstrument();
    const SpectrumViewSettings& view = model->spectrum_settings;
    const uint64_t before = instrument.changeCount();
    main->showUtilizationTable();
    step(1);
    ASSERT_FALSE(main->getUtilizationTable()->getHeaderButtons().empty());
    engine::ui::Button* header = main->getUtilizationTable()->getHeaderButtons()[0];
    tapNode(header);
    const uint8_t criterion = view.utilizationSortCriterion;
    const uint8_t descending = view.utilizationSortDescending;
    EXPECT_NE(criterion, 11);
    EXPECT_EQ(instrument.changeCount(), before + 1);
    EXPECT_TRUE(instrument.isStoreDirty());
    tapNode(header);
    EXPECT_EQ(view.utilizationSortCriterion, criterion);
    EXPECT_NE(view.utilizationSortDescending, descending);
    EXPECT_EQ(instrument.changeCount(), before + 2);

    main->showSsidTable();
    step(1);
    ASSERT_NE(main->getSsidTable(), nullptr);
    tapNode(main->getSsidTable()->getHeaderButton(SSIDTableViewCell::kSsid));
    EXPECT_EQ(view.ssidSortCriterion, 2);
    EXPECT_EQ(instrument.changeCount(), before + 3);
}

}  // namespace
