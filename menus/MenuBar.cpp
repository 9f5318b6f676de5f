#include "menus/MenuBar.h"

#include <algorithm>

#include "engine/2d/LayerColor.h"
#include "engine/2d/Sprite.h"
#include "engine/base/Director.h"
#include "engine/renderer/TextureCache.h"

MenuBar* MenuBar::create(int displayClass) {
    auto* bar = new (std::nothrow) MenuBar();
    if (bar && bar->initWithDisplayClass(displayClass)) {
        bar->autorelease();
        return bar;
    }
    delete bar;
    return nullptr;
}

float MenuBar::barHeightForDisplayClass(int displayClass) {
    return displayClass == 0 ? 49.f : 75.f;
}

bool MenuBar::initWithDisplayClass(int displayClass) {
    if (!Layer::init())
        return false;
    displayClass_ = displayClass;
    background_ = engine::LayerColor::create(engine::Color4B(24, 26, 30, 255));
    addChild(background_, 0);
    flyIcon_ = engine::Sprite::create("FlyinUnselected.png");
    if (flyIcon_)
        addChild(flyIcon_, 1);
    connectionIcon_ = engine::Sprite::create("disconnectedIcon.png");
    if (connectionIcon_)
        addChild(connectionIcon_, 1);
    const engine::Size visible = engine::Director::getInstance()->getVisibleSize();
    setContentSize(engine::Size(visible.width, barHeightForDisplayClass(displayClass)));
    refresh();
    return true;
}

void MenuBar::setContentSize(const engine::Size& size) {
    Layer::setContentSize(size);
    layout();
}

void MenuBar::layout() {
    if (background_)
        background_->setContentSize(_contentSize);
    const float h = _contentSize.height;
    auto fit = [h](engine::Sprite* sprite, float x, float share) {
        if (!sprite)
            return;
        const engine::Size image = sprite->getContentSize();
        if (image.height > 0)
            sprite->setScale(h * share / image.height);
        sprite->setPosition(x, h * 0.5f);
    };
    fit(flyIcon_, kFlyButtonWidth * 0.5f, 1.f);
    fit(connectionIcon_, _contentSize.width - h * 0.4f, 0.5f);
}

void MenuBar::refresh() {
    ++refreshCount_;
    if (connectionIcon_) {
        auto* texture = engine::Director::getInstance()->getTextureCache()->addImage(
            connected_ ? "connectedIcon.png" : "disconnectedIcon.png");
        if (texture)
            connectionIcon_->setTexture(texture);
    }
}

void MenuBar::setConnected(bool connected) {
    if (connected == connected_)
        return;
    connected_ = connected;
    refresh();
}

float MenuBar::getFlyoutPercentage() const {
    const engine::Director* director = engine::Director::getInstance();
    const float originX = director->getVisibleOrigin().x;
    const float travel = director->getVisibleSize().width - kFlyButtonWidth;
    if (travel <= 0)
        return 100.f;
    const float out = (_position.x - originX) / travel;
    return std::clamp(out, 0.f, 1.f) * 100.f;
}
