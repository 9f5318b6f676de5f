// Frames are drawn only when the picture is stale; time and input go on either way.
#include <SDL2/SDL.h>

#include <vector>

#include "engine/2d/ActionInterval.h"
#include "engine/2d/DrawNode.h"
#include "engine/2d/Label.h"
#include "engine/2d/LayerColor.h"
#include "engine/2d/Sprite.h"
#include "engine/base/Utils.h"
#include "engine/platform/GLView.h"
#include "engine/renderer/Texture2D.h"
#include "tests/engine/EngineTestSupport.h"

using namespace engine;
using namespace enginetest;

namespace {

const char* const kFont = "fonts/roboto/Roboto-Regular.ttf";

class Ticker : public Node {
  public:
    CREATE_FUNC(Ticker)
    void update(float) override { ++updates; }
    int updates = 0;
};

class RedrawTest : public EngineTest {
  protected:
    // Frames drawn while stepping n frames of dt.
    unsigned long long drawnIn(int frames, float dt = kDt) {
        const unsigned long long before = Director::getInstance()->getFramesDrawn();
        step(frames, dt);
        return Director::getInstance()->getFramesDrawn() - before;
    }
    // Settles the scene the test built: its first frame draws, later ones do not.
    void settle() {
        step(1);
        ASSERT_EQ(drawnIn(3), 0u) << "the scene keeps itself stale";
    }
};

TEST_F(RedrawTest, AStaticSceneDrawsOnlyItsFirstFrameWhileTimeGoesOn) {
    auto* layer = LayerColor::create(Color4B(0, 0, 255, 255), 40, 30);
    auto* ticker = Ticker::create();
    ticker->scheduleUpdate();
    scene->addChild(layer);
    scene->addChild(ticker);
    const unsigned long long skipped = Director::getInstance()->getFramesSkipped();
    EXPECT_EQ(drawnIn(1), 1u);
    EXPECT_EQ(drawnIn(10), 0u);
    EXPECT_EQ(Director::getInstance()->getFramesSkipped() - skipped, 10u);
    EXPECT_EQ(ticker->updates, 11);

    // Setting what is already there changes nothing.
    layer->setPosition(layer->getPosition());
    layer->setOpacity(255);
    layer->setColor(Color3B(0, 0, 255));
    layer->setVisible(true);
    layer->setContentSize(Size(40, 30));
    EXPECT_EQ(drawnIn(3), 0u);
}

TEST_F(RedrawTest, EachKindOfChangeDrawsOneFrame) {
    auto* layer = LayerColor::create(Color4B(0, 0, 255, 255), 40, 30);
    auto* label = Label::createWithTTF("one", kFont, 12);
    ASSERT_NE(label, nullptr);
    auto* sprite = Sprite::create();
    scene->addChild(layer);
    scene->addChild(label);
    scene->addChild(sprite);
    settle();

    label->setString("two");
    EXPECT_EQ(drawnIn(3), 1u) << "text";
    label->setString("two");
    label->setTextColor(Color4B::WHITE);
    EXPECT_EQ(drawnIn(3), 0u) << "the same text and colour";
    label->setTextColor(Color4B(255, 0, 0, 255));
    EXPECT_EQ(drawnIn(3), 1u) << "text colour";
    layer->setPosition(5, 6);
    EXPECT_EQ(drawnIn(3), 1u) << "position";
    layer->setScale(2);
    layer->setRotation(10);
    EXPECT_EQ(drawnIn(3), 1u) << "scale and rotation, one frame for both";
    layer->setOpacity(100);
    EXPECT_EQ(drawnIn(3), 1u) << "opacity";
    layer->setColor(Color3B(0, 255, 0));
    EXPECT_EQ(drawnIn(3), 1u) << "colour";
    layer->setContentSize(Size(10, 10));
    EXPECT_EQ(drawnIn(3), 1u) << "content size";
    layer->setVisible(false);
    EXPECT_EQ(drawnIn(3), 1u) << "visibility";
    layer->setLocalZOrder(4);
    EXPECT_EQ(drawnIn(3), 1u) << "z-order";
    sprite->setTextureRect(Rect(0, 0, 3, 3));
    EXPECT_EQ(drawnIn(3), 1u) << "texture rectangle";
    layer->removeFromParent();
    EXPECT_EQ(drawnIn(3), 1u) << "a node removed";
    scene->addChild(LayerColor::create(Color4B(255, 0, 0, 255), 5, 5));
    EXPECT_EQ(drawnIn(3), 1u) << "a node added";
    Director::getInstance()->setNeedsRedraw();
    EXPECT_EQ(drawnIn(3), 1u) << "asked for";
}

TEST_F(RedrawTest, NodesOutsideTheRunningSceneChangeNothing) {
    auto* offstage = LayerColor::create(Color4B(0, 0, 255, 255), 40, 30);
    offstage->retain();
    auto* child = Label::createWithTTF("child", kFont, 12);
    offstage->addChild(child);
    settle();
    offstage->setPosition(20, 20);
    child->setString("dich");  // glyphs already in the atlas: no texture changes either
    EXPECT_EQ(drawnIn(3), 0u);
    scene->addChild(offstage);
    offstage->release();
    EXPECT_EQ(drawnIn(3), 1u);
}

TEST_F(RedrawTest, AnimationsDrawEveryFrameTheyChangeAndStopDrawingWhenDone) {
    auto* layer = LayerColor::create(Color4B(0, 0, 255, 255), 40, 30);
    scene->addChild(layer);
    settle();
    // A quarter second of waiting changes nothing; the one-second fade changes the opacity on
    // each of its eight frames.
    layer->runAction(Sequence::create(DelayTime::create(0.25f), FadeOut::create(1.f)));
    EXPECT_EQ(drawnIn(2, 0.125f), 0u);
    EXPECT_EQ(drawnIn(8, 0.125f), 8u);
    EXPECT_EQ(layer->getOpacity(), 0);
    EXPECT_EQ(drawnIn(4, 0.125f), 0u);

    // Endless motion keeps the full frame rate.
    layer->runAction(RepeatForever::create(RotateBy::create(1.f, 360.f)));
    EXPECT_EQ(drawnIn(60), 60u);
    layer->stopAllActions();
    EXPECT_EQ(drawnIn(3), 0u);
}

TEST_F(RedrawTest, DrawNodeGeometryCountsOnlyWhenItDiffers) {
    auto* lines = DrawNode::create();
    lines->drawLine(Vec2(10, 10), Vec2(100, 10), Color4F(1, 0, 0, 1));
    scene->addChild(lines);
    settle();

    // Rebuilt the same before every frame, as layers that draw from their model do.
    auto* ticker = Ticker::create();
    scene->addChild(ticker);
    step(1);
    ticker->schedule(
        [lines](float) {
            lines->clear();
            lines->drawLine(Vec2(10, 10), Vec2(100, 10), Color4F(1, 0, 0, 1));
        },
        0, "rebuild");
    EXPECT_EQ(drawnIn(5), 0u);

    lines->clear();
    lines->drawLine(Vec2(10, 20), Vec2(100, 20), Color4F(1, 0, 0, 1));
    EXPECT_EQ(drawnIn(1), 0u) << "rebuilt to the old line before the frame";
    ticker->unschedule("rebuild");
    lines->drawLine(Vec2(10, 30), Vec2(100, 30), Color4F(0, 1, 0, 1));
    EXPECT_EQ(drawnIn(3), 1u) << "a line added";
    lines->clear();
    EXPECT_EQ(drawnIn(3), 1u) << "cleared";
    lines->clear();
    EXPECT_EQ(drawnIn(3), 0u) << "cleared again";
}

TEST_F(RedrawTest, TextureUploadsDrawAFrame) {
    std::vector<unsigned char> pixels(4 * 4 * 4, 255);
    auto* texture = new Texture2D();
    ASSERT_TRUE(texture->initWithData(pixels.data(), pixels.size(),
                                      Texture2D::PixelFormat::RGBA8888, 4, 4, Size(4, 4)));
    auto* sprite = Sprite::createWithTexture(texture);
    texture->release();
    sprite->setPosition(20, 20);
    scene->addChild(sprite);
    settle();
    pixels[0] = 0;
    ASSERT_TRUE(texture->updateWithData(pixels.data(), 0, 0, 4, 4));
    EXPECT_EQ(drawnIn(3), 1u);
}

TEST_F(RedrawTest, ResizeAndExposureDrawAFrame) {
    scene->addChild(LayerColor::create(Color4B(0, 0, 255, 255), 40, 30));
    settle();
    GLView* view = Director::getInstance()->getOpenGLView();
    SDL_Event e{};
    e.type = SDL_WINDOWEVENT;
    e.window.event = SDL_WINDOWEVENT_SIZE_CHANGED;
    e.window.data1 = static_cast<int>(view->getFrameSize().width);
    e.window.data2 = static_cast<int>(view->getFrameSize().height);
    view->handleEvent(e);
    EXPECT_EQ(drawnIn(3), 1u) << "resized";
    e.window.event = SDL_WINDOWEVENT_EXPOSED;
    view->handleEvent(e);
    EXPECT_EQ(drawnIn(3), 1u) << "exposed";
    e.window.event = SDL_WINDOWEVENT_FOCUS_GAINED;
    view->handleEvent(e);
    EXPECT_EQ(drawnIn(3), 0u) << "focus alone shows nothing new";
}

TEST_F(RedrawTest, InputThatChangesNothingDrawsNothing) {
    scene->addChild(LayerColor::create(Color4B(0, 0, 255, 255), 40, 30));
    settle();
    touchBegan(0, 20, 20);
    touchMoved(0, 30, 25);
    touchEnded(0, 30, 25);
    EXPECT_EQ(drawnIn(3), 0u);
}

TEST_F(RedrawTest, AScreenCaptureOfAStaticSceneGetsAFreshFrame) {
    auto* layer = LayerColor::create(Color4B(0, 255, 0, 255), 30, 20);
    layer->setPosition(5, 7);
    scene->addChild(layer);
    settle();
    const unsigned long long before = Director::getInstance()->getFramesDrawn();
    const Image image = renderFrame();
    EXPECT_EQ(Director::getInstance()->getFramesDrawn() - before, 1u);
    EXPECT_EQ(pixelAt(image, 10, 10), (Rgba{0, 255, 0, 255}));
    EXPECT_EQ(pixelAt(image, 40, 40), (Rgba{0, 0, 0, 255}));
    EXPECT_EQ(drawnIn(3), 0u);
}

TEST(FrameStatsTest, CountsMeanAndPercentileOfDrawnFrames) {
    FrameStats stats;
    for (int i = 0; i < 19; ++i)
        stats.record(true, 2.05);
    stats.record(true, 9.05);
    stats.record(false, 0.02);
    stats.record(false, 0.04);
    EXPECT_EQ(stats.framesDrawn(), 20u);
    EXPECT_EQ(stats.framesSkipped(), 2u);
    EXPECT_NEAR(stats.meanDrawnMs(), 2.4, 1e-9);
    EXPECT_NEAR(stats.percentile95DrawnMs(), 2.1, 1e-9);  // the bin [2.0, 2.1)
    EXPECT_NEAR(stats.meanSkippedMs(), 0.03, 1e-9);
    stats.record(true, 9.05);
    EXPECT_NEAR(stats.percentile95DrawnMs(), 9.1, 1e-9);  // two of 21 are slow: above 5 %
    // Costs beyond the histogram land in its last bin instead of outside it.
    FrameStats slow;
    slow.record(true, 5000);
    EXPECT_NEAR(slow.percentile95DrawnMs(), FrameStats::kBins * FrameStats::kBinMs, 1e-9);
}

}  // namespace
