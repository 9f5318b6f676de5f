// A drawn frame touches only the pixels that changed: the rest of the picture is kept from the
// last frame, whether it is drawn in place in the back buffer or into the offscreen canvas.
#include <GL/glew.h>

#include <cstring>
#include <vector>

#include "engine/2d/DrawNode.h"
#include "engine/2d/Label.h"
#include "engine/2d/LayerColor.h"
#include "engine/2d/Sprite.h"
#include "engine/renderer/CustomCommand.h"
#include "engine/renderer/Renderer.h"
#include "engine/renderer/Texture2D.h"
#include "tests/engine/EngineTestSupport.h"
#include "tests/support/FrameReader.h"

using namespace engine;
using namespace enginetest;

namespace {

const char* const kFont = "fonts/roboto/Roboto-Regular.ttf";
const Rgba kMagenta{255, 0, 255, 255};
const Rgba kBarGrey{60, 60, 60, 255};
const Rgba kBlack{0, 0, 0, 255};
const Rgba kTraceGreen{0, 255, 0, 255};

// Paints magenta squares straight into the frame when asked, without telling the engine: what
// it painted stays on screen exactly as long as no frame redraws those pixels.
class BackdoorPainter : public Node {
  public:
    CREATE_FUNC(BackdoorPainter)
    void draw(Renderer* renderer, const Mat4&, uint32_t) override {
        _command.init(_globalZOrder);
        _command.func = [this]() {
            if (!paint)
                return;
            glClearColor(1, 0, 1, 1);
            for (const PixelBox& box : boxes) {
                glEnable(GL_SCISSOR_TEST);
                glScissor(box.x, box.y, box.width, box.height);
                glClear(GL_COLOR_BUFFER_BIT);
            }
            glDisable(GL_SCISSOR_TEST);
        };
        renderer->addCommand(&_command);
    }
    bool paint = false;
    std::vector<PixelBox> boxes;

  private:
    CustomCommand _command;
};

// A clip that lets everything through and ends by turning the scissor off, as the views' clips
// do: what follows it must still stay inside the frame's damage.
class OpenClip : public Node {
  public:
    CREATE_FUNC(OpenClip)
    void visit(Renderer* renderer, const Mat4& parentTransform, uint32_t flags) override {
        _begin.init(_globalZOrder);
        _begin.func = [] {
            glEnable(GL_SCISSOR_TEST);
            glScissor(0, 0, kWidth, kHeight);
        };
        renderer->addCommand(&_begin);
        Node::visit(renderer, parentTransform, flags);
        _end.init(_globalZOrder);
        _end.func = [] { glDisable(GL_SCISSOR_TEST); };
        renderer->addCommand(&_end);
    }

  private:
    CustomCommand _begin;
    CustomCommand _end;
};

// The window: a grey bar on top (inside an open clip), a plot below with a green trace, a label
// and a stretched picture whose rows a test rewrites.
class PartialRedrawTest : public EngineTest, public ::testing::WithParamInterface<bool> {
  protected:
    static constexpr int kBarHeight = 20;
    static constexpr int kPictureRows = 50;

    void SetUp() override {
        EngineTest::SetUp();
        Director::getInstance()->setInPlaceAllowed(GetParam());
        auto* clip = OpenClip::create();
        clip->addChild(LayerColor::create(Color4B(60, 60, 60, 255), kWidth, kBarHeight));
        clip->setPosition(0, kHeight - kBarHeight);
        scene->addChild(clip, 1);
        trace = DrawNode::create(2.f);
        trace->drawLine(Vec2(10, 30), Vec2(150, 30), Color4F(0, 1, 0, 1));
        scene->addChild(trace);
        label = Label::createWithTTF("one", kFont, 12);
        ASSERT_NE(label, nullptr);
        label->setPosition(120, 80);
        scene->addChild(label);
        pixels.assign(size_t{4} * 8 * kPictureRows, 0);
        for (size_t i = 0; i < pixels.size(); i += 4)
            pixels[i + 2] = pixels[i + 3] = 255;  // opaque blue
        texture = new Texture2D();
        ASSERT_TRUE(texture->initWithData(pixels.data(), pixels.size(),
                                          Texture2D::PixelFormat::RGBA8888, 8, kPictureRows,
                                          Size(8, kPictureRows)));
        texture->setAliasTexParameters();
        picture = Sprite::createWithTexture(texture);
        texture->release();
        ASSERT_NE(picture, nullptr);
        picture->setAnchorPoint(Vec2());
        picture->setPosition(0, 0);
        picture->setScale(4, 2);  // 32 x 100 points, two per texel row
        scene->addChild(picture, -1);
        painter = BackdoorPainter::create();
        scene->addChild(painter, 2);
        reader = gltest::FrameReader::create();
        reader->setGlobalZOrder(1e6f);
        scene->addChild(reader);
        step(1);
    }

    void TearDown() override {
        Director::getInstance()->setInPlaceAllowed(true);
        Director::getInstance()->setPartialRedraw(true);
        EngineTest::TearDown();
    }

    // Paints the boxes magenta in a whole frame, then stops painting behind the engine's back.
    void paintBehindTheEnginesBack(const std::vector<PixelBox>& boxes) {
        painter->boxes = boxes;
        painter->paint = true;
        Director::getInstance()->setNeedsRedraw();
        const Image painted = renderFrame();
        painter->paint = false;
        for (const PixelBox& box : boxes)
            ASSERT_EQ(pixelAt(painted, box.x + 1, box.y + 1), kMagenta);
    }

    // The next frame as drawn; an empty image when nothing was drawn.
    Image drawnFrame() {
        Image image;
        reader->image = &image;
        step(1);
        reader->image = nullptr;
        return image;
    }

    void rewriteRows(int first, int count, uint8_t red) {
        std::vector<uint8_t> rows(size_t{4} * 8 * count);
        for (size_t i = 0; i < rows.size(); i += 4) {
            rows[i] = red;
            rows[i + 3] = 255;
        }
        texture->updateWithData(rows.data(), 0, first, 8, count);
    }

    DrawNode* trace = nullptr;
    Label* label = nullptr;
    Sprite* picture = nullptr;
    Texture2D* texture = nullptr;  // the picture holds it
    BackdoorPainter* painter = nullptr;
    gltest::FrameReader* reader = nullptr;  // sees each frame as its damage drew it
    std::vector<uint8_t> pixels;
};

TEST_P(PartialRedrawTest, ANewTraceRedrawsOnlyWhereTheTraceWasAndIs) {
    // One square in the bar, one in the plot away from the trace.
    paintBehindTheEnginesBack({{70, kHeight - 12, 4, 4}, {60, 70, 4, 4}});

    trace->clear();
    trace->drawLine(Vec2(10, 40), Vec2(150, 40), Color4F(0, 1, 0, 1));
    const Image image = drawnFrame();
    const std::optional<PixelBox>& box = Director::getInstance()->getLastDamageBox();
    ASSERT_TRUE(box.has_value()) << "the whole frame was drawn for a moved trace";
    EXPECT_LE(box->y, 29);
    EXPECT_GE(box->y + box->height, 41);
    EXPECT_LE(box->height, 20) << "old and new line, two points wide, and rounding";
    // The bar and the rest of the plot were not drawn again: the squares are still there,
    // although the bar's clip turned the scissor off before the bar was drawn.
    EXPECT_EQ(pixelAt(image, 71, kHeight - 11), kMagenta);
    EXPECT_EQ(pixelAt(image, 61, 71), kMagenta);
    // Inside the damage the frame is right: the line moved.
    EXPECT_EQ(pixelAt(image, 80, 40), kTraceGreen);
    EXPECT_EQ(pixelAt(image, 80, 30), kBlack);

    // A whole frame paints over what the engine did not know about.
    Director::getInstance()->setNeedsRedraw();
    const Image whole = drawnFrame();
    EXPECT_FALSE(Director::getInstance()->getLastDamageBox().has_value());
    EXPECT_EQ(pixelAt(whole, 71, kHeight - 11), kBarGrey);
    EXPECT_EQ(pixelAt(whole, 61, 71), kBlack);
}

TEST_P(PartialRedrawTest, RewrittenTextureRowsRedrawOnlyTheirBand) {
    paintBehindTheEnginesBack({{20, 10, 4, 4}, {20, 90, 4, 4}});
    // Texture row 0 is the picture's top: rows 20 and 21 of 50 lie 56 to 60 points up.
    rewriteRows(20, 2, 255);
    const Image image = drawnFrame();
    const std::optional<PixelBox>& box = Director::getInstance()->getLastDamageBox();
    ASSERT_TRUE(box.has_value());
    EXPECT_LE(box->y, 56);
    EXPECT_GE(box->y + box->height, 60);
    EXPECT_LE(box->height, 10) << "two rows, a row either side for filtering, and rounding";
    EXPECT_LE(box->x + box->width, 34) << "no wider than the picture";
    EXPECT_EQ(pixelAt(image, 10, 57), (Rgba{255, 0, 0, 255}));
    EXPECT_EQ(pixelAt(image, 10, 53), (Rgba{0, 0, 255, 255}));
    EXPECT_EQ(pixelAt(image, 21, 11), kMagenta);
    EXPECT_EQ(pixelAt(image, 21, 91), kMagenta);
}

TEST_P(PartialRedrawTest, ALabelsNewTextRedrawsOnlyTheLabel) {
    paintBehindTheEnginesBack({{20, 90, 4, 4}, {100, 40, 4, 4}});
    label->setString("two words");
    const Image image = drawnFrame();
    const std::optional<PixelBox>& box = Director::getInstance()->getLastDamageBox();
    ASSERT_TRUE(box.has_value());
    EXPECT_GE(box->x, 70) << "the label is centred on x = 120";
    EXPECT_LE(box->height, 24);
    EXPECT_EQ(pixelAt(image, 21, 91), kMagenta);
    EXPECT_EQ(pixelAt(image, 101, 41), kMagenta);
}

// Two changes far apart are drawn in a box each: what lies between them is not drawn again.
TEST_P(PartialRedrawTest, ChangesFarApartRedrawABoxEach) {
    DrawNode* marks = DrawNode::create(2.f);
    marks->drawLine(Vec2(40, 4), Vec2(46, 4), Color4F(0, 1, 0, 1));
    marks->drawLine(Vec2(140, 97), Vec2(146, 97), Color4F(0, 1, 0, 1));
    scene->addChild(marks);
    step(1);
    paintBehindTheEnginesBack({{80, 55, 4, 4}});

    marks->clear();
    marks->drawLine(Vec2(44, 4), Vec2(50, 4), Color4F(0, 1, 0, 1));
    marks->drawLine(Vec2(136, 97), Vec2(142, 97), Color4F(0, 1, 0, 1));
    const Image image = drawnFrame();
    const std::vector<PixelBox>& boxes = Director::getInstance()->getLastDamageBoxes();
    ASSERT_EQ(boxes.size(), 2u);
    for (const PixelBox& box : boxes)
        EXPECT_LE(box.width * box.height, 20 * 12) << "a mark, old and new, and rounding";
    EXPECT_EQ(pixelAt(image, 81, 56), kMagenta) << "between the boxes nothing was drawn";
    EXPECT_EQ(pixelAt(image, 49, 4), kTraceGreen);
    EXPECT_EQ(pixelAt(image, 41, 4), kBlack);
    EXPECT_EQ(pixelAt(image, 137, 97), kTraceGreen);
    EXPECT_EQ(pixelAt(image, 145, 97), kBlack);
}

// A texture's used part (what sprites over it are placed by) changing damages where the
// texture shows, not the whole frame.
TEST_P(PartialRedrawTest, UsedPartOfATextureDamagesOnlyWhereItShows) {
    paintBehindTheEnginesBack({{100, 40, 4, 4}});
    texture->setMaxT(0.5f);
    const Image image = drawnFrame();
    const std::optional<PixelBox>& box = Director::getInstance()->getLastDamageBox();
    ASSERT_TRUE(box.has_value()) << "only where the texture shows is drawn again";
    EXPECT_LE(box->x + box->width, 34) << "no wider than the picture";
    EXPECT_EQ(pixelAt(image, 101, 41), kMagenta);
    texture->setMaxT(0.5f);  // no change, no frame
    EXPECT_EQ(drawnFrame().getDataLen(), 0u);
}

// Triangle commands wholly outside the damage are not sent; those reaching into it are.
TEST_P(PartialRedrawTest, TrianglesOutsideTheDamageAreLeftOut) {
    std::vector<Rect> drawn;
    Director::getInstance()->getRenderer()->setDrawObserver(
        [&](const Rect& world) { drawn.push_back(world); });
    trace->clear();
    trace->drawLine(Vec2(10, 40), Vec2(150, 40), Color4F(0, 1, 0, 1));
    drawnFrame();
    Director::getInstance()->getRenderer()->setDrawObserver(nullptr);
    ASSERT_TRUE(Director::getInstance()->getLastDamageBox().has_value());
    EXPECT_FALSE(drawn.empty()) << "the trace reaches into the damage";
    for (const Rect& world : drawn)
        EXPECT_LT(world.getMinY(), 45.f) << "a command wholly above the trace's damage ran";
    EXPECT_GE(Director::getInstance()->getRenderer()->getCulledBatches(), 1u) << "the bar";
}

// Of a long command only the triangles that reach into the damage are sent: an L of short
// strokes along two edges spans the damage's corner of the plot, but none of its strokes is
// there, so it is left out; its strokes that reach in are drawn, in order.
TEST_P(PartialRedrawTest, OfALongCommandOnlyTheTrianglesReachingInAreSent) {
    DrawNode* mark = DrawNode::create(2.f);
    mark->drawLine(Vec2(120, 20), Vec2(126, 20), Color4F(0, 1, 0, 1));
    scene->addChild(mark);
    DrawNode* ell = DrawNode::create(2.f);
    for (int i = 0; i < 20; ++i) {
        const float at = 40.f + 5.f * static_cast<float>(i);
        ell->drawLine(Vec2(at, 95), Vec2(at + 3.f, 95), Color4F(1, 1, 0, 1));  // along the top
        ell->drawLine(Vec2(40, at - 36.f), Vec2(40, at - 33.f), Color4F(1, 1, 0, 1));  // left
    }
    scene->addChild(ell);
    step(1);
    int ellDraws = 0;
    Director::getInstance()->getRenderer()->setDrawObserver([&](const Rect& world) {
        if (world.size.width > 90.f && world.size.height > 80.f)
            ++ellDraws;
    });
    mark->clear();
    mark->drawLine(Vec2(122, 20), Vec2(128, 20), Color4F(0, 1, 0, 1));
    Image image = drawnFrame();
    EXPECT_EQ(ellDraws, 0) << "the L's box holds the mark, none of its strokes does";
    EXPECT_EQ(pixelAt(image, 127, 20), kTraceGreen);
    EXPECT_EQ(pixelAt(image, 121, 20), kBlack);

    // Move the mark under the top strokes: those reaching in are drawn over it, as whole.
    mark->clear();
    mark->drawLine(Vec2(60, 95), Vec2(100, 95), Color4F(0, 1, 0, 1));
    image = drawnFrame();
    Director::getInstance()->getRenderer()->setDrawObserver(nullptr);
    EXPECT_EQ(ellDraws, 1);
    EXPECT_EQ(pixelAt(image, 61, 95), (Rgba{255, 255, 0, 255})) << "a stroke over the mark";
    EXPECT_EQ(pixelAt(image, 64, 95), kTraceGreen) << "between two strokes";
}

// The same changes give the same picture, pixel for pixel, drawn in part or whole.
TEST_P(PartialRedrawTest, PartialFramesShowWhatWholeFramesShow) {
    auto run = [this](bool partial) {
        Director::getInstance()->setPartialRedraw(partial);
        Director::getInstance()->setNeedsRedraw();
        std::vector<Image> frames;
        frames.push_back(drawnFrame());
        trace->clear();
        trace->drawLine(Vec2(10, 60), Vec2(150, 25), Color4F(0, 1, 0, 1));
        frames.push_back(drawnFrame());
        label->setString("three");
        label->setPosition(110, 90);
        frames.push_back(drawnFrame());
        rewriteRows(5, 3, 200);
        frames.push_back(drawnFrame());
        picture->setOpacity(128);
        frames.push_back(drawnFrame());
        // Back to the start for the other run.
        trace->clear();
        trace->drawLine(Vec2(10, 30), Vec2(150, 30), Color4F(0, 1, 0, 1));
        label->setString("one");
        label->setPosition(120, 80);
        texture->updateWithData(pixels.data(), 0, 0, 8, kPictureRows);
        picture->setOpacity(255);
        step(1);
        return frames;
    };
    const std::vector<Image> partial = run(true);
    const std::vector<Image> whole = run(false);
    ASSERT_EQ(partial.size(), whole.size());
    for (size_t i = 0; i < partial.size(); ++i) {
        ASSERT_EQ(partial[i].getDataLen(), whole[i].getDataLen());
        EXPECT_EQ(std::memcmp(partial[i].getData(), whole[i].getData(), whole[i].getDataLen()), 0)
            << "frame " << i;
    }
}

INSTANTIATE_TEST_SUITE_P(InPlaceAndCanvas, PartialRedrawTest, ::testing::Bool(),
                         [](const ::testing::TestParamInfo<bool>& info) {
                             return info.param ? "InPlace" : "Canvas";
                         });

TEST(FrameStatsTest, SumsDrawnFramesPerNamedView) {
    FrameStats stats;
    stats.record(true, 4.0);  // no view named yet: only in the totals
    stats.setView("waterfall");
    stats.record(true, 2.0);
    stats.record(true, 4.0);
    stats.record(false, 0.5);
    stats.setView("power");
    stats.record(true, 9.0);
    stats.setView("waterfall");
    stats.record(true, 3.0);
    ASSERT_EQ(stats.getViewTotals().size(), 2u);
    EXPECT_EQ(stats.getViewTotals()[0].view, "waterfall");
    EXPECT_EQ(stats.getViewTotals()[0].drawn, 3u);
    EXPECT_NEAR(stats.getViewTotals()[0].meanMs(), 3.0, 1e-9);
    EXPECT_EQ(stats.getViewTotals()[1].view, "power");
    EXPECT_NEAR(stats.getViewTotals()[1].meanMs(), 9.0, 1e-9);
    EXPECT_EQ(stats.framesDrawn(), 5u);
}

}  // namespace
