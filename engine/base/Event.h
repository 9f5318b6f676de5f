#pragma once

namespace engine {

class Node;

// What a listener callback receives besides the touch or key.
class Event {
  public:
    enum class Type { TOUCH, KEYBOARD, MOUSE };

    explicit Event(Type type) : _type(type) {}
    Type getType() const { return _type; }
    // The node the handling listener is attached to (null for fixed-priority listeners).
    Node* getCurrentTarget() const { return _currentTarget; }
    void setCurrentTarget(Node* target) { _currentTarget = target; }
    void stopPropagation() { _stopped = true; }
    bool isStopped() const { return _stopped; }

  private:
    Type _type;
    Node* _currentTarget = nullptr;
    bool _stopped = false;
};

}  // namespace engine
