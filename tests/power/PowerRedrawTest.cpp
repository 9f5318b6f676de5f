// What the power trace asks to redraw, frame by frame with a stepped clock: the rows its
// captures cover (not the plot), every pixel a capture leaves behind, and no fading step that
// changes no pixel of the 8-bit picture.
#include <vector>

#include "engine/base/Director.h"
#include "tests/power/PowerTestSupport.h"
#include "views/power/PowerLayer.h"

namespace {

using namespace powertest;

constexpr Rgb kBlack{0, 0, 0};

// Plot area (10, 10) 400 x 200; -40 ... 0 dBm, so y = 10 + (v + 40) * 5.
class PowerRedrawTest : public PowerLayerTestBase {
  protected:
    void SetUp() override {
        PowerLayerTestBase::SetUp();
        AccessoryDescription& a = model->accessory;
        for (int i = 0; i < 20; ++i)
            a.powerTimeBases.push_back(1e-6f * static_cast<float>(1 << i));
        a.powerRollLimitIndex = 10;
        model->power_setting.powerTimeBaseIndex = 15;  // captures
        layer = PowerLayer::createWithModel(model.get());
        ASSERT_NE(layer, nullptr);
        layer->setPosition(10, 10);
        layer->setContentSize(engine::Size(400, 200));
        scene->addChild(layer);
        reader = FrameReader::create();
        reader->setGlobalZOrder(1e6f);
        scene->addChild(reader);
        step(2);  // a new window's first frames are drawn whole
    }

    void addCapture(float level) {
        const std::vector<float> capture(500, level);
        model->live.appendCapture(capture.data(), capture.size());
    }

    // The next frame as drawn; empty when nothing was drawn.
    engine::Image drawnFrame() {
        engine::Image image;
        reader->image = &image;
        step(1);
        reader->image = nullptr;
        return image;
    }

    PowerLayer* layer = nullptr;
    FrameReader* reader = nullptr;
};

TEST_F(PowerRedrawTest, CapturesAndTheirFadeRedrawOnlyTheRowsTheyCover) {
    model->power_setting.persistTime = 2.0f;
    addCapture(-30);  // y = 60
    step(1);
    addCapture(-20);  // y = 110
    drawnFrame();
    engine::Director* director = engine::Director::getInstance();
    auto rowsCovered = [&](int low, int high) {
        const std::optional<engine::PixelBox>& box = director->getLastDamageBox();
        ASSERT_TRUE(box.has_value()) << "the whole window was drawn";
        EXPECT_LE(box->y, low);
        EXPECT_GE(box->y + box->height, high);
        // Both lines, widened by a point and the rounding; not the plot's 201 rows.
        EXPECT_LE(box->height, high - low + 12);
        EXPECT_LE(box->x, 10);
        EXPECT_GE(box->x + box->width, 410);
    };
    rowsCovered(60, 111);
    // A fading step alone: the same rows again.
    for (int frame = 0; frame < 4 && !layer->pictureChanged(); ++frame)
        drawnFrame();
    ASSERT_TRUE(layer->pictureChanged());
    rowsCovered(60, 111);
}

TEST_F(PowerRedrawTest, AnExpiredCaptureIsWipedWhereItWas) {
    model->power_setting.persistTime = 0.5f;
    addCapture(-30);  // y = 60
    step(1);
    addCapture(-10);  // y = 160
    engine::Image image = drawnFrame();
    ASSERT_NE(image.getWidth(), 0);
    EXPECT_GT(countLit(image, 10, 58, 410, 63), 300);
    // Half a second fades the older one out; the frame that drops it redraws its rows, though
    // the remaining capture lies far above them.
    step(40);
    ASSERT_EQ(model->live.processedHistory.size(), 1u);
    image = drawnFrame();
    if (image.getWidth() == 0) {
        addCapture(-10);  // the drop was drawn already: one more frame shows what is kept
        image = drawnFrame();
    }
    ASSERT_NE(image.getWidth(), 0);
    ASSERT_TRUE(engine::Director::getInstance()->getLastDamageBox().has_value());
    EXPECT_EQ(countLit(image, 10, 50, 410, 70), 0);
    EXPECT_GT(countLit(image, 10, 158, 410, 163), 300);
    EXPECT_EQ(pixelAt(image, 200, 60), kBlack);
}

TEST_F(PowerRedrawTest, AFadingStepThatChangesNoPixelIsNotDrawn) {
    // Twenty seconds of persistence: a step every 1/24 s lowers the brightness by about 0.5 of
    // an 8-bit level, so only every other one or so changes a pixel.
    model->power_setting.persistTime = 20.0f;
    addCapture(-30);
    step(1);
    addCapture(-10);
    step(1);
    int drawn = 0;
    for (int frame = 0; frame < 60; ++frame) {
        step(1);
        drawn += layer->pictureChanged() ? 1 : 0;
    }
    // One second lowers the older capture from 255 to 242.25: 13 levels crossed, where the
    // fade rate alone would have drawn 20 frames.
    EXPECT_GE(drawn, 12);
    EXPECT_LE(drawn, 13);
    // Still fading, and drawn as it goes.
    EXPECT_TRUE(layer->hasFadingCaptures());
    step(600);
    const engine::Image image = renderFrame();
    const Rgb older =
        pixelAt(image, 200, 60).g > 0 ? pixelAt(image, 200, 60) : pixelAt(image, 200, 59);
    EXPECT_GT(older.g, 100);
    EXPECT_LT(older.g, 160);
}

TEST_F(PowerRedrawTest, AHeldCaptureMovedByTheViewIsDrawnWhereItGoes) {
    const std::vector<float> half(250, -30.0f);  // the left half at y = 60, nothing right
    std::vector<float> capture(half);
    capture.resize(500, NAN);
    model->live.appendCapture(capture.data(), capture.size());
    RuntimeState& run = model->runtime;
    run.captureRescale = true;
    run.captureTimeBaseIndex = run.viewTimeBaseIndex = 15;
    step(2);
    // The view's delay alone moves it two divisions (80 points) right.
    run.viewDelay = 2.0f * model->accessory.powerTimeBases[15];
    const engine::Image image = drawnFrame();
    EXPECT_TRUE(layer->pictureChanged());
    ASSERT_NE(image.getWidth(), 0) << "not drawn";
    EXPECT_GT(countLit(image, 250, 58, 280, 63), 20);
    EXPECT_EQ(countLit(image, 10, 58, 80, 63), 0);
}

}  // namespace
