#include "engine/ui/ScrollView.h"

#include <algorithm>
#include <cmath>

#include "engine/base/EventDispatcher.h"
#include "engine/base/EventListenerMouse.h"
#include "engine/base/Touch.h"

namespace engine::ui {

bool ScrollView::init() {
    if (!Layout::init())
        return false;
    _innerContainer = Node::create();
    _innerContainer->setCascadeColorEnabled(true);
    _innerContainer->setCascadeOpacityEnabled(true);
    Layout::addChild(_innerContainer, 0);
    setClippingEnabled(true);
    setTouchEnabled(true);
    auto* wheel = EventListenerMouse::create();
    wheel->onScroll = [this](EventMouse* event) {
        return scrollByNotches(event->getLocation(), event->getScrollX(), event->getScrollY());
    };
    _eventDispatcher->addEventListenerWithSceneGraphPriority(wheel, this);
    return true;
}

bool ScrollView::scrollByNotches(const Vec2& worldPoint, float notchesX, float notchesY) {
    if (_direction == Direction::NONE || !hitTest(worldPoint))
        return false;
    for (const Node* node = this; node; node = node->getParent()) {
        if (!node->isVisible())
            return false;
    }
    Vec2 offset = getContentOffset();
    // Turning the wheel away from the user shows what lies above (or to the left).
    if (_direction == Direction::HORIZONTAL)
        offset.x += (notchesY - notchesX) * SCROLL_POINTS_PER_NOTCH;
    else
        offset.y -= notchesY * SCROLL_POINTS_PER_NOTCH;
    setContentOffset(offset);
    return true;
}

void ScrollView::addChild(Node* child) {
    _innerContainer->addChild(child);
}
void ScrollView::addChild(Node* child, int localZOrder) {
    _innerContainer->addChild(child, localZOrder);
}
void ScrollView::addChild(Node* child, int localZOrder, int tag) {
    _innerContainer->addChild(child, localZOrder, tag);
}
void ScrollView::addChild(Node* child, int localZOrder, const std::string& name) {
    _innerContainer->addChild(child, localZOrder, name);
}

// Geometry ---------------------------------------------------------------------------------

Vec2 ScrollView::minContainerOffset() const {
    const Size& inner = _innerContainer->getContentSize();
    return Vec2(std::min(0.f, _contentSize.width - inner.width),
                std::min(0.f, _contentSize.height - inner.height));
}

void ScrollView::setInnerContainerSize(const Size& size) {
    // Keep the container's top edge (and left edge) where it is on screen.
    float fromTop = getContentOffset().y - minContainerOffset().y;
    auto usable = [](float v) { return std::isfinite(v) && v > 0 ? v : 0.f; };
    Size s(std::max(usable(size.width), _contentSize.width),
           std::max(usable(size.height), _contentSize.height));
    _innerContainer->setContentSize(s);
    Vec2 offset(getContentOffset().x, minContainerOffset().y + fromTop);
    setContentOffset(offset);
}

void ScrollView::onSizeChanged() {
    Layout::onSizeChanged();
    if (_innerContainer)
        setInnerContainerSize(_innerContainer->getContentSize());
}

void ScrollView::setContentOffset(const Vec2& offset) {
    Vec2 lo = minContainerOffset(), hi = maxContainerOffset();
    // NaN moves nothing.
    Vec2 current = getContentOffset();
    float x = std::isnan(offset.x) ? current.x : std::clamp(offset.x, lo.x, hi.x);
    float y = std::isnan(offset.y) ? current.y : std::clamp(offset.y, lo.y, hi.y);
    _innerContainer->setPosition(x, y);
    scrollViewDidScroll();
}

void ScrollView::jumpToTop() {
    setContentOffset(Vec2(getContentOffset().x, minContainerOffset().y));
}

// Touch ------------------------------------------------------------------------------------

void ScrollView::onExit() {
    // Touches in progress end without this view hearing of it once it leaves the scene.
    _touches.clear();
    _touchMoved = false;
    Layout::onExit();
}

float ScrollView::pairSpread() const {
    Vec2 a = convertToNodeSpace(_touches[0]->getLocation());
    Vec2 b = convertToNodeSpace(_touches[1]->getLocation());
    return _direction == Direction::HORIZONTAL ? std::abs(a.x - b.x) : std::abs(a.y - b.y);
}

bool ScrollView::onTouchBegan(Touch* touch, Event* event) {
    if (_touches.size() >= 2 || !Layout::onTouchBegan(touch, event))
        return false;
    _touches.push_back(touch);
    if (_touches.size() == 1) {
        _touchMoved = false;
        _dragFrom = convertToNodeSpace(touch->getLocation());
    } else {
        // A second finger (or a wheel turn) is never a tap.
        _touchMoved = true;
        _spread = pairSpread();
    }
    return true;
}

void ScrollView::onTouchMoved(Touch* touch, Event* event) {
    Layout::onTouchMoved(touch, event);
    if (_direction == Direction::NONE)
        return;
    if (_touches.size() == 2) {
        float spread = pairSpread();
        float change = spread - _spread;
        _spread = spread;
        Vec2 offset = getContentOffset();
        if (_direction == Direction::HORIZONTAL) {
            offset.x += change;
        } else {
            offset.y -= change;
        }
        setContentOffset(offset);
        return;
    }
    Vec2 p = convertToNodeSpace(touch->getLocation());
    if (!_touchMoved && p.distance(_dragFrom) < DRAG_THRESHOLD)
        return;
    _touchMoved = true;
    Vec2 delta = p - _dragFrom;
    _dragFrom = p;
    if (_direction == Direction::VERTICAL)
        delta.x = 0;
    if (_direction == Direction::HORIZONTAL)
        delta.y = 0;
    setContentOffset(getContentOffset() + delta);
}

void ScrollView::removeTouch(Touch* touch) {
    _touches.erase(std::remove(_touches.begin(), _touches.end(), touch), _touches.end());
    // The finger left behind drags on from where it is now, without a jump.
    if (_touches.size() == 1)
        _dragFrom = convertToNodeSpace(_touches[0]->getLocation());
}

void ScrollView::onTouchEnded(Touch* touch, Event* event) {
    bool tap = _touches.size() == 1 && !_touchMoved;
    removeTouch(touch);
    retain();
    Layout::onTouchEnded(touch, event);
    if (tap)
        onTapped(touch->getLocation());
    release();
}

void ScrollView::onTouchCancelled(Touch* touch, Event* event) {
    removeTouch(touch);
    Layout::onTouchCancelled(touch, event);
}

}  // namespace engine::ui
