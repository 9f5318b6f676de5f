#include "views/spectrum/WaterfallThresholdAndTouchLayer.h"

#include <algorithm>
#include <cmath>
#include <memory>
#include <new>
#include <utility>

#include "engine/2d/DrawNode.h"
#include "engine/2d/Label.h"
#include "engine/2d/Scene.h"
#include "engine/2d/Sprite.h"
#include "engine/base/EventDispatcher.h"
#include "engine/base/EventListenerTouchOneByOne.h"
#include "engine/base/Touch.h"
#include "engine/renderer/Texture2D.h"
#include "instrument/Instrument.h"
#include "model/PowerConversions.h"
#include "model/SpectrumSettings.h"
#include "model/ValueFormatting.h"
#include "views/spectrum/BubbleHandle.h"
#include "views/spectrum/Palette.h"
#include "views/spectrum/ScaleWheel.h"
#include "views/spectrum/ScalingPopoverLayer.h"

using engine::Color4F;
using engine::Label;
using engine::Rect;
using engine::Size;
using engine::Sprite;
using engine::Touch;
using engine::Vec2;

namespace {

const char* const kFont = "fonts/roboto/Roboto-Regular.ttf";
const Color4F kBoxColour(0.1f, 0.1f, 0.1f, 0.55f);

Color4F toColour(const PaletteColor& c, float alpha = 1.f) {
    return Color4F(c.r / 255.f, c.g / 255.f, c.b / 255.f, alpha);
}

}  // namespace

WaterfallThresholdAndTouchLayer* WaterfallThresholdAndTouchLayer::create() {
    return createWithModel(SpectrumSettings::getInstance());
}

WaterfallThresholdAndTouchLayer* WaterfallThresholdAndTouchLayer::createWithModel(
    SpectrumSettings* model) {
    if (!model)
        return nullptr;
    auto own = std::make_unique<Instrument>(*model);
    WaterfallThresholdAndTouchLayer* layer = createWithInstrument(own.get());
    if (layer)
        layer->ownInstrument_ = std::move(own);
    return layer;
}

WaterfallThresholdAndTouchLayer* WaterfallThresholdAndTouchLayer::createWithInstrument(
    Instrument* instrument) {
    if (!instrument)
        return nullptr;
    auto* layer = new (std::nothrow) WaterfallThresholdAndTouchLayer();
    if (!layer)
        return nullptr;
    layer->instrument_ = instrument;
    layer->model_ = &instrument->model();
    if (layer->init()) {
        layer->autorelease();
        return layer;
    }
    delete layer;
    return nullptr;
}

WaterfallThresholdAndTouchLayer::~WaterfallThresholdAndTouchLayer() {
    unscheduleUpdate();
    for (Touch* touch : touches_)
        touch->release();
}

bool WaterfallThresholdAndTouchLayer::init() {
    if (!Layer::init() || !model_)
        return false;
    auto* listener = engine::EventListenerTouchOneByOne::create();
    listener->setSwallowTouches(false);
    listener->onTouchBegan = [this](Touch* t, engine::Event* e) { return onTouchBegan(t, e); };
    listener->onTouchMoved = [this](Touch* t, engine::Event* e) { onTouchMoved(t, e); };
    listener->onTouchEnded = [this](Touch* t, engine::Event* e) { onTouchEnded(t, e); };
    listener->onTouchCancelled = [this](Touch* t, engine::Event* e) { onTouchCancelled(t, e); };
    getEventDispatcher()->addEventListenerWithSceneGraphPriority(listener, this);
    // The wheel steps the time scale one step a notch, whichever way it is turned.
    ScaleWheel::attach(
        this, [this](int steps, bool) { stepTimeScale(steps); },
        [this] {
            if (ScalingPopoverLayer* popover = findPopover(); popover && touches_.size() < 2)
                popover->touchHeld = false;
        });

    const int displayClass = model_->runtime.displayClass;
    if (displayClass == 0)
        labelFontSize_ = 14.f;
    else if (displayClass >= 1 && displayClass <= 3)
        labelFontSize_ = 16.f;
    handleNode_ = engine::DrawNode::create(2.f);
    if (!handleNode_)
        return false;
    addChild(handleNode_);
    if (Label* probe = Label::createWithTTF("-00000.00dBm", kFont, labelFontSize_)) {
        labelBoxSize_ = probe->getContentSize();
        labelBoxSize_.width *= 1.25f;
    }
    for (Label** label : {&lowLabel_, &highLabel_}) {
        *label = Label::createWithTTF("-00.00 dBm", kFont, labelFontSize_);
        if (!*label)
            return false;
        (*label)->setTextColor(engine::Color4B(255, 255, 255, 255));
        (*label)->setOpacity(0);
        addChild(*label);
    }
    lowHandle_ = Sprite::create(kHandleImage);
    highHandle_ = Sprite::create(kHandleImage);
    if (lowHandle_ && highHandle_) {
        lowHandle_->setPosition(100, 100);
        highHandle_->setPosition(100, 100);
        lowHandle_->setColor(engine::Color3B::MAGENTA);
        highHandle_->setColor(engine::Color3B::ORANGE);
        addChild(lowHandle_);
        addChild(highHandle_);
    } else {
        lowHandle_ = highHandle_ = nullptr;  // the autorelease pool takes a lone one
    }
    return true;
}

void WaterfallThresholdAndTouchLayer::onEnter() {
    Layer::onEnter();
    scheduleUpdate();
}

void WaterfallThresholdAndTouchLayer::onExit() {
    releaseTouches();
    unscheduleUpdate();
    Layer::onExit();
}

void WaterfallThresholdAndTouchLayer::releaseTouches() {
    for (Touch* touch : touches_)
        touch->release();
    touches_.clear();
    if (touchMode_ == kPinch) {
        if (ScalingPopoverLayer* popover = findPopover())
            popover->touchHeld = false;
    }
    if (touchMode_ != kNoTouch)
        model_->runtime.touchActive = false;
    touchMode_ = kNoTouch;
}

void WaterfallThresholdAndTouchLayer::update(float dt) {
    lastDelta_ = dt;
    // Placed before the frame rather than while drawing it, so that only a real change of the
    // thresholds, palette, units or label fade makes the picture stale.
    placeHandlesAndLabels();
}

std::string WaterfallThresholdAndTouchLayer::thresholdText(float dbm, bool watts) {
    if (watts) {
        const float w = dbmToMilliwatts(dbm) * 0.001f;
        return std::isnan(w) ? std::string("--") : formatEngineering(w, 2) + "W";
    }
    return std::isnan(dbm) ? std::string("--") : formatFixed2(dbm) + "dBm";
}

void WaterfallThresholdAndTouchLayer::levelRange(float& bottom, float& top) const {
    const AccessoryDescription& accessory = model_->accessory;
    const float offset = model_->amplitudeOffset();
    if (showBand24) {
        bottom = accessory.levelMin24 + offset;
        top = accessory.levelMax24 + offset;
    } else if (showBand5) {
        bottom = accessory.levelMin5 + offset;
        top = accessory.levelMax5 + offset;
    } else {
        bottom = 0;
        top = 1;
    }
}

void WaterfallThresholdAndTouchLayer::placeHandle(Sprite* handle, float y) {
    BubbleHandle::place(handle, y, _contentSize.width, _contentSize.height);
}

void WaterfallThresholdAndTouchLayer::drawLabelBox(float y, float boxBottom,
                                                   const Color4F& colour) {
    const float w = _contentSize.width;
    const float bw = labelBoxSize_.width;
    const float bh = labelBoxSize_.height;
    const float handleHeight = lowHandle_ ? lowHandle_->getContentSize().height : 0.f;
    const float bx = w - (handleHeight + bw);
    const float right = bx + bw;
    const float top = boxBottom + bh;
    const float tick = w / 100.f;
    handleNode_->drawSolidRect(
        Vec2(bx, boxBottom), Vec2(right, top),
        Color4F(kBoxColour.r, kBoxColour.g, kBoxColour.b, kBoxColour.a * labelFade_));
    handleNode_->drawLine(Vec2(bx, y), Vec2(right, y), colour);
    handleNode_->drawLine(Vec2(right, y), Vec2(w, y), colour);
    handleNode_->drawLine(Vec2(bx, boxBottom), Vec2(bx, top), colour);
    handleNode_->drawLine(Vec2(right, boxBottom), Vec2(right, top), colour);
    for (float edge : {boxBottom, top}) {
        handleNode_->drawLine(Vec2(bx, edge), Vec2(bx + tick, edge), colour);
        handleNode_->drawLine(Vec2(right - tick, edge), Vec2(right, edge), colour);
    }
}

void WaterfallThresholdAndTouchLayer::placeHandlesAndLabels() {
    const float w = _contentSize.width;
    const float h = _contentSize.height;
    float bottom = 0, top = 1;
    levelRange(bottom, top);
    const float scale = h / (top - bottom);
    SpectrumViewSettings& view = model_->spectrum_settings;
    const Palette palette = Palette::forWaterfall(view.heatMapColorMap);
    const float low = view.waterfallLevelLow;
    const float high = view.waterfallLevelHigh;
    const float yLow = std::min(low, high) * scale - scale * bottom;
    const float yHigh = high * scale - scale * bottom;
    if (lowHandle_ && highHandle_) {
        lowHandle_->setColor(engine::Color3B(palette.at(0).r, palette.at(0).g, palette.at(0).b));
        highHandle_->setColor(
            engine::Color3B(palette.last().r, palette.last().g, palette.last().b));
        placeHandle(lowHandle_, yLow);
        placeHandle(highHandle_, yHigh);
    }

    handleNode_->clear();
    if (touchMode_ == kDragLow || touchMode_ == kDragHigh) {
        labelFade_ = 1.f;
    } else if (labelFade_ > 0.f) {
        labelFade_ -= lastDelta_;
        if (labelFade_ <= 0.f) {
            lowLabel_->setOpacity(0);
            highLabel_->setOpacity(0);
            return;
        }
    } else {
        lowLabel_->setOpacity(0);
        highLabel_->setOpacity(0);
        return;
    }

    const bool watts = model_->common_settings.powerUnitsWatts != 0;
    const uint8_t alpha = static_cast<uint8_t>(std::clamp(labelFade_, 0.f, 1.f) * 255.f);
    lowLabel_->setString(thresholdText(low, watts));
    highLabel_->setString(thresholdText(high, watts));
    lowLabel_->setOpacity(alpha);
    highLabel_->setOpacity(alpha);

    const float bh = labelBoxSize_.height;
    const float yL = std::clamp(yLow, 0.f, h);
    const float yH = std::clamp(yHigh, 0.f, h);
    float lowBottom = yL - bh;
    if (yL < bh)
        lowBottom = 0;
    else if (yL > h - bh)
        lowBottom = h - 2 * bh;
    const float highBottom = yH < bh ? bh : std::min(h - bh, yH);
    drawLabelBox(yL, lowBottom, toColour(palette.at(0)));
    drawLabelBox(yH, highBottom, toColour(palette.last()));

    const float handleHeight = lowHandle_ ? lowHandle_->getContentSize().height : 0.f;
    const float centreX = w - (handleHeight + labelBoxSize_.width) + labelBoxSize_.width * 0.5f;
    lowLabel_->setAnchorPoint(Vec2::ANCHOR_MIDDLE);
    highLabel_->setAnchorPoint(Vec2::ANCHOR_MIDDLE);
    lowLabel_->setPosition(centreX, lowBottom + bh * 0.5f);
    highLabel_->setPosition(centreX, highBottom + bh * 0.5f);
}

void WaterfallThresholdAndTouchLayer::visit(engine::Renderer* renderer,
                                            const engine::Mat4& parentTransform,
                                            uint32_t parentFlags) {
    if (!_visible)
        return;
    clip_.begin(renderer, _globalZOrder, Rect(_position, _contentSize));
    Layer::visit(renderer, parentTransform, parentFlags);
    clip_.end(renderer, _globalZOrder);
}

bool WaterfallThresholdAndTouchLayer::onTouchBegan(Touch* touch, engine::Event*) {
    if (getNumberOfRunningActions() > 0)
        return false;
    const Vec2 at = convertTouchToNodeSpace(touch);
    if (at.x < 0 || at.y < 0 || at.x > _contentSize.width || at.y > _contentSize.height)
        return false;
    touch->retain();
    touches_.push_back(touch);
    if (touches_.size() == 1) {
        if (highHandle_ && highHandle_->getBoundingBox().containsPoint(at))
            touchMode_ = kDragHigh;
        else if (lowHandle_ && lowHandle_->getBoundingBox().containsPoint(at))
            touchMode_ = kDragLow;
        else
            touchMode_ = kNoTouch;
        model_->runtime.touchActive = touchMode_ != kNoTouch;
    } else if (touches_.size() == 2) {
        touchMode_ = kPinch;
        pinchHorizontal_ = 0;
        pinchVertical_ = 0;
        model_->runtime.touchActive = true;
    }
    return true;
}

void WaterfallThresholdAndTouchLayer::onTouchMoved(Touch*, engine::Event*) {
    if (touches_.size() == 1) {
        if (touchMode_ != kDragLow && touchMode_ != kDragHigh)
            return;
        Touch* touch = touches_.front();
        const float dy = (convertToNodeSpace(touch->getLocation()) -
                          convertToNodeSpace(touch->getPreviousLocation()))
                             .y;
        float bottom = 0, top = 1;
        levelRange(bottom, top);
        const float scale = _contentSize.height / (top - bottom);
        if (scale == 0.f || !std::isfinite(scale))
            return;
        moveThreshold(touchMode_ == kDragHigh, dy / scale);
        return;
    }
    if (touches_.size() != 2)
        return;
    Touch* a = touches_[0];
    Touch* b = touches_[1];
    const Vec2 da = a->getLocation() - a->getPreviousLocation();
    const Vec2 db = b->getLocation() - b->getPreviousLocation();
    const float now = (a->getLocation() - b->getLocation()).length();
    const float before = (a->getPreviousLocation() - b->getPreviousLocation()).length();
    const bool spreading = now > before;
    pinchHorizontal_ += std::fabs(da.x) + std::fabs(db.x);
    pinchVertical_ += std::fabs(da.y) + std::fabs(db.y);
    if (pinchVertical_ < kPinchStep)
        return;
    pinchVertical_ = 0;
    stepTimeScale(spreading ? 1 : -1);
}

void WaterfallThresholdAndTouchLayer::moveThreshold(bool high, float dbm) {
    const bool moved = instrument_->edit(SettingChange::kDisplay, [high, dbm](SpectrumSettings& s) {
        SpectrumViewSettings& view = s.spectrum_settings;
        const float lowBefore = view.waterfallLevelLow;
        const float highBefore = view.waterfallLevelHigh;
        if (high) {
            view.waterfallLevelHigh += dbm;
            if (view.waterfallLevelLow > view.waterfallLevelHigh)
                view.waterfallLevelLow = view.waterfallLevelHigh;
        } else {
            view.waterfallLevelLow += dbm;
            if (view.waterfallLevelHigh < view.waterfallLevelLow)
                view.waterfallLevelHigh = view.waterfallLevelLow;
        }
        return view.waterfallLevelLow != lowBefore || view.waterfallLevelHigh != highBefore;
    });
    if (!moved)
        return;
    model_->band24.waterfallDirty = true;
    model_->band5.waterfallDirty = true;
}

void WaterfallThresholdAndTouchLayer::stepTimeScale(int steps) {
    int& index = model_->spectrum_settings.waterfallTimeScaleIndex;
    const int previous = index;
    if (!instrument_->set(SettingChange::kDisplay, index, std::clamp(previous + steps, 0, 2)))
        return;
    if (ScalingPopoverLayer* popover = findPopover()) {
        popover->horizontalSteps = 0;
        popover->verticalSteps = 3;
        popover->verticalNew = index;
        if (popover->getOpacity() == 0)
            popover->verticalOld = previous;
        popover->needsLayout = true;
        popover->touchHeld = true;
    }
}

void WaterfallThresholdAndTouchLayer::onTouchEnded(Touch* touch, engine::Event*) {
    auto it = std::find(touches_.begin(), touches_.end(), touch);
    if (it == touches_.end())
        return;
    touches_.erase(it);
    touch->release();
    if (touches_.size() < 2) {
        if (ScalingPopoverLayer* popover = findPopover())
            popover->touchHeld = false;
    }
    if (touches_.empty()) {
        touchMode_ = kNoTouch;
        model_->runtime.touchActive = false;
    }
}

// A cancelled pinch ends like a lifted one: the popover must not stay up for a gesture that is
// over.
void WaterfallThresholdAndTouchLayer::onTouchCancelled(Touch* touch, engine::Event* event) {
    onTouchEnded(touch, event);
}

ScalingPopoverLayer* WaterfallThresholdAndTouchLayer::findPopover() const {
    if (popover_)
        return popover_;
    engine::Scene* scene = getScene();
    if (!scene)
        return nullptr;
    for (engine::Node* child : scene->getChildren()) {
        if (auto* popover = dynamic_cast<ScalingPopoverLayer*>(child))
            return popover;
    }
    return nullptr;
}
