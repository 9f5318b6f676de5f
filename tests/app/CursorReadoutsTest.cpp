// Cursors, their status readouts and the channel guide over the demonstration's spectrum, in the
// program's 960 x 640 window: readouts in every unit follow a drag made through the window's
// touch path, and two snapshots (cursors-readouts.png, channel-guide.png) are written for people
// to look at.
#include <memory>

#include "app/StatusReadouts.h"
#include "engine/2d/Label.h"
#include "engine/base/Director.h"
#include "engine/ui/Button.h"
#include "link/AccessoryCommunicationDelegate.h"
#include "link/FileResourceReader.h"
#include "model/ManualClock.h"
#include "model/SpectrumSettings.h"
#include "model/ValueFormatting.h"
#include "tests/app/AppTestSupport.h"
#include "views/spectrum/ChannelGuideLayer.h"
#include "views/spectrum/ChannelGuidePopoverLayer.h"
#include "views/spectrum/CursorsLayer.h"
#include "views/spectrum/GridLayer.h"
#include "views/spectrum/RssiLayer.h"

namespace {

using namespace apptest;

// The plotting rectangle above the 75-unit bar, one unit inside the grid.
constexpr float kPlotX = 2, kPlotY = 77, kPlotW = 958 - 2, kPlotH = 563 - 2;
constexpr float kQ = kPlotW / 1000.f;         // position readouts step
constexpr float kLevelQ = kPlotH / 800.f;     // level readouts step
constexpr float half(float steps, float q) {  // half a step past a whole number of steps
    return (steps + 0.5f) * q;
}

class CursorReadoutsTest : public AppGlTest {
  protected:
    void SetUp() override {
        AppGlTest::SetUp();
        CursorSettings& c = model.cursors;
        c.cursorsShown = 1;
        c.verticalShown = 1;
        c.horizontalShown = 1;
        c.verticalX[0] = 100;
        c.verticalX[1] = 750.75f * kQ;  // a quarter step on, so differences cut cleanly
        c.horizontalY[0] = 100;
        c.horizontalY[1] = 200.25f * kLevelQ;
        model.spectrum_settings.traceModes[0] = SpectrumSettings::kTraceRaw;
        model.spectrum_settings.traceModes[1] = SpectrumSettings::kTraceMaxHold;
        model.spectrum_settings.traceModes[2] = SpectrumSettings::kTraceHeatMap;
    }
    void TearDown() override {
        AppGlTest::TearDown();
        controller.reset();
    }
    template <typename L>
    L* place(L* layer) {
        EXPECT_NE(layer, nullptr);
        layer->setPosition(kPlotX, kPlotY);
        layer->setContentSize(engine::Size(kPlotW, kPlotH));
        scene->addChild(layer);
        return layer;
    }
    // The scene's order: grid, traces, cursors, channel guide.
    void buildView() {
        GridLayer* grid = GridLayer::create();
        grid->setPosition(kPlotX - 1, kPlotY - 1);
        grid->setContentSize(engine::Size(kPlotW + 2, kPlotH + 2));
        grid->rebuildGrid();
        scene->addChild(grid);
        rssi = place(RssiLayer::createWithModel(&model));
        rssi->showBand5 = false;
        cursors = place(CursorsLayer::createWithModel(&model));
        guide = place(ChannelGuideLayer::createWithModel(&model));
    }
    void startDemo() {
        AccessoryCommunicationDelegate::Options options;
        options.resources = &resources;
        options.clock = &clock;
        options.startWorker = false;
        controller = std::make_unique<AccessoryCommunicationDelegate>(model, options);
    }
    void play(int passes) {
        for (int i = 0; i < passes; ++i) {
            clock.advance(AccessoryCommunicationDelegate::kPassMs);
            controller->runPass();
            step(1, 0.1f);
        }
    }
    void drag(float x0, float y0, float x1, float y1) {
        touchBegan(1, kPlotX + x0, kPlotY + y0);
        touchMoved(1, kPlotX + x1, kPlotY + y1);
        touchEnded(1, kPlotX + x1, kPlotY + y1);
    }
    StatusTexts texts() { return StatusReadouts::compute(model, kPlotW, kPlotH); }
    // The readouts as the status strip shows them, along the bottom of the window.
    void showReadouts() {
        const StatusTexts t = texts();
        std::string line = t.cursorX + "   " + t.cursorDeltaX;
        for (const StatusTexts::Pair& pair : t.pairs)
            if (pair.used)
                line += "   " + pair.at + "  " + pair.delta;
        auto* label = engine::Label::createWithTTF(line, "fonts/roboto/Roboto-Regular.ttf", 15);
        ASSERT_NE(label, nullptr);
        label->setAnchorPoint(engine::Vec2::ANCHOR_MIDDLE);
        label->setPosition(kWidth / 2.f, 37);
        scene->addChild(label);
    }

    SpectrumSettings model;
    ManualClock clock{1000};
    FileResourceReader resources{APP_TEST_RESOURCE_ROOT};
    std::unique_ptr<AccessoryCommunicationDelegate> controller;
    RssiLayer* rssi = nullptr;
    CursorsLayer* cursors = nullptr;
    ChannelGuideLayer* guide = nullptr;
};

TEST_F(CursorReadoutsTest, PositionAndLevelReadoutsFollowADragInEveryUnit) {
    buildView();
    step(1);
    // Cursor 0 to the middle (half a step past 500 steps), cursor 0 of the level pair to half
    // the height; the vertical drag starts on the vertical cursor only.
    drag(100, 300, half(500, kQ), 300);
    drag(500, 100, 500, half(400, kLevelQ));
    EXPECT_EQ(model.cursors.selectedCursor, 0);
    EXPECT_NEAR(model.cursors.verticalX[0], half(500, kQ), 1e-3);
    EXPECT_NEAR(model.cursors.horizontalY[0], half(400, kLevelQ), 1e-3);

    CursorSettings& c = model.cursors;
    StatusTexts t = texts();
    EXPECT_EQ(t.cursorX, "@Hz: 2450 MHz");
    EXPECT_EQ(t.cursorDeltaX, "ΔHz: 25.0 MHz");  // 250 steps of a tenth of a MHz
    c.positionUnit = 1;
    t = texts();
    EXPECT_EQ(t.cursorX, "@Hz:0 °");
    EXPECT_EQ(t.cursorDeltaX, "ΔHz:180 °");
    c.positionUnit = 2;
    t = texts();
    EXPECT_EQ(t.cursorX, "@Hz:0 %");
    EXPECT_EQ(t.cursorDeltaX, "ΔHz:50.0 %");
    // Against a reference span: the other cursor's distance is the whole period.
    c.positionReference = 1;
    c.positionReferencePair[0] = c.verticalX[0];
    c.positionReferencePair[1] = c.verticalX[1];
    t = texts();
    EXPECT_EQ(t.cursorDeltaX, "ΔHz:100 %");
    c.levelUnit = 2;
    t = texts();
    EXPECT_EQ(t.pairs[0].at, "@dBm:50.0 %");
    EXPECT_EQ(t.pairs[0].delta, "ΔdBm:25.0 %");
    c.levelReference = 1;
    c.levelReferencePair[0] = 0;
    c.levelReferencePair[1] = half(400, kLevelQ);
    t = texts();
    EXPECT_EQ(t.pairs[0].at, "@dBm:100 %");
}

TEST_F(CursorReadoutsTest, SnapshotOfCursorsWithReadoutsOverTheDemonstration) {
    startDemo();
    buildView();
    play(120);
    ASSERT_GT(model.band24.sweepCount(), 20) << "the demonstration recordings did not play";
    // Cursor 0 onto channel 6's burst (2437 MHz), cursor 1 onto channel 1 (2412 MHz).
    drag(100, 300, 0.37f * kPlotW, 300);
    drag(750.75f * kQ, 300, 0.12f * kPlotW, 300);
    play(3);
    const CursorReadouts& r = model.cursorReadouts;
    EXPECT_NEAR(r.index[1], 0.12f * (r.pointCount - 1), 1.0f);
    EXPECT_NEAR(r.index[0], 0.37f * (r.pointCount - 1), 1.0f);
    const StatusTexts t = texts();
    EXPECT_EQ(t.pairs[0].at, "@dBm:" + formatFixed2(r.level[CursorReadouts::kRaw][1]) + "dBm");
    EXPECT_EQ(t.pairs[1].at, "@dBm:" + formatFixed2(r.level[CursorReadouts::kMaximum][1]) + "dBm");
    showReadouts();
    const engine::Image image = renderFrame();
    EXPECT_TRUE(image.saveToFile("cursors-readouts.png"));
}

TEST_F(CursorReadoutsTest, SnapshotOfTheGuideWithASelectedChannel) {
    model.spectrum_settings.channelGuide24 = 2;  // 802.11g
    model.spectrum_settings.channelGuideState = 1;
    model.cursors.cursorsShown = 0;
    startDemo();
    buildView();
    play(60);
    const engine::Image buttons = renderFrame();
    EXPECT_TRUE(buttons.saveToFile("channel-guide-buttons.png"));
    ASSERT_EQ(guide->getChannelButtons().size(), 13u);
    // A click on channel 6's button (top row) selects it.
    const engine::Rect six = guide->getChannelButtons()[5]->getBoundingBox();
    tap(kPlotX + six.getMidX(), kPlotY + six.getMidY());
    play(2);
    ASSERT_EQ(guide->getSelectedChannel(), 6);
    ASSERT_NE(guide->getPopover(), nullptr);
    EXPECT_EQ(guide->getPopover()->getTitleLabel()->getString(), "802.11g :: 6");
    const engine::Image image = renderFrame();
    EXPECT_TRUE(image.saveToFile("channel-guide.png"));
}

}  // namespace
