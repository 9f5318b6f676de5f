// The bar's dragging: sideways by a finger, or flown out and in with the toggle at its left end.
#include <algorithm>
#include <cmath>

#include "engine/2d/ActionInstant.h"
#include "engine/2d/ActionInterval.h"
#include "engine/2d/Sprite.h"
#include "engine/base/Director.h"
#include "engine/base/Touch.h"
#include "engine/renderer/TextureCache.h"
#include "menus/MenuBar.h"

using engine::Vec2;

namespace {

constexpr int kFlyActionTag = 7301;
constexpr float kDragThreshold = 5.f;

}  // namespace

void MenuBar::dragTo(float x) {
    const engine::Director* director = engine::Director::getInstance();
    const float left = director->getVisibleOrigin().x;
    const float right = left + std::max(0.f, director->getVisibleSize().width - kFlyButtonWidth);
    setPositionX(std::clamp(x, left, right));
    updateFlyIcon();
}

void MenuBar::setFlownOut(bool out, bool animated) {
    const engine::Director* director = engine::Director::getInstance();
    const float left = director->getVisibleOrigin().x;
    const float x = out ? left + director->getVisibleSize().width - kFlyButtonWidth : left;
    stopActionByTag(kFlyActionTag);
    if (!animated) {
        dragTo(x);
        return;
    }
    auto* move = engine::Sequence::create(engine::MoveTo::create(0.25f, Vec2(x, _position.y)),
                                          engine::CallFunc::create([this] { updateFlyIcon(); }));
    move->setTag(kFlyActionTag);
    runAction(move);
}

void MenuBar::updateFlyIcon() {
    if (!flyIcon_)
        return;
    const engine::Director* director = engine::Director::getInstance();
    const float middle = director->getVisibleOrigin().x + director->getVisibleSize().width * 0.5f;
    const char* image = _position.x < middle ? "FlyinUnselected.png" : "FlyoutUnselected.png";
    if (auto* texture = director->getTextureCache()->addImage(image))
        flyIcon_->setTexture(texture);
}

bool MenuBar::onTouchBegan(engine::Touch* touch) {
    if (!isVisible())
        return false;
    const Vec2 local = convertToNodeSpace(touch->getLocation());
    if (local.x < 0 || local.y < 0 || local.x > _contentSize.width || local.y > _contentSize.height)
        return false;
    stopActionByTag(kFlyActionTag);
    dragMoved_ = false;
    dragStartX_ = touch->getLocation().x;
    return true;
}

void MenuBar::onTouchMoved(engine::Touch* touch) {
    if (std::abs(touch->getLocation().x - dragStartX_) > kDragThreshold)
        dragMoved_ = true;
    dragTo(_position.x + touch->getDelta().x);
}

void MenuBar::onTouchEnded(engine::Touch* touch) {
    if (dragMoved_)
        return;
    // A tap on the toggle flies the bar to the other end.
    const Vec2 local = convertToNodeSpace(touch->getLocation());
    if (local.x <= kFlyButtonWidth)
        setFlownOut(getFlyoutPercentage() < 50.f, true);
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
