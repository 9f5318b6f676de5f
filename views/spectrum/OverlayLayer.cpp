#include "views/spectrum/OverlayLayer.h"

#include <algorithm>
#include <cmath>
#include <new>

#include "engine/2d/Label.h"
#include "engine/base/EventDispatcher.h"
#include "engine/base/EventListenerTouchOneByOne.h"
#include "model/PowerConversions.h"
#include "model/SpectrumSettings.h"
#include "model/ValueFormatting.h"

using engine::Label;
using engine::Vec2;

namespace {
const char* const kFont = "fonts/roboto/Roboto-Regular.ttf";
}

OverlayLayer* OverlayLayer::create() {
    return createWithModel(SpectrumSettings::getInstance());
}

OverlayLayer* OverlayLayer::createWithModel(SpectrumSettings* model) {
    auto* layer = new (std::nothrow) OverlayLayer();
    if (!layer)
        return nullptr;
    layer->model_ = model;
    if (layer->init()) {
        layer->autorelease();
        return layer;
    }
    delete layer;
    return nullptr;
}

bool OverlayLayer::init() {
    if (!Layer::init() || !model_)
        return false;
    labelAlpha_ = 0;
    const int displayClass = model_->runtime.displayClass;
    const float fontSize = (displayClass == 1 || displayClass == 2) ? 12.f : 10.f;
    for (Label** label :
         {&bottomLevelLabel_, &topLevelLabel_, &startFrequencyLabel_, &endFrequencyLabel_}) {
        *label = Label::createWithTTF("", kFont, fontSize);
        if (!*label)
            return false;
        (*label)->setOpacity(0);
        addChild(*label);
    }
    auto* listener = engine::EventListenerTouchOneByOne::create();
    listener->setSwallowTouches(false);
    listener->onTouchBegan = [this](engine::Touch*, engine::Event*) {
        ++touchCount_;
        return true;
    };
    auto lift = [this](engine::Touch*, engine::Event*) {
        touchCount_ = std::max(0, touchCount_ - 1);
    };
    listener->onTouchEnded = lift;
    listener->onTouchCancelled = lift;
    getEventDispatcher()->addEventListenerWithSceneGraphPriority(listener, this);
    return true;
}

void OverlayLayer::onEnter() {
    Layer::onEnter();
    touchCount_ = 0;
    scheduleUpdate();
}

void OverlayLayer::onExit() {
    touchCount_ = 0;
    unscheduleUpdate();
    Layer::onExit();
}

void OverlayLayer::update(float dt) {
    lastDelta_ = dt;
    // The labels fade and follow the model in visit(), so they need frames while a touch
    // holds them or they fade out (up to the visit that settles the alpha at exactly zero).
    if (touchCount_ > 0 || labelAlpha_ != 0)
        markStale();
}

std::string OverlayLayer::levelText(float dbm, bool watts) {
    float value = dbm;
    if (watts)
        value = dbmToMilliwatts(dbm) * 0.001f;
    if (std::isnan(value))
        return "";
    return watts ? formatEngineering(value, 2) + "W" : formatFixed2(value) + "dBm";
}

void OverlayLayer::visit(engine::Renderer* renderer, const engine::Mat4& parentTransform,
                         uint32_t parentFlags) {
    Layer::visit(renderer, parentTransform, parentFlags);
    if (touchCount_ <= 0) {
        if (labelAlpha_ <= 0) {
            labelAlpha_ = 0;
            for (Label* label :
                 {bottomLevelLabel_, topLevelLabel_, startFrequencyLabel_, endFrequencyLabel_})
                label->setOpacity(0);
            return;
        }
        labelAlpha_ -= lastDelta_ * kFadeOutRate;
    } else if (labelAlpha_ < 1) {
        labelAlpha_ = std::min(1.f, labelAlpha_ + lastDelta_ * kFadeInRate);
    }
    updateLabels();
}

void OverlayLayer::updateLabels() {
    const uint8_t opacity = static_cast<uint8_t>(std::max(0.f, labelAlpha_) * 255.f);
    bottomLevelLabel_->setOpacity(opacity);
    topLevelLabel_->setOpacity(opacity);
    const AccessoryDescription& accessory = model_->accessory;
    float bottom = accessory.powerAxisMin;
    float top = accessory.powerAxisMax;
    if (showFrequencyLabels) {
        startFrequencyLabel_->setOpacity(opacity);
        endFrequencyLabel_->setOpacity(opacity);
        startFrequencyLabel_->setString(band24 ? "2.4GHz" : "5.145GHz");
        endFrequencyLabel_->setString(band24 ? "2.5GHz" : "5.860GHz");
        bottom = band24 ? accessory.levelMin24 : accessory.levelMin5;
        top = band24 ? accessory.levelMax24 : accessory.levelMax5;
    } else {
        startFrequencyLabel_->setOpacity(0);
        endFrequencyLabel_->setOpacity(0);
    }
    const float offset = model_->amplitudeOffset();
    const bool watts = model_->common_settings.powerUnitsWatts != 0;
    bottomLevelLabel_->setString(levelText(bottom + offset, watts));
    topLevelLabel_->setString(levelText(top + offset, watts));

    const float w = _contentSize.width;
    const float h = _contentSize.height;
    startFrequencyLabel_->setAnchorPoint(Vec2::ANCHOR_BOTTOM_LEFT);
    startFrequencyLabel_->setPosition(0, 0);
    endFrequencyLabel_->setAnchorPoint(Vec2::ANCHOR_BOTTOM_RIGHT);
    endFrequencyLabel_->setPosition(w, 0);
    bottomLevelLabel_->setAnchorPoint(Vec2::ANCHOR_BOTTOM_RIGHT);
    bottomLevelLabel_->setPosition(w, endFrequencyLabel_->getContentSize().height);
    topLevelLabel_->setAnchorPoint(Vec2::ANCHOR_TOP_RIGHT);
    topLevelLabel_->setPosition(w, h);
}
