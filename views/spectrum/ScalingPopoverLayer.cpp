#include "views/spectrum/ScalingPopoverLayer.h"

#include <algorithm>
#include <cstdio>
#include <new>

#include "engine/2d/Label.h"
#include "engine/2d/Sprite.h"
#include "engine/ui/Scale9Sprite.h"
#include "model/SpectrumSettings.h"
#include "views/spectrum/WaterfallLayer.h"

using engine::Rect;
using engine::Size;
using engine::Sprite;
using engine::Vec2;

namespace {

const char* const kFont = "fonts/roboto/Roboto-Regular.ttf";

std::string wholeNumber(float value) {
    char text[64];
    std::snprintf(text, sizeof text, "%.0f", static_cast<double>(value));
    return text;
}

Rect unionOf(const Rect& a, const Rect& b) {
    const float x0 = std::min(a.getMinX(), b.getMinX());
    const float y0 = std::min(a.getMinY(), b.getMinY());
    const float x1 = std::max(a.getMaxX(), b.getMaxX());
    const float y1 = std::max(a.getMaxY(), b.getMaxY());
    return Rect(x0, y0, x1 - x0, y1 - y0);
}

}  // namespace

ScalingPopoverLayer* ScalingPopoverLayer::create() {
    return createWithModel(SpectrumSettings::getInstance());
}

ScalingPopoverLayer* ScalingPopoverLayer::createWithModel(SpectrumSettings* model) {
    auto* layer = new (std::nothrow) ScalingPopoverLayer();
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

ScalingPopoverLayer::~ScalingPopoverLayer() {
    for (Sprite* box : boxes_)
        box->release();
}

bool ScalingPopoverLayer::init() {
    if (!Layer::init() || !model_)
        return false;
    setCascadeOpacityEnabled(true);
    const int displayClass = model_->runtime.displayClass;
    glass_ = Sprite::create(kGlassImage);
    if (glass_) {
        glass_->setAnchorPoint(Vec2::ANCHOR_MIDDLE);
        addChild(glass_, 10);
    }
    const Size glassSize = glass_ ? glass_->getContentSize() : Size(64, 64);
    background_ = engine::ui::Scale9Sprite::create(kBackgroundImage);
    if (background_) {
        background_->setAnchorPoint(Vec2::ANCHOR_MIDDLE);
        background_->setContentSize(Size(glassSize.width * 1.5f, glassSize.height * 1.5f));
        addChild(background_, -1);
    }
    const float fontSize = displayClass == 0 ? 14.f : 17.f;
    tLabel_ = engine::Label::createWithTTF("T:20 Hz", kFont, fontSize);
    aLabel_ = engine::Label::createWithTTF("A:20 dbM", kFont, fontSize);
    if (tLabel_) {
        tLabel_->setAnchorPoint(Vec2::ANCHOR_MIDDLE_BOTTOM);
        addChild(tLabel_, 10);
    }
    if (aLabel_) {
        aLabel_->setAnchorPoint(Vec2::ANCHOR_MIDDLE_BOTTOM);
        addChild(aLabel_, 10);
    }
    if (Sprite* probe = Sprite::create(kBoxImage))
        boxSize_ = probe->getContentSize();
    boxGap_ = displayClass == 0 ? 0.f : 2.f;
    needsLayout = true;
    return true;
}

void ScalingPopoverLayer::onEnter() {
    Layer::onEnter();
    scheduleUpdate();
}

void ScalingPopoverLayer::onExit() {
    unscheduleUpdate();
    Layer::onExit();
}

void ScalingPopoverLayer::update(float) {
    // Callers only set fields; layout and fading happen in visit().
    if (needsLayout || (touchHeld ? getOpacity() < 255 : getOpacity() > 0))
        markStale();
}

void ScalingPopoverLayer::setContentSize(const engine::Size& size) {
    if (size.width != _contentSize.width || size.height != _contentSize.height)
        needsLayout = true;
    Layer::setContentSize(size);
}

ScalingPopoverLayer::BoxState ScalingPopoverLayer::boxState(int step, int oldStep, int newStep) {
    if (step == newStep)
        return BoxState::kNew;
    if (step == oldStep)
        return BoxState::kOld;
    if ((step > oldStep && step < newStep) || (step < oldStep && step > newStep))
        return BoxState::kNew;
    return BoxState::kPlain;
}

void ScalingPopoverLayer::updateLabels() {
    if (!aLabel_ || !tLabel_)
        return;
    if (model_->common_settings.spectrumMode != 0) {
        const AccessoryDescription& accessory = model_->accessory;
        const bool band5 = model_->spectrum_settings.band == 1;
        const float interval = band5 ? accessory.spectrumInterval5 : accessory.spectrumInterval24;
        const float option = band5 ? accessory.optionBytes[2] : accessory.optionBytes[1];
        const int t =
            WaterfallLayer::timeScaleFactor(model_->spectrum_settings.waterfallTimeScaleIndex);
        const float span = 500.f / static_cast<float>(t) * (option * interval);
        tLabel_->setString("");
        aLabel_->setString("A: " + wholeNumber(span) + "s");
    } else {
        aLabel_->setString("");
        tLabel_->setString(std::isnan(powerTimeValue) ? std::string("T: --")
                                                      : "T: " + wholeNumber(powerTimeValue) + "s");
    }
}

Sprite* ScalingPopoverLayer::boxAt(size_t index) {
    if (index < boxes_.size())
        return boxes_[index];
    Sprite* box = Sprite::create(kBoxImage);
    if (!box)
        return nullptr;
    addChild(box, 0);
    box->retain();
    boxes_.push_back(box);
    return box;
}

void ScalingPopoverLayer::layout() {
    updateLabels();
    if (tLabel_)
        tLabel_->setOpacity(horizontalSteps > 0 ? 255 : 0);
    if (aLabel_)
        aLabel_->setOpacity(verticalSteps > 0 ? 255 : 0);

    const Vec2 centre(_contentSize.width * 0.5f, _contentSize.height * 0.5f);
    const Size glassSize = glass_ ? glass_->getContentSize() : Size(64, 64);
    const Rect glassRect(centre.x - glassSize.width * 0.5f, centre.y - glassSize.height * 0.5f,
                         glassSize.width, glassSize.height);
    if (glass_)
        glass_->setPosition(centre);
    // The texts sit on the glass's top corners: the time over the right, the level the left.
    if (tLabel_)
        tLabel_->setPosition(glassRect.getMaxX(), glassRect.getMaxY());
    if (aLabel_)
        aLabel_->setPosition(glassRect.getMinX(), glassRect.getMaxY());
    const float cellW = boxSize_.width * 0.5f;
    const float cellH = boxSize_.height * 0.5f;
    auto quarter = [&](BoxState state) {
        switch (state) {
            case BoxState::kNew:
                return Rect(0, cellH, cellW, cellH);
            case BoxState::kOld:
                return Rect(cellW, 0, cellW, cellH);
            default:
                return Rect(0, 0, cellW, cellH);
        }
    };

    Rect bounds = glassRect;
    size_t used = 0;
    if (horizontalSteps > 0 && cellW > 0) {
        const float width = (cellW + boxGap_) * horizontalSteps - boxGap_;
        const float x0 = glassRect.getMidX() - width * 0.5f;
        for (int step = 0; step < horizontalSteps; ++step) {
            Sprite* box = boxAt(used);
            if (!box)
                break;
            ++used;
            box->setTextureRect(quarter(boxState(step, horizontalOld, horizontalNew)));
            box->setAnchorPoint(Vec2::ANCHOR_TOP_LEFT);
            box->setPosition(x0 + (cellW + boxGap_) * step, glassRect.getMinY());
        }
        bounds = unionOf(bounds, Rect(x0, glassRect.getMinY() - cellH, width, cellH));
    }
    if (verticalSteps > 0 && cellH > 0) {
        const float height = (cellH + boxGap_) * verticalSteps - boxGap_;
        const float y0 = glassRect.getMidY() + glassSize.height / 6.f - height * 0.5f;
        for (int step = 0; step < verticalSteps; ++step) {
            Sprite* box = boxAt(used);
            if (!box)
                break;
            ++used;
            box->setTextureRect(quarter(boxState(step, verticalOld, verticalNew)));
            box->setAnchorPoint(Vec2::ANCHOR_BOTTOM_RIGHT);
            box->setPosition(glassRect.getMinX(), y0 + (cellH + boxGap_) * step);
        }
        bounds = unionOf(bounds, Rect(glassRect.getMinX() - cellW, y0, cellW, height));
    }
    while (boxes_.size() > used) {
        Sprite* box = boxes_.back();
        boxes_.pop_back();
        box->removeFromParentAndCleanup(true);
        box->release();
    }

    float labelH = 0;
    for (engine::Label* label : {aLabel_, tLabel_}) {
        if (!label || label->getString().empty())
            continue;
        const Size size = label->getContentSize();
        labelH = std::max(labelH, size.height);
        const Vec2 at = label->getPosition();
        bounds = unionOf(bounds, Rect(at.x - size.width * 0.5f, at.y, size.width, size.height));
    }
    if (background_) {
        const float lowered = horizontalSteps > 0 ? boxSize_.height * 0.25f : 0.f;
        const Vec2 at(centre.x, centre.y + labelH * 0.5f - lowered);
        // The panel stays centred where it is placed, so it reaches as far to each side as the
        // farthest part does: the column and the level text stand to the left of the glass.
        const float halfW = std::max(at.x - bounds.getMinX(), bounds.getMaxX() - at.x);
        const float halfH = std::max(at.y - bounds.getMinY(), bounds.getMaxY() - at.y);
        background_->setContentSize(
            Size(2 * (halfW + margin_.width), 2 * (halfH + margin_.height)));
        background_->setPosition(at);
    }
    needsLayout = false;
}

void ScalingPopoverLayer::visit(engine::Renderer* renderer, const engine::Mat4& parentTransform,
                                uint32_t parentFlags) {
    if (needsLayout)
        layout();
    const int opacity = getOpacity();
    setOpacity(static_cast<uint8_t>(touchHeld ? std::min(255, opacity + kFadeInStep)
                                              : std::max(0, opacity - kFadeOutStep)));
    Layer::visit(renderer, parentTransform, parentFlags);
}
