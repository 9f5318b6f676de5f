#include "views/power/PowerUIAndTouchLayer.h"

#include <algorithm>
#include <cmath>
#include <new>

#include "engine/2d/ActionInterval.h"
#include "engine/2d/DrawNode.h"
#include "engine/2d/Label.h"
#include "engine/2d/LayerColor.h"
#include "engine/2d/Scene.h"
#include "engine/2d/Sprite.h"
#include "engine/base/EventDispatcher.h"
#include "engine/base/EventListenerTouchOneByOne.h"
#include "engine/base/Touch.h"
#include "engine/renderer/Texture2D.h"
#include "engine/ui/Scale9Sprite.h"
#include "instrument/Instrument.h"
#include "model/PowerConversions.h"
#include "model/ScopedModelLocks.h"
#include "model/SpectrumSettings.h"
#include "model/TriggerPosition.h"
#include "model/ValueFormatting.h"
#include "views/spectrum/BubbleHandle.h"
#include "views/spectrum/ScaleWheel.h"
#include "views/spectrum/ScalingPopoverLayer.h"

using engine::Color3B;
using engine::Color4B;
using engine::Color4F;
using engine::Label;
using engine::Rect;
using engine::Size;
using engine::Sprite;
using engine::Touch;
using engine::Vec2;

namespace {

const char* const kFont = "fonts/roboto/Roboto-Regular.ttf";
const Color3B kCyan(0, 255, 255);
const Color3B kUnselectedGrey(192, 192, 192);
constexpr float kDivisions = 10.f;
constexpr float kGroundInsetLeft = 0.1857f;
constexpr float kGroundInsetRight = 0.0571f;
constexpr float kBubbleMove = 0.5f;  // s
// A quarter of the bubble image is a 64-point tab; half of that is enough to grab.
constexpr float kLevelHandleScale = 0.5f;

Color3B toColor(const uint8_t rgb[3]) {
    return Color3B(rgb[0], rgb[1], rgb[2]);
}

uint8_t opacity(float fade) {
    return static_cast<uint8_t>(std::clamp(fade, 0.f, 1.f) * 255.f);
}

std::string levelText(float dbm, bool watts) {
    if (!std::isfinite(dbm)) {
        return "--";
    }
    if (watts) {
        return formatThreeDigits(dbmToMilliwatts(dbm) * 0.001f) + "W";
    }
    return formatFixed2(dbm) + "dBm";
}

}  // namespace

// --- Construction ------------------------------------------------------------------------------

PowerUIAndTouchLayer* PowerUIAndTouchLayer::createWithModel(SpectrumSettings* model,
                                                            AccessoryControl* control) {
    if (!model) {
        return nullptr;
    }
    auto own = std::make_unique<Instrument>(*model, control);
    PowerUIAndTouchLayer* layer = createWithInstrument(own.get());
    if (layer) {
        layer->ownInstrument_ = std::move(own);
    }
    return layer;
}

PowerUIAndTouchLayer* PowerUIAndTouchLayer::createWithInstrument(Instrument* instrument) {
    auto* layer = new (std::nothrow) PowerUIAndTouchLayer();
    if (!layer || !instrument) {
        delete layer;
        return nullptr;
    }
    layer->instrument_ = instrument;
    layer->model_ = &instrument->model();
    if (layer->init()) {
        layer->autorelease();
        return layer;
    }
    delete layer;
    return nullptr;
}

PowerUIAndTouchLayer::~PowerUIAndTouchLayer() {
    unscheduleUpdate();
    for (Touch* touch : touches_) {
        touch->release();
    }
}

bool PowerUIAndTouchLayer::init() {
    if (!Layer::init() || !model_) {
        return false;
    }
    auto* listener = engine::EventListenerTouchOneByOne::create();
    listener->setSwallowTouches(false);
    listener->onTouchBegan = [this](Touch* t, engine::Event* e) { return onTouchBegan(t, e); };
    listener->onTouchMoved = [this](Touch* t, engine::Event* e) { onTouchMoved(t, e); };
    listener->onTouchEnded = [this](Touch* t, engine::Event* e) { onTouchEnded(t, e); };
    listener->onTouchCancelled = [this](Touch* t, engine::Event* e) { onTouchCancelled(t, e); };
    getEventDispatcher()->addEventListenerWithSceneGraphPriority(listener, this);
    // The wheel: a notch steps the time base, with Shift the amplitude; sent once it rests.
    ScaleWheel::attach(
        this,
        [this](int steps, bool amplitude) {
            if (model_->runtime.deviceConnected && touches_.empty())
                stepScalesBy(amplitude ? 0 : steps, amplitude ? steps : 0);
        },
        [this] {
            if (touches_.size() >= 2)
                return;
            if (ScalingPopoverLayer* popover = findPopover())
                popover->touchHeld = false;
            if (model_->runtime.deviceConnected)
                instrument_->commit(SettingChange::kPowerScales);
        });

    fontSize_ = model_->runtime.displayClass == 0 ? 14.f : 16.f;
    const engine::BlendFunc straight = engine::BlendFunc::ALPHA_NON_PREMULTIPLIED;

    levelBand_ = engine::DrawNode::create(1.f);
    if (!levelBand_) {
        return false;
    }
    addChild(levelBand_);
    for (Sprite** sprite : {&levelHandle_, &levelGhost_}) {
        *sprite = Sprite::create(kBubbleImage);
        if (*sprite) {
            (*sprite)->setBlendFunc(straight);
            (*sprite)->setScale(kLevelHandleScale);
            addChild(*sprite);
        }
    }
    for (Sprite** sprite : {&delayHandle_, &delayGhost_}) {
        *sprite = Sprite::create(kDelayImage);
        if (*sprite) {
            (*sprite)->setBlendFunc(straight);
            addChild(*sprite);
        }
    }
    // The sideways icon shows the half of its image that points left.
    delaySideways_ = Sprite::create(kDelaySidewaysImage);
    if (delaySideways_) {
        const Size image = delaySideways_->getTexture()->getContentSize();
        delaySideways_->setTextureRect(Rect(0, 0, image.width * 0.5f, image.height));
        delaySideways_->setBlendFunc(straight);
        addChild(delaySideways_);
    }
    for (int t = 0; t < 2; ++t) {
        auto* handle = engine::ui::Scale9Sprite::create(kGroundImage);
        if (!handle) {
            continue;
        }
        handle->setScale9Enabled(true);
        handle->setInsetFractions(kGroundInsetLeft, kGroundInsetRight, 0.f, 0.f);
        handle->setBlendFunc(straight);
        handle->setAnchorPoint(Vec2(0.f, 0.5f));
        Label* label = Label::createWithTTF(groundText(t), kFont, fontSize_ - 2.f);
        if (label) {
            label->setTextColor(Color4B(0, 0, 0, 255));
            label->setAnchorPoint(Vec2(0.f, 0.5f));
            handle->addChild(label);
            const Size image = handle->getOriginalSize();
            handle->setContentSize(Size(label->getContentSize().width +
                                            image.width * (kGroundInsetLeft + kGroundInsetRight) +
                                            4.f,
                                        image.height));
            label->setPosition(image.width * kGroundInsetLeft + 2.f, image.height * 0.5f);
        }
        groundHandles_[t] = handle;
        groundLabels_[t] = label;
        addChild(handle);
    }
    levelLabel_ = Label::createWithTTF("-00000.00dBm", kFont, fontSize_);
    bubble_ = engine::LayerColor::create(Color4B(26, 26, 26, 140));
    bubbleLabel_ = Label::createWithTTF("0.00s", kFont, fontSize_);
    if (!levelLabel_ || !bubble_ || !bubbleLabel_) {
        return false;
    }
    levelLabel_->setAnchorPoint(Vec2(1.f, 0.5f));
    levelLabel_->setOpacity(0);
    addChild(levelLabel_);
    bubble_->setCascadeOpacityEnabled(true);
    bubble_->setOpacity(0);
    bubble_->setVisible(false);
    bubbleLabel_->setAnchorPoint(Vec2(0.5f, 0.5f));
    bubble_->addChild(bubbleLabel_);
    addChild(bubble_);
    return true;
}

void PowerUIAndTouchLayer::onEnter() {
    Layer::onEnter();
    scheduleUpdate();
}

void PowerUIAndTouchLayer::onExit() {
    releaseTouches();
    unscheduleUpdate();
    Layer::onExit();
}

// Handles, bands and the panel follow the model here rather than in draw(): a frame is drawn
// only when one of them actually moved or changed its text, or while a gesture or fade runs.
void PowerUIAndTouchLayer::update(float dt) {
    lastDelta_ = dt;
    refreshAll();
    if (isAnimating())
        markStale();
}

bool PowerUIAndTouchLayer::isAnimating() const {
    return touchMode_ != kNoTouch || levelGhostFade_ > 0.f || delayGhostFade_ > 0.f ||
           bubbleFade_ > 0.f || (bubble_ && bubble_->getNumberOfRunningActions() > 0);
}

// --- Per-trace accessors -----------------------------------------------------------------------

bool PowerUIAndTouchLayer::traceShown(int t) const {
    if (t == 0) {
        return model_->power_channel.shown != 0;
    }
    return t == 1 && model_->reference_channel.shown != 0;
}

float PowerUIAndTouchLayer::traceOffset(int t) const {
    const float offset = t == 0   ? model_->power_channel.offset
                         : t == 1 ? model_->reference_channel.offset
                                  : 0.f;
    return std::isfinite(offset) ? offset : 0.f;
}

void PowerUIAndTouchLayer::setTraceOffset(int t, float offset) {
    if (t == 0) {
        instrument_->set(SettingChange::kDisplay, model_->power_channel.offset, offset);
    } else if (t == 1) {
        instrument_->set(SettingChange::kDisplay, model_->reference_channel.offset, offset);
    }
}

Color3B PowerUIAndTouchLayer::traceColor(int t) const {
    if (t == 0) {
        return toColor(model_->power_channel.color);
    }
    return t == 1 ? toColor(model_->reference_channel.color) : Color3B::BLACK;
}

std::string PowerUIAndTouchLayer::groundText(int t) {
    return t == 0 ? "RF" : t == 1 ? "REF: RF" : "";
}

engine::ui::Scale9Sprite* PowerUIAndTouchLayer::getGroundHandle(int t) const {
    return t == 0 || t == 1 ? groundHandles_[t] : nullptr;
}

// --- Geometry ----------------------------------------------------------------------------------

bool PowerUIAndTouchLayer::held() const {
    const int run = model_->runtime.runState;
    return run == SpectrumSettings::kPaused || run == SpectrumSettings::kSingleShotTaken;
}

float PowerUIAndTouchLayer::secondsPerDivision() const {
    const float t = model_->timeBaseNow();
    return t > 0.f && std::isfinite(t) ? t : 1.f / kDivisions;  // a 1 s view without a time base
}

float PowerUIAndTouchLayer::levelY(float level) const {
    const AccessoryDescription& a = model_->accessory;
    const float scale = _contentSize.height / (a.powerAxisMax - a.powerAxisMin);
    return scale * (level - (a.powerAxisMin + model_->amplitudeOffset())) + traceOffset(0);
}

float PowerUIAndTouchLayer::delayX(float delay) const {
    return TriggerPosition::x(_contentSize.width, secondsPerDivision(), delay);
}

// --- Touches -----------------------------------------------------------------------------------

bool PowerUIAndTouchLayer::onTouchBegan(Touch* touch, engine::Event*) {
    if (getNumberOfRunningActions() > 0) {
        return false;
    }
    const Vec2 at = convertTouchToNodeSpace(touch);
    if (at.x < 0 || at.y < 0 || at.x > _contentSize.width || at.y > _contentSize.height) {
        return false;
    }
    touch->retain();
    touches_.push_back(touch);
    const size_t n = touches_.size();
    const bool connected = model_->runtime.deviceConnected;
    const bool rolling = model_->isRolling();
    if (n == 1) {
        // Ground handles first (the selected one, then any shown one), but the level handle
        // wins where they overlap; then the cursors; then the delay anywhere else.
        int ground = -1;
        const int selected = model_->power_setting.selectedTrace;
        for (int t : {selected, 0, 1}) {
            if ((t == 0 || t == 1) && traceShown(t) && groundHandles_[t] &&
                groundHandles_[t]->getBoundingBox().containsPoint(at)) {
                ground = t;
                break;
            }
        }
        if (connected && !rolling && model_->power_setting.triggerOnPower && levelHandle_ &&
            levelHandle_->isVisible() && levelHandle_->getBoundingBox().containsPoint(at)) {
            touchMode_ = kLevel;
            draggedLevel_ = model_->power_setting.triggerLevel;
        } else if (ground >= 0) {
            touchMode_ = kGround;
            instrument_->set(SettingChange::kDisplay, model_->power_setting.selectedTrace,
                             int32_t{ground});
        } else if (cursorHandleTest_ && cursorHandleTest_(touch->getLocation())) {
            touchMode_ = kNoTouch;
        } else if (connected && (held() || !rolling)) {
            touchMode_ = kDelay;
            draggedDelay_ = model_->power_setting.triggerDelay;
        } else {
            touchMode_ = kNoTouch;
        }
        model_->runtime.touchActive = touchMode_ != kNoTouch;
    } else if (n == 2 && connected) {
        touchMode_ = kPinch;
        pinchHorizontal_ = 0;
        pinchVertical_ = 0;
        model_->runtime.touchActive = true;
    }
    if (held() && n <= 2 && touchMode_ != kNoTouch) {
        fillCaptureRecord();
    }
    if (!connected) {
        model_->runtime.captureRescale = false;
    }
    return true;
}

void PowerUIAndTouchLayer::fillCaptureRecord() {
    RuntimeState& run = model_->runtime;
    if (run.captureRescale) {
        return;
    }
    ScopedModelLocks lock(*model_, ScopedModelLocks::kTrace);
    const PowerSettings& power = model_->power_setting;
    run.captureDelay = run.viewDelay = power.triggerDelay;
    run.captureAmplitudeIndex = run.viewAmplitudeIndex = power.powerAmplitudeIndex;
    run.captureTimeBaseIndex = run.viewTimeBaseIndex = power.powerTimeBaseIndex;
    run.captureRescale = true;
}

void PowerUIAndTouchLayer::onTouchMoved(Touch* touch, engine::Event*) {
    if (std::find(touches_.begin(), touches_.end(), touch) == touches_.end()) {
        return;
    }
    const float w = _contentSize.width;
    const float h = _contentSize.height;
    if (touches_.size() == 1) {
        const Vec2 d = convertToNodeSpace(touch->getLocation()) -
                       convertToNodeSpace(touch->getPreviousLocation());
        if (touchMode_ == kGround) {
            const int t = model_->power_setting.selectedTrace == 1 ? 1 : 0;
            const float handleHeight =
                groundHandles_[t] ? groundHandles_[t]->getContentSize().height : 0.f;
            const float top = std::max(0.f, h - handleHeight / 2.f);
            setTraceOffset(t, std::clamp(traceOffset(t) + d.y, 0.f, top));
        } else if (touchMode_ == kLevel) {
            const AccessoryDescription& a = model_->accessory;
            const float factor = (a.powerAxisMax - a.powerAxisMin) / h;
            if (std::isfinite(factor)) {
                draggedLevel_ += d.y * factor;
            }
        } else if (touchMode_ == kDelay) {
            const float change = TriggerPosition::delayForShift(w, secondsPerDivision(), d.x);
            if (std::isfinite(change)) {
                draggedDelay_ += change;
            }
            // The accessory can place the trigger point anywhere on screen and nowhere else.
            draggedDelay_ = TriggerPosition::clampDelay(draggedDelay_, secondsPerDivision());
        }
    } else if (touches_.size() == 2 && touchMode_ == kPinch) {
        Touch* a = touches_[0];
        Touch* b = touches_[1];
        const Vec2 da = a->getLocation() - a->getPreviousLocation();
        const Vec2 db = b->getLocation() - b->getPreviousLocation();
        const Vec2 before = a->getPreviousLocation() - b->getPreviousLocation();
        const Vec2 now = a->getLocation() - b->getLocation();
        const bool spreading =
            before.x * before.x + before.y * before.y < now.x * now.x + now.y * now.y;
        pinchHorizontal_ += std::fabs(da.x) + std::fabs(db.x);
        pinchVertical_ += std::fabs(da.y) + std::fabs(db.y);
        stepScales(spreading);
    }
    if (held() && touches_.size() <= 2 && touchMode_ != kNoTouch) {
        fillCaptureRecord();
        ScopedModelLocks lock(*model_, ScopedModelLocks::kTrace);
        RuntimeState& run = model_->runtime;
        if (touchMode_ == kDelay) {
            run.viewDelay = draggedDelay_;
        } else if (touchMode_ == kPinch) {
            run.viewTimeBaseIndex = model_->power_setting.powerTimeBaseIndex;
            run.viewAmplitudeIndex = model_->power_setting.powerAmplitudeIndex;
        }
    }
}

void PowerUIAndTouchLayer::stepScales(bool spreading) {
    int time = 0, amplitude = 0;
    if (pinchHorizontal_ >= kPinchStep) {
        pinchHorizontal_ = 0;
        time = spreading ? 1 : -1;
    }
    if (pinchVertical_ >= kPinchStep) {
        pinchVertical_ = 0;
        amplitude = spreading ? 1 : -1;
    }
    stepScalesBy(time, amplitude);
}

void PowerUIAndTouchLayer::stepScalesBy(int timeSteps, int amplitudeSteps) {
    const int oldTime = model_->clampedTimeBaseIndex();
    const int oldAmplitude = model_->clampedAmplitudeIndex();
    // Sent once the gesture (or the wheel) rests.
    const bool changed =
        instrument_->stageEdit(SettingChange::kPowerScales, [&](SpectrumSettings& m) {
            bool stepped = false;
            for (; timeSteps > 0; --timeSteps)
                stepped |= m.stepTimeBaseUp();
            for (; timeSteps < 0; ++timeSteps)
                stepped |= m.stepTimeBaseDown();
            for (; amplitudeSteps > 0; --amplitudeSteps)
                stepped |= m.stepAmplitudeUp();
            for (; amplitudeSteps < 0; ++amplitudeSteps)
                stepped |= m.stepAmplitudeDown();
            return stepped;
        });
    ScalingPopoverLayer* popover = changed ? findPopover() : nullptr;
    if (!popover) {
        return;
    }
    const int times = static_cast<int>(model_->accessory.powerTimeBases.size());
    const int amplitudes = static_cast<int>(model_->accessory.powerAmplitudes.size());
    popover->horizontalSteps = times < 2 ? 0 : times;
    popover->horizontalNew = model_->clampedTimeBaseIndex();
    popover->verticalSteps = amplitudes < 2 ? 0 : amplitudes;
    popover->verticalNew = model_->clampedAmplitudeIndex();
    if (popover->getOpacity() == 0) {
        popover->horizontalOld = oldTime;
        popover->verticalOld = oldAmplitude;
    }
    popover->powerTimeValue = model_->timeBaseNow();
    popover->needsLayout = true;
    popover->touchHeld = true;
}

void PowerUIAndTouchLayer::onTouchEnded(Touch* touch, engine::Event*) {
    auto it = std::find(touches_.begin(), touches_.end(), touch);
    if (it == touches_.end()) {
        return;
    }
    if (touchMode_ == kLevel && touches_.size() == 1) {
        instrument_->stage(SettingChange::kTriggerLevelHandle, model_->power_setting.triggerLevel,
                           draggedLevel_);
        instrument_->runControl().rearmTakenShot();
        instrument_->commit(SettingChange::kTriggerLevelHandle);
    } else if (touchMode_ == kDelay && touches_.size() == 1) {
        instrument_->stage(SettingChange::kTriggerDelayHandle, model_->power_setting.triggerDelay,
                           draggedDelay_);
        instrument_->commit(SettingChange::kTriggerDelayHandle);
    }
    touches_.erase(it);
    touch->release();
    if (touches_.size() < 2) {
        if (ScalingPopoverLayer* popover = findPopover()) {
            popover->touchHeld = false;
        }
    }
    if (touches_.empty()) {
        const bool pinched = touchMode_ == kPinch;
        touchMode_ = kNoTouch;
        model_->runtime.touchActive = false;
        if (pinched) {
            instrument_->commit(SettingChange::kPowerScales);
        }
    }
}

void PowerUIAndTouchLayer::onTouchCancelled(Touch* touch, engine::Event*) {
    auto it = std::find(touches_.begin(), touches_.end(), touch);
    if (it == touches_.end()) {
        return;
    }
    touches_.erase(it);
    touch->release();
    if (touches_.size() < 2) {
        if (ScalingPopoverLayer* popover = findPopover()) {
            popover->touchHeld = false;
        }
    }
    if (touches_.empty()) {
        touchMode_ = kNoTouch;
        model_->runtime.touchActive = false;
    }
}

void PowerUIAndTouchLayer::releaseTouches() {
    for (Touch* touch : touches_) {
        touch->release();
    }
    touches_.clear();
    if (touchMode_ != kNoTouch) {
        model_->runtime.touchActive = false;
    }
    touchMode_ = kNoTouch;
}

ScalingPopoverLayer* PowerUIAndTouchLayer::findPopover() const {
    if (popover_) {
        return popover_;
    }
    engine::Scene* scene = getScene();
    if (!scene) {
        return nullptr;
    }
    for (engine::Node* child : scene->getChildren()) {
        if (auto* popover = dynamic_cast<ScalingPopoverLayer*>(child)) {
            return popover;
        }
    }
    return nullptr;
}

// --- Per-frame refresh -------------------------------------------------------------------------

void PowerUIAndTouchLayer::refreshAll() {
    levelBand_->clear();
    refreshLevelHandle();
    refreshDelayHandle();
    refreshGroundHandles();
    refreshPanel();
}

void PowerUIAndTouchLayer::refreshLevelHandle() {
    const float w = _contentSize.width;
    const float h = _contentSize.height;
    const bool shown = !model_->isRolling() && model_->power_setting.triggerOnPower;
    if (touchMode_ == kLevel) {
        levelGhostFade_ = 1.f;
    } else {
        levelGhostFade_ = std::max(0.f, levelGhostFade_ - lastDelta_);
    }
    const bool connected = model_->runtime.deviceConnected;
    const float y = levelY(model_->power_setting.triggerLevel + model_->amplitudeOffset());
    const bool usable = shown && std::isfinite(y);
    if (levelHandle_) {
        levelHandle_->setVisible(usable);
        if (usable) {
            BubbleHandle::place(levelHandle_, y, w, h);
            levelHandle_->setColor(connected ? toColor(model_->power_channel.color)
                                             : Color3B::WHITE);
        }
    }
    const float ghostY = levelY(draggedLevel_ + model_->amplitudeOffset());
    const bool ghost = usable && levelGhostFade_ > 0.f && std::isfinite(ghostY);
    if (levelGhost_) {
        levelGhost_->setVisible(ghost);
        if (ghost) {
            BubbleHandle::place(levelGhost_, ghostY, w, h);
            levelGhost_->setOpacity(opacity(levelGhostFade_));
        }
    }
    levelLabel_->setVisible(ghost);
    if (!ghost) {
        return;
    }
    const bool watts = model_->common_settings.powerUnitsWatts != 0;
    levelLabel_->setString(levelText(draggedLevel_ + model_->amplitudeOffset(), watts));
    levelLabel_->setOpacity(opacity(levelGhostFade_));
    const float handleWidth = levelGhost_ ? levelGhost_->getBoundingBox().size.width : 0.f;
    const float labelY = std::clamp(ghostY, levelLabel_->getContentSize().height * 0.5f,
                                    h - levelLabel_->getContentSize().height * 0.5f);
    levelLabel_->setPosition(w - handleWidth - 4.f, labelY);
    const Size size = levelLabel_->getContentSize();
    levelBand_->drawSolidRect(Vec2(w - handleWidth - 8.f - size.width, labelY - size.height * 0.5f),
                              Vec2(w - handleWidth, labelY + size.height * 0.5f),
                              Color4F(0.1f, 0.1f, 0.1f, 0.55f * levelGhostFade_));
}

void PowerUIAndTouchLayer::refreshDelayHandle() {
    const float w = _contentSize.width;
    const float h = _contentSize.height;
    const bool shown = held() || !model_->isRolling();
    if (touchMode_ == kDelay) {
        delayGhostFade_ = 1.f;
        bubbleFade_ = std::min(1.f, bubbleFade_ + 2.f * lastDelta_);
    } else {
        delayGhostFade_ = std::max(0.f, delayGhostFade_ - 2.f * lastDelta_);
        bubbleFade_ = std::max(0.f, bubbleFade_ - 2.f * lastDelta_);
    }
    const Color3B colour = model_->runtime.deviceConnected ? kCyan : Color3B::WHITE;
    const float x = delayX(model_->power_setting.triggerDelay);
    const bool usable = shown && std::isfinite(x);
    // Left of the view the handle lies on its side at the left edge; right of it, it stays
    // upright at the right edge.
    if (delayHandle_) {
        delayHandle_->setVisible(usable && x >= 0.f);
        delayHandle_->setColor(colour);
        delayHandle_->setAnchorPoint(x > w ? Vec2(1.f, 1.f) : Vec2(0.5f, 1.f));
        delayHandle_->setPosition(std::min(x, w), h);
    }
    if (delaySideways_) {
        delaySideways_->setVisible(usable && x < 0.f);
        delaySideways_->setColor(colour);
        delaySideways_->setAnchorPoint(Vec2(0.f, 0.5f));
        delaySideways_->setPosition(0.f, h - delaySideways_->getContentSize().height * 0.5f);
    }
    const float ghostX = delayX(draggedDelay_);
    const bool ghost = usable && delayGhostFade_ > 0.f && std::isfinite(ghostX);
    if (delayGhost_) {
        delayGhost_->setVisible(ghost);
        delayGhost_->setOpacity(opacity(delayGhostFade_));
        delayGhost_->setAnchorPoint(Vec2(0.5f, 1.f));
        delayGhost_->setPosition(std::clamp(ghostX, 0.f, w), h);
    }

    const bool bubble = shown && (touchMode_ == kDelay || bubbleFade_ > 0.f);
    bubble_->setVisible(bubble);
    if (!bubble) {
        bubbleTarget_ = Vec2(-1.f, -1.f);
        return;
    }
    bubbleLabel_->setString(std::isfinite(draggedDelay_) ? formatThreeDigits(draggedDelay_) + "s"
                                                         : std::string("--"));
    bubbleLabel_->setTextColor(touchMode_ == kDelay ? Color4B(0, 255, 255, 255)
                                                    : Color4B(255, 255, 255, 255));
    const Size text = bubbleLabel_->getContentSize();
    const Size size(text.width + 12.f, text.height + 6.f);
    bubble_->setContentSize(size);
    bubbleLabel_->setPosition(size.width * 0.5f, size.height * 0.5f);
    bubble_->setOpacity(opacity(bubbleFade_));
    const float iconWidth = delayHandle_ ? delayHandle_->getContentSize().width : 0.f;
    const float handleX = std::clamp(ghostX, 0.f, w);
    // The bubble sits on the side of the marker that faces the middle of the view.
    const float bx = draggedDelay_ < 0.f ? handleX + iconWidth * 0.5f + 2.f
                                         : handleX - iconWidth * 0.5f - 2.f - size.width;
    const Vec2 target(std::clamp(bx, 0.f, std::max(0.f, w - size.width)), h - size.height - 2.f);
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

void PowerUIAndTouchLayer::refreshGroundHandles() {
    const int selected = model_->power_setting.selectedTrace;
    for (int t = 0; t < 2; ++t) {
        engine::ui::Scale9Sprite* handle = groundHandles_[t];
        if (!handle) {
            continue;
        }
        handle->setVisible(traceShown(t));
        handle->setColor(t == selected ? traceColor(t) : kUnselectedGrey);
        const float half = handle->getContentSize().height * 0.5f;
        handle->setPosition(0.f, traceOffset(t) + half);
    }
}

void PowerUIAndTouchLayer::refreshPanel() {
    const float groundWidth = groundHandles_[0] ? groundHandles_[0]->getContentSize().width : 0.f;
    panel_.refresh(*this, *model_, fontSize_, groundWidth + 8.f, _contentSize.height - 40.f);
}

void PowerUIAndTouchLayer::visit(engine::Renderer* renderer, const engine::Mat4& parentTransform,
                                 uint32_t parentFlags) {
    if (!_visible) {
        return;
    }
    clip_.begin(renderer, _globalZOrder, Rect(_position, _contentSize));
    Layer::visit(renderer, parentTransform, parentFlags);
    clip_.end(renderer, _globalZOrder);
}
