#pragma once

#include "engine/base/Ref.h"

namespace engine {

class Node;

// Base of the touch and keyboard listeners; registered with the EventDispatcher either under a
// node (dispatch order follows the scene graph) or with a fixed priority.
class EventListener : public Ref {
  public:
    enum class Type { TOUCH_ONE_BY_ONE, KEYBOARD, MOUSE };

    Type getType() const { return _type; }
    void setEnabled(bool enabled) { _enabled = enabled; }
    bool isEnabled() const { return _enabled; }
    Node* getAssociatedNode() const { return _node; }
    int getFixedPriority() const { return _fixedPriority; }
    bool isRegistered() const { return _registered; }

  protected:
    explicit EventListener(Type type) : _type(type) {}

  private:
    friend class EventDispatcher;
    Type _type;
    Node* _node = nullptr;
    int _fixedPriority = 0;
    bool _enabled = true;
    bool _registered = false;
};

}  // namespace engine
