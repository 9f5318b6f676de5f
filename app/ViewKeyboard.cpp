#include "app/ViewKeyboard.h"

#include <algorithm>

#include "app/MainScene.h"
#include "engine/2d/DrawNode.h"
#include "engine/2d/Sprite.h"
#include "engine/ui/Button.h"
#include "instrument/Instrument.h"
#include "model/ChannelPlans.h"
#include "model/SpectrumSettings.h"
#include "views/power/PowerUIAndTouchLayer.h"
#include "views/spectrum/ChannelGuideLayer.h"
#include "views/spectrum/WaterfallThresholdAndTouchLayer.h"

using K = engine::EventKeyboard::KeyCode;
using engine::Vec2;

namespace {

constexpr float kThresholdStepDb = 1.f;

}  // namespace

bool ViewKeyboard::keyPressed(engine::EventKeyboard::KeyCode key, int modifiers) {
    const bool shift = (modifiers & engine::EventKeyboard::kShift) != 0;
    const bool used = guideKey(key) || handleKey(key, shift) || zoomKey(key, shift);
    showRing();
    return used;
}

bool ViewKeyboard::guideKey(engine::EventKeyboard::KeyCode key) {
    auto* guide = dynamic_cast<ChannelGuideLayer*>(scene_.getViewLayer(ViewLayer::kChannelGuide));
    if (!guide) {
        guideRing_ = -1;
        return false;
    }
    SpectrumViewSettings& view = scene_.getModel()->spectrum_settings;
    const bool expanded = view.channelGuideState != 0;
    switch (key) {
        case K::KEY_G:
            if (ChannelPlans::activePlan(view) == 0)
                return false;
            // As the expand icon does.
            scene_.getInstrument().set(SettingChange::kDisplay, view.channelGuideState,
                                       static_cast<uint8_t>(expanded ? 0 : 1));
            guide->setSelectedChannel(-1);
            guideRing_ = -1;
            return true;
        case K::KEY_COMMA:
        case K::KEY_PERIOD: {
            if (!expanded)
                return false;
            guide->refresh();  // the buttons of the current plan
            const int direction = key == K::KEY_PERIOD ? 1 : -1;
            const auto& buttons = guide->getChannelButtons();
            if (guide->getSelectedChannel() >= 0) {
                // With a channel chosen the guide shows only it: the neighbours come from the
                // channels seen while the guide showed them all.
                const auto at = std::find(channelTags_.begin(), channelTags_.end(),
                                          guide->getSelectedChannel());
                if (at != channelTags_.end()) {
                    const long index = std::clamp<long>(at - channelTags_.begin() + direction, 0,
                                                        static_cast<long>(channelTags_.size()) - 1);
                    guide->setSelectedChannel(channelTags_[static_cast<size_t>(index)]);
                }
                return true;
            }
            channelTags_.clear();
            for (const engine::ui::Button* button : buttons)
                channelTags_.push_back(button->getTag());
            const int count = static_cast<int>(buttons.size());
            if (count == 0)
                return true;
            guideRing_ = guideRing_ < 0 ? (direction > 0 ? 0 : count - 1)
                                        : std::clamp(guideRing_ + direction, 0, count - 1);
            return true;
        }
        case K::KEY_ENTER:
            if (!expanded || guideRing_ < 0 ||
                guideRing_ >= static_cast<int>(guide->getChannelButtons().size()))
                return false;
            guide->setSelectedChannel(guide->getChannelButtons()[guideRing_]->getTag());
            guideRing_ = -1;
            return true;
        case K::KEY_ESCAPE:
            if (guide->getSelectedChannel() >= 0) {
                guide->popoverClosed();
                return true;
            }
            if (guideRing_ >= 0) {
                guideRing_ = -1;
                return true;
            }
            return false;
        default:
            return false;
    }
}

void ViewKeyboard::nextHandle() {
    if (scene_.getViewLayer(ViewLayer::kWaterfallTouch)) {
        handle_ = handle_ == kHighThreshold  ? kLowThreshold
                  : handle_ == kLowThreshold ? kNoHandle
                                             : kHighThreshold;
    } else if (scene_.getViewLayer(ViewLayer::kPowerTouch)) {
        handle_ = handle_ == kTriggerLevel   ? kTriggerDelay
                  : handle_ == kTriggerDelay ? kNoHandle
                                             : kTriggerLevel;
    } else {
        handle_ = kNoHandle;
    }
}

bool ViewKeyboard::handleKey(engine::EventKeyboard::KeyCode key, bool shift) {
    auto* waterfall = dynamic_cast<WaterfallThresholdAndTouchLayer*>(
        scene_.getViewLayer(ViewLayer::kWaterfallTouch));
    auto* power = dynamic_cast<PowerUIAndTouchLayer*>(scene_.getViewLayer(ViewLayer::kPowerTouch));
    // A handle of a view that is gone (the mode changed) is no longer ringed.
    if ((handle_ == kHighThreshold || handle_ == kLowThreshold) && !waterfall)
        handle_ = kNoHandle;
    if ((handle_ == kTriggerLevel || handle_ == kTriggerDelay) && !power)
        handle_ = kNoHandle;
    if (key == K::KEY_H) {
        nextHandle();
        return waterfall || power;
    }
    if (key == K::KEY_ESCAPE && handle_ != kNoHandle) {
        handle_ = kNoHandle;
        return true;
    }
    if ((key != K::KEY_PLUS && key != K::KEY_MINUS) || handle_ == kNoHandle)
        return false;
    const int steps = (key == K::KEY_PLUS ? 1 : -1) * (shift ? 10 : 1);
    switch (handle_) {
        case kHighThreshold:
        case kLowThreshold:
            waterfall->moveThreshold(handle_ == kHighThreshold, steps * kThresholdStepDb);
            break;
        case kTriggerLevel:
            power->nudgeTriggerLevel(steps);
            break;
        case kTriggerDelay:
            power->nudgeTriggerDelay(steps);
            break;
        default:
            break;
    }
    return true;
}

bool ViewKeyboard::zoomKey(engine::EventKeyboard::KeyCode key, bool shift) {
    if (key != K::KEY_LEFT_BRACKET && key != K::KEY_RIGHT_BRACKET)
        return false;
    const int steps = key == K::KEY_RIGHT_BRACKET ? 1 : -1;
    if (auto* waterfall = dynamic_cast<WaterfallThresholdAndTouchLayer*>(
            scene_.getViewLayer(ViewLayer::kWaterfallTouch))) {
        waterfall->stepTimeScale(steps);
        return true;
    }
    if (auto* power =
            dynamic_cast<PowerUIAndTouchLayer*>(scene_.getViewLayer(ViewLayer::kPowerTouch))) {
        if (scene_.getModel()->runtime.deviceConnected)
            power->stepScalesBy(shift ? 0 : steps, shift ? steps : 0);
        return true;
    }
    return false;
}

engine::Node* ViewKeyboard::ringedNode() const {
    if (guideRing_ >= 0) {
        auto* guide =
            dynamic_cast<ChannelGuideLayer*>(scene_.getViewLayer(ViewLayer::kChannelGuide));
        if (guide && guideRing_ < static_cast<int>(guide->getChannelButtons().size()))
            return guide->getChannelButtons()[guideRing_];
        return nullptr;
    }
    if (auto* waterfall = dynamic_cast<WaterfallThresholdAndTouchLayer*>(
            scene_.getViewLayer(ViewLayer::kWaterfallTouch))) {
        if (handle_ == kHighThreshold)
            return waterfall->getHighHandle();
        if (handle_ == kLowThreshold)
            return waterfall->getLowHandle();
    }
    if (auto* power =
            dynamic_cast<PowerUIAndTouchLayer*>(scene_.getViewLayer(ViewLayer::kPowerTouch))) {
        if (handle_ == kTriggerLevel)
            return power->getLevelHandle();
        if (handle_ == kTriggerDelay)
            return power->getDelayHandle();
    }
    return nullptr;
}

ViewKeyboard::~ViewKeyboard() {
    if (ring_)
        ring_->release();
}

void ViewKeyboard::showRing() {
    engine::Node* target = ringedNode();
    engine::Node* parent = target ? target->getParent() : nullptr;
    if (!ring_) {
        ring_ = engine::DrawNode::create(2.f);
        if (!ring_)
            return;
        ring_->retain();  // kept across view rebuilds, which take its parent away
    }
    if (ring_->getParent() != parent) {
        ring_->removeFromParentAndCleanup(false);
        if (parent)
            parent->addChild(ring_, 1000);
    }
    ring_->clear();
    if (!target)
        return;
    const engine::Rect box = target->getBoundingBox();
    ring_->drawRect(Vec2(box.getMinX() - 2, box.getMinY() - 2),
                    Vec2(box.getMaxX() + 2, box.getMaxY() + 2),
                    engine::Color4F(1.f, 0.85f, 0.2f, 1.f));
}
