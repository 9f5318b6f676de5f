#include "views/spectrum/ChannelGuideLayer.h"

#include <algorithm>
#include <memory>
#include <new>
#include <string>
#include <utility>

#include "engine/2d/DrawNode.h"
#include "engine/2d/Sprite.h"
#include "engine/base/EventDispatcher.h"
#include "engine/base/EventListenerTouchOneByOne.h"
#include "engine/base/Touch.h"
#include "engine/renderer/Texture2D.h"
#include "engine/ui/Button.h"
#include "engine/ui/Scale9Sprite.h"
#include "instrument/Instrument.h"
#include "model/ChannelPlans.h"
#include "model/SpectrumSettings.h"
#include "views/spectrum/ChannelGuidePopoverLayer.h"

using engine::Color4F;
using engine::Rect;
using engine::Size;
using engine::Touch;
using engine::Vec2;
using engine::ui::Button;

namespace {

const char* const kFont = "fonts/roboto/Roboto-Regular.ttf";
const Color4F kShade(0.1f, 0.1f, 0.1f, 0.65f);
const Color4F kOutline(1.f, 1.f, 1.f, 1.f);

struct GuideSizes {
    float rowHeight;
    float rowGap;
    float titleSize;
    float smallTitleSize;  // the narrow channels of plans 7 and 8
};

GuideSizes sizesFor(int displayClass) {
    static const GuideSizes table[4] = {
        {25, 3, 12, 7}, {25, 5, 16, 10}, {35, 5, 20, 12}, {35, 5, 16, 12}};
    return table[std::clamp(displayClass, 0, 3)];
}

}  // namespace

ChannelGuideLayer* ChannelGuideLayer::create() {
    return createWithModel(SpectrumSettings::getInstance());
}

ChannelGuideLayer* ChannelGuideLayer::createWithModel(SpectrumSettings* model) {
    if (!model)
        return nullptr;
    auto own = std::make_unique<Instrument>(*model);
    ChannelGuideLayer* layer = createWithInstrument(own.get());
    if (layer)
        layer->ownInstrument_ = std::move(own);
    return layer;
}

ChannelGuideLayer* ChannelGuideLayer::createWithInstrument(Instrument* instrument) {
    if (!instrument)
        return nullptr;
    auto* layer = new (std::nothrow) ChannelGuideLayer();
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

ChannelGuideLayer::~ChannelGuideLayer() {
    closePopover();
    for (Button* button : buttons_)
        button->release();
}

bool ChannelGuideLayer::init() {
    if (!Layer::init() || !model_)
        return false;
    guideNode_ = engine::DrawNode::create(2.f);
    if (!guideNode_)
        return false;
    addChild(guideNode_, 2);

    expandIcon_ = engine::Sprite::create(kExpandImage);
    if (expandIcon_) {
        expandIcon_->setAnchorPoint(Vec2::ANCHOR_TOP_LEFT);
        addChild(expandIcon_, 10);
        auto* iconListener = engine::EventListenerTouchOneByOne::create();
        iconListener->setSwallowTouches(true);
        iconListener->onTouchBegan = [this](Touch* t, engine::Event* e) {
            return onIconTouchBegan(t, e);
        };
        iconListener->onTouchEnded = [this](Touch* t, engine::Event* e) { onIconTouchEnded(t, e); };
        getEventDispatcher()->addEventListenerWithSceneGraphPriority(iconListener, expandIcon_);
    }

    auto* listener = engine::EventListenerTouchOneByOne::create();
    listener->setSwallowTouches(true);
    listener->onTouchBegan = [this](Touch* t, engine::Event* e) { return onTouchBegan(t, e); };
    listener->onTouchMoved = [this](Touch* t, engine::Event* e) { onTouchMoved(t, e); };
    getEventDispatcher()->addEventListenerWithSceneGraphPriority(listener, this);
    scheduleUpdate();
    return true;
}

void ChannelGuideLayer::update(float) {
    refresh();
}

void ChannelGuideLayer::setContentSize(const Size& size) {
    if (size.width != _contentSize.width || size.height != _contentSize.height)
        forceRedraw = true;
    Layer::setContentSize(size);
}

// The rebuild adds and removes children, so it runs before the children are visited rather
// than from draw(), which runs in the middle of that walk.
void ChannelGuideLayer::visit(engine::Renderer* renderer, const engine::Mat4& parentTransform,
                              uint32_t parentFlags) {
    if (!_visible)
        return;
    refresh();
    // One unit taller, so that the top row's outline is not cut.
    const Rect clip(_position, Size(_contentSize.width, _contentSize.height + 1));
    clip_.begin(renderer, _globalZOrder, clip);
    Layer::visit(renderer, parentTransform, parentFlags);
    clip_.end(renderer, _globalZOrder);
}

void ChannelGuideLayer::refresh() {
    const float h = _contentSize.height;
    if (expandIcon_)
        expandIcon_->setPosition(0, h);
    const SpectrumViewSettings& view = model_->spectrum_settings;
    const bool expanded = view.channelGuideState != 0;
    const bool plansChanged = view.channelGuide24 != drawnPlan24_ ||
                              view.channelGuide5 != drawnPlan5_ || view.band != drawnBand_;
    if (!forceRedraw && !plansChanged && expanded == drawnExpanded_ &&
        selectedChannel_ == drawnSelection_)
        return;
    if (plansChanged)
        selectedChannel_ = -1;
    forceRedraw = false;

    const int plan = ChannelPlans::activePlan(view);
    // A number the plan does not have has no edges to shade around.
    if (selectedChannel_ >= 0 && ChannelPlans::channelEdges(plan, selectedChannel_).high == 0)
        selectedChannel_ = -1;
    size_t used = 0;
    bool selectionDrawn = false;
    if (expandIcon_) {
        const Size image = expandIcon_->getTexture()->getContentSize();
        // Left half: collapsed ("expand"); right half: expanded ("shrink").
        expandIcon_->setTextureRect(
            Rect(expanded ? image.width * 0.5f : 0.f, 0, image.width * 0.5f, image.height));
        expandIcon_->setOpacity(plan == 0 ? 0 : 255);
    }
    if (plan != 0 && expanded) {
        if (selectedChannel_ < 0) {
            used = layoutButtons(plan);
        } else {
            drawSelection(plan);
            selectionDrawn = true;
        }
    }
    trimButtons(used);
    if (!selectionDrawn) {
        guideNode_->clear();
        closePopover();
    }
    drawnPlan24_ = view.channelGuide24;
    drawnPlan5_ = view.channelGuide5;
    drawnBand_ = view.band;
    drawnExpanded_ = expanded;
    drawnSelection_ = selectedChannel_;
}

size_t ChannelGuideLayer::layoutButtons(int plan) {
    const GuideSizes sizes = sizesFor(model_->runtime.displayClass);
    const float titleSize = (plan == 7 || plan == 8) ? sizes.smallTitleSize : sizes.titleSize;
    const float h = _contentSize.height;
    const ChannelPlans::Scale scale = ChannelPlans::scaleFor(plan, _contentSize.width);
    // The tables never give zero rows, but a modulo must not rest on that.
    const int rows = std::max(1, ChannelPlans::planRowCount(plan));
    const std::vector<int> channels = ChannelPlans::planChannels(plan);
    size_t used = 0;
    for (size_t j = 0; j < channels.size(); ++j) {
        const int n = channels[j];
        const ChannelPlans::Range edges =
            ChannelPlans::roundedEdges(ChannelPlans::channelEdges(plan, n));
        Button* button = nullptr;
        if (j < buttons_.size()) {
            button = buttons_[j];
        } else {
            button = Button::create(kButtonImage);
            if (!button)
                break;
            button->retain();
            buttons_.push_back(button);
            button->ignoreContentAdaptWithSize(false);
            button->setAnchorPoint(Vec2::ANCHOR_TOP_LEFT);
            button->setPressedActionEnabled(false);
            button->setTitleFontName(kFont);
            if (engine::ui::Scale9Sprite* image = button->getRendererNormal())
                image->setBlendFunc(engine::BlendFunc::ALPHA_NON_PREMULTIPLIED);
            button->addTouchEventListener(
                [this](engine::Ref* sender, engine::ui::Widget::TouchEventType type) {
                    if (type != engine::ui::Widget::TouchEventType::ENDED)
                        return;
                    if (model_->spectrum_settings.channelGuideState != 0)
                        selectedChannel_ = static_cast<Button*>(sender)->getTag();
                });
            addChild(button, 1);
        }
        used = j + 1;
        const int r = static_cast<int>(j % static_cast<size_t>(rows));
        button->setTag(n);
        button->setTitleText(std::to_string(n));
        button->setTitleFontSize(titleSize);
        button->setContentSize(
            Size(static_cast<float>((edges.high - edges.low + 1000) * scale.k), sizes.rowHeight));
        button->setPosition(scale.x(edges.low), h - static_cast<float>(r) * sizes.rowHeight -
                                                    static_cast<float>(r + 1) * sizes.rowGap);
    }
    return used;
}

void ChannelGuideLayer::drawSelection(int plan) {
    const float w = _contentSize.width;
    const float h = _contentSize.height;
    const ChannelPlans::Range edges = ChannelPlans::channelEdges(plan, selectedChannel_);
    const ChannelPlans::Scale scale = ChannelPlans::scaleFor(plan, w);
    const float xl = scale.x(edges.low);
    const float xr = scale.x(static_cast<double>(edges.high) + 1000);
    guideNode_->clear();
    guideNode_->drawSolidRect(Vec2(-10, 0), Vec2(xl, h), kShade);
    guideNode_->drawRect(Vec2(-10, 0), Vec2(xl, h), kOutline);
    guideNode_->drawSolidRect(Vec2(xr, 0), Vec2(w + 10, h), kShade);
    guideNode_->drawRect(Vec2(xr, 0), Vec2(w + 10, h), kOutline);

    closePopover();
    popover_ = ChannelGuidePopoverLayer::createWithModel(model_, this);
    if (!popover_)
        return;
    popover_->retain();
    // A layer ignores its anchor for positioning unless told otherwise.
    popover_->setIgnoreAnchorPointForPosition(false);
    addChild(popover_, kPopoverZOrder);
    popover_->configure(edges.low / 1000.0, plan, selectedChannel_, edges.high / 1000.0);
    const float iconHeight = expandIcon_ ? expandIcon_->getContentSize().height : 0.f;
    const float top = h - iconHeight - 2.f;
    const float pw = popover_->getContentSize().width;
    if (xl >= pw + 2.f) {
        popover_->setAnchorPoint(Vec2::ANCHOR_TOP_RIGHT);
        popover_->setPosition(xl - 2.f, top);
    } else if (w >= pw + xr + 2.f) {
        popover_->setAnchorPoint(Vec2::ANCHOR_TOP_LEFT);
        popover_->setPosition(xr + 2.f, top);
    } else {
        popover_->setAnchorPoint(Vec2::ANCHOR_TOP_LEFT);
        popover_->setPosition(0, top);
    }
}

void ChannelGuideLayer::trimButtons(size_t keep) {
    while (buttons_.size() > keep) {
        Button* button = buttons_.back();
        buttons_.pop_back();
        button->removeFromParentAndCleanup(true);
        button->release();
    }
}

// The popover can also go by itself (its close button): it is retained here and told to forget
// this layer, so neither side is left holding a dangling pointer.
void ChannelGuideLayer::closePopover() {
    ChannelGuidePopoverLayer* popover = popover_;
    if (!popover)
        return;
    popover_ = nullptr;
    popover->setDelegate(nullptr);
    if (popover->getParent())
        popover->removeFromParentAndCleanup(true);
    popover->release();
}

void ChannelGuideLayer::popoverClosed() {
    selectedChannel_ = -1;
    closePopover();
}

bool ChannelGuideLayer::onIconTouchBegan(Touch* touch, engine::Event*) {
    if (!expandIcon_ || ChannelPlans::activePlan(model_->spectrum_settings) == 0)
        return false;
    return expandIcon_->getBoundingBox().containsPoint(convertTouchToNodeSpace(touch));
}

void ChannelGuideLayer::onIconTouchEnded(Touch*, engine::Event*) {
    uint8_t& state = model_->spectrum_settings.channelGuideState;
    instrument_->set(SettingChange::kDisplay, state, static_cast<uint8_t>(state != 0 ? 0 : 1));
    if (state != 0)
        selectedChannel_ = -1;
}

bool ChannelGuideLayer::selectNearest(Touch* touch) {
    const int plan = ChannelPlans::activePlan(model_->spectrum_settings);
    const int n =
        ChannelPlans::nearestChannel(plan, _contentSize.width, convertTouchToNodeSpace(touch).x);
    if (n < 0)
        return false;
    selectedChannel_ = n;
    return true;
}

bool ChannelGuideLayer::onTouchBegan(Touch* touch, engine::Event*) {
    if (model_->spectrum_settings.channelGuideState == 0 || selectedChannel_ < 0)
        return false;
    const Vec2 at = convertTouchToNodeSpace(touch);
    if (at.x < 0 || at.y < 0 || at.x > _contentSize.width || at.y > _contentSize.height)
        return false;
    return selectNearest(touch);
}

void ChannelGuideLayer::onTouchMoved(Touch* touch, engine::Event*) {
    selectNearest(touch);
}
