#include "views/power/PowerUIAndTouchLayer.h"

#include <algorithm>
#include <new>

#include "engine/2d/LayerColor.h"
#include "engine/2d/Scene.h"
#include "engine/base/EventDispatcher.h"
#include "engine/base/EventListenerTouchOneByOne.h"
#include "engine/base/Touch.h"
#include "engine/ui/Scale9Sprite.h"
#include "instrument/Instrument.h"
#include "model/SpectrumSettings.h"
#include "views/power/PowerViewScale.h"
#include "views/spectrum/ScaleWheel.h"
#include "views/spectrum/ScalingPopoverLayer.h"

using engine::Rect;
using engine::Touch;
using engine::Vec2;

// --- Construction ------------------------------------------------------------------------------

PowerUIAndTouchLayer::PowerUIAndTouchLayer(Instrument& instrument)
    : instrument_(instrument),
      model_(instrument.model()),
      level_(instrument),
      delay_(instrument),
      grounds_(instrument),
      scales_(instrument),
      rescale_(instrument.model()) {}

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
    if (!instrument) {
        return nullptr;
    }
    auto* layer = new (std::nothrow) PowerUIAndTouchLayer(*instrument);
    if (layer && layer->init()) {
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
    if (!Layer::init()) {
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
            if (model_.runtime.deviceConnected && touches_.empty())
                stepScalesBy(amplitude ? 0 : steps, amplitude ? steps : 0);
        },
        [this] {
            if (touches_.size() >= 2)
                return;
            if (ScalingPopoverLayer* popover = findPopover())
                popover->touchHeld = false;
            if (model_.runtime.deviceConnected)
                scales_.release();
        });

    fontSize_ = model_.runtime.displayClass == 0 ? 14.f : 16.f;
    // Children in drawing order: the level's band and bubbles, the delay markers, the ground
    // handles, then the level's value and the delay's bubble over them.
    if (!level_.addHandles(this)) {
        return false;
    }
    delay_.addHandles(this);
    grounds_.add(this, fontSize_);
    return level_.addLabel(this, fontSize_) && delay_.addBubble(this, fontSize_);
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
    return touchMode_ != kNoTouch || level_.isFading() || delay_.isFading();
}

// --- Per-trace accessors -----------------------------------------------------------------------

bool PowerUIAndTouchLayer::traceShown(int t) const {
    return grounds_.traceShown(t);
}

float PowerUIAndTouchLayer::traceOffset(int t) const {
    return grounds_.traceOffset(t);
}

void PowerUIAndTouchLayer::setTraceOffset(int t, float offset) {
    grounds_.setTraceOffset(t, offset);
}

engine::Color3B PowerUIAndTouchLayer::traceColor(int t) const {
    return grounds_.traceColor(t);
}

std::string PowerUIAndTouchLayer::groundText(int t) {
    return PowerGroundHandles::groundText(t);
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
    const bool connected = model_.runtime.deviceConnected;
    if (n == 1) {
        // Ground handles first (the selected one, then any shown one), but the level handle
        // wins where they overlap; then the cursors; then the delay anywhere else.
        const int ground = grounds_.grab(at);
        if (level_.grabs(at)) {
            touchMode_ = kLevel;
            level_.begin();
        } else if (ground >= 0) {
            touchMode_ = kGround;
            instrument_.set(SettingChange::kDisplay, model_.power_setting.selectedTrace,
                            int32_t{ground});
        } else if (cursorHandleTest_ && cursorHandleTest_(touch->getLocation())) {
            touchMode_ = kNoTouch;
        } else if (delay_.usable()) {
            touchMode_ = kDelay;
            delay_.begin();
        } else {
            touchMode_ = kNoTouch;
        }
        model_.runtime.touchActive = touchMode_ != kNoTouch;
    } else if (n == 2 && connected) {
        touchMode_ = kPinch;
        scales_.begin();
        model_.runtime.touchActive = true;
    }
    if (PowerViewScale::held(model_) && n <= 2 && touchMode_ != kNoTouch) {
        rescale_.record();
    }
    if (!connected) {
        rescale_.forget();
    }
    return true;
}

void PowerUIAndTouchLayer::onTouchMoved(Touch* touch, engine::Event*) {
    if (std::find(touches_.begin(), touches_.end(), touch) == touches_.end()) {
        return;
    }
    if (touches_.size() == 1) {
        const Vec2 d = convertToNodeSpace(touch->getLocation()) -
                       convertToNodeSpace(touch->getPreviousLocation());
        if (touchMode_ == kGround) {
            grounds_.dragBy(d.y, _contentSize.height);
        } else if (touchMode_ == kLevel) {
            level_.dragBy(d.y, _contentSize.height);
        } else if (touchMode_ == kDelay) {
            delay_.dragBy(d.x, _contentSize.width);
        }
    } else if (touches_.size() == 2 && touchMode_ == kPinch) {
        scales_.pinchMoved(*touches_[0], *touches_[1], [this] { return findPopover(); });
    }
    if (PowerViewScale::held(model_) && touches_.size() <= 2 && touchMode_ != kNoTouch) {
        rescale_.record();
        if (touchMode_ == kDelay) {
            rescale_.followDelay(delay_.dragged());
        } else if (touchMode_ == kPinch) {
            rescale_.followScales();
        }
    }
}

void PowerUIAndTouchLayer::stepScalesBy(int timeSteps, int amplitudeSteps) {
    scales_.stepBy(timeSteps, amplitudeSteps, [this] { return findPopover(); });
}

void PowerUIAndTouchLayer::onTouchEnded(Touch* touch, engine::Event*) {
    auto it = std::find(touches_.begin(), touches_.end(), touch);
    if (it == touches_.end()) {
        return;
    }
    if (touchMode_ == kLevel && touches_.size() == 1) {
        level_.release();
    } else if (touchMode_ == kDelay && touches_.size() == 1) {
        delay_.release();
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
        model_.runtime.touchActive = false;
        if (pinched) {
            scales_.release();
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
        model_.runtime.touchActive = false;
    }
}

void PowerUIAndTouchLayer::releaseTouches() {
    for (Touch* touch : touches_) {
        touch->release();
    }
    touches_.clear();
    if (touchMode_ != kNoTouch) {
        model_.runtime.touchActive = false;
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

// --- Keys --------------------------------------------------------------------------------------

bool PowerUIAndTouchLayer::nudgeTriggerLevel(int steps) {
    if (!touches_.empty() || !level_.nudge(steps))
        return false;
    refreshAll();
    return true;
}

bool PowerUIAndTouchLayer::nudgeTriggerDelay(int steps) {
    if (!touches_.empty() || !delay_.nudge(steps))
        return false;
    refreshAll();
    return true;
}

// --- Per-frame refresh -------------------------------------------------------------------------

void PowerUIAndTouchLayer::refreshAll() {
    level_.refresh(_contentSize, touchMode_ == kLevel, lastDelta_);
    delay_.refresh(_contentSize, touchMode_ == kDelay, lastDelta_);
    grounds_.refresh();
    const engine::ui::Scale9Sprite* ground = grounds_.handle(0);
    const float groundWidth = ground ? ground->getContentSize().width : 0.f;
    panel_.refresh(*this, model_, fontSize_, groundWidth + 8.f, _contentSize.height - 40.f);
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
