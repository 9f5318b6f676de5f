#include "engine/base/EventListenerKeyboard.h"
#include "engine/base/EventListenerMouse.h"
#include "engine/base/EventListenerTouchOneByOne.h"

namespace engine {

EventListenerTouchOneByOne* EventListenerTouchOneByOne::create() {
    auto* listener = new EventListenerTouchOneByOne();
    listener->autorelease();
    return listener;
}

EventListenerKeyboard* EventListenerKeyboard::create() {
    auto* listener = new EventListenerKeyboard();
    listener->autorelease();
    return listener;
}

EventListenerMouse* EventListenerMouse::create() {
    auto* listener = new EventListenerMouse();
    listener->autorelease();
    return listener;
}

}  // namespace engine
