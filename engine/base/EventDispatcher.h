#pragma once

#include <cstddef>
#include <vector>

namespace engine {

class EventKeyboard;
class EventListener;
class Node;
class Touch;

// Delivers touches and keys to listeners. Order: fixed priorities below 0 (lowest first),
// then listeners attached to nodes with the node drawn on top first (higher global Z, then later
// in the visit), then fixed priorities above 0. Listeners of nodes outside the running scene
// are skipped. Listeners may be added and removed from inside callbacks.
class EventDispatcher {
  public:
    EventDispatcher() = default;
    ~EventDispatcher();
    EventDispatcher(const EventDispatcher&) = delete;
    EventDispatcher& operator=(const EventDispatcher&) = delete;

    void addEventListenerWithSceneGraphPriority(EventListener* listener, Node* node);
    // priority 0 is reserved for scene-graph listeners and is refused.
    void addEventListenerWithFixedPriority(EventListener* listener, int fixedPriority);
    void removeEventListener(EventListener* listener);
    void removeEventListenersForTarget(Node* node);
    void removeAllEventListeners();
    size_t getListenerCount() const;

    void dispatchTouchBegan(Touch* touch);
    void dispatchTouchMoved(Touch* touch);
    void dispatchTouchEnded(Touch* touch);
    void dispatchTouchCancelled(Touch* touch);
    void dispatchKeyboardEvent(EventKeyboard* event);

  private:
    enum class Phase { MOVED, ENDED, CANCELLED };
    void addListener(EventListener* listener);
    std::vector<EventListener*> sortedListeners(int type);
    void dispatchClaimed(Touch* touch, Phase phase);
    void purgeRemoved();

    std::vector<EventListener*> _listeners;
    int _dispatching = 0;
};

}  // namespace engine
