#pragma once

#include "engine/base/Event.h"
#include "engine/base/Types.h"

namespace engine {

// The pointer apart from touches: a wheel turn (scroll) or the pointer moving, pressed or not
// (hover). A scroll is never a touch: it presses nothing.
class EventMouse : public Event {
  public:
    enum class MouseEventType { SCROLL, MOVE };

    EventMouse(MouseEventType type, const Vec2& location, int modifiers = 0)
        : Event(Type::MOUSE), _mouseType(type), _location(location), _modifiers(modifiers) {}
    MouseEventType getMouseEventType() const { return _mouseType; }
    // Design units, origin at the bottom-left, like a touch's location.
    Vec2 getLocation() const { return _location; }
    // Wheel notches: y positive away from the user, x positive to the right.
    float getScrollX() const { return _scrollX; }
    float getScrollY() const { return _scrollY; }
    void setScroll(float x, float y) {
        _scrollX = x;
        _scrollY = y;
    }
    // EventKeyboard's modifier bits held during the event.
    int getModifiers() const { return _modifiers; }

  private:
    MouseEventType _mouseType;
    Vec2 _location;
    int _modifiers;
    float _scrollX = 0;
    float _scrollY = 0;
};

}  // namespace engine
