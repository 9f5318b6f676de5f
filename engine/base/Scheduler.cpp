#include "engine/base/Scheduler.h"

#include <algorithm>

namespace engine {

void Scheduler::schedulePerFrame(const SchedulerFunc& callback, void* target, int priority,
                                 bool paused) {
    for (auto& u : _updates) {
        if (u.target == target && !u.dead) {
            if (u.priority == priority)
                return;
            u.dead = true;  // re-registered with another priority below
        }
    }
    Update entry{callback, target, priority, paused || isTargetPaused(target), false};
    // Stable position: after every entry of the same or a lower priority.
    auto it = std::find_if(_updates.begin(), _updates.end(),
                           [&](const Update& u) { return u.priority > priority; });
    if (_updating) {
        // Inserting would shift entries under the running loop; append and sort later.
        _updates.push_back(entry);
    } else {
        _updates.insert(it, entry);
    }
}

void Scheduler::unscheduleUpdate(void* target) {
    for (auto& u : _updates) {
        if (u.target == target)
            u.dead = true;
    }
    if (!_updating)
        purgeDead();
}

void Scheduler::schedule(const SchedulerFunc& callback, void* target, float interval,
                         unsigned int repeat, float delay, bool paused, const std::string& key) {
    for (auto& t : _timers) {
        if (t.target == target && t.key == key && !t.dead) {
            t.interval = interval;
            return;
        }
    }
    _timers.push_back(Timer{callback, target, key, interval, delay, repeat, 0, 0.f,
                            paused || isTargetPaused(target), false, delay <= 0.f});
}

void Scheduler::unschedule(const std::string& key, void* target) {
    for (auto& t : _timers) {
        if (t.target == target && t.key == key)
            t.dead = true;
    }
    if (!_updating)
        purgeDead();
}

void Scheduler::unscheduleAllForTarget(void* target) {
    for (auto& t : _timers) {
        if (t.target == target)
            t.dead = true;
    }
    for (auto& u : _updates) {
        if (u.target == target)
            u.dead = true;
    }
    _pausedTargets.erase(std::remove(_pausedTargets.begin(), _pausedTargets.end(), target),
                         _pausedTargets.end());
    if (!_updating)
        purgeDead();
}

void Scheduler::unscheduleAll() {
    for (auto& t : _timers)
        t.dead = true;
    for (auto& u : _updates)
        u.dead = true;
    _pausedTargets.clear();
    if (!_updating)
        purgeDead();
}

bool Scheduler::isScheduled(const std::string& key, const void* target) const {
    return std::any_of(_timers.begin(), _timers.end(), [&](const Timer& t) {
        return t.target == target && t.key == key && !t.dead;
    });
}

bool Scheduler::isUpdateScheduled(const void* target) const {
    return std::any_of(_updates.begin(), _updates.end(),
                       [&](const Update& u) { return u.target == target && !u.dead; });
}

void Scheduler::pauseTarget(void* target) {
    if (!isTargetPaused(target))
        _pausedTargets.push_back(target);
    for (auto& t : _timers) {
        if (t.target == target)
            t.paused = true;
    }
    for (auto& u : _updates) {
        if (u.target == target)
            u.paused = true;
    }
}

void Scheduler::resumeTarget(void* target) {
    _pausedTargets.erase(std::remove(_pausedTargets.begin(), _pausedTargets.end(), target),
                         _pausedTargets.end());
    for (auto& t : _timers) {
        if (t.target == target)
            t.paused = false;
    }
    for (auto& u : _updates) {
        if (u.target == target)
            u.paused = false;
    }
}

bool Scheduler::isTargetPaused(void* target) const {
    return std::find(_pausedTargets.begin(), _pausedTargets.end(), target) != _pausedTargets.end();
}

void Scheduler::performFunctionInCocosThread(const std::function<void()>& function) {
    _functions.push_back(function);
}

void Scheduler::runTimer(Timer& t, float dt) {
    t.elapsed += dt;
    if (!t.delayDone) {
        if (t.elapsed < t.delay)
            return;
        t.delayDone = true;
        float late = t.elapsed - t.delay;
        t.elapsed = 0;
        t.callback(t.delay + late);
    } else {
        if (t.elapsed < t.interval)
            return;
        float fired = t.elapsed;
        // Keep the remainder so a 1 s timer stays on time at 60 fps; never fire twice in one
        // frame, so a long stall does not turn into a burst of calls.
        t.elapsed -= t.interval;
        if (t.elapsed >= t.interval)
            t.elapsed = 0;
        t.callback(t.interval > 0 ? fired - t.elapsed : fired);
    }
    if (t.dead)
        return;
    if (t.repeat != REPEAT_FOREVER && t.timesExecuted++ >= t.repeat)
        t.dead = true;
}

void Scheduler::update(float dt) {
    dt *= _timeScale;
    std::vector<std::function<void()>> functions;
    functions.swap(_functions);
    for (auto& f : functions)
        f();

    _updating = true;
    // Index loops: callbacks may schedule (append) or unschedule (mark dead) while we run.
    size_t count = _updates.size();
    for (size_t i = 0; i < count; ++i) {
        if (_updates[i].dead || _updates[i].paused)
            continue;
        SchedulerFunc callback = _updates[i].callback;
        callback(dt);
    }
    count = _timers.size();
    for (size_t i = 0; i < count; ++i) {
        if (_timers[i].dead || _timers[i].paused)
            continue;
        Timer& t = _timers[i];
        // A copy keeps the callback alive if it unschedules itself and the vector grows.
        Timer snapshot = t;
        runTimer(snapshot, dt);
        if (_timers[i].dead)
            continue;  // unscheduled inside its own callback
        _timers[i].elapsed = snapshot.elapsed;
        _timers[i].delayDone = snapshot.delayDone;
        _timers[i].timesExecuted = snapshot.timesExecuted;
        if (snapshot.dead)
            _timers[i].dead = true;
    }
    _updating = false;
    purgeDead();
    std::stable_sort(_updates.begin(), _updates.end(),
                     [](const Update& a, const Update& b) { return a.priority < b.priority; });
}

void Scheduler::purgeDead() {
    _updates.erase(
        std::remove_if(_updates.begin(), _updates.end(), [](const Update& u) { return u.dead; }),
        _updates.end());
    _timers.erase(
        std::remove_if(_timers.begin(), _timers.end(), [](const Timer& t) { return t.dead; }),
        _timers.end());
}

}  // namespace engine
