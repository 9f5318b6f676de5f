// The backdrop keeps the bottom of the picture as a texture: frames that change only what lies
// above it copy that texture instead of clearing and drawing its children, and the copy is the
// same picture, pixel for pixel. Triangles outside a frame's damage are not sent at all.
#include <cstring>
#include <vector>

#include "engine/2d/CachedBackdrop.h"
#include "engine/2d/DrawNode.h"
#include "engine/2d/Label.h"
#include "engine/2d/LayerColor.h"
#include "engine/2d/Sprite.h"
#include "engine/base/Utils.h"
#include "engine/renderer/CustomCommand.h"
#include "engine/renderer/Renderer.h"
#include "engine/renderer/Texture2D.h"
#include "tests/engine/EngineTestSupport.h"

using namespace engine;
using namespace enginetest;

namespace {

const char* const kFont = "fonts/roboto/Roboto-Regular.ttf";
constexpr int kBarHeight = 20;
constexpr int kPictureRows = 16;

// Reads the frame back as drawn, before it is shown (a capture would draw its frame whole).
class FrameReader : public Node {
  public:
    CREATE_FUNC(FrameReader)
    void draw(Renderer* renderer, const Mat4&, uint32_t) override {
        _command.init(_globalZOrder);
        _command.func = [this]() {
            if (image)
                utils::captureFramebuffer(image);
        };
        renderer->addCommand(&_command);
    }
    Image* image = nullptr;

  private:
    CustomCommand _command;
};

// A grid, a label and a stretched picture at the bottom, a trace and a grey bar above them;
// the bottom either in a backdrop or drawn straight into every frame.
class CachedBackdropTest : public EngineTest, public ::testing::WithParamInterface<bool> {
  protected:
    void SetUp() override {
        EngineTest::SetUp();
        Director::getInstance()->setInPlaceAllowed(GetParam());
    }
    void TearDown() override {
        Director::getInstance()->setInPlaceAllowed(true);
        Director::getInstance()->setClearColor(Color4F(0, 0, 0, 1));
        Director::getInstance()->getRenderer()->setDrawObserver(nullptr);
        EngineTest::TearDown();
    }

    void build(bool cached) {
        Node* bottom = scene;
        if (cached) {
            backdrop = CachedBackdrop::create();
            ASSERT_NE(backdrop, nullptr);
            scene->addChild(backdrop, -10);
            bottom = backdrop;
        }
        grid = DrawNode::create(1.f);
        drawGrid(4);
        bottom->addChild(grid);
        label = Label::createWithTTF("-40 dBm", kFont, 11);
        ASSERT_NE(label, nullptr);
        label->setPosition(40, 60);
        bottom->addChild(label);
        pixels.assign(size_t{4} * 4 * kPictureRows, 0);
        for (size_t i = 0; i < pixels.size(); i += 4) {
            pixels[i + 2] = 200;
            pixels[i + 3] = 128;  // half-transparent blue over the grid
        }
        texture = new Texture2D();
        ASSERT_TRUE(texture->initWithData(pixels.data(), pixels.size(),
                                          Texture2D::PixelFormat::RGBA8888, 4, kPictureRows,
                                          Size(4, kPictureRows)));
        picture = Sprite::createWithTexture(texture);
        texture->release();
        ASSERT_NE(picture, nullptr);
        picture->setAnchorPoint(Vec2());
        picture->setPosition(100, 5);
        picture->setScale(12.5f, 4.f);
        bottom->addChild(picture);

        trace = DrawNode::create(2.f);
        trace->drawLine(Vec2(5, 30), Vec2(155, 50), Color4F(0, 1, 0, 1));
        scene->addChild(trace);
        bar = LayerColor::create(Color4B(60, 60, 60, 255), kWidth, kBarHeight);
        bar->setPosition(0, kHeight - kBarHeight);
        scene->addChild(bar);
        reader = FrameReader::create();
        reader->setGlobalZOrder(1e6f);
        scene->addChild(reader);
        step(1);
    }

    void drawGrid(int divisions) {
        grid->clear();
        for (int i = 0; i <= divisions; ++i) {
            const float x = 5.f + 150.f * static_cast<float>(i) / static_cast<float>(divisions);
            const float y = 5.f + 90.f * static_cast<float>(i) / static_cast<float>(divisions);
            grid->drawLine(Vec2(x, 5), Vec2(x, 95), Color4F(0.3f, 0.3f, 0.3f, 1));
            grid->drawLine(Vec2(5, y), Vec2(155, y), Color4F(0.3f, 0.3f, 0.3f, 1));
        }
    }

    void moveTrace(float y) {
        trace->clear();
        trace->drawLine(Vec2(5, y), Vec2(155, y + 20), Color4F(0, 1, 0, 1));
    }

    void rewritePictureRows(int first, int count, uint8_t red) {
        std::vector<uint8_t> rows(size_t{4} * 4 * count);
        for (size_t i = 0; i < rows.size(); i += 4) {
            rows[i] = red;
            rows[i + 3] = 255;
        }
        texture->updateWithData(rows.data(), 0, first, 4, count);
    }

    // The next frame as drawn; an empty image when nothing was drawn.
    Image drawnFrame() {
        Image image;
        reader->image = &image;
        step(1);
        reader->image = nullptr;
        return image;
    }

    CachedBackdrop* backdrop = nullptr;
    DrawNode* grid = nullptr;
    Label* label = nullptr;
    Sprite* picture = nullptr;
    Texture2D* texture = nullptr;  // the picture holds it
    DrawNode* trace = nullptr;
    LayerColor* bar = nullptr;
    FrameReader* reader = nullptr;
    std::vector<uint8_t> pixels;
};

// Every kind of change, above the backdrop and inside it, gives the picture that drawing the
// bottom straight into each frame gives.
TEST_P(CachedBackdropTest, ShowsWhatDrawingTheChildrenShows) {
    auto run = [this](bool cached) {
        build(cached);
        std::vector<Image> frames;
        Director::getInstance()->setNeedsRedraw();
        frames.push_back(drawnFrame());
        moveTrace(60);
        frames.push_back(drawnFrame());
        drawGrid(6);
        frames.push_back(drawnFrame());
        rewritePictureRows(3, 2, 255);
        frames.push_back(drawnFrame());
        label->setString("-50 dBm");
        frames.push_back(drawnFrame());
        picture->setVisible(false);
        frames.push_back(drawnFrame());
        Director::getInstance()->setClearColor(Color4F(0.1f, 0.f, 0.2f, 1));
        frames.push_back(drawnFrame());
        moveTrace(20);
        frames.push_back(drawnFrame());
        scene->removeAllChildren();
        backdrop = nullptr;
        Director::getInstance()->setClearColor(Color4F(0, 0, 0, 1));
        step(1);
        return frames;
    };
    const std::vector<Image> direct = run(false);
    const std::vector<Image> cached = run(true);
    ASSERT_EQ(direct.size(), cached.size());
    for (size_t i = 0; i < direct.size(); ++i) {
        ASSERT_GT(direct[i].getDataLen(), 0u) << "frame " << i << " was not drawn";
        ASSERT_EQ(cached[i].getDataLen(), direct[i].getDataLen()) << "frame " << i;
        EXPECT_EQ(std::memcmp(cached[i].getData(), direct[i].getData(), direct[i].getDataLen()), 0)
            << "frame " << i;
    }
}

// A new trace costs neither a render of the backdrop nor a draw of the bar, nor a clear; a
// change of what the backdrop holds renders it once.
TEST_P(CachedBackdropTest, RendersAgainOnlyWhenWhatItHoldsChanges) {
    build(true);
    const unsigned int rendered = backdrop->getRenderCount();
    int barDraws = 0;
    Director::getInstance()->getRenderer()->setDrawObserver([&](const Rect& world) {
        if (world.getMinY() >= kHeight - kBarHeight)
            ++barDraws;
    });
    for (int frame = 0; frame < 5; ++frame) {
        moveTrace(20.f + 5.f * static_cast<float>(frame));
        const Image image = drawnFrame();
        ASSERT_GT(image.getDataLen(), 0u);
        EXPECT_EQ(pixelAt(image, 80, 20 + 5 * frame + 10), (Rgba{0, 255, 0, 255}));
        EXPECT_FALSE(Director::getInstance()->getRenderer()->didClear())
            << "the backdrop's copy covers the frame";
    }
    EXPECT_EQ(backdrop->getRenderCount(), rendered);
    EXPECT_EQ(barDraws, 0);
    EXPECT_GT(Director::getInstance()->getRenderer()->getCulledBatches(), 0u);

    step(3);  // nothing changed: no frame, no render
    EXPECT_EQ(backdrop->getRenderCount(), rendered);

    drawGrid(2);
    step(1);
    EXPECT_EQ(backdrop->getRenderCount(), rendered + 1);
    drawGrid(2);  // the same lines again
    step(1);
    EXPECT_EQ(backdrop->getRenderCount(), rendered + 1);

    rewritePictureRows(0, 1, 255);
    const Image image = drawnFrame();
    EXPECT_EQ(backdrop->getRenderCount(), rendered + 2);
    ASSERT_TRUE(Director::getInstance()->getLastDamageBox().has_value())
        << "a texture the backdrop shows damages only where it shows it";
    EXPECT_EQ(pixelAt(image, 110, 5 + kPictureRows * 4 - 2), (Rgba{255, 0, 0, 255}));

    // A resize of the frame: the projection changes, and so does the kept picture.
    Director::getInstance()->updateProjection();
    step(1);
    EXPECT_EQ(backdrop->getRenderCount(), rendered + 3);
}

// A texture's used part (what sprites over it are placed by) changing is a change of that
// texture alone: a backdrop that does not show it keeps its picture, and the frame redraws where
// the texture shows; the backdrop that shows it is rendered again.
TEST_P(CachedBackdropTest, UsedPartOfATextureRendersOnlyWhatShowsIt) {
    build(true);
    std::vector<uint8_t> white(size_t{4} * 4 * 4, 255);
    auto* above = new Texture2D();
    ASSERT_TRUE(above->initWithData(white.data(), white.size(), Texture2D::PixelFormat::RGBA8888, 4,
                                    4, Size(4, 4)));
    Sprite* marker = Sprite::createWithTexture(above);
    above->release();
    ASSERT_NE(marker, nullptr);
    marker->setPosition(130, 70);
    scene->addChild(marker);
    step(1);
    const unsigned int rendered = backdrop->getRenderCount();

    above->setMaxT(0.5f);
    step(1);
    EXPECT_EQ(backdrop->getRenderCount(), rendered) << "the backdrop does not show the texture";
    ASSERT_TRUE(Director::getInstance()->getLastDamageBox().has_value())
        << "only where the texture shows is drawn again";
    EXPECT_LT(Director::getInstance()->getLastDamageBox()->width, kWidth / 2);

    texture->setMaxS(0.5f);
    step(1);
    EXPECT_EQ(backdrop->getRenderCount(), rendered + 1) << "the backdrop shows this one";
    texture->setMaxS(0.5f);  // no change
    step(1);
    EXPECT_EQ(backdrop->getRenderCount(), rendered + 1);
}

// Without a view's help, the renderer alone: a triangle command outside the damage is left out,
// one that reaches into it runs.
TEST_P(CachedBackdropTest, TrianglesOutsideTheDamageAreLeftOut) {
    build(false);
    std::vector<Rect> drawn;
    Director::getInstance()->getRenderer()->setDrawObserver(
        [&](const Rect& world) { drawn.push_back(world); });
    moveTrace(40);
    step(1);
    ASSERT_TRUE(Director::getInstance()->getLastDamageBox().has_value());
    for (const Rect& world : drawn)
        EXPECT_LT(world.getMinY(), 75.f) << "a command wholly above the trace's damage ran";
    EXPECT_GE(drawn.size(), 2u) << "the grid and the trace reach into the damage";
    EXPECT_GE(Director::getInstance()->getRenderer()->getCulledBatches(), 1u) << "the bar";
}

INSTANTIATE_TEST_SUITE_P(InPlaceAndCanvas, CachedBackdropTest, ::testing::Bool(),
                         [](const ::testing::TestParamInfo<bool>& info) {
                             return info.param ? "InPlace" : "Canvas";
                         });

}  // namespace
