#include "engine/2d/ActionInterval.h"

#include <cmath>

#include "engine/2d/ActionInstant.h"
#include "engine/2d/Node.h"

namespace engine {

template <class T>
static T* autoreleased(T* action) {
    action->autorelease();
    return action;
}

FadeTo* FadeTo::create(float duration, uint8_t opacity) {
    auto* action = new FadeTo();
    action->initWithDuration(duration);
    action->_to = opacity;
    return autoreleased(action);
}

void FadeTo::startWithTarget(Node* target) {
    ActionInterval::startWithTarget(target);
    _from = target ? target->getOpacity() : 0;
}

void FadeTo::update(float t) {
    if (!_target)
        return;
    float value = _from + (static_cast<float>(_to) - _from) * t;
    _target->setOpacity(static_cast<uint8_t>(std::lround(value)));
}

FadeIn* FadeIn::create(float duration) {
    auto* action = new FadeIn();
    action->initWithDuration(duration);
    action->_to = 255;
    return autoreleased(action);
}

FadeOut* FadeOut::create(float duration) {
    auto* action = new FadeOut();
    action->initWithDuration(duration);
    action->_to = 0;
    return autoreleased(action);
}

MoveTo* MoveTo::create(float duration, const Vec2& position) {
    auto* action = new MoveTo();
    action->initWithDuration(duration);
    action->_to = position;
    return autoreleased(action);
}

void MoveTo::startWithTarget(Node* target) {
    ActionInterval::startWithTarget(target);
    if (target)
        _from = target->getPosition();
}

void MoveTo::update(float t) {
    if (_target)
        _target->setPosition(_from + (_to - _from) * t);
}

RotateBy* RotateBy::create(float duration, float deltaAngle) {
    auto* action = new RotateBy();
    action->initWithDuration(duration);
    action->_delta = deltaAngle;
    return autoreleased(action);
}

void RotateBy::startWithTarget(Node* target) {
    ActionInterval::startWithTarget(target);
    if (target)
        _start = target->getRotation();
}

void RotateBy::update(float t) {
    if (_target)
        _target->setRotation(_start + _delta * t);
}

DelayTime* DelayTime::create(float duration) {
    auto* action = new DelayTime();
    action->initWithDuration(duration);
    return autoreleased(action);
}

Sequence* Sequence::create(const std::vector<ActionInterval*>& actions) {
    auto* sequence = new Sequence();
    float total = 0;
    for (ActionInterval* action : actions) {
        if (!action)
            continue;
        action->retain();
        sequence->_actions.push_back(action);
        total += action->getDuration();
    }
    sequence->initWithDuration(total);
    return autoreleased(sequence);
}

Sequence::~Sequence() {
    for (ActionInterval* action : _actions)
        action->release();
}

void Sequence::startWithTarget(Node* target) {
    ActionInterval::startWithTarget(target);
    _current = 0;
    _currentStarted = false;
}

void Sequence::stop() {
    if (_current < _actions.size() && _currentStarted)
        _actions[_current]->stop();
    ActionInterval::stop();
}

void Sequence::step(float dt) {
    float remaining = dt;
    while (_current < _actions.size()) {
        ActionInterval* action = _actions[_current];
        if (!_currentStarted) {
            action->startWithTarget(_target);
            _currentStarted = true;
        }
        action->step(remaining);
        if (!action->isDone())
            break;
        remaining = action->getOverflow();
        action->stop();
        ++_current;
        _currentStarted = false;
        // An exact finish starts the next action only on the next frame, unless it takes no
        // time at all (a call), which then runs now.
        if (remaining <= 0 && _current < _actions.size() && _actions[_current]->getDuration() > 0)
            break;
    }
    _elapsed += dt;
}

RepeatForever* RepeatForever::create(ActionInterval* action) {
    if (!action)
        return nullptr;
    auto* repeat = new RepeatForever();
    action->retain();
    repeat->_inner = action;
    return autoreleased(repeat);
}

RepeatForever::~RepeatForever() {
    if (_inner)
        _inner->release();
}

void RepeatForever::startWithTarget(Node* target) {
    Action::startWithTarget(target);
    _inner->startWithTarget(target);
}

void RepeatForever::stop() {
    _inner->stop();
    Action::stop();
}

void RepeatForever::step(float dt) {
    _inner->step(dt);
    // A zero-length inner action would spin forever; restart it at most once per frame then.
    int guard = _inner->getDuration() > 0 ? 1000 : 1;
    while (_inner->isDone() && guard-- > 0) {
        float overflow = _inner->getOverflow();
        _inner->stop();
        _inner->startWithTarget(_target);
        if (overflow <= 0)
            break;
        _inner->step(overflow);
    }
}

CallFunc* CallFunc::create(const std::function<void()>& function) {
    auto* action = new CallFunc();
    action->initWithDuration(0);
    action->_function = function;
    return autoreleased(action);
}

void CallFunc::startWithTarget(Node* target) {
    ActionInterval::startWithTarget(target);
    _called = false;
}

void CallFunc::update(float) {
    if (_called)
        return;
    _called = true;
    if (_function)
        _function();
}

}  // namespace engine
