#include "engine/2d/Action.h"

#include <algorithm>

namespace engine {

void Action::startWithTarget(Node* target) {
    _target = target;
}

void Action::stop() {
    _target = nullptr;
}

bool ActionInterval::initWithDuration(float duration) {
    _duration = std::max(duration, 0.f);
    return true;
}

void ActionInterval::startWithTarget(Node* target) {
    Action::startWithTarget(target);
    _elapsed = 0;
}

void ActionInterval::step(float dt) {
    _elapsed += std::max(dt, 0.f);
    float t = _duration > 0 ? std::min(_elapsed / _duration, 1.f) : 1.f;
    update(t);
}

}  // namespace engine
