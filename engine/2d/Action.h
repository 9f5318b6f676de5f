#pragma once

#include "engine/base/Ref.h"

namespace engine {

class Node;

// Something that changes a node over time, advanced by the action manager with each frame
// interval. Time is exact: an action of d seconds is done on the frame where the summed
// intervals reach d, and any excess carries into what follows it in a sequence.
class Action : public Ref {
  public:
    static constexpr int INVALID_TAG = -1;

    virtual void startWithTarget(Node* target);
    virtual void stop();
    virtual void step(float dt) = 0;
    virtual bool isDone() const = 0;

    Node* getTarget() const { return _target; }
    int getTag() const { return _tag; }
    void setTag(int tag) { _tag = tag; }

  protected:
    Action() = default;
    Node* _target = nullptr;
    int _tag = INVALID_TAG;
};

// An action with a duration; update(t) receives the progress 0..1.
class ActionInterval : public Action {
  public:
    void startWithTarget(Node* target) override;
    void step(float dt) override;
    bool isDone() const override { return _elapsed >= _duration; }
    virtual void update(float t) = 0;

    float getDuration() const { return _duration; }
    float getElapsed() const { return _elapsed; }
    // Time beyond the duration consumed by the last step.
    float getOverflow() const { return _elapsed > _duration ? _elapsed - _duration : 0; }

  protected:
    bool initWithDuration(float duration);
    float _duration = 0;
    float _elapsed = 0;
};

}  // namespace engine
