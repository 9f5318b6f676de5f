#pragma once

#include <functional>
#include <vector>

#include "engine/base/EventListener.h"

namespace engine {

class Event;
class Touch;

// Receives touches one at a time. A listener only sees moved/ended/cancelled for touches it
// claimed by returning true from onTouchBegan; with swallowing on, a claimed touch goes to no
// listener below it.
class EventListenerTouchOneByOne : public EventListener {
  public:
    static EventListenerTouchOneByOne* create();

    void setSwallowTouches(bool swallow) { _swallowTouches = swallow; }
    bool isSwallowTouches() const { return _swallowTouches; }

    std::function<bool(Touch*, Event*)> onTouchBegan;
    std::function<void(Touch*, Event*)> onTouchMoved;
    std::function<void(Touch*, Event*)> onTouchEnded;
    std::function<void(Touch*, Event*)> onTouchCancelled;

  private:
    EventListenerTouchOneByOne() : EventListener(Type::TOUCH_ONE_BY_ONE) {}
    friend class EventDispatcher;
    bool _swallowTouches = false;
    std::vector<Touch*> _claimedTouches;
};

}  // namespace engine
