// Node's timers and actions, which forward to the director's scheduler and action manager.
#include "engine/2d/ActionManager.h"
#include "engine/2d/Node.h"

namespace engine {

// Time -------------------------------------------------------------------------------------

void Node::update(float) {}

void Node::scheduleUpdateWithPriority(int priority) {
    _scheduler->scheduleUpdate(this, priority, !_running);
}

void Node::unscheduleUpdate() {
    _scheduler->unscheduleUpdate(this);
}

void Node::schedule(const SchedulerFunc& callback, float interval, const std::string& key) {
    _scheduler->schedule(callback, this, interval, !_running, key);
}

void Node::schedule(const SchedulerFunc& callback, float interval, unsigned int repeat, float delay,
                    const std::string& key) {
    _scheduler->schedule(callback, this, interval, repeat, delay, !_running, key);
}

void Node::scheduleOnce(const SchedulerFunc& callback, float delay, const std::string& key) {
    _scheduler->schedule(callback, this, 0, 0, delay, !_running, key);
}

void Node::unschedule(const std::string& key) {
    _scheduler->unschedule(key, this);
}

void Node::unscheduleAllCallbacks() {
    _scheduler->unscheduleAllForTarget(this);
}

bool Node::isScheduled(const std::string& key) const {
    return _scheduler->isScheduled(key, this);
}

Action* Node::runAction(Action* action) {
    if (action)
        _actionManager->addAction(action, this, !_running);
    return action;
}

void Node::stopAllActions() {
    _actionManager->removeAllActionsFromTarget(this);
}
void Node::stopAction(Action* action) {
    _actionManager->removeAction(action);
}
void Node::stopActionByTag(int tag) {
    _actionManager->removeActionByTag(tag, this);
}
Action* Node::getActionByTag(int tag) {
    return _actionManager->getActionByTag(tag, this);
}
size_t Node::getNumberOfRunningActions() const {
    return _actionManager->getNumberOfRunningActionsInTarget(this);
}

}  // namespace engine
