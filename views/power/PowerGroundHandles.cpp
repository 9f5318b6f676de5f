#include "views/power/PowerGroundHandles.h"

#include <algorithm>
#include <cmath>

#include "engine/2d/Label.h"
#include "engine/ui/Scale9Sprite.h"
#include "instrument/Instrument.h"
#include "model/SpectrumSettings.h"

using engine::Color3B;
using engine::Size;
using engine::Vec2;

namespace {

const char* const kFont = "fonts/roboto/Roboto-Regular.ttf";
const Color3B kUnselectedGrey(192, 192, 192);
constexpr float kInsetLeft = 0.1857f;
constexpr float kInsetRight = 0.0571f;

Color3B toColor(const uint8_t rgb[3]) {
    return Color3B(rgb[0], rgb[1], rgb[2]);
}

}  // namespace

PowerGroundHandles::PowerGroundHandles(Instrument& instrument)
    : instrument_(instrument), model_(instrument.model()) {}

void PowerGroundHandles::add(engine::Node* parent, float fontSize) {
    for (int t = 0; t < 2; ++t) {
        auto* handle = engine::ui::Scale9Sprite::create(kImage);
        if (!handle) {
            continue;
        }
        handle->setScale9Enabled(true);
        handle->setInsetFractions(kInsetLeft, kInsetRight, 0.f, 0.f);
        handle->setBlendFunc(engine::BlendFunc::ALPHA_NON_PREMULTIPLIED);
        handle->setAnchorPoint(Vec2(0.f, 0.5f));
        engine::Label* label = engine::Label::createWithTTF(groundText(t), kFont, fontSize - 2.f);
        if (label) {
            label->setTextColor(engine::Color4B(0, 0, 0, 255));
            label->setAnchorPoint(Vec2(0.f, 0.5f));
            handle->addChild(label);
            const Size image = handle->getOriginalSize();
            handle->setContentSize(
                Size(label->getContentSize().width + image.width * (kInsetLeft + kInsetRight) + 4.f,
                     image.height));
            label->setPosition(image.width * kInsetLeft + 2.f, image.height * 0.5f);
        }
        handles_[t] = handle;
        parent->addChild(handle);
    }
}

int PowerGroundHandles::grab(const Vec2& at) {
    const int selected = model_.power_setting.selectedTrace;
    for (int t : {selected, 0, 1}) {
        if ((t == 0 || t == 1) && traceShown(t) && handles_[t] &&
            handles_[t]->getBoundingBox().containsPoint(at)) {
            return t;
        }
    }
    return -1;
}

void PowerGroundHandles::dragBy(float dy, float height) {
    const int t = model_.power_setting.selectedTrace == 1 ? 1 : 0;
    const float handleHeight = handles_[t] ? handles_[t]->getContentSize().height : 0.f;
    const float top = std::max(0.f, height - handleHeight / 2.f);
    setTraceOffset(t, std::clamp(traceOffset(t) + dy, 0.f, top));
}

void PowerGroundHandles::refresh() {
    const int selected = model_.power_setting.selectedTrace;
    for (int t = 0; t < 2; ++t) {
        engine::ui::Scale9Sprite* handle = handles_[t];
        if (!handle) {
            continue;
        }
        handle->setVisible(traceShown(t));
        handle->setColor(t == selected ? traceColor(t) : kUnselectedGrey);
        const float half = handle->getContentSize().height * 0.5f;
        handle->setPosition(0.f, traceOffset(t) + half);
    }
}

bool PowerGroundHandles::traceShown(int t) const {
    if (t == 0) {
        return model_.power_channel.shown != 0;
    }
    return t == 1 && model_.reference_channel.shown != 0;
}

float PowerGroundHandles::traceOffset(int t) const {
    const float offset = t == 0   ? model_.power_channel.offset
                         : t == 1 ? model_.reference_channel.offset
                                  : 0.f;
    return std::isfinite(offset) ? offset : 0.f;
}

void PowerGroundHandles::setTraceOffset(int t, float offset) {
    if (t == 0) {
        instrument_.set(SettingChange::kDisplay, model_.power_channel.offset, offset);
    } else if (t == 1) {
        instrument_.set(SettingChange::kDisplay, model_.reference_channel.offset, offset);
    }
}

Color3B PowerGroundHandles::traceColor(int t) const {
    if (t == 0) {
        return toColor(model_.power_channel.color);
    }
    return t == 1 ? toColor(model_.reference_channel.color) : Color3B::BLACK;
}

std::string PowerGroundHandles::groundText(int t) {
    return t == 0 ? "RF" : t == 1 ? "REF: RF" : "";
}

engine::ui::Scale9Sprite* PowerGroundHandles::handle(int t) const {
    return t == 0 || t == 1 ? handles_[t] : nullptr;
}
