#include "app/AcquiringIndicatorLayer.h"

#include "engine/2d/ActionInterval.h"
#include "engine/2d/Label.h"
#include "engine/2d/LayerColor.h"
#include "engine/2d/Sprite.h"

using engine::Vec2;

namespace {

const char* const kRegularFont = "fonts/roboto/Roboto-Regular.ttf";

}  // namespace

AcquiringIndicatorLayer* AcquiringIndicatorLayer::create(const engine::Size& size,
                                                         const Vec2& centre) {
    auto* layer = new (std::nothrow) AcquiringIndicatorLayer();
    if (layer && layer->initWithArea(size, centre)) {
        layer->autorelease();
        return layer;
    }
    delete layer;
    return nullptr;
}

bool AcquiringIndicatorLayer::initWithArea(const engine::Size& size, const Vec2& centre) {
    if (!Layer::init())
        return false;
    setContentSize(size);
    engine::LayerColor* shade = engine::LayerColor::create(engine::Color4B(26, 26, 26, 166));
    if (!shade)
        return false;
    shade->setContentSize(size);
    addChild(shade);
    // One turn every 1.5 s clockwise, the inner one every 2 s the other way, for as long as shown.
    auto addWheel = [&](const char* image, float seconds, float degrees) {
        engine::Sprite* wheel = engine::Sprite::create(image);
        if (!wheel)
            return;
        wheel->setPosition(centre);
        wheel->runAction(engine::RepeatForever::create(engine::RotateBy::create(seconds, degrees)));
        addChild(wheel);
    };
    addWheel("OuterWheel.png", 1.5f, 360.f);
    addWheel("InnerWheel.png", 2.f, -360.f);
    engine::Label* label = engine::Label::createWithTTF("Acquiring SSID", kRegularFont, 18.f);
    if (label) {
        label->setAnchorPoint(Vec2(0.5f, 0.5f));
        label->setPosition(centre.x, centre.y - 80.f);
        addChild(label);
    }
    return true;
}
