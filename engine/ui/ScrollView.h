#pragma once

#include <vector>

#include "engine/ui/Layout.h"

namespace engine::ui {

// A clipped window (the content size) onto a larger inner container that a finger drags. The
// content offset is the container's position in the view: (0, 0) shows the container's bottom
// edge at the view's bottom; the minimum offset (view size minus container size, never above
// 0) shows its top; the offset always stays between the two. The container is at least as
// large as the view, and growing it keeps its top edge where it was on screen.
//
// Two fingers spreading apart or closing together scroll by the change in their distance
// (spreading shows what lies above); a wheel notch over the view scrolls by a fixed step and
// never taps.
// Dragging starts once a touch has travelled a few points, so a tap stays a tap.
class ScrollView : public Layout {
  public:
    enum class Direction { NONE, VERTICAL, HORIZONTAL, BOTH };
    // Travel (in points) that turns a touch into a drag.
    static constexpr float DRAG_THRESHOLD = 7.f;
    // Points one wheel notch scrolls.
    static constexpr float SCROLL_POINTS_PER_NOTCH = 50.f;

    CREATE_FUNC(ScrollView)
    bool init() override;

    void setDirection(Direction direction) { _direction = direction; }
    Direction getDirection() const { return _direction; }

    Node* getInnerContainer() const { return _innerContainer; }
    void setInnerContainerSize(const Size& size);
    const Size& getInnerContainerSize() const { return _innerContainer->getContentSize(); }

    // Clamped between the minimum and maximum offsets.
    void setContentOffset(const Vec2& offset);
    Vec2 getContentOffset() const { return _innerContainer->getPosition(); }
    Vec2 minContainerOffset() const;
    Vec2 maxContainerOffset() const { return Vec2::ZERO; }
    void jumpToTop();

    bool isDragging() const { return !_touches.empty(); }
    bool isTouchMoved() const { return _touchMoved; }

    // Children go into the inner container and scroll with it.
    void addChild(Node* child) override;
    void addChild(Node* child, int localZOrder) override;
    void addChild(Node* child, int localZOrder, int tag) override;
    void addChild(Node* child, int localZOrder, const std::string& name) override;

    void onExit() override;

    bool onTouchBegan(Touch* touch, Event* event) override;
    void onTouchMoved(Touch* touch, Event* event) override;
    void onTouchEnded(Touch* touch, Event* event) override;
    void onTouchCancelled(Touch* touch, Event* event) override;
    // Wheel notches with the pointer at a world point; false when the view is not under it.
    bool scrollByNotches(const Vec2& worldPoint, float notchesX, float notchesY);

  protected:
    ScrollView() = default;
    void onSizeChanged() override;
    // After every change of the offset or of the container's size.
    virtual void scrollViewDidScroll() {}
    // A touch that began and ended on the view without dragging.
    virtual void onTapped(const Vec2&) {}
    void removeTouch(Touch* touch);
    float pairSpread() const;

    Node* _innerContainer = nullptr;
    Direction _direction = Direction::VERTICAL;
    std::vector<Touch*> _touches;
    Vec2 _dragFrom;
    bool _touchMoved = false;
    float _spread = 0;
};

}  // namespace engine::ui
