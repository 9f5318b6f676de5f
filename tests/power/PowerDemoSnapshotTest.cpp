// The power view over the demonstration (first generation, pulse train), played through the
// controller's packet path with a stepped clock and the pulse measurements installed. Writes
// power-demo-triggered.png and power-demo-roll.png for people to look at.
#include <cmath>

#include "engine/2d/Sprite.h"
#include "link/AccessoryCommunicationDelegate.h"
#include "link/FileResourceReader.h"
#include "model/ManualClock.h"
#include "model/PulseMeasurement.h"
#include "tests/power/PowerTestSupport.h"
#include "views/power/PowerLayer.h"
#include "views/power/PowerUIAndTouchLayer.h"
#include "views/spectrum/GridLayer.h"

namespace {

using namespace powertest;

class PowerDemoSnapshotTest : public PowerLayerTestBase {
  protected:
    void SetUp() override {
        PowerLayerTestBase::SetUp();
        model->common_settings.spectrumMode = 0;
        model->demo.hardware = 0;
        const uint8_t slots[] = {0, 1, 3, 5, 13, 21};
        std::copy(std::begin(slots), std::end(slots), model->power_setting.measureSlots);
        AccessoryCommunicationDelegate::Options options;
        options.resources = &resources;
        options.clock = &clock;
        options.startWorker = false;
        controller = std::make_unique<AccessoryCommunicationDelegate>(*model, options);
        controller->setPulseMeasurement(&PulseMeasurement::storeInModel);

        GridLayer* grid = GridLayer::create();
        grid->setPosition(area.origin);
        grid->setContentSize(area.size);
        grid->rebuildGrid();
        scene->addChild(grid);
        touchLayer = PowerUIAndTouchLayer::createWithModel(model.get(), nullptr);
        for (engine::Node* layer :
             {static_cast<engine::Node*>(PowerLayer::createWithModel(model.get())),
              static_cast<engine::Node*>(touchLayer)}) {
            ASSERT_NE(layer, nullptr);
            layer->setPosition(area.origin);
            layer->setContentSize(area.size);
            scene->addChild(layer);
        }
    }
    void TearDown() override {
        PowerLayerTestBase::TearDown();
        controller.reset();
    }
    // Worker passes of 100 ms interleaved with frames, as the two threads would run them.
    void play(int passes) {
        for (int i = 0; i < passes; ++i) {
            clock.advance(AccessoryCommunicationDelegate::kPassMs);
            controller->runPass();
            step(1, 0.1f);
        }
    }

    engine::Rect area{4, 4, kWidth - 8, kHeight - 8};
    PowerUIAndTouchLayer* touchLayer = nullptr;
    ManualClock clock{1000};
    FileResourceReader resources{POWER_TEST_RESOURCE_ROOT};
    std::unique_ptr<AccessoryCommunicationDelegate> controller;
};

}  // namespace

TEST_F(PowerDemoSnapshotTest, TriggeredPulseTrainWithMeasurements) {
    play(30);
    ASSERT_FALSE(model->isRolling());
    const engine::Image image = renderFrame();
    EXPECT_GT(countLit(image, 4, 4, kWidth - 4, kHeight - 4), 1000);
    EXPECT_TRUE(std::isfinite(model->live.pulseMeasurements[PulseMeasurement::kPeriod]));
    EXPECT_TRUE(image.saveToFile("power-demo-triggered.png"));
}

// The recordings were made with the trigger 4 divisions right of the middle; the marker is drawn
// there, on the rising edge of every capture, not mirrored to the left.
TEST_F(PowerDemoSnapshotTest, TriggerMarkerSitsOnTheRecordedEdges) {
    play(30);
    ASSERT_FLOAT_EQ(model->power_setting.triggerDelay, 0.000016f);
    const float x = touchLayer->getDelayHandle()->getPosition().x;
    EXPECT_NEAR(x / area.size.width, 0.9f, 1e-4);
    std::lock_guard<ModelLock> guard(model->traceLock);
    ASSERT_GE(model->live.history.size(), 3u);
    for (const std::vector<float>& capture : model->live.history) {
        const size_t n = capture.size();
        const size_t m = static_cast<size_t>(std::lround(x / area.size.width * (n - 1)));
        ASSERT_LT(m + 3, n);
        // The pulse rises within a sample or two at this time base: below the trigger level
        // before the marker, above it after.
        EXPECT_LT(capture[m - 3], model->power_setting.triggerLevel) << m;
        EXPECT_GT(capture[m + 3], model->power_setting.triggerLevel) << m;
    }
}

// Frames drawn in part (the traces' rows, the panel's figures) add up to the picture drawn whole:
// no capture, fading step or figure is left behind outside what a frame redraws.
TEST_F(PowerDemoSnapshotTest, FramesDrawnInPartAddUpToTheWholePicture) {
    FrameReader* reader = FrameReader::create();
    reader->setGlobalZOrder(1e6f);
    scene->addChild(reader);
    play(3);
    engine::Image lastDrawn;
    reader->image = &lastDrawn;
    play(30);
    reader->image = nullptr;
    ASSERT_FALSE(model->isRolling());
    ASSERT_GE(model->live.processedHistory.size(), 3u);
    ASSERT_NE(lastDrawn.getWidth(), 0);
    const engine::Image whole = renderFrame(0.0f);  // no time passes: the same picture
    ASSERT_EQ(whole.getWidth(), lastDrawn.getWidth());
    ASSERT_EQ(whole.getHeight(), lastDrawn.getHeight());
    int differing = 0;
    for (int y = 0; y < whole.getHeight(); ++y) {
        for (int x = 0; x < whole.getWidth(); ++x)
            differing += pixelAt(whole, x, y) == pixelAt(lastDrawn, x, y) ? 0 : 1;
    }
    EXPECT_EQ(differing, 0);
}

TEST_F(PowerDemoSnapshotTest, RollingStripChart) {
    play(3);
    ASSERT_GT(model->accessory.powerRollLimitIndex, 0);
    model->power_setting.powerTimeBaseIndex = model->accessory.powerRollLimitIndex - 1;
    play(40);
    ASSERT_TRUE(model->isRolling());
    const engine::Image image = renderFrame();
    EXPECT_GT(model->live.rollingHistory.size(), 2u);
    EXPECT_GT(countLit(image, kWidth / 2, 4, kWidth - 4, kHeight - 4), 200);
    EXPECT_TRUE(image.saveToFile("power-demo-roll.png"));
}
