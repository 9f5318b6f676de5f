#include "views/power/PowerLevelHandle.h"

#include <algorithm>
#include <cmath>

#include "engine/2d/DrawNode.h"
#include "engine/2d/Label.h"
#include "engine/2d/Sprite.h"
#include "instrument/Instrument.h"
#include "model/SpectrumSettings.h"
#include "views/power/PowerViewScale.h"
#include "views/spectrum/BubbleHandle.h"

using engine::Color3B;
using engine::Size;
using engine::Vec2;

namespace {

const char* const kFont = "fonts/roboto/Roboto-Regular.ttf";
// A quarter of the bubble image is a 64-point tab; half of that is enough to grab.
constexpr float kHandleScale = 0.5f;

Color3B toColor(const uint8_t rgb[3]) {
    return Color3B(rgb[0], rgb[1], rgb[2]);
}

}  // namespace

PowerLevelHandle::PowerLevelHandle(Instrument& instrument)
    : instrument_(instrument), model_(instrument.model()) {}

bool PowerLevelHandle::addHandles(engine::Node* parent) {
    band_ = engine::DrawNode::create(1.f);
    if (!band_) {
        return false;
    }
    parent->addChild(band_);
    for (engine::Sprite** sprite : {&handle_, &ghost_}) {
        *sprite = engine::Sprite::create(kImage);
        if (*sprite) {
            (*sprite)->setBlendFunc(engine::BlendFunc::ALPHA_NON_PREMULTIPLIED);
            (*sprite)->setScale(kHandleScale);
            parent->addChild(*sprite);
        }
    }
    return true;
}

bool PowerLevelHandle::addLabel(engine::Node* parent, float fontSize) {
    label_ = engine::Label::createWithTTF("-00000.00dBm", kFont, fontSize);
    if (!label_) {
        return false;
    }
    label_->setAnchorPoint(Vec2(1.f, 0.5f));
    label_->setOpacity(0);
    parent->addChild(label_);
    return true;
}

bool PowerLevelHandle::grabs(const Vec2& at) const {
    return model_.runtime.deviceConnected && !model_.isRolling() &&
           model_.power_setting.triggerOnPower && handle_ && handle_->isVisible() &&
           handle_->getBoundingBox().containsPoint(at);
}

void PowerLevelHandle::begin() {
    dragged_ = model_.power_setting.triggerLevel;
}

void PowerLevelHandle::dragBy(float dy, float height) {
    const AccessoryDescription& a = model_.accessory;
    const float factor = (a.powerAxisMax - a.powerAxisMin) / height;
    if (std::isfinite(factor)) {
        dragged_ += dy * factor;
    }
}

void PowerLevelHandle::release() {
    send(dragged_);
}

bool PowerLevelHandle::nudge(int steps) {
    if (!model_.runtime.deviceConnected || model_.isRolling() ||
        !model_.power_setting.triggerOnPower)
        return false;
    const AccessoryDescription& a = model_.accessory;
    const float level = model_.power_setting.triggerLevel + static_cast<float>(steps);
    // Kept on the axis shown, where the handle can still be seen.
    const float offset = model_.amplitudeOffset();
    const float low = std::min(a.powerAxisMin, a.powerAxisMax) + offset;
    const float high = std::max(a.powerAxisMin, a.powerAxisMax) + offset;
    if (!std::isfinite(level) || !(low <= high))
        return false;
    send(std::clamp(level, low, high));
    return true;
}

void PowerLevelHandle::send(float level) {
    instrument_.stage(SettingChange::kTriggerLevelHandle, model_.power_setting.triggerLevel, level);
    instrument_.runControl().rearmTakenShot();
    instrument_.commit(SettingChange::kTriggerLevelHandle);
}

void PowerLevelHandle::refresh(const Size& size, bool dragging, float dt) {
    const float w = size.width;
    const float h = size.height;
    band_->clear();
    const bool shown = !model_.isRolling() && model_.power_setting.triggerOnPower;
    if (dragging) {
        ghostFade_ = 1.f;
    } else {
        ghostFade_ = std::max(0.f, ghostFade_ - dt);
    }
    const bool connected = model_.runtime.deviceConnected;
    const float offset = model_.amplitudeOffset();
    const float y = PowerViewScale::levelY(model_, h, model_.power_setting.triggerLevel + offset);
    const bool usable = shown && std::isfinite(y);
    if (handle_) {
        handle_->setVisible(usable);
        if (usable) {
            BubbleHandle::place(handle_, y, w, h);
            handle_->setColor(connected ? toColor(model_.power_channel.color) : Color3B::WHITE);
        }
    }
    const float ghostY = PowerViewScale::levelY(model_, h, dragged_ + offset);
    const bool ghost = usable && ghostFade_ > 0.f && std::isfinite(ghostY);
    if (ghost_) {
        ghost_->setVisible(ghost);
        if (ghost) {
            BubbleHandle::place(ghost_, ghostY, w, h);
            ghost_->setOpacity(PowerViewScale::opacity(ghostFade_));
        }
    }
    label_->setVisible(ghost);
    if (!ghost) {
        return;
    }
    const bool watts = model_.common_settings.powerUnitsWatts != 0;
    label_->setString(PowerViewScale::levelText(dragged_ + offset, watts));
    label_->setOpacity(PowerViewScale::opacity(ghostFade_));
    const float handleWidth = ghost_ ? ghost_->getBoundingBox().size.width : 0.f;
    const float labelY = std::clamp(ghostY, label_->getContentSize().height * 0.5f,
                                    h - label_->getContentSize().height * 0.5f);
    label_->setPosition(w - handleWidth - 4.f, labelY);
    const Size text = label_->getContentSize();
    band_->drawSolidRect(Vec2(w - handleWidth - 8.f - text.width, labelY - text.height * 0.5f),
                         Vec2(w - handleWidth, labelY + text.height * 0.5f),
                         engine::Color4F(0.1f, 0.1f, 0.1f, 0.55f * ghostFade_));
}
