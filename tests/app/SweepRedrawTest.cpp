// What a new sweep costs the window: the demonstration (third generation, 2.4 GHz, real-wave
// view with the heat map) played through the controller's packet path with a stepped clock.
// Each sweep redraws only inside the plot; the grid is not built again and the menu bar is not
// drawn again.
#include <cstring>
#include <limits>
#include <memory>

#include "app/MainScene.h"
#include "engine/2d/DrawNode.h"
#include "engine/base/Director.h"
#include "engine/renderer/Renderer.h"
#include "link/AccessoryCommunicationDelegate.h"
#include "link/FileResourceReader.h"
#include "menus/MenuController.h"
#include "model/ManualClock.h"
#include "model/SpectrumSettings.h"
#include "tests/app/AppTestSupport.h"
#include "tests/support/FrameReader.h"
#include "views/spectrum/GridLayer.h"

using namespace apptest;

namespace {

class SweepRedrawTest : public AppGlTest {
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
        engine::Director::getInstance()->getRenderer()->setDrawObserver(nullptr);
        AppGlTest::TearDown();
        controller.reset();
    }
    // The main scene, with `above` over everything, after six seconds of the demonstration.
    MainScene* startDemonstration(engine::Node* above = nullptr) {
        MainScene* main = MainScene::createWithModel(&model);
        if (!main)
            return nullptr;
        if (above) {
            above->setGlobalZOrder(std::numeric_limits<float>::max());
            main->addChild(above, std::numeric_limits<int>::max());
        }
        engine::Director::getInstance()->replaceScene(main);
        step(1, 0);
        for (int i = 0; i < 60; ++i)
            pass();
        return main;
    }
    // One worker pass of 100 ms, then one frame, as the two threads would run them.
    void pass() {
        clock.advance(AccessoryCommunicationDelegate::kPassMs);
        controller->runPass();
        step(1, 0.1f);
    }

    SpectrumSettings model;
    ManualClock clock{1000};
    FileResourceReader resources{APP_TEST_RESOURCE_ROOT};
    std::unique_ptr<AccessoryCommunicationDelegate> controller;
};

TEST_F(SweepRedrawTest, ASweepRedrawsThePlotAloneAndLeavesTheGridAsItWas) {
    MainScene* main = startDemonstration();
    ASSERT_NE(main, nullptr);
    engine::Director* director = engine::Director::getInstance();
    ASSERT_EQ(model.accessory.generation, 7) << "the demonstration recordings did not play";
    GridLayer* grid = main->getGridLayer();
    ASSERT_NE(grid, nullptr);
    ASSERT_NE(grid->getDrawNode(), nullptr);
    const size_t gridVertices = grid->getDrawNode()->getVertexCount();
    EXPECT_GT(gridVertices, 0u);

    const float bar = MenuController::barHeight(model.runtime.displayClass);
    const engine::Rect plot = main->viewArea();
    int barDraws = 0;
    director->getRenderer()->setDrawObserver([&](const engine::Rect& world) {
        if (world.getMaxY() < bar)
            ++barDraws;
    });
    const unsigned long long drawnBefore = director->getFramesDrawn();
    int partialFrames = 0;
    for (int i = 0; i < 40; ++i) {
        const unsigned long long drawn = director->getFramesDrawn();
        pass();
        if (director->getFramesDrawn() == drawn)
            continue;
        const auto& box = director->getLastDamageBox();
        ASSERT_TRUE(box.has_value()) << "sweep " << i << " redrew the whole window";
        ++partialFrames;
        // Framebuffer rows from the bottom, one pixel of rounding either side.
        EXPECT_GE(box->y, static_cast<int>(plot.getMinY()) - 2) << "sweep " << i;
        EXPECT_LE(box->y + box->height, static_cast<int>(plot.getMaxY()) + 2) << "sweep " << i;
    }
    EXPECT_GT(director->getFramesDrawn() - drawnBefore, 20u) << "sweeps arrive and are drawn";
    EXPECT_GT(partialFrames, 20);
    EXPECT_EQ(grid->getDrawNode()->getVertexCount(), gridVertices) << "the grid did not change";
    EXPECT_EQ(barDraws, 0) << "the bar did not change";

    // A new graticule is a new grid, drawn where it lies.
    model.graticule ^= 16;  // the minor grid
    pass();
    EXPECT_LT(grid->getDrawNode()->getVertexCount(), gridVertices);
}

// A sweep's frame is drawn in boxes, one for each stretch of the band where something changed,
// each only as high as the change there: pixel for pixel what the same frame drawn whole shows.
TEST_F(SweepRedrawTest, ASweepDrawnInBoxesShowsWhatAWholeFrameShows) {
    gltest::FrameReader* reader = gltest::FrameReader::create();
    ASSERT_NE(startDemonstration(reader), nullptr);
    engine::Director* director = engine::Director::getInstance();
    ASSERT_EQ(model.accessory.generation, 7) << "the demonstration recordings did not play";

    engine::Image inBoxes;
    engine::Image whole;
    int compared = 0;
    int split = 0;
    double boxesArea = 0;
    double boundsArea = 0;
    for (int i = 0; i < 30; ++i) {
        const unsigned long long drawn = director->getFramesDrawn();
        reader->image = &inBoxes;
        pass();
        reader->image = nullptr;
        if (director->getFramesDrawn() == drawn)
            continue;
        const std::vector<engine::PixelBox> boxes = director->getLastDamageBoxes();
        ASSERT_FALSE(boxes.empty()) << "sweep " << i << " redrew the whole window";
        split += boxes.size() > 1 ? 1 : 0;
        for (const engine::PixelBox& box : boxes)
            boxesArea += static_cast<double>(box.width) * box.height;
        const engine::PixelBox bounds = *director->getLastDamageBox();
        boundsArea += static_cast<double>(bounds.width) * bounds.height;

        // The same state, drawn whole.
        reader->image = &whole;
        director->setNeedsWholeRedraw();
        step(1, 0);
        reader->image = nullptr;
        ASSERT_GT(whole.getDataLen(), 0u);
        ASSERT_EQ(inBoxes.getDataLen(), whole.getDataLen());
        EXPECT_EQ(std::memcmp(inBoxes.getData(), whole.getData(), whole.getDataLen()), 0)
            << "sweep " << i;
        ++compared;
    }
    EXPECT_GT(compared, 20);
    EXPECT_GT(split, compared / 2) << "the quiet stretches of the band are left alone";
    EXPECT_LT(boxesArea, 0.9 * boundsArea);
}

}  // namespace
