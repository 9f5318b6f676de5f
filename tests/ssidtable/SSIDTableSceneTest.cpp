// The main scene with the SSID table: the T key, the close button, hiding that keeps the
// user's selection, refreshes when the list changes, and a snapshot over the demonstration
// (ssid-table-demo.png in the test's working directory, for people to look at).
#include <memory>
#include <string>

#include "app/MainScene.h"
#include "engine/2d/Label.h"
#include "engine/base/Director.h"
#include "engine/base/EventDispatcher.h"
#include "engine/base/EventKeyboard.h"
#include "engine/ui/Button.h"
#include "engine/ui/TableView.h"
#include "link/AccessoryCommunicationDelegate.h"
#include "link/FileResourceReader.h"
#include "model/ManualClock.h"
#include "tests/ssidtable/SSIDTableTestSupport.h"
#include "views/ssid/SSIDTableLayer.h"

using namespace ssidtabletest;
using engine::EventKeyboard;

namespace {

class SSIDTableSceneTest : public SSIDTableGlTest {
  protected:
    void SetUp() override {
        SSIDTableGlTest::SetUp();
        SpectrumSettings::getInstance()->runtime.displayClass = 3;
    }
    void TearDown() override {
        SSIDTableGlTest::TearDown();
        controller.reset();
    }
    void start() {
        main = MainScene::createWithModel(model.get());
        ASSERT_NE(main, nullptr);
        main->setClock(&clock);
        engine::Director::getInstance()->replaceScene(main);
        step(1, 0);
    }
    void key(EventKeyboard::KeyCode code) {
        EventKeyboard down(code, true);
        engine::Director::getInstance()->getEventDispatcher()->dispatchKeyboardEvent(&down);
        EventKeyboard up(code, false);
        engine::Director::getInstance()->getEventDispatcher()->dispatchKeyboardEvent(&up);
    }
    int tablesInScene() const {
        int count = 0;
        for (engine::Node* child : main->getChildren())
            count += dynamic_cast<SSIDTableLayer*>(child) != nullptr;
        return count;
    }
    // Worker passes of 100 ms interleaved with frames, as the two threads would run them.
    void play(int passes) {
        for (int i = 0; i < passes; ++i) {
            clock.advance(AccessoryCommunicationDelegate::kPassMs);
            controller->runPass();
            step(1, 0.1f);
        }
    }

    ManualClock clock{1000};
    FileResourceReader resources{SSID_TABLE_TEST_RESOURCE_ROOT};
    std::unique_ptr<AccessoryCommunicationDelegate> controller;
    MainScene* main = nullptr;
};

TEST_F(SSIDTableSceneTest, KeyTTogglesTheTableInSpectrumModeOnly) {
    start();
    key(EventKeyboard::KeyCode::KEY_T);
    ASSERT_TRUE(main->isSsidTableShown());
    ASSERT_NE(main->getSsidTable(), nullptr);
    EXPECT_EQ(tablesInScene(), 1);
    key(EventKeyboard::KeyCode::KEY_S);  // other keys leave it alone
    EXPECT_TRUE(main->isSsidTableShown());
    key(EventKeyboard::KeyCode::KEY_T);
    EXPECT_FALSE(main->isSsidTableShown());
    EXPECT_EQ(main->getSsidTable(), nullptr);
    EXPECT_EQ(tablesInScene(), 0);

    // Power mode has no access points to list; switching to it takes the table away.
    key(EventKeyboard::KeyCode::KEY_T);
    model->common_settings.spectrumMode = CommonSettings::kPowerMode;
    step(1);
    EXPECT_FALSE(main->isSsidTableShown());
    EXPECT_EQ(tablesInScene(), 0);
    key(EventKeyboard::KeyCode::KEY_T);
    EXPECT_FALSE(main->isSsidTableShown());
}

TEST_F(SSIDTableSceneTest, CloseButtonHidesAndHidingKeepsTheSelection) {
    start();
    model->scanStatistics.selection[3][0] = 0x02;
    model->scanStatistics.selection[3][5] = 0x44;
    model->scanStatistics.channelUtilization[5] = 0.5f;
    model->scanStatistics.gradingCounter = 100;
    main->showSsidTable();
    model->runtime.scanPaused = true;
    ASSERT_NE(main->getSsidTable(), nullptr);
    engine::ui::Button* close = main->getSsidTable()->getCloseButton();
    ASSERT_NE(close, nullptr);
    const engine::Size size = close->getContentSize();
    const engine::Vec2 at =
        close->convertToWorldSpace(engine::Vec2(size.width * 0.5f, size.height * 0.5f));
    tap(at.x, at.y);
    EXPECT_FALSE(main->isSsidTableShown());
    EXPECT_EQ(tablesInScene(), 0);
    EXPECT_FALSE(model->runtime.scanPaused);
    // The user's own access points stay selected; the figures start over.
    EXPECT_EQ(model->scanStatistics.selection[3][0], 0x02);
    EXPECT_EQ(model->scanStatistics.selection[3][5], 0x44);
    EXPECT_EQ(model->scanStatistics.channelUtilization[5], 0.f);
    EXPECT_EQ(model->scanStatistics.gradingCounter, 0);
    step(2);
}

TEST_F(SSIDTableSceneTest, TableFollowsTheListAsScansArriveAndAge) {
    clock.set(1000000);
    model->accessPoints.push_back(makeAccessPoint("weak", -80.f));
    model->accessPoints.back()->lastSeen = 1000000 - 181000;  // about to age out
    start();
    main->showSsidTable();
    SSIDTableLayer* table = main->getSsidTable();
    ASSERT_NE(table, nullptr);
    EXPECT_EQ(table->getTitleLabel()->getString(), "Total AP: 1 Total Scan: 0");

    // A merged scan raises the flag; the next frame sorts and refreshes.
    model->accessPoints.push_back(makeAccessPoint("strong", -40.f));
    model->accessPoints.back()->lastSeen = 1000000;
    model->runtime.scanCount = 1;
    model->runtime.ssidTableChanged = true;
    step(1);
    EXPECT_EQ(table->getTitleLabel()->getString(), "Total AP: 2 Total Scan: 1");
    auto* first = dynamic_cast<SSIDTableViewCell*>(table->getTableView()->cellAtIndex(1));
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first->getLabel(SSIDTableViewCell::kSsid)->getString(), "strong");

    // While shown the list ages: ten seconds on, the stale one is gone from the table too.
    step(11, 1.f);
    EXPECT_EQ(table->getTitleLabel()->getString(), "Total AP: 1 Total Scan: 1");
    EXPECT_EQ(table->getTableView()->getNumberOfRows(), 4);
}

TEST_F(SSIDTableSceneTest, SnapshotOverTheDemonstration) {
    AccessoryCommunicationDelegate::Options options;
    options.resources = &resources;
    options.clock = &clock;
    options.startWorker = false;
    controller = std::make_unique<AccessoryCommunicationDelegate>(*model, options);
    model->spectrum_settings.traceModes[0] = 6;  // heat map
    model->spectrum_settings.traceModes[1] = 1;  // raw
    start();
    for (int i = 0; i < 12 && model->accessPoints.empty(); ++i)
        play(50);
    ASSERT_FALSE(model->accessPoints.empty()) << "the demonstration played no access points";
    main->showSsidTable();
    step(1);
    SSIDTableLayer* table = main->getSsidTable();
    ASSERT_NE(table, nullptr);
    const engine::Image image = renderFrame();
    EXPECT_TRUE(image.saveToFile("ssid-table-demo.png"));
    EXPECT_NE(table->getTitleLabel()->getString().find("Total AP: "), std::string::npos);
    EXPECT_NE(table->getTitleLabel()->getString(), "Total AP: 0 Total Scan: 0");
    auto* first = dynamic_cast<SSIDTableViewCell*>(table->getTableView()->cellAtIndex(1));
    ASSERT_NE(first, nullptr);
    EXPECT_TRUE(first->getLabel(SSIDTableViewCell::kSsid)->isVisible());
}

}  // namespace
