#include "app/PointerReadoutLayer.h"

#include <algorithm>

#include "app/MainScene.h"
#include "app/PointerReadout.h"
#include "engine/2d/Label.h"
#include "engine/base/EventDispatcher.h"
#include "engine/base/EventListenerMouse.h"
#include "views/power/PowerUIAndTouchLayer.h"

using engine::Vec2;

namespace {

const char* const kFont = "fonts/roboto/Roboto-Regular.ttf";
constexpr float kFontSize = 12.f;
constexpr float kGap = 12.f;  // between the pointer and the text

}  // namespace

PointerReadoutLayer* PointerReadoutLayer::create(MainScene* scene) {
    auto* layer = new (std::nothrow) PointerReadoutLayer();
    if (!layer)
        return nullptr;
    layer->scene_ = scene;
    if (layer->init()) {
        layer->autorelease();
        return layer;
    }
    delete layer;
    return nullptr;
}

bool PointerReadoutLayer::init() {
    if (!Layer::init() || !scene_)
        return false;
    label_ = engine::Label::createWithTTF("", kFont, kFontSize);
    if (!label_)
        return false;
    label_->setColor(engine::Color3B(255, 216, 51));
    label_->setVisible(false);
    addChild(label_);
    auto* listener = engine::EventListenerMouse::create();
    listener->onMouseMove = [this](engine::EventMouse* event) { pointerMoved(event); };
    _eventDispatcher->addEventListenerWithSceneGraphPriority(listener, this);
    scheduleUpdate();
    return true;
}

void PointerReadoutLayer::pointerMoved(engine::EventMouse* event) {
    pointer_ = event->getLocation();
    pointerKnown_ = true;
    place();
}

void PointerReadoutLayer::update(float) {
    // The model moves under a still pointer (a new band, a time-base step), and a menu opened
    // over the plot hides the readout.
    place();
}

void PointerReadoutLayer::place() {
    const bool modal = _eventDispatcher->getTopModal() != nullptr;
    float offset = 0;
    if (auto* power =
            dynamic_cast<PowerUIAndTouchLayer*>(scene_->getViewLayer(ViewLayer::kPowerTouch)))
        offset = power->traceOffset(0);
    const engine::Rect plot = scene_->innerArea();
    const PointerReadout readout =
        pointerKnown_ && !modal ? PointerReadout::at(*scene_->getModel(), plot, pointer_, offset)
                                : PointerReadout{};
    const std::string text = readout.text();
    if (text.empty()) {
        if (label_->isVisible())
            label_->setVisible(false);
        return;
    }
    if (text != label_->getString())
        label_->setString(text);
    // Beside the pointer, flipped to the other side near the plot's right and top edges.
    const engine::Size size = label_->getContentSize();
    const bool left = pointer_.x + kGap + size.width > plot.getMaxX();
    const bool below = pointer_.y + kGap + size.height > plot.getMaxY();
    label_->setAnchorPoint(Vec2(left ? 1.f : 0.f, below ? 1.f : 0.f));
    const Vec2 at(pointer_.x + (left ? -kGap : kGap), pointer_.y + (below ? -kGap : kGap));
    if (label_->getPosition() != at)
        label_->setPosition(at);
    if (!label_->isVisible())
        label_->setVisible(true);
}
