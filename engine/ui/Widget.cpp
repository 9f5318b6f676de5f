#include "engine/ui/Widget.h"

#include "engine/base/EventDispatcher.h"
#include "engine/base/EventListenerTouchOneByOne.h"
#include "engine/base/Touch.h"
#include "engine/ui/Layout.h"

namespace engine::ui {

Widget::Widget() {
    _anchorPoint = Vec2(0.5f, 0.5f);
    _cascadeColorEnabled = true;
    _cascadeOpacityEnabled = true;
}

Widget::~Widget() {
    if (_touchListener) {
        _eventDispatcher->removeEventListener(_touchListener);
        safeRelease(_touchListener);
    }
}

bool Widget::init() {
    return Node::init();
}

// States -----------------------------------------------------------------------------------

void Widget::setEnabled(bool enabled) {
    _enabled = enabled;
    setBright(enabled);
}

void Widget::setBright(bool bright) {
    _bright = bright;
    refreshPressState();
}

void Widget::setHighlighted(bool highlighted) {
    if (highlighted == _highlight)
        return;
    _highlight = highlighted;
    refreshPressState();
}

void Widget::refreshPressState() {
    if (!_bright) {
        onPressStateChangedToDisabled();
    } else if (_highlight) {
        onPressStateChangedToPressed();
    } else {
        onPressStateChangedToNormal();
    }
}

// Size -------------------------------------------------------------------------------------

void Widget::setContentSize(const Size& size) {
    _customSize = size;
    Node::setContentSize(_ignoreSize ? getVirtualRendererSize() : size);
    onSizeChanged();
}

void Widget::ignoreContentAdaptWithSize(bool ignore) {
    _ignoreSize = ignore;
    Node::setContentSize(ignore ? getVirtualRendererSize() : _customSize);
    onSizeChanged();
}

void Widget::updateContentSizeWithTextureSize(const Size& textureSize) {
    if (_ignoreSize)
        _customSize = textureSize;
    Node::setContentSize(_ignoreSize ? textureSize : _customSize);
    onSizeChanged();
}

// Touch ------------------------------------------------------------------------------------

void Widget::setTouchEnabled(bool enabled) {
    if (enabled == _touchEnabled)
        return;
    _touchEnabled = enabled;
    if (enabled) {
        _touchListener = EventListenerTouchOneByOne::create();
        _touchListener->retain();
        _touchListener->setSwallowTouches(_swallowTouches);
        _touchListener->onTouchBegan = [this](Touch* t, Event* e) { return onTouchBegan(t, e); };
        _touchListener->onTouchMoved = [this](Touch* t, Event* e) { onTouchMoved(t, e); };
        _touchListener->onTouchEnded = [this](Touch* t, Event* e) { onTouchEnded(t, e); };
        _touchListener->onTouchCancelled = [this](Touch* t, Event* e) { onTouchCancelled(t, e); };
        _eventDispatcher->addEventListenerWithSceneGraphPriority(_touchListener, this);
    } else {
        _eventDispatcher->removeEventListener(_touchListener);
        safeRelease(_touchListener);
    }
}

void Widget::setSwallowTouches(bool swallow) {
    _swallowTouches = swallow;
    if (_touchListener)
        _touchListener->setSwallowTouches(swallow);
}

void Widget::onEnter() {
    // Removal with clean-up drops the listener; a widget added again must still take touches.
    if (_touchListener && !_touchListener->isRegistered())
        _eventDispatcher->addEventListenerWithSceneGraphPriority(_touchListener, this);
    Node::onEnter();
}

void Widget::onExit() {
    setHighlighted(false);
    Node::onExit();
}

bool Widget::hitTest(const Vec2& worldPoint) const {
    Vec2 p = convertToNodeSpace(worldPoint);
    return Rect(Vec2::ZERO, _contentSize).containsPoint(p);
}

bool Widget::isTouchable(const Vec2& worldPoint) const {
    for (const Node* node = this; node; node = node->getParent()) {
        if (!node->isVisible())
            return false;
        if (auto* widget = dynamic_cast<const Widget*>(node); widget && !widget->isEnabled())
            return false;
        auto* layout = dynamic_cast<const Layout*>(node);
        if (layout && node != this && layout->isClippingEnabled() && !layout->hitTest(worldPoint)) {
            return false;
        }
    }
    return true;
}

void Widget::fireTouchEvent(TouchEventType type) {
    if (!_touchEventCallback)
        return;
    // The callback may drop the last reference to this widget (an alert closing itself).
    retain();
    ccWidgetTouchCallback callback = _touchEventCallback;
    callback(this, type);
    release();
}

bool Widget::activate() {
    const Vec2 centre =
        convertToWorldSpace(Vec2(_contentSize.width * 0.5f, _contentSize.height * 0.5f));
    if (!_touchEnabled || !_running || !isTouchable(centre))
        return false;
    retain();
    fireTouchEvent(TouchEventType::BEGAN);
    fireTouchEvent(TouchEventType::ENDED);
    release();
    return true;
}

bool Widget::onTouchBegan(Touch* touch, Event*) {
    _touchBeganPosition = touch->getLocation();
    if (!hitTest(_touchBeganPosition) || !isTouchable(_touchBeganPosition))
        return false;
    setHighlighted(true);
    fireTouchEvent(TouchEventType::BEGAN);
    return true;
}

void Widget::onTouchMoved(Touch* touch, Event*) {
    _touchMovePosition = touch->getLocation();
    setHighlighted(hitTest(_touchMovePosition));
    fireTouchEvent(TouchEventType::MOVED);
}

void Widget::onTouchEnded(Touch* touch, Event*) {
    _touchEndPosition = touch->getLocation();
    bool inside = _highlight;
    setHighlighted(false);
    fireTouchEvent(inside ? TouchEventType::ENDED : TouchEventType::CANCELED);
}

void Widget::onTouchCancelled(Touch* touch, Event*) {
    _touchEndPosition = touch->getLocation();
    setHighlighted(false);
    fireTouchEvent(TouchEventType::CANCELED);
}

}  // namespace engine::ui
