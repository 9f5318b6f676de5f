#pragma once

#include <cstddef>
#include <vector>

#include "engine/base/ModalStack.h"

namespace engine {

class EventKeyboard;
class EventMouse;
class EventListener;
class Node;
class Touch;

// Delivers touches and keys to listeners. Order: fixed priorities below 0 (lowest first),
// then listeners attached to nodes with the node drawn on top first (higher global Z, then later
// in the visit), then fixed priorities above 0. Listeners of nodes outside the running scene
// are skipped. Listeners may be added and removed from inside callbacks. While a modal is open
// (ModalStack) a new touch, a key press or a pointer event reaches only the modal; a key or touch
// whose handler stops propagation is consumed there.
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
    void dispatchMouseEvent(EventMouse* event);

    // The input owner: see ModalStack. A node leaving for good leaves the stack by itself.
    void pushModal(Node* owner, int rank, Node* pointerCompanion = nullptr,
                   Node* secondCompanion = nullptr) {
        _modals.push(owner, rank, pointerCompanion, secondCompanion);
    }
    void removeModal(Node* owner) { _modals.remove(owner); }
    Node* getTopModal() const { return _modals.top(); }

  private:
    enum class Phase { MOVED, ENDED, CANCELLED };
    void addListener(EventListener* listener);
    std::vector<EventListener*> sortedListeners(int type, bool gated = true, bool pointer = true);
    void dispatchClaimed(Touch* touch, Phase phase);
    void purgeRemoved();

    std::vector<EventListener*> _listeners;
    int _dispatching = 0;
    ModalStack _modals;
};

}  // namespace engine
