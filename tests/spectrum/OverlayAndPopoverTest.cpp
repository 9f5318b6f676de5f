// The scale overlay's fades and texts, and the scaling popover's boxes, labels and fades.
#include <cmath>

#include "engine/2d/Label.h"
#include "engine/2d/Sprite.h"
#include "engine/base/Director.h"
#include "engine/platform/GLView.h"
#include "engine/ui/Scale9Sprite.h"
#include "tests/spectrum/SpectrumTestSupport.h"
#include "views/spectrum/OverlayLayer.h"
#include "views/spectrum/ScalingPopoverLayer.h"

namespace {

using namespace spectrumtest;

class OverlayTest : public SpectrumLayerTest {
  protected:
    void SetUp() override {
        SpectrumLayerTest::SetUp();
        overlay = OverlayLayer::createWithModel(model.get());
        ASSERT_NE(overlay, nullptr);
        overlay->setContentSize(engine::Size(kWidth, kHeight));
        scene->addChild(overlay);
    }
    void touch(const char* phase) {
        intptr_t id = 1;
        float x = 50, y = 50;
        auto* view = engine::Director::getInstance()->getOpenGLView();
        if (std::string(phase) == "began")
            view->handleTouchesBegin(1, &id, &x, &y);
        else
            view->handleTouchesEnd(1, &id, &x, &y);
    }
    OverlayLayer* overlay = nullptr;
};

using PopoverTest = SpectrumLayerTest;

}  // namespace

TEST_F(OverlayTest, FadesInWithinAQuarterSecondAndOutOverTwoSeconds) {
    step(2);
    EXPECT_EQ(overlay->getTopLevelLabel()->getOpacity(), 0);
    touch("began");
    EXPECT_EQ(overlay->getTouchCount(), 1);
    step(14);
    EXPECT_LT(overlay->getLabelAlpha(), 1.f);
    step(2);
    EXPECT_FLOAT_EQ(overlay->getLabelAlpha(), 1.f);
    EXPECT_EQ(overlay->getTopLevelLabel()->getOpacity(), 255);
    touch("ended");
    EXPECT_EQ(overlay->getTouchCount(), 0);
    step(110);
    EXPECT_GT(overlay->getTopLevelLabel()->getOpacity(), 0);
    step(15);
    EXPECT_EQ(overlay->getTopLevelLabel()->getOpacity(), 0);
    EXPECT_EQ(overlay->getStartFrequencyLabel()->getOpacity(), 0);
    EXPECT_FLOAT_EQ(overlay->getLabelAlpha(), 0.f);
    // An extra end never takes the count below zero.
    touch("ended");
    EXPECT_EQ(overlay->getTouchCount(), 0);
}

TEST_F(OverlayTest, TextsAndPlacement) {
    touch("began");
    step(20);
    EXPECT_EQ(overlay->getBottomLevelLabel()->getString(), "-90.00dBm");
    EXPECT_EQ(overlay->getTopLevelLabel()->getString(), "-10.00dBm");
    EXPECT_EQ(overlay->getStartFrequencyLabel()->getString(), "2.4GHz");
    EXPECT_EQ(overlay->getEndFrequencyLabel()->getString(), "2.5GHz");
    EXPECT_FLOAT_EQ(overlay->getTopLevelLabel()->getPositionY(), kHeight);
    EXPECT_FLOAT_EQ(overlay->getBottomLevelLabel()->getPositionY(),
                    overlay->getEndFrequencyLabel()->getContentSize().height);

    overlay->band24 = false;
    model->accessory.levelMin5 = NAN;
    step(1);
    EXPECT_EQ(overlay->getStartFrequencyLabel()->getString(), "5.145GHz");
    EXPECT_EQ(overlay->getEndFrequencyLabel()->getString(), "5.860GHz");
    EXPECT_EQ(overlay->getBottomLevelLabel()->getString(), "");

    // Power view: no frequencies, the power axis.
    overlay->showFrequencyLabels = false;
    step(1);
    EXPECT_EQ(overlay->getStartFrequencyLabel()->getOpacity(), 0);
    EXPECT_EQ(overlay->getBottomLevelLabel()->getString(), "-40.00dBm");
    EXPECT_EQ(overlay->getTopLevelLabel()->getString(), "0.00dBm");
    touch("ended");
}

TEST(OverlayText, WattsAndNotANumber) {
    EXPECT_EQ(OverlayLayer::levelText(-12.345f, false), "-12.35dBm");
    EXPECT_EQ(OverlayLayer::levelText(30.f, true), "1.00 W");
    // The bottom of the spectrum axis: 1 pW, not "0.00W".
    EXPECT_EQ(OverlayLayer::levelText(-90.f, true), "1.00 pW");
    EXPECT_EQ(OverlayLayer::levelText(NAN, true), "");
}

TEST(PopoverBoxes, StepsBetweenOldAndNewLookNew) {
    using State = ScalingPopoverLayer::BoxState;
    EXPECT_EQ(ScalingPopoverLayer::boxState(0, 0, 2), State::kOld);
    EXPECT_EQ(ScalingPopoverLayer::boxState(1, 0, 2), State::kNew);
    EXPECT_EQ(ScalingPopoverLayer::boxState(2, 0, 2), State::kNew);
    EXPECT_EQ(ScalingPopoverLayer::boxState(3, 0, 2), State::kPlain);
    // Stepping down marks the steps between as well.
    EXPECT_EQ(ScalingPopoverLayer::boxState(1, 2, 0), State::kNew);
    EXPECT_EQ(ScalingPopoverLayer::boxState(2, 2, 0), State::kOld);
}

namespace {

// Every box and shown text lies on the panel, at least the margin inside its edge.
void expectPanelEncloses(ScalingPopoverLayer* popover) {
    const engine::Rect panel = popover->getBackground()->getBoundingBox();
    std::vector<engine::Rect> parts = {popover->getGlass()->getBoundingBox()};
    for (engine::Sprite* box : popover->getBoxes())
        parts.push_back(box->getBoundingBox());
    for (engine::Label* label : {popover->getALabel(), popover->getTLabel()}) {
        if (!label->getString().empty())
            parts.push_back(label->getBoundingBox());
    }
    for (const engine::Rect& part : parts) {
        EXPECT_GE(part.getMinX(), panel.getMinX() + 10.f - 1e-3f);
        EXPECT_LE(part.getMaxX(), panel.getMaxX() - 10.f + 1e-3f);
        EXPECT_GE(part.getMinY(), panel.getMinY() + 10.f - 1e-3f);
        EXPECT_LE(part.getMaxY(), panel.getMaxY() - 10.f + 1e-3f);
    }
}

}  // namespace

TEST_F(PopoverTest, VerticalStepsOnlyWithTheWaterfallSpan) {
    ScalingPopoverLayer* popover = ScalingPopoverLayer::createWithModel(model.get());
    ASSERT_NE(popover, nullptr);
    popover->setOpacity(0);
    scene->addChild(popover, 100);
    model->spectrum_settings.waterfallTimeScaleIndex = 2;
    popover->horizontalSteps = 0;
    popover->verticalSteps = 3;
    popover->verticalOld = 0;
    popover->verticalNew = 2;
    popover->needsLayout = true;
    popover->touchHeld = true;
    step(1);
    EXPECT_FALSE(popover->needsLayout);
    EXPECT_EQ(popover->getTLabel()->getOpacity(), 0);
    EXPECT_EQ(popover->getALabel()->getOpacity(), 255);
    // 500 sweeps of 0.1 s at the fifth time scale: 10 s.
    EXPECT_EQ(popover->getALabel()->getString(), "A: 10s");
    const auto& boxes = popover->getBoxes();
    ASSERT_EQ(boxes.size(), 3u);
    const float half = boxes[0]->getTextureRect().size.height;
    EXPECT_FLOAT_EQ(boxes[0]->getTextureRect().origin.x, boxes[0]->getTextureRect().size.width);
    EXPECT_FLOAT_EQ(boxes[1]->getTextureRect().origin.y, half);  // between: like the new one
    EXPECT_FLOAT_EQ(boxes[2]->getTextureRect().origin.y, half);
    // The column stands at the glass's left edge, going upwards.
    const engine::Rect glass = popover->getGlass()->getBoundingBox();
    EXPECT_FLOAT_EQ(boxes[0]->getPositionX(), glass.getMinX());
    EXPECT_LT(boxes[0]->getPositionY(), boxes[2]->getPositionY());
    EXPECT_EQ(popover->getOpacity(), 40);
    expectPanelEncloses(popover);

    // A row of horizontal steps comes back with tLabel; the pool grows and shrinks.
    model->common_settings.spectrumMode = 0;
    popover->horizontalSteps = 4;
    popover->verticalSteps = 0;
    popover->horizontalOld = 1;
    popover->horizontalNew = 2;
    popover->needsLayout = true;
    step(1);
    EXPECT_EQ(popover->getTLabel()->getOpacity(), 255);
    EXPECT_EQ(popover->getTLabel()->getString(), "T: --");
    EXPECT_EQ(popover->getALabel()->getOpacity(), 0);
    EXPECT_EQ(boxes.size(), 4u);
    EXPECT_FLOAT_EQ(boxes[0]->getPositionY(), glass.getMinY());
    expectPanelEncloses(popover);

    // Released: fades by 6 a frame.
    popover->touchHeld = false;
    step(1);
    EXPECT_EQ(popover->getOpacity(), 80 - 6);
    step(30);
    EXPECT_EQ(popover->getOpacity(), 0);

    // A fast time base keeps its prefix instead of rounding to "T: 0s".
    popover->powerTimeValue = 20e-6f;
    popover->needsLayout = true;
    step(1);
    EXPECT_EQ(popover->getTLabel()->getString(), "T: 20 \xC2\xB5s");
}

TEST_F(PopoverTest, ShownPopoverLeavesASnapshot) {
    // The waterfall's pinch look: the glass, the three time-scale steps and the span it shows.
    ScalingPopoverLayer* popover = ScalingPopoverLayer::createWithModel(model.get());
    ASSERT_NE(popover, nullptr);
    popover->setContentSize(engine::Size(kWidth, kHeight));
    popover->setOpacity(0);
    scene->addChild(popover, 100);
    popover->horizontalSteps = 0;
    popover->verticalSteps = 3;
    popover->verticalOld = 0;
    popover->verticalNew = 1;
    popover->needsLayout = true;
    popover->touchHeld = true;
    step(8);
    EXPECT_EQ(popover->getOpacity(), 255);
    const engine::Image image = renderFrame();
    EXPECT_TRUE(image.saveToFile(snapshotPath("popover.png")));
    // The panel is drawn around the glass and nothing is lit outside it.
    const engine::Rect panel = popover->getBackground()->getBoundingBox();
    // Edges may fall between pixels: count every pixel the panel touches.
    const int inside = countLit(image, static_cast<int>(std::floor(panel.getMinX())),
                                static_cast<int>(std::floor(panel.getMinY())),
                                static_cast<int>(std::ceil(panel.getMaxX())),
                                static_cast<int>(std::ceil(panel.getMaxY())));
    EXPECT_GT(inside, 0);
    EXPECT_EQ(countLit(image, 0, 0, kWidth, kHeight), inside);
}
