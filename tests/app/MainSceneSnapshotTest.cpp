// The whole main scene over the demonstration (third generation, 2.4 GHz), played through the
// controller's packet path with a stepped clock: views, menu bar and status strip together.
// Writes main-scene-spectrum.png, main-scene-waterfall.png and main-scene-power.png into the
// test's working directory for people to look at.
#include <memory>
#include <string>

#include "app/MainScene.h"
#include "app/StatusStrip.h"
#include "engine/2d/Label.h"
#include "engine/base/Director.h"
#include "link/AccessoryCommunicationDelegate.h"
#include "link/FileResourceReader.h"
#include "model/ManualClock.h"
#include "model/SpectrumSettings.h"
#include "tests/app/AppTestSupport.h"

using namespace apptest;

namespace {

class MainSceneSnapshotTest : public AppGlTest {
  protected:
    void SetUp() override {
        AppGlTest::SetUp();
        model.runtime.displayClass = 3;
        SpectrumSettings::getInstance()->runtime.displayClass = 3;
        AccessoryCommunicationDelegate::Options options;
        options.resources = &resources;
        options.clock = &clock;
        options.startWorker = false;
        controller = std::make_unique<AccessoryCommunicationDelegate>(model, options);
    }
    void TearDown() override {
        AppGlTest::TearDown();
        controller.reset();
    }
    void start() {
        main = MainScene::createWithModel(&model);
        ASSERT_NE(main, nullptr);
        engine::Director::getInstance()->replaceScene(main);
        step(1, 0);
    }
    // Worker passes of 100 ms interleaved with frames, as the two threads would run them.
    void play(int passes) {
        for (int i = 0; i < passes; ++i) {
            clock.advance(AccessoryCommunicationDelegate::kPassMs);
            controller->runPass();
            step(1, 0.1f);
        }
    }
    // Lit pixels in the status strip, left of the menu bar's fly button.
    int stripInk(const engine::Image& image) { return countLit(image, 0, 0, 850, 75); }

    SpectrumSettings model;
    ManualClock clock{1000};
    FileResourceReader resources{APP_TEST_RESOURCE_ROOT};
    std::unique_ptr<AccessoryCommunicationDelegate> controller;
    MainScene* main = nullptr;
};

TEST_F(MainSceneSnapshotTest, SpectrumWithCursorsAndReadouts) {
    model.cursors.cursorsShown = 1;
    model.spectrum_settings.traceModes[0] = 1;  // raw
    model.spectrum_settings.traceModes[1] = 4;  // max hold
    start();
    play(120);
    ASSERT_EQ(model.accessory.generation, 7) << "the demonstration recordings did not play";
    const engine::Image image = renderFrame();
    EXPECT_TRUE(image.saveToFile("main-scene-spectrum.png"));
    // Trace readouts in the strip, plot above it.
    EXPECT_NE(main->getAmplitudeLabel()->getString().find("dB/div"), std::string::npos);
    EXPECT_GT(stripInk(image), 300);
    EXPECT_GT(countLit(image, 10, 90, 950, 630), 1000);
}

TEST_F(MainSceneSnapshotTest, Waterfall) {
    model.spectrum_settings.viewMode = 1;
    start();
    play(60);
    const engine::Image image = renderFrame();
    EXPECT_TRUE(image.saveToFile("main-scene-waterfall.png"));
    EXPECT_NE(main->getAmplitudeLabel()->getString().find("s/div"), std::string::npos);
    EXPECT_GT(stripInk(image), 100);
}

// Without a demonstration: its recordings would switch the mode back to the spectrum.
TEST_F(MainSceneSnapshotTest, PowerWithCursors) {
    model.common_settings.spectrumMode = 0;
    model.cursors.cursorsShown = 1;
    start();
    step(5);
    const engine::Image image = renderFrame();
    EXPECT_TRUE(image.saveToFile("main-scene-power.png"));
    EXPECT_EQ(main->getTriggerLabel()->getString(), "TRIG?");
    EXPECT_GT(stripInk(image), 100);
}

}  // namespace

namespace {

TEST_F(MainSceneSnapshotTest, AcquiringIndicatorOverTheSpectrum) {
    model.runtime.ssidAcquiring = true;
    start();
    step(45);  // the wheels half a turn on
    const engine::Image image = renderFrame();
    EXPECT_TRUE(image.saveToFile("main-scene-acquiring.png"));
    // The shade darkens the grid's frame line at the window's top left.
    const Rgb frame = pixelAt(image, 0, 639);
    EXPECT_LT(frame.r, 200);
    EXPECT_GT(countLit(image, 380, 250, 580, 450), 500);  // wheels and words in the middle
}

}  // namespace

namespace {

// Watts in the strip: the cursor levels with unit prefixes (picowatts at spectrum levels), the
// difference as ΔW, the axis scale still in dB per division. Writes main-scene-watts.png.
TEST_F(MainSceneSnapshotTest, WattsReadoutsInTheStrip) {
    model.cursors.cursorsShown = 1;
    model.spectrum_settings.traceModes[0] = 1;  // raw
    model.common_settings.powerUnitsWatts = 1;
    start();
    play(120);
    const engine::Image image = renderFrame();
    EXPECT_TRUE(image.saveToFile("main-scene-watts.png"));
    StatusStrip* strip = main->getStatusStrip();
    ASSERT_NE(strip, nullptr);
    const std::string at = strip->getReadoutAtLabel(0)->getString();
    EXPECT_EQ(at.rfind("@W:", 0), 0u) << at;
    EXPECT_NE(at.find("W"), std::string::npos);
    EXPECT_EQ(at.find("0.00W"), std::string::npos) << at;
    EXPECT_EQ(strip->getReadoutDeltaLabel(0)->getString().rfind("ΔW:", 0), 0u);
    const std::string scale = main->getAmplitudeLabel()->getString();
    EXPECT_EQ(scale.substr(scale.size() - 6), "dB/div") << scale;
    EXPECT_GT(stripInk(image), 300);
}

}  // namespace
