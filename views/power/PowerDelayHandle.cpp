#include "views/power/PowerDelayHandle.h"

#include <algorithm>
#include <cmath>

#include "engine/2d/ActionInterval.h"
#include "engine/2d/Label.h"
#include "engine/2d/LayerColor.h"
#include "engine/2d/Sprite.h"
#include "engine/renderer/Texture2D.h"
#include "instrument/Instrument.h"
#include "model/SpectrumSettings.h"
#include "model/TriggerPosition.h"
#include "model/ValueFormatting.h"
#include "views/power/PowerViewScale.h"

using engine::Color3B;
using engine::Color4B;
using engine::Rect;
using engine::Size;
using engine::Vec2;

namespace {

const char* const kFont = "fonts/roboto/Roboto-Regular.ttf";
const Color3B kCyan(0, 255, 255);
constexpr float kDivisions = 10.f;
constexpr float kBubbleMove = 0.5f;  // s

}  // namespace

PowerDelayHandle::PowerDelayHandle(Instrument& instrument)
    : instrument_(instrument), model_(instrument.model()) {}

void PowerDelayHandle::addHandles(engine::Node* parent) {
    const engine::BlendFunc straight = engine::BlendFunc::ALPHA_NON_PREMULTIPLIED;
    for (engine::Sprite** sprite : {&handle_, &ghost_}) {
        *sprite = engine::Sprite::create(kImage);
        if (*sprite) {
            (*sprite)->setBlendFunc(straight);
            parent->addChild(*sprite);
        }
    }
    // The sideways icon shows the half of its image that points left.
    sideways_ = engine::Sprite::create(kSidewaysImage);
    if (sideways_) {
        const Size image = sideways_->getTexture()->getContentSize();
        sideways_->setTextureRect(Rect(0, 0, image.width * 0.5f, image.height));
        sideways_->setBlendFunc(straight);
        parent->addChild(sideways_);
    }
}

bool PowerDelayHandle::addBubble(engine::Node* parent, float fontSize) {
    bubble_ = engine::LayerColor::create(Color4B(26, 26, 26, 140));
    bubbleLabel_ = engine::Label::createWithTTF("0.00s", kFont, fontSize);
    if (!bubble_ || !bubbleLabel_) {
        return false;
    }
    bubble_->setCascadeOpacityEnabled(true);
    bubble_->setOpacity(0);
    bubble_->setVisible(false);
    bubbleLabel_->setAnchorPoint(Vec2(0.5f, 0.5f));
    bubble_->addChild(bubbleLabel_);
    parent->addChild(bubble_);
    return true;
}

bool PowerDelayHandle::usable() const {
    return model_.runtime.deviceConnected && (PowerViewScale::held(model_) || !model_.isRolling());
}

void PowerDelayHandle::begin() {
    dragged_ = model_.power_setting.triggerDelay;
}

void PowerDelayHandle::dragBy(float dx, float width) {
    const float perDivision = PowerViewScale::secondsPerDivision(model_);
    const float change = TriggerPosition::delayForShift(width, perDivision, dx);
    if (std::isfinite(change)) {
        dragged_ += change;
    }
    // The accessory can place the trigger point anywhere on screen and nowhere else.
    dragged_ = TriggerPosition::clampDelay(dragged_, perDivision);
}

void PowerDelayHandle::release() {
    instrument_.stage(SettingChange::kTriggerDelayHandle, model_.power_setting.triggerDelay,
                      dragged_);
    instrument_.commit(SettingChange::kTriggerDelayHandle);
}

bool PowerDelayHandle::nudge(int steps) {
    if (!usable())
        return false;
    const float span = kDivisions * PowerViewScale::secondsPerDivision(model_);
    float delay = model_.power_setting.triggerDelay + span / kDivisions / 10.f * steps;
    // As dragging: the trigger point stops at the right edge; to the left there is no limit.
    delay = std::max(delay, -span / 2.f);
    if (!std::isfinite(delay))
        return false;
    instrument_.stage(SettingChange::kTriggerDelayHandle, model_.power_setting.triggerDelay, delay);
    instrument_.commit(SettingChange::kTriggerDelayHandle);
    return true;
}

bool PowerDelayHandle::isFading() const {
    return ghostFade_ > 0.f || bubbleFade_ > 0.f ||
           (bubble_ && bubble_->getNumberOfRunningActions() > 0);
}

void PowerDelayHandle::refresh(const Size& size, bool dragging, float dt) {
    const float w = size.width;
    const float h = size.height;
    const bool shown = PowerViewScale::held(model_) || !model_.isRolling();
    if (dragging) {
        ghostFade_ = 1.f;
        bubbleFade_ = std::min(1.f, bubbleFade_ + 2.f * dt);
    } else {
        ghostFade_ = std::max(0.f, ghostFade_ - 2.f * dt);
        bubbleFade_ = std::max(0.f, bubbleFade_ - 2.f * dt);
    }
    const Color3B colour = model_.runtime.deviceConnected ? kCyan : Color3B::WHITE;
    const float x = PowerViewScale::delayX(model_, w, model_.power_setting.triggerDelay);
    const bool usable = shown && std::isfinite(x);
    // Left of the view the handle lies on its side at the left edge; right of it, it stays
    // upright at the right edge.
    if (handle_) {
        handle_->setVisible(usable && x >= 0.f);
        handle_->setColor(colour);
        handle_->setAnchorPoint(x > w ? Vec2(1.f, 1.f) : Vec2(0.5f, 1.f));
        handle_->setPosition(std::min(x, w), h);
    }
    if (sideways_) {
        sideways_->setVisible(usable && x < 0.f);
        sideways_->setColor(colour);
        sideways_->setAnchorPoint(Vec2(0.f, 0.5f));
        sideways_->setPosition(0.f, h - sideways_->getContentSize().height * 0.5f);
    }
    const float ghostX = PowerViewScale::delayX(model_, w, dragged_);
    const bool ghost = usable && ghostFade_ > 0.f && std::isfinite(ghostX);
    if (ghost_) {
        ghost_->setVisible(ghost);
        ghost_->setOpacity(PowerViewScale::opacity(ghostFade_));
        ghost_->setAnchorPoint(Vec2(0.5f, 1.f));
        ghost_->setPosition(std::clamp(ghostX, 0.f, w), h);
    }
    refreshBubble(size, shown, dragging, ghostX);
}

void PowerDelayHandle::refreshBubble(const Size& size, bool shown, bool dragging, float ghostX) {
    const float w = size.width;
    const float h = size.height;
    const bool bubble = shown && (dragging || bubbleFade_ > 0.f);
    bubble_->setVisible(bubble);
    if (!bubble) {
        bubbleTarget_ = Vec2(-1.f, -1.f);
        return;
    }
    bubbleLabel_->setString(std::isfinite(dragged_) ? formatThreeDigits(dragged_) + "s"
                                                    : std::string("--"));
    bubbleLabel_->setTextColor(dragging ? Color4B(0, 255, 255, 255) : Color4B(255, 255, 255, 255));
    const Size text = bubbleLabel_->getContentSize();
    const Size box(text.width + 12.f, text.height + 6.f);
    bubble_->setContentSize(box);
    bubbleLabel_->setPosition(box.width * 0.5f, box.height * 0.5f);
    bubble_->setOpacity(PowerViewScale::opacity(bubbleFade_));
    const float iconWidth = handle_ ? handle_->getContentSize().width : 0.f;
    const float handleX = std::clamp(ghostX, 0.f, w);
    // The bubble sits on the side of the marker that faces the middle of the view.
    const float bx = dragged_ < 0.f ? handleX + iconWidth * 0.5f + 2.f
                                    : handleX - iconWidth * 0.5f - 2.f - box.width;
    const Vec2 target(std::clamp(bx, 0.f, std::max(0.f, w - box.width)), h - box.height - 2.f);
    if (!(target == bubbleTarget_)) {
        if (bubbleTarget_.x < 0.f) {
            bubble_->setPosition(target);
        } else {
            bubble_->stopAllActions();
            bubble_->runAction(engine::MoveTo::create(kBubbleMove, target));
        }
        bubbleTarget_ = target;
    }
}
