// The power trace layer in a real GL context: captures where their levels say, fading, roll
// mode, the rescale of a held capture, the reference trace and the cursor readouts.
#include <vector>

#include "tests/power/PowerTestSupport.h"
#include "views/power/PowerLayer.h"
#include "views/spectrum/GridLayer.h"

namespace {

using namespace powertest;

constexpr Rgb kGreen{0, 255, 0};
constexpr Rgb kBlack{0, 0, 0};

// A one-pixel line at an integral y lands on the row above or below it: the colour drawn in
// the rows y - 1 to y + 1, or black.
Rgb near(const engine::Image& image, int x, int y) {
    for (int row : {y, y - 1, y + 1}) {
        const Rgb c = pixelAt(image, x, row);
        if (!(c == kBlack)) {
            return c;
        }
    }
    return kBlack;
}

// Plot area (10, 10) 400 x 200; -40 ... 0 dBm, so y = 10 + (v + 40) * 5.
class PowerLayerTest : public PowerLayerTestBase {
  protected:
    void SetUp() override {
        PowerLayerTestBase::SetUp();
        AccessoryDescription& a = model->accessory;
        for (int i = 0; i < 20; ++i) {
            a.powerTimeBases.push_back(1e-6f * static_cast<float>(1 << i));
        }
        a.powerRollLimitIndex = 10;
        model->power_setting.powerTimeBaseIndex = 15;  // captures
    }

    PowerLayer* addLayer() {
        PowerLayer* layer = PowerLayer::createWithModel(model.get());
        EXPECT_NE(layer, nullptr);
        layer->setPosition(10, 10);
        layer->setContentSize(engine::Size(400, 200));
        scene->addChild(layer);
        return layer;
    }

    // 500 samples (drawn point by point): `split` at `left`, the rest at `right`.
    void addCapture(float left, float right, size_t split = 250) {
        std::vector<float> capture(500, right);
        std::fill(capture.begin(), capture.begin() + static_cast<long>(split), left);
        model->live.appendCapture(capture.data(), capture.size());
    }
};

}  // namespace

TEST_F(PowerLayerTest, CaptureDrawnAtItsLevelsInsideTheRectangle) {
    addLayer();
    addCapture(-30, -10);
    const engine::Image image = renderFrame();
    EXPECT_EQ(near(image, 110, 60), kGreen);
    EXPECT_EQ(near(image, 310, 160), kGreen);
    EXPECT_EQ(near(image, 110, 160), kBlack);
    EXPECT_EQ(near(image, 310, 60), kBlack);
    // The vertical edge of the step joins the two levels.
    EXPECT_GT(countLit(image, 205, 70, 215, 150), 0);
    EXPECT_EQ(countLit(image, 0, 0, 10, kHeight), 0);
    EXPECT_EQ(countLit(image, 411, 0, kWidth, kHeight), 0);
    EXPECT_EQ(countLit(image, 0, 212, kWidth, kHeight), 0);
    EXPECT_FALSE(model->live.powerDataChanged);
}

TEST_F(PowerLayerTest, LevelsBeyondTheAxisAreClipped) {
    addLayer();
    addCapture(-60, 20);  // below the bottom, then above the top
    const engine::Image image = renderFrame();
    EXPECT_EQ(countLit(image, 0, 212, kWidth, kHeight), 0);
    EXPECT_EQ(countLit(image, 0, 0, kWidth, 10), 0);
    EXPECT_GT(countLit(image, 10, 10, 410, 211), 0);  // the step crosses the whole view
}

TEST_F(PowerLayerTest, OlderCapturesFadeAndGo) {
    model->power_setting.persistTime = 1.0f;
    PowerLayer* layer = addLayer();
    addCapture(-30, -30);
    step(1);
    addCapture(-10, -10);
    step(30, 1.0f / 60.0f);  // half the persistence
    engine::Image image = renderFrame();
    const Rgb older = near(image, 110, 60);
    EXPECT_EQ(near(image, 110, 160), kGreen);  // the newest never fades
    EXPECT_GT(older.g, 60);
    EXPECT_LT(older.g, 200);
    EXPECT_TRUE(layer->hasFadingCaptures());
    step(40);
    image = renderFrame();
    EXPECT_EQ(near(image, 110, 60), kBlack);
    EXPECT_EQ(model->live.history.size(), 1u);
    EXPECT_EQ(model->live.processedHistory.size(), 1u);
    EXPECT_FALSE(layer->hasFadingCaptures());
    // One capture and no new data: nothing to redraw.
    step(1);
    EXPECT_FALSE(layer->pictureChanged());
    addCapture(-20, -20);
    step(1);
    EXPECT_TRUE(layer->pictureChanged());
}

TEST_F(PowerLayerTest, AFadeAloneIsDrawnAtTheFadeRateNotEveryFrame) {
    model->power_setting.persistTime = 2.0f;
    PowerLayer* layer = addLayer();
    addCapture(-30, -30);
    step(1);
    addCapture(-10, -10);
    step(1);
    EXPECT_TRUE(layer->pictureChanged());  // new data is drawn at once
    int drawn = 0;
    for (int frame = 0; frame < 60; ++frame) {
        step(1);
        drawn += layer->pictureChanged() ? 1 : 0;
    }
    // One second at 60 frames: the fade alone asks for a frame every third one.
    EXPECT_TRUE(layer->hasFadingCaptures());
    EXPECT_EQ(drawn, 20);
    // Frames not drawn still fade: after half the persistence the older capture is half lit.
    const Rgb older = near(renderFrame(), 110, 60);
    EXPECT_GT(older.g, 60);
    EXPECT_LT(older.g, 200);
    addCapture(-20, -20);
    step(1);
    EXPECT_TRUE(layer->pictureChanged());
}

TEST_F(PowerLayerTest, SeventyCapturesWithLongPersistenceAllDrawn) {
    model->power_setting.persistTime = 20.0f;
    addLayer();
    for (int i = 0; i < 70; ++i) {
        // Each capture a little higher: the newest is always the top line.
        addCapture(-39.0f + 0.5f * static_cast<float>(i), -39.0f + 0.5f * static_cast<float>(i));
        step(1, 0.1f);
    }
    const engine::Image image = renderFrame();
    const int newestY = 10 + static_cast<int>((-39.0f + 0.5f * 69 + 40.0f) * 5.0f);
    EXPECT_EQ(near(image, 200, newestY), kGreen);
    EXPECT_EQ(model->live.history.size(), model->live.processedHistory.size());
    EXPECT_EQ(model->live.alpha.size(), model->live.history.size());
}

TEST_F(PowerLayerTest, RollGrowsInFromTheRightEdge) {
    model->power_setting.powerTimeBaseIndex = 5;
    model->accessory.powerRollPoints = 240;
    addLayer();
    model->live.rollingHistory.assign(100, -20.0f);
    model->live.powerDataChanged = true;
    const engine::Image image = renderFrame();
    // 100 of 240 points: from 10 + 400 * 140 / 239 = 244 to the right edge.
    EXPECT_EQ(near(image, 300, 110), kGreen);
    EXPECT_EQ(near(image, 408, 110), kGreen);
    EXPECT_EQ(countLit(image, 10, 10, 240, 211), 0);
}

TEST_F(PowerLayerTest, BrokenAxisOrRollSettingsDrawNothing) {
    addLayer();
    addCapture(-30, -10);
    model->accessory.powerAxisMax = model->accessory.powerAxisMin;
    EXPECT_EQ(countLit(renderFrame(), 0, 0, kWidth, kHeight), 0);
    model->accessory.powerAxisMax = NAN;
    EXPECT_EQ(countLit(renderFrame(), 0, 0, kWidth, kHeight), 0);
    model->accessory.powerAxisMax = 0.0f;
    model->power_setting.powerTimeBaseIndex = 5;
    model->accessory.powerRollPoints = 1;
    model->live.rollingHistory.assign(100, -20.0f);
    model->live.powerDataChanged = true;
    EXPECT_EQ(countLit(renderFrame(), 0, 0, kWidth, kHeight), 0);
}

TEST_F(PowerLayerTest, HeldCaptureRescaledAboutTheCentre) {
    addLayer();
    addCapture(-30, -10, 125);  // step at a quarter of the width
    RuntimeState& run = model->runtime;
    run.captureRescale = true;
    run.captureTimeBaseIndex = 15;
    run.viewTimeBaseIndex = 14;  // half the seconds per division: twice as wide
    engine::Image image = renderFrame();
    // The step moves from x = 100 to (100 - 200) * 2 + 200 = 0: the view shows -10 only.
    EXPECT_EQ(near(image, 60, 160), kGreen);
    EXPECT_EQ(countLit(image, 12, 55, 410, 66), 0);

    // A delay difference shifts the capture: 1/10 of its span per division of delay.
    run.viewTimeBaseIndex = 15;
    // A later view delay puts the trigger point, and the capture with it, further right.
    run.captureDelay = 0.0f;
    run.viewDelay = 2.0f * model->accessory.powerTimeBases[15];
    image = renderFrame();
    // Shift = 2 divisions of 40 px: the step moves from x = 100 to 180.
    EXPECT_EQ(near(image, 170, 60), kGreen);
    EXPECT_EQ(near(image, 200, 160), kGreen);
}

TEST_F(PowerLayerTest, ReferenceDrawnInItsColourWhenShownAndValid) {
    addLayer();
    model->power_channel.shown = 0;
    addCapture(-20, -20);
    step(1);
    model->grabReference();
    model->reference_channel.color[0] = 255;
    model->reference_channel.color[1] = 0;
    model->reference_channel.color[2] = 255;
    model->reference_channel.offset = 20.0f;
    EXPECT_EQ(countLit(renderFrame(), 0, 0, kWidth, kHeight), 0);  // not shown yet
    model->reference_channel.shown = 1;
    const engine::Image image = renderFrame();
    EXPECT_EQ(near(image, 200, 130), (Rgb{255, 0, 255}));
    EXPECT_EQ(near(image, 200, 110), kBlack);
}

TEST_F(PowerLayerTest, CursorReadoutsFollowTheDrawnTraceAfterAResize) {
    model->cursors.cursorsShown = 1;
    model->cursors.verticalX[0] = 100.0f;
    model->cursors.verticalX[1] = 300.0f;
    PowerLayer* layer = addLayer();
    addCapture(-30, -10);
    step(1);
    CursorReadouts& r = model->cursorReadouts;
    EXPECT_FLOAT_EQ(r.level[CursorReadouts::kRaw][0], -30.0f);
    EXPECT_FLOAT_EQ(r.level[CursorReadouts::kRaw][1], -10.0f);
    EXPECT_FLOAT_EQ(r.screenY[CursorReadouts::kRaw][1], 150.0f);
    EXPECT_EQ(r.pointCount, 500);
    EXPECT_EQ(r.index[0], 124);

    // The vertex list was built at 400 wide; the trace is now drawn 200 wide, so x = 150 lies
    // on the right half of what is drawn.
    layer->setContentSize(engine::Size(200, 200));
    model->cursors.verticalX[0] = 150.0f;
    model->cursors.verticalX[1] = NAN;  // damaged: no reading, no crash
    step(1);
    EXPECT_FLOAT_EQ(r.level[CursorReadouts::kRaw][0], -10.0f);
    EXPECT_EQ(r.index[1], -1);

    // A damaged trace choice measures nothing.
    model->power_setting.selectedTrace = 7;
    r.reset();
    step(1);
    EXPECT_EQ(r.pointCount, 0);
}

TEST_F(PowerLayerTest, SnapshotOfAPulseTrain) {
    GridLayer* grid = GridLayer::create();
    grid->setPosition(10, 10);
    grid->setContentSize(engine::Size(400, 200));
    grid->rebuildGrid();
    scene->addChild(grid);
    model->power_setting.persistTime = 1.0f;
    addLayer();
    for (int c = 0; c < 6; ++c) {
        std::vector<float> capture(240);
        for (size_t j = 0; j < capture.size(); ++j) {
            const size_t phase = (j + 4 * static_cast<size_t>(c)) % 40;
            float level = phase < 18 ? -12.0f : -34.0f;
            if (phase == 18 || phase == 39) {
                level = -23.0f;
            }
            capture[j] = level + 0.4f * static_cast<float>((j * 7 + c * 3) % 5) - 0.8f;
        }
        model->live.appendCapture(capture.data(), capture.size());
        step(6, 0.05f);
    }
    const engine::Image image = renderFrame();
    EXPECT_GT(countLit(image, 10, 60, 410, 160), 400);
    EXPECT_TRUE(image.saveToFile("power-captures.png"));
}
