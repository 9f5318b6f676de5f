#include "engine/2d/ActionManager.h"

#include <algorithm>

#include "engine/2d/Action.h"
#include "engine/2d/Node.h"

namespace engine {

ActionManager::~ActionManager() {
    removeAllActions();
}

ActionManager::Entry* ActionManager::find(const Node* target) {
    for (auto& e : _entries) {
        if (e.target == target)
            return &e;
    }
    return nullptr;
}

const ActionManager::Entry* ActionManager::find(const Node* target) const {
    for (const auto& e : _entries) {
        if (e.target == target)
            return &e;
    }
    return nullptr;
}

void ActionManager::addAction(Action* action, Node* target, bool paused) {
    if (!action || !target)
        return;
    Entry* entry = find(target);
    if (!entry) {
        _entries.push_back(Entry{target, {}, paused});
        entry = &_entries.back();
    }
    action->retain();
    entry->actions.push_back(action);
    action->startWithTarget(target);
}

void ActionManager::removeAction(Action* action) {
    for (auto& e : _entries) {
        for (auto& a : e.actions) {
            if (a == action) {
                a->stop();
                a->release();
                a = nullptr;
            }
        }
    }
    if (!_updating)
        purge();
}

void ActionManager::removeActionByTag(int tag, Node* target) {
    if (Entry* e = find(target)) {
        for (auto& a : e->actions) {
            if (a && a->getTag() == tag) {
                a->stop();
                a->release();
                a = nullptr;
                break;
            }
        }
    }
    if (!_updating)
        purge();
}

void ActionManager::removeAllActionsFromTarget(Node* target) {
    if (Entry* e = find(target)) {
        for (auto& a : e->actions) {
            if (a) {
                a->stop();
                a->release();
                a = nullptr;
            }
        }
        e->target = nullptr;
    }
    if (!_updating)
        purge();
}

void ActionManager::removeAllActions() {
    for (auto& e : _entries) {
        for (auto& a : e.actions) {
            if (a) {
                a->stop();
                a->release();
                a = nullptr;
            }
        }
        e.target = nullptr;
    }
    if (!_updating)
        purge();
}

Action* ActionManager::getActionByTag(int tag, const Node* target) const {
    if (const Entry* e = find(target)) {
        for (Action* a : e->actions) {
            if (a && a->getTag() == tag)
                return a;
        }
    }
    return nullptr;
}

size_t ActionManager::getNumberOfRunningActionsInTarget(const Node* target) const {
    const Entry* e = find(target);
    if (!e)
        return 0;
    return static_cast<size_t>(std::count_if(e->actions.begin(), e->actions.end(),
                                             [](Action* a) { return a != nullptr; }));
}

void ActionManager::pauseTarget(Node* target) {
    if (Entry* e = find(target))
        e->paused = true;
}

void ActionManager::resumeTarget(Node* target) {
    if (Entry* e = find(target))
        e->paused = false;
}

void ActionManager::update(float dt) {
    _updating = true;
    // Entries may be appended while we run (a call starting a new action); index loops only.
    for (size_t i = 0; i < _entries.size(); ++i) {
        if (!_entries[i].target || _entries[i].paused)
            continue;
        Node* target = _entries[i].target;
        target->retain();  // an action may remove its own node from the scene
        for (size_t j = 0; j < _entries[i].actions.size(); ++j) {
            Action* action = _entries[i].actions[j];
            if (!action)
                continue;
            action->retain();
            action->step(dt);
            // The step may have removed this action (or all of the target's actions).
            if (_entries[i].actions[j] == action && action->isDone()) {
                action->stop();
                action->release();
                _entries[i].actions[j] = nullptr;
            }
            action->release();
        }
        target->release();
    }
    _updating = false;
    purge();
}

void ActionManager::purge() {
    for (auto& e : _entries) {
        e.actions.erase(std::remove(e.actions.begin(), e.actions.end(), nullptr), e.actions.end());
        if (e.actions.empty())
            e.target = nullptr;
    }
    _entries.erase(std::remove_if(_entries.begin(), _entries.end(),
                                  [](const Entry& e) { return e.target == nullptr; }),
                   _entries.end());
}

}  // namespace engine
