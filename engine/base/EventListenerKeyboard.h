#pragma once

#include <functional>

#include "engine/base/EventKeyboard.h"
#include "engine/base/EventListener.h"

namespace engine {

// Key presses and releases; every enabled keyboard listener sees every key.
class EventListenerKeyboard : public EventListener {
  public:
    static EventListenerKeyboard* create();

    std::function<void(EventKeyboard::KeyCode, Event*)> onKeyPressed;
    std::function<void(EventKeyboard::KeyCode, Event*)> onKeyReleased;

  private:
    EventListenerKeyboard() : EventListener(Type::KEYBOARD) {}
};

}  // namespace engine
