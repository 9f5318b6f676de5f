#include "views/spectrum/ChannelGuidePopoverLayer.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <new>

#include "engine/2d/Label.h"
#include "engine/2d/Sprite.h"
#include "engine/base/EventDispatcher.h"
#include "engine/base/EventListenerTouchOneByOne.h"
#include "engine/base/Touch.h"
#include "engine/ui/Scale9Sprite.h"
#include "model/ChannelPlans.h"
#include "model/SpectrumSettings.h"
#include "views/spectrum/ChannelGuidePopoverLayerDelegate.h"

using engine::Label;
using engine::Rect;
using engine::Size;
using engine::Vec2;

namespace {

const char* const kFont = "fonts/roboto/Roboto-Bold.ttf";
constexpr float kLineGap = 5;
constexpr float kMarginX = 10;
constexpr float kMarginY = 14;

}  // namespace

ChannelGuidePopoverLayer* ChannelGuidePopoverLayer::create(
    ChannelGuidePopoverLayerDelegate* delegate) {
    return createWithModel(SpectrumSettings::getInstance(), delegate);
}

ChannelGuidePopoverLayer* ChannelGuidePopoverLayer::createWithModel(
    SpectrumSettings* model, ChannelGuidePopoverLayerDelegate* delegate) {
    auto* layer = new (std::nothrow) ChannelGuidePopoverLayer();
    if (!layer)
        return nullptr;
    layer->model_ = model;
    layer->delegate_ = delegate;
    if (layer->init()) {
        layer->autorelease();
        return layer;
    }
    delete layer;
    return nullptr;
}

bool ChannelGuidePopoverLayer::init() {
    if (!Layer::init() || !model_)
        return false;
    const bool large = model_->runtime.displayClass >= 2;
    const float fontSize = large ? 18.f : 16.f;
    closeInset_ = large ? 2.f : 5.f;

    auto* listener = engine::EventListenerTouchOneByOne::create();
    listener->setSwallowTouches(true);
    listener->onTouchBegan = [this](engine::Touch* t, engine::Event* e) {
        return onTouchBegan(t, e);
    };
    getEventDispatcher()->addEventListenerWithSceneGraphPriority(listener, this);

    auto label = [&](const char* text, const Vec2& anchor) {
        Label* made = Label::createWithTTF(text, kFont, fontSize);
        if (made) {
            made->setAnchorPoint(anchor);
            made->setTextColor(engine::Color4B(255, 255, 255, 255));
            addChild(made, 1);
        }
        return made;
    };
    title_ = label("XXXXXXXXXXXXXXX", Vec2::ANCHOR_MIDDLE_BOTTOM);
    startLabel_ = label("START:", Vec2::ANCHOR_BOTTOM_LEFT);
    endLabel_ = label("END:", Vec2::ANCHOR_BOTTOM_LEFT);
    startValue_ = label("XXXXMHZ", Vec2::ANCHOR_BOTTOM_RIGHT);
    endValue_ = label("XXXXMHZ", Vec2::ANCHOR_BOTTOM_RIGHT);
    if (!title_ || !startLabel_ || !endLabel_ || !startValue_ || !endValue_)
        return false;
    titleWidth_ = title_->getContentSize().width;
    rowHeight_ = title_->getContentSize().height;
    valueWidth_ = startValue_->getContentSize().width;

    background_ = engine::ui::Scale9Sprite::create(kBackgroundImage);
    if (background_) {
        background_->setAnchorPoint(Vec2::ANCHOR_BOTTOM_LEFT);
        addChild(background_, -1);
    }
    close_ = engine::Sprite::create(kCloseImage);
    if (close_) {
        close_->setAnchorPoint(Vec2::ANCHOR_TOP_RIGHT);
        // As tall as a text row, so that it stays clear of the centred title; its touch area
        // is doubled anyway.
        const float imageHeight = close_->getContentSize().height;
        if (imageHeight > 0)
            close_->setScale(rowHeight_ / imageHeight);
        addChild(close_, 2);
    }
    layout();
    return true;
}

void ChannelGuidePopoverLayer::layout() {
    const float labelWidth =
        std::max(startLabel_->getContentSize().width, endLabel_->getContentSize().width);
    const float width = std::max(titleWidth_, labelWidth + valueWidth_) + 2 * kMarginX;
    const float height = 3 * rowHeight_ + 2 * kLineGap + 2 * kMarginY;
    setContentSize(Size(width, height));
    if (background_) {
        background_->setContentSize(Size(width, height));
        background_->setPosition(0, 0);
    }
    const float row = rowHeight_ + kLineGap;
    endLabel_->setPosition(kMarginX, kMarginY);
    endValue_->setPosition(width - kMarginX, kMarginY);
    startLabel_->setPosition(kMarginX, kMarginY + row);
    startValue_->setPosition(width - kMarginX, kMarginY + row);
    title_->setPosition(width * 0.5f, kMarginY + 2 * row);
    if (close_)
        close_->setPosition(width - closeInset_, height - closeInset_);
}

std::string ChannelGuidePopoverLayer::mhzText(double mhz) {
    char text[48];
    std::snprintf(text, sizeof text, "%.0fMHz", mhz);
    return text;
}

void ChannelGuidePopoverLayer::configure(double lowMHz, int plan, int channel, double highMHz) {
    title_->setString(std::string(ChannelPlans::popoverPrefix(plan)) + std::to_string(channel));
    startValue_->setString(mhzText(lowMHz));
    endValue_->setString(mhzText(highMHz));
}

bool ChannelGuidePopoverLayer::onTouchBegan(engine::Touch* touch, engine::Event*) {
    const Vec2 at = convertTouchToNodeSpace(touch);
    if (at.x < 0 || at.y < 0 || at.x > _contentSize.width || at.y > _contentSize.height)
        return false;
    if (close_) {
        // The icon is small for a finger: its box doubled about its centre counts.
        const Rect box = close_->getBoundingBox();
        const Rect doubled(box.getMidX() - box.size.width, box.getMidY() - box.size.height,
                           2 * box.size.width, 2 * box.size.height);
        if (doubled.containsPoint(at)) {
            // The delegate usually lets go of us; stay alive until this touch is handled.
            retain();
            autorelease();
            if (delegate_)
                delegate_->popoverClosed();
            if (getParent())
                removeFromParentAndCleanup(true);
        }
    }
    return true;
}
