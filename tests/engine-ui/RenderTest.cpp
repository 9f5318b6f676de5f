// Widgets drawn into the real framebuffer and checked pixel by pixel.
#include <cmath>
#include <limits>

#include "engine/2d/Label.h"
#include "engine/2d/LayerColor.h"
#include "engine/ui/Button.h"
#include "engine/ui/ImageView.h"
#include "engine/ui/Layout.h"
#include "engine/ui/LoadingBar.h"
#include "engine/ui/Scale9Sprite.h"
#include "engine/ui/Slider.h"
#include "engine/ui/Text.h"
#include "tests/engine-ui/UiTestSupport.h"

using namespace engine;
using namespace engine::ui;
using namespace uitest;

namespace {

const char* const kFont = "fonts/roboto/Roboto-Regular.ttf";

// 30 x 30: 10-pixel corners red (top-left), green (top-right), blue (bottom-left) and yellow
// (bottom-right), grey edges, white centre.
std::string ninePatch() {
    return writePng("nine.png", 30, 30, [](int x, int y) {
        int col = x < 10 ? 0 : x < 20 ? 1 : 2;
        int row = y < 10 ? 0 : y < 20 ? 1 : 2;  // from the top
        if (row == 0 && col == 0)
            return kRed;
        if (row == 0 && col == 2)
            return kGreen;
        if (row == 2 && col == 0)
            return kBlue;
        if (row == 2 && col == 2)
            return kYellow;
        if (row == 1 && col == 1)
            return kWhite;
        return kGrey;
    });
}

class RenderTest : public UiTest {};

TEST_F(RenderTest, SlicedSpriteKeepsItsCornersAndStretchesTheRest) {
    auto* sprite = Scale9Sprite::create(ninePatch());
    ASSERT_NE(sprite, nullptr);
    sprite->setAnchorPoint(Vec2::ZERO);
    sprite->setPosition(20, 20);
    sprite->setContentSize(Size(200, 100));
    scene->addChild(sprite);
    Image image = renderFrame();
    // Corners stay 10 x 10 and map texel for texel: the bottom-left one ends exactly at x = 30
    // (a stretched corner would reach x = 86); the stretched edge blends with it for a few
    // pixels only (linear filtering) and is plain grey further in.
    EXPECT_EQ(pixelAt(image, 25, 25), kBlue);
    EXPECT_EQ(pixelAt(image, 29, 29), kBlue);
    EXPECT_NE(pixelAt(image, 31, 25), kBlue);
    EXPECT_NE(pixelAt(image, 25, 31), kBlue);
    EXPECT_EQ(pixelAt(image, 50, 25), kGrey);
    EXPECT_EQ(pixelAt(image, 25, 50), kGrey);
    EXPECT_EQ(pixelAt(image, 210, 25), kYellow);
    EXPECT_NE(pixelAt(image, 208, 25), kYellow);
    EXPECT_EQ(pixelAt(image, 190, 25), kGrey);
    EXPECT_EQ(pixelAt(image, 25, 114), kRed);
    EXPECT_EQ(pixelAt(image, 214, 114), kGreen);
    EXPECT_EQ(pixelAt(image, 120, 70), kWhite);
    EXPECT_EQ(pixelAt(image, 120, 114), kGrey);
    EXPECT_EQ(pixelAt(image, 120, 118), kGrey);
    EXPECT_EQ(pixelAt(image, 120, 121), kBlack);
}

TEST_F(RenderTest, SimpleSpriteStretchesTheWholeImage) {
    auto* sprite = Scale9Sprite::create(ninePatch());
    ASSERT_NE(sprite, nullptr);
    sprite->setScale9Enabled(false);
    sprite->setAnchorPoint(Vec2::ZERO);
    sprite->setPosition(0, 0);
    sprite->setContentSize(Size(150, 90));
    scene->addChild(sprite);
    Image image = renderFrame();
    // Each third is now 50 x 30.
    EXPECT_EQ(pixelAt(image, 45, 25), kBlue);
    EXPECT_EQ(pixelAt(image, 55, 25), kGrey);
    EXPECT_EQ(pixelAt(image, 75, 45), kWhite);
}

TEST_F(RenderTest, InsetsGivenAsFractionsOrPoints) {
    // Left inset a fifth of the width (6 px of 30), right a tenth (3 px): the whole red/blue
    // corner column is wider than the inset, so the stretched middle starts at 6 px.
    auto* byFraction = Scale9Sprite::create(ninePatch());
    ASSERT_NE(byFraction, nullptr);
    byFraction->setInsetFractions(0.2f, 0.1f, 1.f / 3, 1.f / 3);
    EXPECT_FLOAT_EQ(byFraction->getInsetLeft(), 6);
    EXPECT_FLOAT_EQ(byFraction->getInsetRight(), 3);
    byFraction->setAnchorPoint(Vec2::ZERO);
    byFraction->setContentSize(Size(300, 30));
    scene->addChild(byFraction);

    auto* byPoints = Scale9Sprite::create(ninePatch(), Rect(10, 10, 10, 10));
    ASSERT_NE(byPoints, nullptr);
    byPoints->setAnchorPoint(Vec2::ZERO);
    byPoints->setPosition(0, 100);
    byPoints->setContentSize(Size(100, 60));
    scene->addChild(byPoints);

    Image image = renderFrame();
    // Fraction sprite: 6 unstretched pixels of the corner column, then the image's columns
    // 6..27 stretched over 291 points (so blue continues for (10 - 6) / 21 of them, ~55 px).
    EXPECT_EQ(pixelAt(image, 3, 5), kBlue);
    EXPECT_EQ(pixelAt(image, 40, 5), kBlue);
    EXPECT_EQ(pixelAt(image, 80, 5), kGrey);
    EXPECT_EQ(pixelAt(image, 298, 5), kYellow);
    // Point sprite behaves as the default thirds.
    EXPECT_EQ(pixelAt(image, 5, 105), kBlue);
    EXPECT_EQ(pixelAt(image, 15, 105), kGrey);
    EXPECT_EQ(pixelAt(image, 50, 130), kWhite);
}

TEST_F(RenderTest, SlicedSpriteSmallerThanItsCornersShrinksThem) {
    auto* sprite = Scale9Sprite::create(ninePatch());
    ASSERT_NE(sprite, nullptr);
    sprite->setAnchorPoint(Vec2::ZERO);
    sprite->setContentSize(Size(10, 10));
    scene->addChild(sprite);
    Image image = renderFrame();
    // Corners of 5 x 5 fill it; nothing is drawn outside.
    EXPECT_EQ(pixelAt(image, 2, 2), kBlue);
    EXPECT_EQ(pixelAt(image, 7, 7), kGreen);
    EXPECT_EQ(pixelAt(image, 12, 5), kBlack);
    EXPECT_EQ(pixelAt(image, 5, 12), kBlack);
}

TEST_F(RenderTest, LoadingBarFillsToItsPercentageFromEitherSide) {
    std::string white = writeSolidPng("bar.png", 100, 10, kWhite);
    auto* left = LoadingBar::create(white, 30);
    ASSERT_NE(left, nullptr);
    left->setColor(Color3B(255, 0, 0));
    left->setAnchorPoint(Vec2::ZERO);
    left->setPosition(10, 10);
    scene->addChild(left);
    auto* right = LoadingBar::create(white, 75);
    right->setDirection(LoadingBar::Direction::RIGHT);
    right->setAnchorPoint(Vec2::ZERO);
    right->setPosition(10, 30);
    scene->addChild(right);
    // A custom size stretches the bar: 50 % of 200 points.
    auto* wide = LoadingBar::create(white, 50);
    wide->ignoreContentAdaptWithSize(false);
    wide->setContentSize(Size(200, 10));
    wide->setAnchorPoint(Vec2::ZERO);
    wide->setPosition(10, 50);
    scene->addChild(wide);

    Image image = renderFrame();
    EXPECT_EQ(countColour(image, 10, 12, 110, 13, kRed), 30);
    EXPECT_EQ(pixelAt(image, 10, 15), kRed);
    EXPECT_EQ(pixelAt(image, 39, 15), kRed);
    EXPECT_EQ(pixelAt(image, 40, 15), kBlack);
    EXPECT_EQ(countColour(image, 10, 32, 110, 33, kWhite), 75);
    EXPECT_EQ(pixelAt(image, 34, 35), kBlack);
    EXPECT_EQ(pixelAt(image, 35, 35), kWhite);
    EXPECT_EQ(pixelAt(image, 109, 35), kWhite);
    EXPECT_EQ(countColour(image, 0, 52, kWidth, 53, kWhite), 100);

    // Out-of-range percentages are clamped rather than drawing outside the bar.
    left->setPercent(250);
    right->setPercent(-4);
    wide->setPercent(std::numeric_limits<float>::quiet_NaN());
    EXPECT_EQ(left->getPercent(), 100);
    EXPECT_EQ(wide->getPercent(), 0);
    image = renderFrame();
    EXPECT_EQ(countColour(image, 0, 12, kWidth, 13, kRed), 100);
    EXPECT_EQ(countColour(image, 0, 32, kWidth, 33, kWhite), 0);
    EXPECT_EQ(countColour(image, 0, 52, kWidth, 53, kWhite), 0);
}

TEST_F(RenderTest, ButtonShowsNormalPressedAndDisabledImages) {
    auto* button = Button::create(writeSolidPng("b-normal.png", 40, 20, kGreen),
                                  writeSolidPng("b-pressed.png", 40, 20, kBlue),
                                  writeSolidPng("b-disabled.png", 40, 20, kGrey));
    ASSERT_NE(button, nullptr);
    button->setPosition(60, 50);  // centred: covers 40..80 x 40..60
    scene->addChild(button);
    EXPECT_EQ(button->getBoundingBox(), Rect(40, 40, 40, 20));
    EXPECT_EQ(countColour(renderFrame(), 40, 40, 80, 60, kGreen), 800);

    button->setHighlighted(true);
    EXPECT_EQ(countColour(renderFrame(), 40, 40, 80, 60, kBlue), 800);
    button->setHighlighted(false);

    button->setEnabled(false);
    EXPECT_EQ(countColour(renderFrame(), 40, 40, 80, 60, kGrey), 800);
    button->setEnabled(true);
    EXPECT_EQ(countColour(renderFrame(), 40, 40, 80, 60, kGreen), 800);
}

TEST_F(RenderTest, DimButtonWithoutDisabledImageDrawsTheNormalOneDarker) {
    auto* button = Button::create(writeSolidPng("dim-normal.png", 40, 20, kWhite));
    ASSERT_NE(button, nullptr);
    button->setPosition(60, 50);
    scene->addChild(button);
    button->setBright(false);
    Image image = renderFrame();
    EXPECT_EQ(countColour(image, 40, 40, 80, 60, kGrey), 800);
    // Touches still work on a dim (but enabled) button.
    EXPECT_TRUE(button->isEnabled());
}

TEST_F(RenderTest, ZoomOnPressGrowsImageAndTitleAroundTheCentre) {
    auto* button = Button::create(writeSolidPng("zoom-normal.png", 40, 20, kGreen));
    ASSERT_NE(button, nullptr);
    button->setPressedActionEnabled(true);
    button->setZoomScale(0.5f);
    button->setTitleFontName(kFont);
    button->setTitleText("Go");
    button->getTitleRenderer()->setScale(0.5f);
    button->setPosition(100, 100);
    scene->addChild(button);
    EXPECT_EQ(countColour(renderFrame(), 60, 80, 140, 120, kGreen) > 0, true);
    int normal = countColour(renderFrame(), 0, 0, kWidth, kHeight, kGreen);

    button->setHighlighted(true);
    int zoomed = countColour(renderFrame(), 0, 0, kWidth, kHeight, kGreen);
    EXPECT_FLOAT_EQ(button->getTitleRenderer()->getScaleX(), 0.75f);
    // 60 x 30 instead of 40 x 20, less what the title covers; the hit area stays the same.
    EXPECT_GT(zoomed, normal + 900);
    EXPECT_EQ(pixelAt(renderFrame(), 75, 100), kGreen);
    EXPECT_EQ(button->getBoundingBox(), Rect(80, 90, 40, 20));

    button->setHighlighted(false);
    EXPECT_FLOAT_EQ(button->getTitleRenderer()->getScaleX(), 0.5f);
    EXPECT_EQ(countColour(renderFrame(), 0, 0, kWidth, kHeight, kGreen), normal);
}

TEST_F(RenderTest, ButtonTitleIsDrawnInItsColourAndFollowsFontChanges) {
    auto* button = Button::create(writeSolidPng("title-normal.png", 120, 40, kBlack));
    ASSERT_NE(button, nullptr);
    button->setTitleText("SAVE");
    EXPECT_EQ(button->getTitleRenderer(), nullptr);  // no font yet
    button->setTitleFontName(kFont);
    button->setTitleFontSize(20);
    button->setTitleColor(Color3B(255, 0, 0));
    ASSERT_NE(button->getTitleRenderer(), nullptr);
    button->setPosition(100, 100);
    scene->addChild(button);
    Image image = renderFrame();
    int red = countColour(image, 40, 80, 160, 120, kRed);
    EXPECT_GT(red, 30);

    Vec2 moved(30, 10);
    button->getTitleRenderer()->setPosition(moved);
    button->setTitleFontSize(30);
    EXPECT_EQ(button->getTitleRenderer()->getPosition(), moved);
    EXPECT_EQ(button->getTitleRenderer()->getFontSize(), 30);
    EXPECT_GT(countColour(renderFrame(), 0, 0, kWidth, kHeight, kRed), red);
}

TEST_F(RenderTest, SliderShowsProgressUpToTheBallAndDimsWithItsColour) {
    auto* slider = Slider::create(writeSolidPng("s-bar.png", 100, 10, kWhite),
                                  writeSolidPng("s-ball.png", 10, 20, kBlue));
    ASSERT_NE(slider, nullptr);
    slider->loadProgressBarTexture(writeSolidPng("s-progress.png", 100, 10, kGreen));
    slider->setAnchorPoint(Vec2::ZERO);
    slider->setPosition(50, 50);
    slider->setPercent(40);
    scene->addChild(slider);
    Image image = renderFrame();
    EXPECT_EQ(pixelAt(image, 60, 55), kGreen);
    EXPECT_EQ(pixelAt(image, 120, 55), kWhite);
    // The ball (10 x 20) is centred on the bar at 40 %: x 85..95, y 45..65.
    EXPECT_EQ(pixelAt(image, 90, 63), kBlue);
    EXPECT_EQ(pixelAt(image, 90, 46), kBlue);
    EXPECT_EQ(pixelAt(image, 90, 67), kBlack);

    slider->setColor(Color3B(64, 64, 64));
    image = renderFrame();
    EXPECT_EQ(pixelAt(image, 120, 55), (Rgb{64, 64, 64}));
    EXPECT_EQ(pixelAt(image, 60, 55), (Rgb{0, 64, 0}));
    EXPECT_EQ(pixelAt(image, 90, 63), (Rgb{0, 0, 64}));
}

TEST_F(RenderTest, ImageViewAndLayoutBackgrounds) {
    auto* layout = Layout::create();
    layout->setBackGroundColorType(Layout::BackGroundColorType::SOLID);
    layout->setBackGroundColor(Color3B(0, 0, 255));
    layout->setContentSize(Size(100, 50));
    layout->setPosition(10, 10);
    scene->addChild(layout);
    auto* image = ImageView::create(writeSolidPng("iv.png", 20, 10, kRed));
    ASSERT_NE(image, nullptr);
    image->setPosition(Vec2(50, 25));
    layout->addChild(image);
    auto* panel = ImageView::create(ninePatch());
    panel->setScale9Enabled(true);
    panel->setContentSize(Size(90, 60));
    panel->setAnchorPoint(Vec2::ZERO);
    panel->setPosition(150, 10);
    scene->addChild(panel);

    Image frame = renderFrame();
    EXPECT_EQ(countColour(frame, 0, 0, 140, kHeight, kRed), 200);
    EXPECT_EQ(pixelAt(frame, 60, 35), kRed);
    EXPECT_EQ(pixelAt(frame, 15, 15), kBlue);
    EXPECT_EQ(pixelAt(frame, 109, 59), kBlue);
    EXPECT_EQ(pixelAt(frame, 111, 61), kBlack);
    EXPECT_EQ(pixelAt(frame, 155, 15), kBlue);
    EXPECT_EQ(pixelAt(frame, 165, 15), kGrey);
    EXPECT_EQ(pixelAt(frame, 235, 65), kGreen);
}

TEST_F(RenderTest, ClippingLayoutsCutOffChildrenAndNest) {
    auto* outer = Layout::create();
    outer->setClippingEnabled(true);
    outer->setContentSize(Size(100, 100));
    outer->setPosition(20, 20);
    scene->addChild(outer);
    auto* inner = Layout::create();
    inner->setClippingEnabled(true);
    inner->setContentSize(Size(200, 40));
    inner->setPosition(50, 10);
    outer->addChild(inner);
    inner->addChild(LayerColor::create(Color4B(255, 0, 0, 255), 400, 400));
    auto* after = LayerColor::create(Color4B(0, 255, 0, 255), 10, 10);
    after->setPosition(200, 200);
    scene->addChild(after);

    Image image = renderFrame();
    // The red square shows only where both rectangles overlap: x 70..120, y 30..70.
    EXPECT_EQ(countColour(image, 0, 0, kWidth, kHeight, kRed), 50 * 40);
    EXPECT_EQ(pixelAt(image, 70, 30), kRed);
    EXPECT_EQ(pixelAt(image, 119, 69), kRed);
    EXPECT_EQ(pixelAt(image, 121, 50), kBlack);
    // Clipping ends with the layout.
    EXPECT_EQ(countColour(image, 200, 200, 210, 210, kGreen), 100);
}

TEST_F(RenderTest, TextTakesTheSizeOfItsString) {
    auto* text = Text::create("Total Scans: 0", kFont, 16);
    ASSERT_NE(text, nullptr);
    Size before = text->getContentSize();
    EXPECT_GT(before.width, 50);
    text->setString("Total AP: 12 Total Scan: 345");
    EXPECT_GT(text->getContentSize().width, before.width);
    EXPECT_EQ(Text::create("x", "fonts/none.ttf", 16), nullptr);
    EXPECT_FALSE(text->setFontName("fonts/none.ttf"));
    EXPECT_EQ(text->getFontName(), kFont);

    text->setTextColor(Color4B(0, 255, 0, 255));
    text->setAnchorPoint(Vec2::ZERO);
    text->setPosition(10, 10);
    scene->addChild(text);
    Image image = renderFrame();
    EXPECT_GT(countColour(image, 10, 10, 10 + static_cast<int>(text->getContentSize().width),
                          10 + static_cast<int>(text->getContentSize().height), kGreen),
              20);
    EXPECT_EQ(countColour(image, 0, 40, kWidth, kHeight, kGreen), 0);
}

}  // namespace
