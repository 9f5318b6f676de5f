// The channel guide in a real window: the expand icon, the rows of channel buttons, selecting a
// channel (shading, popover beside it, dragging the selection) and closing the popover, whose
// lifetime the guide must follow without keeping a dangling pointer.
#include "engine/2d/DrawNode.h"
#include "engine/2d/Label.h"
#include "engine/2d/Sprite.h"
#include "engine/ui/Button.h"
#include "instrument/Instrument.h"
#include "model/ChannelPlans.h"
#include "tests/spectrum/SpectrumTestSupport.h"
#include "views/spectrum/ChannelGuideLayer.h"
#include "views/spectrum/ChannelGuidePopoverLayer.h"

namespace {

using namespace spectrumtest;

// The guide covers 404 x 300 at (10, 10): 802.11g's 101 MHz span is 4 units per MHz, so
// channel n starts at x = 4 (2 + 5 (n - 1)) - 0.4 (the rounded low edge) and ends 84.4 later.
constexpr float kX = 10, kY = 10, kW = 404, kH = 300;

class ChannelGuideTest : public SpectrumLayerTest {
  protected:
    void SetUp() override {
        SpectrumLayerTest::SetUp();
        model->spectrum_settings.band = 0;
        model->spectrum_settings.channelGuide24 = 2;  // 802.11g
        model->spectrum_settings.channelGuideState = 0;
        guide = ChannelGuideLayer::createWithModel(model.get());
        ASSERT_NE(guide, nullptr);
        guide->setPosition(kX, kY);
        guide->setContentSize(engine::Size(kW, kH));
        scene->addChild(guide);
        step(1);
    }
    // A tap in layer units.
    void tapAt(float x, float y) { tap(kX + x, kY + y); }
    void tapIcon() { tapAt(8, kH - 8); }
    engine::ui::Button* button(int channel) {
        for (engine::ui::Button* b : guide->getChannelButtons())
            if (b->getTag() == channel)
                return b;
        return nullptr;
    }
    void select(int channel) {
        model->spectrum_settings.channelGuideState = 1;
        guide->setSelectedChannel(channel);
        step(1);
    }

    ChannelGuideLayer* guide = nullptr;
};

TEST_F(ChannelGuideTest, IconExpandsIntoRowsOfChannelButtons) {
    engine::Sprite* icon = guide->getExpandIcon();
    ASSERT_NE(icon, nullptr);
    EXPECT_EQ(icon->getOpacity(), 255);
    EXPECT_FLOAT_EQ(icon->getTextureRect().origin.x, 0.f);  // collapsed: left half
    EXPECT_TRUE(guide->getChannelButtons().empty());

    tapIcon();
    EXPECT_EQ(model->spectrum_settings.channelGuideState, 1);
    step(1);
    EXPECT_GT(icon->getTextureRect().origin.x, 0.f);  // expanded: right half
    ASSERT_EQ(guide->getChannelButtons().size(), 13u);
    // Five rows, 25 high with 3 between (display class 0): 1, 6 and 11 share the top row.
    for (int n : {1, 6, 11})
        EXPECT_FLOAT_EQ(button(n)->getPositionY(), kH - 3) << n;
    EXPECT_FLOAT_EQ(button(2)->getPositionY(), kH - 25 - 6);
    EXPECT_FLOAT_EQ(button(5)->getPositionY(), kH - 4 * 25 - 5 * 3);
    EXPECT_NEAR(button(6)->getPositionX(), 4 * 27 - 0.4f, 1e-3);
    EXPECT_NEAR(button(6)->getContentSize().width, 84.4f, 1e-3);
    EXPECT_EQ(button(13)->getTitleText(), "13");

    // A smaller plan trims the pool.
    model->spectrum_settings.channelGuide24 = 4;
    step(1);
    EXPECT_EQ(guide->getChannelButtons().size(), 9u);

    tapIcon();
    EXPECT_EQ(model->spectrum_settings.channelGuideState, 0);
    step(1);
    EXPECT_TRUE(guide->getChannelButtons().empty());
}

TEST_F(ChannelGuideTest, NoPlanHidesTheIconAndClaimsNothing) {
    for (int plan : {0, 12, -3}) {
        model->spectrum_settings.channelGuide24 = plan;
        model->spectrum_settings.channelGuideState = 1;
        step(1);
        EXPECT_EQ(guide->getExpandIcon()->getOpacity(), 0) << plan;
        EXPECT_TRUE(guide->getChannelButtons().empty()) << plan;
        tapIcon();
        EXPECT_EQ(model->spectrum_settings.channelGuideState, 1) << plan;
    }
}

TEST_F(ChannelGuideTest, TappingAButtonSelectsItsChannel) {
    tapIcon();
    step(1);
    ASSERT_NE(button(6), nullptr);
    // Channel 6 is the only one in the top row between x = 108 and 188.
    tapAt(150, kH - 10);
    EXPECT_EQ(guide->getSelectedChannel(), 6);
    step(1);
    EXPECT_TRUE(guide->getChannelButtons().empty());
    EXPECT_GT(guide->getGuideNode()->getVertexCount(), 0u);
    ChannelGuidePopoverLayer* popover = guide->getPopover();
    ASSERT_NE(popover, nullptr);
    EXPECT_EQ(popover->getTitleLabel()->getString(), "802.11g :: 6");
    EXPECT_EQ(popover->getStartValueLabel()->getString(), "2427MHz");
    EXPECT_EQ(popover->getEndValueLabel()->getString(), "2447MHz");

    // The rest of the spectrum is shaded, the channel is not.
    const engine::Image image = renderFrame();
    EXPECT_EQ(pixelAt(image, kX + 148, kY + 20), (Rgb{0, 0, 0}));
    EXPECT_NE(pixelAt(image, kX + 60, kY + 20), (Rgb{0, 0, 0}));
    EXPECT_NE(pixelAt(image, kX + 300, kY + 20), (Rgb{0, 0, 0}));
}

TEST_F(ChannelGuideTest, PopoverSitsBesideTheSelection) {
    const float iconBottom = kH - guide->getExpandIcon()->getContentSize().height;
    select(13);  // near the right edge: to the left of the channel
    ChannelGuidePopoverLayer* popover = guide->getPopover();
    ASSERT_NE(popover, nullptr);
    const float xl13 = 4 * 62.f;
    EXPECT_EQ(popover->getAnchorPoint(), engine::Vec2::ANCHOR_TOP_RIGHT);
    EXPECT_NEAR(popover->getPositionX(), xl13 - 2, 1e-3);
    EXPECT_FLOAT_EQ(popover->getPositionY(), iconBottom - 2);
    EXPECT_LE(popover->getBoundingBox().getMaxX(), xl13);

    select(1);  // near the left edge: to the right
    popover = guide->getPopover();
    ASSERT_NE(popover, nullptr);
    const float xr1 = 4 * 23.f;
    EXPECT_EQ(popover->getAnchorPoint(), engine::Vec2::ANCHOR_TOP_LEFT);
    EXPECT_NEAR(popover->getPositionX(), xr1 + 2, 1e-3);

    // Too narrow for either side: at the left edge.
    guide->setContentSize(engine::Size(200, kH));
    model->spectrum_settings.band = 1;
    model->spectrum_settings.channelGuide5 = 11;
    step(1);
    select(50);
    popover = guide->getPopover();
    ASSERT_NE(popover, nullptr);
    EXPECT_EQ(popover->getAnchorPoint(), engine::Vec2::ANCHOR_TOP_LEFT);
    EXPECT_FLOAT_EQ(popover->getPositionX(), 0.f);
    EXPECT_EQ(popover->getTitleLabel()->getString(), "802.11ac :: 50");
}

TEST_F(ChannelGuideTest, TouchesMoveTheSelectionToTheNearestChannel) {
    select(6);
    tapAt(4 * 12.5f, 40);  // channel 1's centre
    EXPECT_EQ(guide->getSelectedChannel(), 1);
    touchBegan(1, kX + 4 * 37.5f, kY + 40);
    EXPECT_EQ(guide->getSelectedChannel(), 6);
    touchMoved(1, kX + 4 * 52.f, kY + 40);
    EXPECT_EQ(guide->getSelectedChannel(), 9);
    touchEnded(1, kX + 4 * 52.f, kY + 40);
    step(1);
    ASSERT_NE(guide->getPopover(), nullptr);
    EXPECT_EQ(guide->getPopover()->getTitleLabel()->getString(), "802.11g :: 9");

    // A new plan drops the selection and the popover.
    model->spectrum_settings.channelGuide24 = 1;
    step(1);
    EXPECT_EQ(guide->getSelectedChannel(), -1);
    EXPECT_EQ(guide->getPopover(), nullptr);
    EXPECT_EQ(guide->getChannelButtons().size(), 14u);
}

TEST_F(ChannelGuideTest, ClosingThePopoverLeavesNothingDangling) {
    select(3);
    ChannelGuidePopoverLayer* popover = guide->getPopover();
    ASSERT_NE(popover, nullptr);
    // A click on the popover but off its close button stays with the popover: the channel
    // beneath (1 or 2 at x = 4..90) is not selected through it.
    const engine::Rect box = popover->getBoundingBox();
    tapAt(box.getMinX() + 12, box.getMinY() + 12);
    EXPECT_EQ(guide->getSelectedChannel(), 3);
    EXPECT_EQ(guide->getPopover(), popover);

    const engine::Rect close = popover->getCloseButton()->getBoundingBox();
    tapAt(box.getMinX() + close.getMidX(), box.getMinY() + close.getMidY());
    EXPECT_EQ(guide->getSelectedChannel(), -1);
    EXPECT_EQ(guide->getPopover(), nullptr);
    // The next rebuild would close a popover it still pointed at; under ASan a freed one shows.
    step(2);
    EXPECT_EQ(guide->getChannelButtons().size(), 13u);
    select(4);
    ASSERT_NE(guide->getPopover(), nullptr);
    // Collapsing closes it too, and the layer can go while one is open.
    model->spectrum_settings.channelGuideState = 0;
    step(1);
    EXPECT_EQ(guide->getPopover(), nullptr);
    select(5);
    guide->removeFromParent();
    step(1);
}

TEST_F(ChannelGuideTest, TheIconChangesTheGuideThroughTheInstrument) {
    guide->removeFromParent();
    Instrument instrument(*model);
    guide = ChannelGuideLayer::createWithInstrument(&instrument);
    ASSERT_NE(guide, nullptr);
    guide->setPosition(kX, kY);
    guide->setContentSize(engine::Size(kW, kH));
    scene->addChild(guide);
    step(1);
    tapIcon();
    EXPECT_EQ(model->spectrum_settings.channelGuideState, 1);
    EXPECT_TRUE(instrument.isStoreDirty());
    EXPECT_EQ(instrument.changeCount(), 1u);
    tapIcon();
    EXPECT_EQ(model->spectrum_settings.channelGuideState, 0);
    EXPECT_EQ(instrument.changeCount(), 2u);
}

}  // namespace
