#pragma once

#include <cstdint>
#include <vector>

#include "engine/2d/Action.h"
#include "engine/base/Types.h"

namespace engine {

class FadeTo : public ActionInterval {
  public:
    static FadeTo* create(float duration, uint8_t opacity);
    void startWithTarget(Node* target) override;
    void update(float t) override;

  protected:
    uint8_t _from = 0;
    uint8_t _to = 0;
};

class FadeIn : public FadeTo {
  public:
    static FadeIn* create(float duration);
};

class FadeOut : public FadeTo {
  public:
    static FadeOut* create(float duration);
};

class MoveTo : public ActionInterval {
  public:
    static MoveTo* create(float duration, const Vec2& position);
    void startWithTarget(Node* target) override;
    void update(float t) override;

  private:
    Vec2 _from;
    Vec2 _to;
};

// Rotates by an angle in degrees, clockwise for positive angles.
class RotateBy : public ActionInterval {
  public:
    static RotateBy* create(float duration, float deltaAngle);
    void startWithTarget(Node* target) override;
    void update(float t) override;

  private:
    float _start = 0;
    float _delta = 0;
};

class DelayTime : public ActionInterval {
  public:
    static DelayTime* create(float duration);
    void update(float) override {}
};

// Runs its actions one after the other.
class Sequence : public ActionInterval {
  public:
    static Sequence* create(const std::vector<ActionInterval*>& actions);
    template <class... A>
    static Sequence* create(A*... actions) {
        return create(std::vector<ActionInterval*>{actions...});
    }
    ~Sequence() override;

    void startWithTarget(Node* target) override;
    void stop() override;
    void step(float dt) override;
    bool isDone() const override { return _current >= _actions.size(); }
    void update(float) override {}

  private:
    std::vector<ActionInterval*> _actions;
    size_t _current = 0;
    bool _currentStarted = false;
};

// Restarts its action whenever it finishes; never done.
class RepeatForever : public Action {
  public:
    static RepeatForever* create(ActionInterval* action);
    ~RepeatForever() override;

    void startWithTarget(Node* target) override;
    void stop() override;
    void step(float dt) override;
    bool isDone() const override { return false; }

  private:
    ActionInterval* _inner = nullptr;
};

}  // namespace engine
