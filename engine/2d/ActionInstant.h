#pragma once

#include <functional>

#include "engine/2d/Action.h"

namespace engine {

// Calls a function once, at the moment a sequence reaches it.
class CallFunc : public ActionInterval {
  public:
    static CallFunc* create(const std::function<void()>& function);
    void update(float t) override;

  private:
    std::function<void()> _function;
    bool _called = false;

  public:
    void startWithTarget(Node* target) override;
};

}  // namespace engine
