// The spectrum and the waterfall of the demonstration (third generation, Wi-Fi, 2.4 GHz), played
// through the controller's packet path with a stepped clock, drawn over the grid. Writes
// spectrum-demo.png and waterfall-demo.png into the test's working directory for people to
// look at.
#include "engine/2d/Label.h"
#include "engine/2d/Sprite.h"
#include "engine/base/Director.h"
#include "engine/platform/GLView.h"
#include "link/AccessoryCommunicationDelegate.h"
#include "link/FileResourceReader.h"
#include "model/ManualClock.h"
#include "tests/spectrum/SpectrumTestSupport.h"
#include "views/spectrum/GridLayer.h"
#include "views/spectrum/RssiLayer.h"
#include "views/spectrum/WaterfallLayer.h"
#include "views/spectrum/WaterfallThresholdAndTouchLayer.h"

namespace {

using namespace spectrumtest;

class DemoSnapshotTest : public SpectrumLayerTest {
  protected:
    void SetUp() override {
        SpectrumLayerTest::SetUp();
        AccessoryCommunicationDelegate::Options options;
        options.resources = &resources;
        options.clock = &clock;
        options.startWorker = false;
        controller = std::make_unique<AccessoryCommunicationDelegate>(*model, options);
    }
    void TearDown() override {
        SpectrumLayerTest::TearDown();
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
    void addGrid() {
        GridLayer* grid = GridLayer::create();
        grid->setPosition(area.origin);
        grid->setContentSize(area.size);
        grid->rebuildGrid();
        scene->addChild(grid);
    }

    engine::Rect area{4, 4, kWidth - 8, kHeight - 8};
    ManualClock clock{1000};
    FileResourceReader resources{SPECTRUM_TEST_RESOURCE_ROOT};
    std::unique_ptr<AccessoryCommunicationDelegate> controller;
};

}  // namespace

TEST_F(DemoSnapshotTest, SpectrumWithHeatMapTracesAndPeaks) {
    model->spectrum_settings.traceModes[0] = 6;        // heat map
    model->spectrum_settings.traceModes[1] = 1;        // raw
    model->spectrum_settings.traceModes[2] = 4;        // max hold
    model->spectrum_settings.traceColors[0][0] = 255;  // raw in yellow, max hold stays green
    model->spectrum_settings.traceColors[0][1] = 255;
    model->spectrum_settings.traceColors[0][2] = 0;
    addGrid();
    RssiLayer* layer = RssiLayer::createWithModel(model.get());
    ASSERT_NE(layer, nullptr);
    layer->setPosition(area.origin.x + 1, area.origin.y + 1);
    layer->setContentSize(engine::Size(area.size.width - 2, area.size.height - 2));
    layer->showBand5 = false;
    scene->addChild(layer);
    play(150);
    ASSERT_GT(model->band24.sweepCount(), 30) << "the demonstration recordings did not play";
    EXPECT_EQ(model->accessory.generation, 7);
    const engine::Image image = renderFrame();
    EXPECT_TRUE(image.saveToFile(snapshotPath("spectrum-demo.png")));

    // The raw and max-hold traces both reach the screen, with their peak markers.
    int yellow = 0, green = 0;
    for (int y = 0; y < kHeight; ++y) {
        for (int x = 0; x < kWidth; ++x) {
            const Rgb c = pixelAt(image, x, y);
            yellow += c == Rgb{255, 255, 0};
            green += c == Rgb{0, 255, 0};
        }
    }
    EXPECT_GT(yellow, 200);
    EXPECT_GT(green, 200);
    EXPECT_EQ(layer->getPeakMarkers().size(), 10u);
    EXPECT_EQ(layer->getHeatMapSpriteSmooth()->getOpacity(), 255);
}

TEST_F(DemoSnapshotTest, WaterfallScrolls) {
    model->spectrum_settings.viewMode = 1;
    model->spectrum_settings.waterfallTimeScaleIndex = 2;
    addGrid();
    WaterfallLayer* layer = WaterfallLayer::createWithModel(model.get());
    ASSERT_NE(layer, nullptr);
    layer->setPosition(area.origin.x + 1, area.origin.y + 1);
    layer->setContentSize(engine::Size(area.size.width - 2, area.size.height - 2));
    layer->showBand5 = false;
    scene->addChild(layer);
    auto* handles = WaterfallThresholdAndTouchLayer::createWithModel(model.get());
    ASSERT_NE(handles, nullptr);
    handles->setPosition(layer->getPosition());
    handles->setContentSize(layer->getContentSize());
    handles->showBand5 = false;
    scene->addChild(handles);

    play(40);
    const engine::Image early = renderFrame();
    play(40);
    const engine::Image later = renderFrame();
    EXPECT_TRUE(later.saveToFile(snapshotPath("waterfall-demo.png")));
    // The picture grows downwards as sweeps arrive: later frames cover more rows.
    const int top = static_cast<int>(area.getMaxY()) - 2;
    const int x0 = static_cast<int>(area.origin.x) + 2;
    const int x1 = static_cast<int>(area.getMaxX()) - 80;  // left of the handles
    EXPECT_GT(countLit(later, x0, top - 60, x1, top), countLit(early, x0, top - 60, x1, top));
    EXPECT_GT(countLit(early, x0, top - 5, x1, top), 0);

    // Dragging the low threshold up shows both values in their boxes beside the handles.
    const engine::Rect low = handles->getLowHandle()->getBoundingBox();
    const float x = handles->getPositionX() + low.getMidX();
    const float y = handles->getPositionY() + low.getMidY();
    engine::GLView* view = engine::Director::getInstance()->getOpenGLView();
    const intptr_t id = 1;
    float xs[1] = {x}, ys[1] = {kHeight - y};  // window rows run downwards
    view->handleTouchesBegin(1, &id, xs, ys);
    ASSERT_EQ(handles->getTouchMode(), WaterfallThresholdAndTouchLayer::kDragLow);
    ys[0] -= 30.f;
    view->handleTouchesMove(1, &id, xs, ys);
    play(2);
    const engine::Image dragging = renderFrame();
    EXPECT_TRUE(dragging.saveToFile(snapshotPath("waterfall-drag.png")));
    EXPECT_EQ(handles->getLowLabel()->getOpacity(), 255);
    EXPECT_EQ(handles->getHighLabel()->getOpacity(), 255);
    view->handleTouchesEnd(1, &id, xs, ys);
}
