#pragma once

#include <functional>

#include "engine/base/EventListener.h"
#include "engine/base/EventMouse.h"

namespace engine {

// Wheel and hover. A scroll goes to listeners in touch order until one returns true (it used
// the notches); every listener sees the pointer move.
class EventListenerMouse : public EventListener {
  public:
    static EventListenerMouse* create();

    std::function<bool(EventMouse*)> onScroll;
    std::function<void(EventMouse*)> onMouseMove;

  private:
    EventListenerMouse() : EventListener(Type::MOUSE) {}
};

}  // namespace engine
